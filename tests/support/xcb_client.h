#pragma once
// A small client of the X server for the end-to-end helper and the start-up
// benchmark: atoms, window properties, the tray's owner. Plain xcb, no Qt.

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace quill::test {

class XcbClient {
public:
    // Connects to $DISPLAY; ok() tells whether that worked.
    XcbClient() {
        int screenNumber = 0;
        conn_ = xcb_connect(nullptr, &screenNumber);
        if (xcb_connection_has_error(conn_))
            return;
        auto it = xcb_setup_roots_iterator(xcb_get_setup(conn_));
        for (int i = 0; i < screenNumber; ++i)
            xcb_screen_next(&it);
        root_ = it.data->root;
    }
    ~XcbClient() { xcb_disconnect(conn_); }
    XcbClient(const XcbClient&) = delete;
    XcbClient& operator=(const XcbClient&) = delete;

    bool ok() const { return root_ != XCB_NONE; }
    xcb_connection_t* connection() const { return conn_; }
    xcb_window_t root() const { return root_; }

    xcb_atom_t Atom(const char* name) const {
        auto* reply = xcb_intern_atom_reply(
            conn_, xcb_intern_atom(conn_, 0, uint16_t(std::strlen(name)), name), nullptr);
        const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return atom;
    }

    std::string AtomName(xcb_atom_t atom) const {
        auto* reply = xcb_get_atom_name_reply(conn_, xcb_get_atom_name(conn_, atom), nullptr);
        if (!reply)
            return "?";
        std::string name(xcb_get_atom_name_name(reply),
                         size_t(xcb_get_atom_name_name_length(reply)));
        std::free(reply);
        return name;
    }

    // A property of 32-bit values (cardinals, windows, atoms); empty when absent.
    std::vector<uint32_t> Words(xcb_window_t w, xcb_atom_t property, xcb_atom_t type) const {
        std::vector<uint32_t> values;
        auto* reply = xcb_get_property_reply(
            conn_, xcb_get_property(conn_, 0, w, property, type, 0, 4096), nullptr);
        if (reply && reply->format == 32) {
            const auto* data = static_cast<const uint32_t*>(xcb_get_property_value(reply));
            values.assign(data, data + xcb_get_property_value_length(reply) / 4);
        }
        std::free(reply);
        return values;
    }

    // A property of 8-bit text; empty when absent.
    std::string Text(xcb_window_t w, xcb_atom_t property, xcb_atom_t type) const {
        std::string text;
        auto* reply = xcb_get_property_reply(
            conn_, xcb_get_property(conn_, 0, w, property, type, 0, 256), nullptr);
        if (reply && reply->format == 8)
            text.assign(static_cast<const char*>(xcb_get_property_value(reply)),
                        size_t(xcb_get_property_value_length(reply)));
        std::free(reply);
        return text;
    }

    bool Viewable(xcb_window_t w) const {
        auto* reply =
            xcb_get_window_attributes_reply(conn_, xcb_get_window_attributes(conn_, w), nullptr);
        const bool viewable = reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
        std::free(reply);
        return viewable;
    }

    // The window that owns the system tray of screen 0, or XCB_NONE.
    xcb_window_t TrayOwner() const {
        auto* reply = xcb_get_selection_owner_reply(
            conn_, xcb_get_selection_owner(conn_, Atom("_NET_SYSTEM_TRAY_S0")), nullptr);
        const xcb_window_t owner = reply ? reply->owner : xcb_window_t(XCB_NONE);
        std::free(reply);
        return owner;
    }

private:
    xcb_connection_t* conn_ = nullptr;
    xcb_window_t root_ = XCB_NONE;
};

} // namespace quill::test
