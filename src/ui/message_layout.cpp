#include "message_layout.h"

#include <algorithm>

namespace quill {

namespace {
constexpr int kLabelLeft = 56;
constexpr int kLabelTop = 20;
constexpr int kWidthExtra = 30;
constexpr int kHeightExtra = 58;
constexpr int kMinClientHeight = 96;
constexpr int kButtonBottomGap = 14;
constexpr int kButtonHalfGap = 3; // the Yes and No buttons stand 6 px apart
} // namespace

bool IsQuestionKind(int kind) {
    return kind % 10 != 0;
}

int MinimumMessageClientWidth(const MessageLayoutInput& in) {
    const int buttons = IsQuestionKind(in.kind)
                            ? in.button1Width + 2 * kButtonHalfGap + in.button2Width
                            : in.button1Width;
    // Centred on half the outer width, so the frame's share counts against the margin.
    return buttons + 2 * kButtonBottomGap + in.frameWidth;
}

MessageLayout ComputeMessageLayout(const MessageLayoutInput& in) {
    MessageLayout out;
    out.question = IsQuestionKind(in.kind);
    out.clientWidth =
        std::max(in.labelWidth + in.image1Width + kWidthExtra, MinimumMessageClientWidth(in));
    out.clientHeight = std::max(in.labelHeight + kHeightExtra, kMinClientHeight);
    out.labelLeft = kLabelLeft;
    out.labelTop = kLabelTop;
    out.button1Top = out.clientHeight - in.button1Height - kButtonBottomGap;
    out.button2Top = out.clientHeight - in.button2Height - kButtonBottomGap;
    const int halfOuter = (out.clientWidth + in.frameWidth) / 2;
    if (out.question) {
        out.button1Left = halfOuter - in.button1Width - kButtonHalfGap;
        out.button2Left = halfOuter + kButtonHalfGap;
        out.button1Caption = QStringLiteral("Yes");
    } else {
        out.button1Left = halfOuter - in.button1Width / 2;
        out.button2Left = halfOuter + kButtonHalfGap;
        out.button1Caption = QStringLiteral("OK");
    }
    return out;
}

} // namespace quill
