#include "platform/window_ops.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
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

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
    const auto cookie = xcb_intern_atom(c, 0, uint16_t(strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookie, nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return atom;
}

// Adds the skip-taskbar and skip-pager states to the window's _NET_WM_STATE. Qt
// merges this property with its own states when it maps the window.
void AddSkipStates(QWidget* window) {
    xcb_connection_t* c = X11Connection();
    if (!c)
        return;
    const auto id = xcb_window_t(window->winId());
    const xcb_atom_t state = Atom(c, "_NET_WM_STATE");
    const xcb_atom_t wanted[] = {Atom(c, "_NET_WM_STATE_SKIP_TASKBAR"),
                                 Atom(c, "_NET_WM_STATE_SKIP_PAGER")};
    std::vector<xcb_atom_t> atoms;
    const auto cookie = xcb_get_property(c, 0, id, state, XCB_ATOM_ATOM, 0, 1024);
    if (xcb_get_property_reply_t* reply = xcb_get_property_reply(c, cookie, nullptr)) {
        if (reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
            const auto* data = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
            atoms.assign(data, data + xcb_get_property_value_length(reply) / 4);
        }
        free(reply);
    }
    for (xcb_atom_t a : wanted)
        if (a != XCB_ATOM_NONE && std::find(atoms.begin(), atoms.end(), a) == atoms.end())
            atoms.push_back(a);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, state, XCB_ATOM_ATOM, 32,
                        uint32_t(atoms.size()), atoms.data());
    xcb_flush(c);
}

// Sets the skip states again just before every show: the show event arrives before
// the window is mapped, and window managers drop the states on unmap.
class SkipTaskbarFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType())
            AddSkipStates(static_cast<QWidget*>(watched));
        return false;
    }
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

void SetSkipTaskbar(QWidget* window) {
    if (!window)
        return;
    static const char* const kInstalled = "quillnoteSkipTaskbarFilter";
    if (!window->property(kInstalled).toBool()) {
        window->installEventFilter(new SkipTaskbarFilter(window));
        window->setProperty(kInstalled, true);
    }
    if (X11Connection())
        AddSkipStates(window);
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
