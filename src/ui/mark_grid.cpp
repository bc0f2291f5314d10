#include "mark_grid.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace quill {

TMarkGrid::TMarkGrid(int colCount, int cellSize, QWidget* parent)
    : QWidget(parent), colCount_(std::max(1, colCount)), cellSize_(std::max(1, cellSize)) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(sizeHint());
    describeChoice();
}

void TMarkGrid::describeChoice() {
    // A screen reader says the choice as the categories list reads it.
    setAccessibleDescription(QStringLiteral("Mark %1 of %2").arg(col_ + 1).arg(colCount_));
}

QSize TMarkGrid::sizeHint() const {
    return {colCount_ * cellSize_, cellSize_};
}

void TMarkGrid::SetCol(int col) {
    col = std::clamp(col, 0, colCount_ - 1);
    if (col == col_)
        return;
    col_ = col;
    update();
    describeChoice();
}

QRect TMarkGrid::CellRect(int col) const {
    return {col * cellSize_, 0, cellSize_, cellSize_};
}

int TMarkGrid::MouseToCol(const QPoint& pos) const {
    if (pos.x() < 0 || pos.y() < 0 || pos.y() >= cellSize_)
        return -1;
    const int col = pos.x() / cellSize_;
    return col < colCount_ ? col : -1;
}

void TMarkGrid::SetColor(const QColor& color) {
    color_ = color;
    update();
}

void TMarkGrid::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), color_);
    for (int col = 0; col < colCount_; ++col) {
        const QRect cell = CellRect(col);
        painter.save();
        painter.setClipRect(cell);
        Q_EMIT DrawCell(painter, col, cell);
        painter.restore();
    }
}

void TMarkGrid::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    if (event->button() == Qt::LeftButton) {
        const int col = MouseToCol(event->position().toPoint());
        if (col >= 0)
            SetCol(col);
    }
    event->accept();
}

void TMarkGrid::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Left:
        SetCol(col_ - 1);
        break;
    case Qt::Key_Right:
        SetCol(col_ + 1);
        break;
    case Qt::Key_Home:
        SetCol(0);
        break;
    case Qt::Key_End:
        SetCol(colCount_ - 1);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

} // namespace quill
