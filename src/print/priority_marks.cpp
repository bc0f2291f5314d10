#include "priority_marks.h"

#include <QPainter>
#include <QPolygon>

namespace quill {
namespace {

QImage Blank(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

} // namespace

QImage HighPriorityMark() {
    QImage image = Blank(7, 45);
    QPainter p(&image);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    // The bar narrows towards its foot; the dot sits below a gap.
    p.drawPolygon(QPolygon({QPoint(0, 0), QPoint(7, 0), QPoint(5, 32), QPoint(2, 32)}));
    p.drawRect(1, 37, 5, 7);
    p.end();
    return image.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
}

QImage LowPriorityMark() {
    QImage image = Blank(21, 39);
    QPainter p(&image);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawRect(7, 0, 7, 24);
    p.drawPolygon(QPolygon({QPoint(0, 22), QPoint(21, 22), QPoint(11, 39), QPoint(10, 39)}));
    p.end();
    return image.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
}

} // namespace quill
