#pragma once
// The small circling arrow beside a repeating task's due date, in the list and
// on the printed page alike.

#include <QColor>
#include <QRectF>

class QPainter;

namespace quill {

// Draws the mark inside `box` (a square is best) with lines of `color`.
void DrawRepeatMark(QPainter& painter, const QRectF& box, const QColor& color);

} // namespace quill
