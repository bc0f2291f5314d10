// Small X11 queries the end-to-end scripts need and xdotool lacks.
//   e2e-xhelper tray-wait <ms>   wait until a system tray owns _NET_SYSTEM_TRAY_S0
//   e2e-xhelper tray-clients     one line per window embedded in the tray:
//                                "<window> <pid> <x> <y> <width> <height>" (root coordinates)
//   e2e-xhelper close <window>   ask a window to close (WM_DELETE_WINDOW), as a
//                                window manager's close button does
//   e2e-xhelper state <window>   the window's _NET_WM_STATE atom names, one per line
//   e2e-xhelper clients          the window manager's top-level client windows:
//                                "<window> <pid> <viewable 0|1>"
// Exit status 0 on success, 1 on failure or timeout, 2 on a usage error.

#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

xcb_connection_t* conn = nullptr;
xcb_screen_t* screen = nullptr;

xcb_atom_t Atom(const char* name) {
    auto* reply = xcb_intern_atom_reply(
        conn, xcb_intern_atom(conn, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

std::string AtomName(xcb_atom_t atom) {
    auto* reply = xcb_get_atom_name_reply(conn, xcb_get_atom_name(conn, atom), nullptr);
    if (!reply)
        return "?";
    std::string name(xcb_get_atom_name_name(reply), size_t(xcb_get_atom_name_name_length(reply)));
    std::free(reply);
    return name;
}

xcb_window_t TrayOwner() {
    auto* reply = xcb_get_selection_owner_reply(
        conn, xcb_get_selection_owner(conn, Atom("_NET_SYSTEM_TRAY_S0")), nullptr);
    const xcb_window_t owner = reply ? reply->owner : xcb_window_t(XCB_NONE);
    std::free(reply);
    return owner;
}

std::vector<uint32_t> Cardinals(xcb_window_t w, xcb_atom_t property, xcb_atom_t type) {
    std::vector<uint32_t> values;
    auto* reply =
        xcb_get_property_reply(conn, xcb_get_property(conn, 0, w, property, type, 0, 256), nullptr);
    if (reply && reply->format == 32) {
        const auto* data = static_cast<const uint32_t*>(xcb_get_property_value(reply));
        values.assign(data, data + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    return values;
}

void ListClients(xcb_window_t parent, xcb_atom_t pidAtom) {
    auto* tree = xcb_query_tree_reply(conn, xcb_query_tree(conn, parent), nullptr);
    if (!tree)
        return;
    const xcb_window_t* children = xcb_query_tree_children(tree);
    for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
        const xcb_window_t w = children[i];
        const auto pid = Cardinals(w, pidAtom, XCB_ATOM_CARDINAL);
        auto* geo = xcb_get_geometry_reply(conn, xcb_get_geometry(conn, w), nullptr);
        auto* pos = xcb_translate_coordinates_reply(
            conn, xcb_translate_coordinates(conn, w, screen->root, 0, 0), nullptr);
        if (geo && pos)
            std::printf("0x%x %u %d %d %d %d\n", w, pid.empty() ? 0u : pid[0], pos->dst_x,
                        pos->dst_y, geo->width, geo->height);
        std::free(geo);
        std::free(pos);
        ListClients(w, pidAtom);
    }
    std::free(tree);
}

int Clients() {
    const xcb_atom_t pidAtom = Atom("_NET_WM_PID");
    for (uint32_t w : Cardinals(screen->root, Atom("_NET_CLIENT_LIST"), XCB_ATOM_WINDOW)) {
        const auto pid = Cardinals(w, pidAtom, XCB_ATOM_CARDINAL);
        auto* attributes =
            xcb_get_window_attributes_reply(conn, xcb_get_window_attributes(conn, w), nullptr);
        const bool viewable = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
        std::free(attributes);
        std::printf("%u %u %d\n", w, pid.empty() ? 0u : pid[0], viewable ? 1 : 0);
    }
    return 0;
}

int TrayWait(int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        if (TrayOwner() != XCB_NONE)
            return 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::fprintf(stderr, "no system tray after %d ms\n", ms);
    return 1;
}

int Close(xcb_window_t w) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = w;
    event.type = Atom("WM_PROTOCOLS");
    event.data.data32[0] = Atom("WM_DELETE_WINDOW");
    event.data.data32[1] = XCB_CURRENT_TIME;
    const xcb_void_cookie_t sent = xcb_send_event_checked(conn, 0, w, XCB_EVENT_MASK_NO_EVENT,
                                                          reinterpret_cast<const char*>(&event));
    // Checked: the server has handled the request before we disconnect.
    xcb_generic_error_t* error = xcb_request_check(conn, sent);
    if (error) {
        std::fprintf(stderr, "cannot send to window 0x%x: error %d\n", w, error->error_code);
        std::free(error);
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(
            stderr,
            "usage: e2e-xhelper tray-wait MS | tray-clients | clients | close WIN | state WIN\n");
        return 2;
    }
    int screenNumber = 0;
    conn = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(conn)) {
        std::fprintf(stderr, "cannot open the display\n");
        return 1;
    }
    auto it = xcb_setup_roots_iterator(xcb_get_setup(conn));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&it);
    screen = it.data;

    const std::string command = argv[1];
    int status = 2;
    if (command == "tray-wait" && argc == 3) {
        status = TrayWait(std::atoi(argv[2]));
    } else if (command == "tray-clients" && argc == 2) {
        const xcb_window_t owner = TrayOwner();
        if (owner != XCB_NONE)
            ListClients(owner, Atom("_NET_WM_PID"));
        status = owner != XCB_NONE ? 0 : 1;
    } else if (command == "clients" && argc == 2) {
        status = Clients();
    } else if (command == "close" && argc == 3) {
        status = Close(xcb_window_t(std::strtoul(argv[2], nullptr, 0)));
    } else if (command == "state" && argc == 3) {
        const auto w = xcb_window_t(std::strtoul(argv[2], nullptr, 0));
        for (uint32_t atom : Cardinals(w, Atom("_NET_WM_STATE"), XCB_ATOM_ATOM))
            std::printf("%s\n", AtomName(atom).c_str());
        status = 0;
    }
    xcb_disconnect(conn);
    return status;
}
