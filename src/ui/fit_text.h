#pragma once
// Shortening a title with "..." to a column width.

#include <QString>
#include <functional>
#include <string>

class QFont;
class QFontMetrics;

namespace quill {

using TextWidthFn = std::function<int(const QString&)>;

// The text itself when it fits into `width`; otherwise its longest prefix (whole
// characters only) followed by "..." that fits, every prefix length being tried
// and the last fitting one winning; otherwise an empty string.
QString FitTextToWidth(const QString& text, const QFontMetrics& metrics, int width);
QString FitTextToWidth(const QString& text, const TextWidthFn& measure, int width);

// The same result as FitTextToWidth with `metrics` (made from `font`), measuring
// fewer candidates: a binary search when the font lays text out without kerning or
// shaping (widths then never shrink as a prefix grows), otherwise a scan from the
// longest candidate down. Used for painting.
QString FitTextToWidthFast(const QString& text, const QFont& font, const QFontMetrics& metrics,
                           int width);

// A title from the store's bytes (UTF-8): invalid bytes show as U+FFFD.
QString DecodeTitle(const std::string& bytes);

} // namespace quill
