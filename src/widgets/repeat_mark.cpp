#include "widgets/repeat_mark.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <algorithm>

namespace quill {

void DrawRepeatMark(QPainter& painter, const QRectF& box, const QColor& color) {
    const qreal side = std::min(box.width(), box.height());
    if (side < 4) {
        return;
    }
    const qreal pen = std::max<qreal>(1.0, side / 8);
    const QRectF circle(box.center().x() - side / 2 + pen, box.center().y() - side / 2 + pen,
                        side - 2 * pen, side - 2 * pen);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(color, pen, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    // Three quarters of a circle from the top, round to the right, ending in a
    // filled arrow head that points back up at the start.
    painter.drawArc(circle, 90 * 16, -270 * 16);
    const qreal r = circle.width() / 2;
    const QPointF tip(circle.center().x() - r, circle.center().y());
    const qreal head = std::max<qreal>(2.0, side * 0.3);
    QPainterPath arrow;
    arrow.moveTo(tip + QPointF(-head, head * 0.2));
    arrow.lineTo(tip + QPointF(head, head * 0.2));
    arrow.lineTo(tip + QPointF(0, -head));
    arrow.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawPath(arrow);
    painter.restore();
}

} // namespace quill
