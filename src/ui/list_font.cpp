#include "list_font.h"

#include "skin/skin_params.h"

#include <algorithm>

namespace quill {

namespace {
constexpr int kDefaultFontSize = 10;
constexpr int kMaxFontSize = 200;
} // namespace

QFont MakeListFont(const SkinParams& params) {
    QFont font(QString::fromStdString(params.TaskFontName));
    // A size no list could show (0, or a typo of many digits) falls back or is capped.
    font.setPointSize(params.TaskFontSize > 0 ? std::min(params.TaskFontSize, kMaxFontSize)
                                              : kDefaultFontSize);
    // Text is measured and drawn as the sum of its characters' widths, without
    // kerning or ligatures: the way the classic lists drew it, and what lets the
    // shortening search stay exact.
    font.setKerning(false);
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

} // namespace quill
