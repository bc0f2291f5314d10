// Small X11 queries the end-to-end scripts need and xdotool lacks.
//   e2e-xhelper tray-wait <ms>   wait until a system tray owns _NET_SYSTEM_TRAY_S0
//   e2e-xhelper wm-wait <ms>     wait until a window manager has announced itself
//                                (_NET_SUPPORTING_WM_CHECK on the root window)
//   e2e-xhelper tray-clients     one line per window embedded in the tray:
//                                "<window> <pid> <x> <y> <width> <height>" (root coordinates)
//   e2e-xhelper close <window>   ask a window to close (WM_DELETE_WINDOW), as a
//                                window manager's close button does
//   e2e-xhelper state <window>   the window's _NET_WM_STATE atom names, one per line
//   e2e-xhelper clients          the window manager's top-level client windows:
//                                "<window> <pid> <viewable 0|1>"
//   e2e-xhelper popups <pid>     the process's shown pop-up menus: viewable
//                                override-redirect windows on the root that are
//                                not tooltips, "<window> <width> <height>"
// Exit status 0 on success, 1 on failure or timeout, 2 on a usage error.

#include "support/xcb_client.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

using quill::test::XcbClient;

void ListClients(const XcbClient& x, xcb_window_t parent, xcb_atom_t pidAtom) {
    xcb_connection_t* conn = x.connection();
    auto* tree = xcb_query_tree_reply(conn, xcb_query_tree(conn, parent), nullptr);
    if (!tree)
        return;
    const xcb_window_t* children = xcb_query_tree_children(tree);
    for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
        const xcb_window_t w = children[i];
        const auto pid = x.Words(w, pidAtom, XCB_ATOM_CARDINAL);
        auto* geo = xcb_get_geometry_reply(conn, xcb_get_geometry(conn, w), nullptr);
        auto* pos = xcb_translate_coordinates_reply(
            conn, xcb_translate_coordinates(conn, w, x.root(), 0, 0), nullptr);
        if (geo && pos)
            std::printf("0x%x %u %d %d %d %d\n", w, pid.empty() ? 0u : pid[0], pos->dst_x,
                        pos->dst_y, geo->width, geo->height);
        std::free(geo);
        std::free(pos);
        ListClients(x, w, pidAtom);
    }
    std::free(tree);
}

int Clients(const XcbClient& x) {
    const xcb_atom_t pidAtom = x.Atom("_NET_WM_PID");
    for (uint32_t w : x.Words(x.root(), x.Atom("_NET_CLIENT_LIST"), XCB_ATOM_WINDOW)) {
        const auto pid = x.Words(w, pidAtom, XCB_ATOM_CARDINAL);
        std::printf("%u %u %d\n", w, pid.empty() ? 0u : pid[0], x.Viewable(w) ? 1 : 0);
    }
    return 0;
}

// A menu is a top-level window the window manager does not manage. The tray
// icon's own window is override-redirect too, but the tray has reparented it, so
// it is no child of the root; a tooltip says what it is.
int Popups(const XcbClient& x, uint32_t pid) {
    xcb_connection_t* conn = x.connection();
    const xcb_atom_t pidAtom = x.Atom("_NET_WM_PID");
    const xcb_atom_t typeAtom = x.Atom("_NET_WM_WINDOW_TYPE");
    const xcb_atom_t tooltip = x.Atom("_NET_WM_WINDOW_TYPE_TOOLTIP");
    auto* tree = xcb_query_tree_reply(conn, xcb_query_tree(conn, x.root()), nullptr);
    if (!tree)
        return 1;
    const xcb_window_t* children = xcb_query_tree_children(tree);
    for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
        const xcb_window_t w = children[i];
        const auto owner = x.Words(w, pidAtom, XCB_ATOM_CARDINAL);
        if (owner.empty() || owner[0] != pid || !x.Viewable(w))
            continue;
        auto* attributes =
            xcb_get_window_attributes_reply(conn, xcb_get_window_attributes(conn, w), nullptr);
        const bool unmanaged = attributes && attributes->override_redirect;
        std::free(attributes);
        const auto types = x.Words(w, typeAtom, XCB_ATOM_ATOM);
        if (!unmanaged || std::find(types.begin(), types.end(), tooltip) != types.end())
            continue;
        auto* geo = xcb_get_geometry_reply(conn, xcb_get_geometry(conn, w), nullptr);
        if (geo)
            std::printf("0x%x %d %d\n", w, geo->width, geo->height);
        std::free(geo);
    }
    std::free(tree);
    return 0;
}

