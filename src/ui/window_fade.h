#pragma once
// The main window's fade, as arithmetic: every timer round the window's opacity
// steps down towards 155 once the pointer has been away from the active window
// for a second, and back up to opaque as soon as it returns.

#include <QPoint>
#include <QRect>

#include <cstdint>

namespace quill {

constexpr int kFadeInterval = 50;            // ms between rounds, also the alpha step
constexpr std::uint32_t kFadeGraceMs = 1000; // the pointer must be away this long
constexpr int kFadeFloorAbove = 200;         // alpha is lowered only while above this

struct FadeState {
    std::uint32_t fadeStartTick = 0; // FadeStartTick: when the pointer was last "home"
    bool alphaBlend = false;         // the window is blended with one constant alpha
    int alphaValue = 255;            // 0..255, 255 = opaque

    bool operator==(const FadeState&) const = default;
};

struct FadeInput {
    bool transparency = false; // the "Transparency" option
    bool activeForm = false;   // the main window is the program's active window
    QPoint cursor;             // the pointer, in screen coordinates
    QRect window;              // the window's rectangle on the screen
    std::uint32_t tick = 0;    // the tick count now (wraps at 2^32)
};

// The pointer is on the window; its right and bottom edges count as on it.
bool CursorOnWindow(const QPoint& cursor, const QRect& window);

// One round of trnspTimerTimer: the state after it. With "Transparency" off
// nothing changes (the settings dialog switches blending off itself).
FadeState FadeTick(const FadeState& state, const FadeInput& in, int step = kFadeInterval);

} // namespace quill
