#include "string_grid.h"

#include "string_grid_accessible.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>

namespace quill {

namespace {
constexpr int kWheelNotch = 120;
}

TStringGrid::TStringGrid(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(false);
    grid_access::InstallFactory();
}

TStringGrid::~TStringGrid() = default;

void TStringGrid::SetRowCount(int count) {
    rowCount_ = std::max(1, count);
    // The current row stays on an existing row; nothing is reported.
    row_ = std::min(row_, rowCount_ - 1);
    topRow_ = std::clamp(topRow_, 0, maxTopRow());
    scrollIntoView();
    update();
    grid_access::ContentsMayHaveChanged(this);
}

void TStringGrid::SetColCount(int count) {
    colWidths_.resize(static_cast<size_t>(std::max(1, count)), 64);
    update();
    grid_access::ContentsMayHaveChanged(this);
}

void TStringGrid::SetCellSource(GridCellSource* source) {
    cellSource_ = source;
    grid_access::ContentsMayHaveChanged(this);
}

int TStringGrid::ColWidth(int col) const {
    if (col < 0 || col >= ColCount())
        return 0;
    return colWidths_[static_cast<size_t>(col)];
}

void TStringGrid::SetColWidth(int col, int width) {
    if (col < 0 || col >= ColCount())
        return;
    colWidths_[static_cast<size_t>(col)] = std::max(0, width);
    update();
}

void TStringGrid::SetDefaultRowHeight(int height) {
    rowHeight_ = std::max(1, height);
    topRow_ = std::clamp(topRow_, 0, maxTopRow());
    scrollIntoView();
    update();
}

void TStringGrid::SetRow(int row) {
    row = std::clamp(row, 0, rowCount_ - 1);
    if (row != row_)
        focusRow(row);
}

void TStringGrid::SetTopRow(int row) {
    const int top = std::clamp(row, 0, maxTopRow());
    if (top != topRow_) {
        topRow_ = top;
        update();
    }
}

int TStringGrid::VisibleRowCount() const {
    return std::max(1, (height() - 1) / rowHeight_);
}

int TStringGrid::maxTopRow() const {
    return std::max(0, rowCount_ - VisibleRowCount());
}

QRect TStringGrid::CellRect(int col, int row) const {
    int left = 0;
    for (int c = 0; c < col && c < ColCount(); ++c)
        left += colWidths_[static_cast<size_t>(c)];
    return QRect(left, (row - topRow_) * rowHeight_, ColWidth(col), rowHeight_);
}

bool TStringGrid::MouseToCell(const QPoint& pos, int& col, int& row) const {
    if (pos.y() < 0 || pos.x() < 0)
        return false;
    const int r = topRow_ + pos.y() / rowHeight_;
    if (r >= rowCount_)
        return false;
    int left = 0;
    for (int c = 0; c < ColCount(); ++c) {
        const int w = colWidths_[static_cast<size_t>(c)];
        if (pos.x() < left + w) {
            col = c;
            row = r;
            return true;
        }
        left += w;
    }
    return false;
}

void TStringGrid::SetColor(const QColor& color) {
    color_ = color;
    update();
}

void TStringGrid::QueueLeftClick(const QPoint& pos) {
    hasQueuedClick_ = true;
    queuedClickPos_ = pos;
}

bool TStringGrid::IsActiveControl() const {
    return window()->focusWidget() == this;
}

bool TStringGrid::moveCurrent(int col, int row) {
    bool canSelect = true;
    Q_EMIT SelectCell(col, row, &canSelect);
    if (!canSelect)
        return false;
    const int oldRow = row_;
    row_ = row;
    scrollIntoView();
    update();
    if (row != oldRow)
        grid_access::CurrentRowMoved(this, oldRow);
    return true;
}

void TStringGrid::focusRow(int row) {
    if (moveCurrent(0, row))
        Q_EMIT Click();
}

void TStringGrid::scrollIntoView() {
    const int visible = VisibleRowCount();
    int top = topRow_;
    if (row_ < top)
        top = row_;
    else if (row_ >= top + visible)
        top = row_ - visible + 1;
    top = std::clamp(top, 0, maxTopRow());
    if (top != topRow_) {
        topRow_ = top;
        update();
    }
}

void TStringGrid::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), color_);
    const bool active = IsActiveControl();
    for (int row = topRow_; row < rowCount_; ++row) {
        const int top = (row - topRow_) * rowHeight_;
        if (top >= height())
            break;
        int left = 0;
        for (int col = 0; col < ColCount(); ++col) {
            const int w = colWidths_[static_cast<size_t>(col)];
            if (left >= width())
                break;
            GridDrawState state;
            state.selected = row == row_;
            state.focused = state.selected && col == 0 && active;
            const QRect cell(left, top, w, rowHeight_);
            painter.save();
            painter.setClipRect(cell);
            Q_EMIT DrawCell(painter, col, row, cell, state);
            painter.restore();
            left += w;
        }
    }
    Q_EMIT DrawOver(painter);
    // Whatever changed what the cells show is followed by a paint.
    grid_access::ContentsMayHaveChanged(this);
}

