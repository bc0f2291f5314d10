#include "skin_colors.h"

#include <QGuiApplication>

namespace quill {
namespace {

// The platform palette role nearest to each Windows system colour index.
QColor SystemColor(uint32_t index, const QPalette& p, const QColor& fallback) {
    using R = QPalette::ColorRole;
    const auto inactive = [&](R role) { return p.color(QPalette::Inactive, role); };
    switch (index) {
    case 0:
        return p.color(R::Button); // scroll bar
    case 1:
        return p.color(R::Dark); // desktop
    case 2:
        return p.color(R::Highlight); // active caption
    case 3:
        return inactive(R::Window); // inactive caption
    case 4:
        return p.color(R::Window); // menu
    case 5:
        return p.color(R::Base); // window
    case 6:
        return p.color(R::Shadow); // window frame
    case 7:
        return p.color(R::WindowText); // menu text
    case 8:
        return p.color(R::Text); // window text
    case 9:
        return p.color(R::HighlightedText); // caption text
    case 10:
        return p.color(R::Button); // active border
    case 11:
        return inactive(R::Button); // inactive border
    case 12:
        return p.color(R::Mid); // application workspace
    case 13:
        return p.color(R::Highlight);
    case 14:
        return p.color(R::HighlightedText);
    case 15:
        return p.color(R::Button); // button face
    case 16:
        return p.color(R::Dark); // button shadow
    case 17:
        return p.color(QPalette::Disabled, R::Text); // grey text
    case 18:
        return p.color(R::ButtonText);
    case 19:
        return inactive(R::WindowText); // inactive caption text
    case 20:
        return p.color(R::Light); // button highlight
    case 21:
        return p.color(R::Shadow); // 3D dark shadow
    case 22:
        return p.color(R::Midlight); // 3D light
    case 23:
        return p.color(R::ToolTipText);
    case 24:
        return p.color(R::ToolTipBase);
    case 26:
        return p.color(R::Link); // hot light
    case 27:
        return p.color(R::Highlight).lighter(130); // gradient active caption
    case 28:
        return inactive(R::Window).lighter(105); // gradient inactive caption
    case 29:
        return p.color(R::Highlight); // menu highlight
    case 30:
        return p.color(R::Window); // menu bar
    default:
        return fallback;
    }
}

} // namespace

QColor SkinColorToQColor(TColor color, const QPalette& palette, const QColor& fallback) {
    if (color == clNone)
        return Qt::transparent;
    const uint32_t high = color >> 24;
    if (high == 0xFF)
        return SystemColor(color & 0xFFFFFFu, palette, fallback);
    if (color == clDefault)
        return fallback;
    // Any other high byte is ignored: the low three bytes are the colour.
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

QColor SkinColorToQColor(TColor color, const QColor& fallback) {
    return SkinColorToQColor(color, QGuiApplication::palette(), fallback);
}

TColor QColorToSkinColor(const QColor& color) {
    return static_cast<TColor>(color.red()) | (static_cast<TColor>(color.green()) << 8) |
           (static_cast<TColor>(color.blue()) << 16);
}

} // namespace quill
