#include "message_pictures.h"

#include <QPainter>
#include <QPainterPath>

namespace quill {

QPixmap MakeQuestionPicture() {
    QPixmap pixmap(45, 39);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // The bubble, with its tail at the lower left.
    QPainterPath bubble;
    bubble.addEllipse(QRectF(5.5, 1.5, 37, 28));
    QPainterPath tail;
    tail.moveTo(11, 23);
    tail.lineTo(4, 37);
    tail.lineTo(20, 27);
    tail.closeSubpath();
    bubble = bubble.united(tail);
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(Qt::white);
    p.drawPath(bubble);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(22);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(0, 70, 200));
    p.drawText(QRectF(5.5, 1.5, 37, 28), Qt::AlignCenter, QStringLiteral("?"));
    return pixmap;
}

QPixmap MakeErrorPicture() {
    QPixmap pixmap(46, 41);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF disc(4.5, 2.5, 36, 36);
    p.setPen(QPen(QColor(140, 0, 0), 1));
    p.setBrush(QColor(215, 30, 30));
    p.drawEllipse(disc);
    QPen cross(Qt::white, 4.5, Qt::SolidLine, Qt::RoundCap);
    p.setPen(cross);
    const QPointF c = disc.center();
    const qreal arm = 8.5;
    p.drawLine(c + QPointF(-arm, -arm), c + QPointF(arm, arm));
    p.drawLine(c + QPointF(-arm, arm), c + QPointF(arm, -arm));
    return pixmap;
}

} // namespace quill