void TStringGrid::leftPress(const QPoint& pos, Qt::KeyboardModifiers shift) {
    int col = 0, row = 0;
    if (MouseToCell(pos, col, row)) {
        selecting_ = moveCurrent(col, row);
    }
    Q_EMIT MouseDown(Qt::LeftButton, shift, pos.x(), pos.y());
}

void TStringGrid::trackPointer(const QPoint& pos) {
    int col = 0, row = 0;
    if (!MouseToCell(pos, col, row))
        return;
    // The anchor of a whole-row selection is the last column of the current row.
    if (row == row_ && col == ColCount() - 1)
        return;
    moveCurrent(col, row);
}

void TStringGrid::leftRelease(const QPoint& pos) {
    if (!selecting_)
        return;
    trackPointer(pos);
    selecting_ = false;
    Q_EMIT Click();
}

void TStringGrid::runQueuedClick() {
    if (!hasQueuedClick_)
        return;
    hasQueuedClick_ = false;
    const QPoint pos = queuedClickPos_;
    leftPress(pos, Qt::NoModifier);
    leftRelease(pos);
}

void TStringGrid::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        leftPress(pos, event->modifiers());
    } else {
        Q_EMIT MouseDown(event->button(), event->modifiers(), pos.x(), pos.y());
        runQueuedClick();
    }
    event->accept();
}

void TStringGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        selecting_ = false;
        Q_EMIT DblClick();
        Q_EMIT MouseDown(Qt::LeftButton, event->modifiers(), pos.x(), pos.y());
    } else {
        Q_EMIT MouseDown(event->button(), event->modifiers(), pos.x(), pos.y());
        runQueuedClick();
    }
    event->accept();
}

void TStringGrid::mouseMoveEvent(QMouseEvent* event) {
    if (selecting_ && (event->buttons() & Qt::LeftButton))
        trackPointer(event->position().toPoint());
    event->accept();
}

void TStringGrid::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        leftRelease(pos);
    } else if (event->button() == Qt::RightButton && popupMenu_ && rect().contains(pos)) {
        popupMenu_->popup(mapToGlobal(pos));
    }
    event->accept();
}

void TStringGrid::keyPressEvent(QKeyEvent* event) {
    int key = event->key();
    Q_EMIT KeyDown(&key, event->modifiers());
    if (key == 0) {
        event->accept();
        return;
    }
    const int page = VisibleRowCount();
    int target = row_;
    switch (key) {
    case Qt::Key_Up:
        target = row_ - 1;
        break;
    case Qt::Key_Down:
        target = row_ + 1;
        break;
    case Qt::Key_PageUp:
        target = row_ - page;
        SetTopRow(topRow_ - page);
        break;
    case Qt::Key_PageDown:
        target = row_ + page;
        SetTopRow(topRow_ + page);
        break;
    case Qt::Key_Home:
        target = 0;
        break;
    case Qt::Key_End:
        target = rowCount_ - 1;
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    SetRow(target);
    event->accept();
}

void TStringGrid::wheelEvent(QWheelEvent* event) {
    // One step per notch; finer wheels add up to a notch first.
    wheelRemainder_ += event->angleDelta().y();
    const QPoint pos = event->position().toPoint();
    while (std::abs(wheelRemainder_) >= kWheelNotch) {
        const bool down = wheelRemainder_ < 0;
        wheelRemainder_ += down ? kWheelNotch : -kWheelNotch;
        bool handled = false;
        if (down)
            Q_EMIT MouseWheelDown(event->modifiers(), pos, &handled);
        else
            Q_EMIT MouseWheelUp(event->modifiers(), pos, &handled);
        if (!handled) {
            if (down && row_ < rowCount_ - 1)
                SetRow(row_ + 1);
            else if (!down && row_ > 0)
                SetRow(row_ - 1);
        }
    }
    event->accept();
}

void TStringGrid::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
    grid_access::FocusEntered(this);
}

void TStringGrid::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

void TStringGrid::contextMenuEvent(QContextMenuEvent* event) {
    // Mouse menus open on the right button's release (mouseReleaseEvent).
    if (event->reason() != QContextMenuEvent::Mouse && popupMenu_)
        popupMenu_->popup(mapToGlobal(CellRect(0, row_).bottomLeft()));
    event->accept();
}

void TStringGrid::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    topRow_ = std::clamp(topRow_, 0, maxTopRow());
    scrollIntoView();
}

} // namespace quill
