#pragma once
// Window-manager operations on top-level widgets, with the X11 details that Qt
// leaves out. Every function is safe on the offscreen platform (tests).

#include <QPoint>
#include <QRect>

#include <cstdint>

class QWidget;

namespace quill::WindowOps {

// Keeps the window above others (or not) without moving, resizing or activating it.
void SetStayOnTop(QWidget* window, bool onTop);
bool IsStayOnTop(const QWidget* window);

// Constant opacity of the whole window, 0.0 to 1.0 (flushed to the X server at once;
// visible only with a compositing manager).
void SetOpacity(QWidget* window, double opacity);

enum class SkipTaskbar {
    Always,
    // Only while a system tray exists: without one, a minimised window would have
    // nothing left to restore it from, so it keeps its taskbar entry.
    WhileTrayExists,
};

// No taskbar button and no pager entry. Call once, best before the first show(): the
// rule is applied again before every later show (window managers drop the states on
// hide, and a tray may have come or gone). No-op where there is no X11 connection.
void SetSkipTaskbar(QWidget* window, SkipTaskbar rule = SkipTaskbar::WhileTrayExists);

// The work area of the screen the window is on (the primary screen for nullptr):
// the screen minus panels and docks.
QRect WorkArea(const QWidget* window);

QPoint CursorPos();

// Milliseconds from a fixed point, monotonic, wrapping at 2^32 like GetTickCount.
std::uint32_t TickCount();

// Restores the window from minimised or hidden, shows it, raises and activates it.
void BringToFront(QWidget* window);

} // namespace quill::WindowOps