// Whether a pointer grab could be had now: while a client (the window manager
// busy with a focus change, an open menu) holds the pointer, a click goes to it.
int PointerFree(const XcbClient& x) {
    xcb_connection_t* conn = x.connection();
    auto* reply = xcb_grab_pointer_reply(
        conn,
        xcb_grab_pointer(conn, 0, x.root(), XCB_EVENT_MASK_NO_EVENT, XCB_GRAB_MODE_ASYNC,
                         XCB_GRAB_MODE_ASYNC, XCB_NONE, XCB_NONE, XCB_CURRENT_TIME),
        nullptr);
    const bool free = reply && reply->status == XCB_GRAB_STATUS_SUCCESS;
    std::free(reply);
    if (free) {
        xcb_ungrab_pointer(conn, XCB_CURRENT_TIME);
        xcb_flush(conn);
    }
    return free ? 0 : 1;
}

int TrayWait(const XcbClient& x, int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        if (x.TrayOwner() != XCB_NONE)
            return 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::fprintf(stderr, "no system tray after %d ms\n", ms);
    return 1;
}

int WmWait(const XcbClient& x, int ms) {
    const xcb_atom_t check = x.Atom("_NET_SUPPORTING_WM_CHECK");
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        if (!x.Words(x.root(), check, XCB_ATOM_WINDOW).empty())
            return 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::fprintf(stderr, "no window manager after %d ms\n", ms);
    return 1;
}

int Close(const XcbClient& x, xcb_window_t w) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = w;
    event.type = x.Atom("WM_PROTOCOLS");
    event.data.data32[0] = x.Atom("WM_DELETE_WINDOW");
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_connection_t* conn = x.connection();
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
            "usage: e2e-xhelper tray-wait MS | wm-wait MS | tray-clients | clients | popups PID | "
            "close WIN | state WIN\n");
        return 2;
    }
    const XcbClient x;
    if (!x.ok()) {
        std::fprintf(stderr, "cannot open the display\n");
        return 1;
    }

    const std::string command = argv[1];
    int status = 2;
    if (command == "tray-wait" && argc == 3) {
        status = TrayWait(x, std::atoi(argv[2]));
    } else if (command == "wm-wait" && argc == 3) {
        status = WmWait(x, std::atoi(argv[2]));
    } else if (command == "tray-clients" && argc == 2) {
        const xcb_window_t owner = x.TrayOwner();
        if (owner != XCB_NONE)
            ListClients(x, owner, x.Atom("_NET_WM_PID"));
        status = owner != XCB_NONE ? 0 : 1;
    } else if (command == "pointer-free" && argc == 2) {
        status = PointerFree(x);
    } else if (command == "popups" && argc == 3) {
        status = Popups(x, uint32_t(std::strtoul(argv[2], nullptr, 0)));
    } else if (command == "clients" && argc == 2) {
        status = Clients(x);
    } else if (command == "close" && argc == 3) {
        status = Close(x, xcb_window_t(std::strtoul(argv[2], nullptr, 0)));
    } else if (command == "state" && argc == 3) {
        const auto w = xcb_window_t(std::strtoul(argv[2], nullptr, 0));
        for (uint32_t atom : x.Words(w, x.Atom("_NET_WM_STATE"), XCB_ATOM_ATOM))
            std::printf("%s\n", x.AtomName(atom).c_str());
        status = 0;
    }
    return status;
}
