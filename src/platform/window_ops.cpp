#include "platform/window_ops.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QVariant>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <xcb/xcb.h>

namespace quill::WindowOps {

namespace {

xcb_connection_t* X11Connection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    // Non-null on the offscreen platform too, but without a connection there.
    return x11 ? x11->connection() : nullptr;
}

// The atoms this file sets, asked for once per connection: each is a round trip.
struct SkipAtoms {
    xcb_connection_t* connection = nullptr;
    xcb_atom_t state = XCB_ATOM_NONE;
    xcb_atom_t skips[2] = {XCB_ATOM_NONE, XCB_ATOM_NONE};
};

const SkipAtoms& SkipAtomsFor(xcb_connection_t* c) {
    static SkipAtoms atoms;
    if (atoms.connection != c || atoms.state == XCB_ATOM_NONE) {
        // The three requests go out together; the replies are read after.
        const char* const names[] = {"_NET_WM_STATE", "_NET_WM_STATE_SKIP_TASKBAR",
                                     "_NET_WM_STATE_SKIP_PAGER"};
        xcb_intern_atom_cookie_t cookies[3];
        for (int i = 0; i < 3; ++i)
            cookies[i] = xcb_intern_atom(c, 0, uint16_t(strlen(names[i])), names[i]);
        xcb_atom_t got[3];
        for (int i = 0; i < 3; ++i) {
            xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookies[i], nullptr);
            got[i] = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
            free(reply);
        }
        atoms.connection = c;
        atoms.state = got[0];
        atoms.skips[0] = got[1];
        atoms.skips[1] = got[2];
    }
    return atoms;
}

bool WantSkip(SkipTaskbar rule) {
    // Without a tray a minimised window without a taskbar entry could not be
    // brought back: it keeps its entry.
    return rule == SkipTaskbar::Always || QSystemTrayIcon::isSystemTrayAvailable();
}

// Sets or clears the skip-taskbar and skip-pager states. Before the window is mapped
// the property itself is edited (Qt merges it with its own states when it maps the
// window); a mapped window asks the window manager with a client message.
void ApplySkipStates(QWidget* window, bool skip, bool mapped) {
    xcb_connection_t* c = X11Connection();
    if (!c)
        return;
    const auto id = xcb_window_t(window->winId());
    const SkipAtoms& atomsFor = SkipAtomsFor(c);
    const xcb_atom_t state = atomsFor.state;
    const auto& skips = atomsFor.skips;
    if (mapped) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = id;
        event.type = state;
        event.data.data32[0] = skip ? 1 : 0; // _NET_WM_STATE_ADD or _REMOVE
        event.data.data32[1] = skips[0];
        event.data.data32[2] = skips[1];
        event.data.data32[3] = 1; // from a normal application
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        xcb_send_event(c, 0, root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&event));
        xcb_flush(c);
        return;
    }
    std::vector<xcb_atom_t> atoms;
    const auto cookie = xcb_get_property(c, 0, id, state, XCB_ATOM_ATOM, 0, 1024);
    if (xcb_get_property_reply_t* reply = xcb_get_property_reply(c, cookie, nullptr)) {
        if (reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
            const auto* data = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
            atoms.assign(data, data + xcb_get_property_value_length(reply) / 4);
        }
        free(reply);
    }
    for (xcb_atom_t a : skips) {
        if (a == XCB_ATOM_NONE)
            continue;
        const auto found = std::find(atoms.begin(), atoms.end(), a);
        if (skip && found == atoms.end())
            atoms.push_back(a);
        if (!skip && found != atoms.end())
            atoms.erase(found);
    }
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, state, XCB_ATOM_ATOM, 32,
                        uint32_t(atoms.size()), atoms.data());
    xcb_flush(c);
}

// Sets the states again just before every show: the show event arrives before the
// window is mapped, and window managers drop the states on unmap.
class SkipTaskbarFilter : public QObject {
public:
    SkipTaskbarFilter(SkipTaskbar rule, QObject* parent) : QObject(parent), rule_(rule) {}
    void SetRule(SkipTaskbar rule) { rule_ = rule; }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType() && X11Connection())
            ApplySkipStates(static_cast<QWidget*>(watched), WantSkip(rule_), false);
        return false;
    }

private:
    SkipTaskbar rule_;
};

} // namespace

void SetStayOnTop(QWidget* window, bool onTop) {
    if (!window || window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop)
        return;
    Qt::WindowFlags flags = window->windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, onTop);
    if (QWindow* handle = window->windowHandle()) {
        // setWindowFlags() would hide and re-create a shown window; changing the
        // native window's flags only sends the window manager the new state.
        window->overrideWindowFlags(flags);
        handle->setFlags(flags);
    } else {
        window->setWindowFlags(flags);
    }
}

bool IsStayOnTop(const QWidget* window) {
    return window && window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

void SetOpacity(QWidget* window, double opacity) {
    if (!window)
        return;
    window->setWindowOpacity(opacity);
    // Qt may leave the property change in its output buffer.
    if (xcb_connection_t* c = X11Connection())
        xcb_flush(c);
}

void SetSkipTaskbar(QWidget* window, SkipTaskbar rule) {
    if (!window)
        return;
    static const char* const kFilter = "quillnoteSkipTaskbarFilter";
    auto* filter = window->property(kFilter).value<QObject*>();
    if (filter) {
        static_cast<SkipTaskbarFilter*>(filter)->SetRule(rule);
    } else {
        filter = new SkipTaskbarFilter(rule, window);
        window->installEventFilter(filter);
        window->setProperty(kFilter, QVariant::fromValue(filter));
    }
    // A window of its own (no owner) gets its native window now, so that it can be
    // found by its window text before it is first shown. A dialog that has none yet
    // gets the states from the filter when first shown: winId() on a window with an
    // owner makes every child of the owner native, and dialogs may never show.
    const bool created = window->testAttribute(Qt::WA_WState_Created) && window->internalWinId();
    if (X11Connection() && (created || !window->parentWidget()))
        ApplySkipStates(window, WantSkip(rule), window->isVisible());
}

QRect WorkArea(const QWidget* window) {
    QScreen* screen = window ? window->screen() : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

QPoint CursorPos() {
    return QCursor::pos();
}

std::uint32_t TickCount() {
    using namespace std::chrono;
    return std::uint32_t(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void BringToFront(QWidget* window) {
    if (!window)
        return;
    window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace quill::WindowOps
