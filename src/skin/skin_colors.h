#pragma once
// Turns a skin colour (0xBBGGRR, or 0xFF000000 + a system colour index) into a
// QColor for painting.

#include "skin_params.h"

#include <QColor>
#include <QPalette>

namespace quill {

constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// System colours come from `palette` (the application's by default). clNone
// gives a transparent colour, clDefault gives `fallback`; any other high byte is
// ignored and the low three bytes are the colour.
QColor SkinColorToQColor(TColor color, const QColor& fallback = Qt::black);
QColor SkinColorToQColor(TColor color, const QPalette& palette, const QColor& fallback);

// The other way: a QColor as 0xBBGGRR.
TColor QColorToSkinColor(const QColor& color);

} // namespace quill
