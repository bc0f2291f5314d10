#include "window_fade.h"

#include <algorithm>

namespace quill {

bool CursorOnWindow(const QPoint& cursor, const QRect& window) {
    // The window's right edge is x + width (one past its last pixel), and it counts.
    return cursor.x() >= window.x() && cursor.x() <= window.x() + window.width() &&
           cursor.y() >= window.y() && cursor.y() <= window.y() + window.height();
}

FadeState FadeTick(const FadeState& state, const FadeInput& in, int step) {
    if (!in.transparency)
        return state;
    FadeState next = state;
    bool wanted = in.activeForm && !CursorOnWindow(in.cursor, in.window);
    if (!wanted)
        next.fadeStartTick = in.tick;
    // Unsigned subtraction gives the elapsed time across the tick count's wrap.
    else if (in.tick - state.fadeStartTick < kFadeGraceMs)
        wanted = false;

    if (wanted) {
        next.alphaBlend = true;
        if (next.alphaValue > kFadeFloorAbove)
            next.alphaValue = (next.alphaValue - step) & 0xFF;
    } else {
        next.alphaValue = std::min(next.alphaValue + step, 255);
    }
    return next;
}

} // namespace quill
