#include "edge_snap.h"

namespace quill {

QPoint SnapToWorkArea(const QRect& proposed, const QSize& current, const QRect& workArea,
                      int edgeDockMode) {
    int x = proposed.x();
    int y = proposed.y();
    if (edgeDockMode != kDockMoved)
        return {x, y};
    const int w = proposed.width() != 0 ? proposed.width() : current.width();
    const int h = proposed.height() != 0 ? proposed.height() : current.height();
    // Edges as the desktop reports them: right and bottom one past the last pixel.
    const int left = workArea.x();
    const int top = workArea.y();
    const int right = workArea.x() + workArea.width();
    const int bottom = workArea.y() + workArea.height();
    const auto within = [](int v, int lo, int hi) { return lo <= v && v <= hi; };

    bool snapped = false;
    // The inner tolerance is measured from the left edge, so a work area that does
    // not start at 0 (a panel on the left, a screen left of the primary one) snaps
    // only near its own edge.
    if (within(x, left + kSnapInner, left + kSnapDistance) ||
        within(x, left - kSnapDistance, left + kSnapInner)) {
        x = left;
        snapped = true;
    }
    if (within(x + w, right - kSnapDistance, right + kSnapInner) ||
        within(x + w, right - kSnapInner, right + kSnapDistance)) {
        x = right - w;
        snapped = true;
    }
    if (y <= top + kSnapDistance) { // anything above the top edge snaps too
        y = top;
        snapped = true;
    }
    if (within(y + h, bottom - kSnapDistance, bottom + kSnapInner)) {
        y = bottom - h;
        snapped = true;
    }
    if (snapped) {
        if (x < left)
            x = left;
        if (x + w > right)
            x = right - w;
        if (y < top)
            y = top;
        if (y + h > bottom)
            y = bottom - h;
    }
    return {x, y};
}

} // namespace quill
