#pragma once
// Edge snapping of the main window, as arithmetic: a window dropped near an edge
// of the work area (the screen without its panels) moves onto that edge.

#include <QPoint>
#include <QRect>
#include <QSize>

namespace quill {

// EdgeDockMode: what happened to the window last. Snapping acts only in Moved.
enum EdgeDockModes : int { kDockNone = 0, kDockMoved = 1, kDockResized = 2 };

constexpr int kSnapDistance = 30; // an edge pulls the window from this far
constexpr int kSnapInner = 10;    // left-edge split between the inner and outer tests

// The position the window takes when it is proposed at `proposed` (a width or
// height of 0 means the window's `current` one), within `workArea`. Outside
// kDockMoved the proposed position stands.
QPoint SnapToWorkArea(const QRect& proposed, const QSize& current, const QRect& workArea,
                      int edgeDockMode);

} // namespace quill
