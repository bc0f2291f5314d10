#pragma once
// An owner-drawn grid of rows and columns: whole-row selection, one row height,
// no scroll bars, border or drawing of its own. Every cell is painted by whoever
// handles DrawCell. The events arrive in this order:
//  - a left press on a cell: SelectCell(col under the pointer, row), then MouseDown;
//    while the button is held and at the release, SelectCell again whenever the
//    pointer is over a cell other than the anchor (the last column of the current
//    row); the release then reports Click.
//  - a press below the last row: MouseDown only.
//  - the second press of a double-click: DblClick, then MouseDown; no Click.
//  - keys, wheel and SetRow from code: SelectCell(0, row), then Click.
//  - a right press: MouseDown only; the PopupMenu opens at the release. The
//    keyboard's menu key opens it at the current row.
// A screen reader reads the grid as a table (string_grid_accessible.h) through
// the GridCellSource its owner sets.

#include <QMenu>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <vector>

class QPainter;

namespace quill {

class GridCellSource;

struct GridDrawState {
    bool selected = false; // the cell is in the current row
    bool focused = false;  // the current cell while the grid is its window's active control
};

class TStringGrid : public QWidget {
    Q_OBJECT
public:
    explicit TStringGrid(QWidget* parent = nullptr);
    ~TStringGrid() override;

    // The grid always keeps at least one row and one column.
    int RowCount() const { return rowCount_; }
    void SetRowCount(int count);
    int ColCount() const { return static_cast<int>(colWidths_.size()); }
    void SetColCount(int count);

    int ColWidth(int col) const;
    void SetColWidth(int col, int width);
    int DefaultRowHeight() const { return rowHeight_; }
    void SetDefaultRowHeight(int height);
    int RowHeights(int) const { return rowHeight_; }

    // The current row; the current column is always 0.
    int Row() const { return row_; }
    int Col() const { return 0; }
    // Moves the current row as code does: SelectCell(0, row), then Click; nothing
    // when the row is already current. Clamped to the existing rows.
    void SetRow(int row);

    int TopRow() const { return topRow_; }
    void SetTopRow(int row);
    // Rows that fit entirely, at least one. A row whose bottom touches the grid's
    // last pixel row is not counted, so the current row is always fully painted.
    int VisibleRowCount() const;

    // Cell rectangle in grid coordinates (may extend past the grid's bottom).
    QRect CellRect(int col, int row) const;
    // The cell under a point; false below the last row or right of the last column.
    bool MouseToCell(const QPoint& pos, int& col, int& row) const;

    // Background of the area outside cells.
    QColor Color() const { return color_; }
    void SetColor(const QColor& color);

    // The context menu, opened when the right button is released over the grid.
    void SetPopupMenu(QMenu* menu) { popupMenu_ = menu; }

    // From a MouseDown handler: after the handler returns, the grid runs a left
    // press and release at `pos` exactly as the mouse would (never a double-click).
    void QueueLeftClick(const QPoint& pos);

    // True while the grid is the focus widget of its window (even when the window
    // itself is inactive).
    bool IsActiveControl() const;

    // What a screen reader reads; null reads empty cells. Must outlive the grid
    // or be reset to null first.
    void SetCellSource(GridCellSource* source);
    GridCellSource* CellSource() const { return cellSource_; }

Q_SIGNALS:
    void SelectCell(int col, int row, bool* canSelect);
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void Click();
    void DblClick();
    // Before the grid's own key handling; set *key to 0 to consume the key.
    void KeyDown(int* key, Qt::KeyboardModifiers shift);
    // One per wheel notch; leave *handled false to let the grid move one row.
    void MouseWheelDown(Qt::KeyboardModifiers shift, const QPoint& pos, bool* handled);
    void MouseWheelUp(Qt::KeyboardModifiers shift, const QPoint& pos, bool* handled);
    // `rect` is the cell's rectangle: Left/Top inclusive, x()+width() and
    // y()+height() exclusive.
    void DrawCell(QPainter& painter, int col, int row, const QRect& rect, GridDrawState state);
    // After every cell of a paint, unclipped: for what lies over the cells.
    void DrawOver(QPainter& painter);
    // A screen reader's toggle action on the row's check cell, after its call.
    void ToggleCheck(int row);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void leftPress(const QPoint& pos, Qt::KeyboardModifiers shift);
    void leftRelease(const QPoint& pos);
    void trackPointer(const QPoint& pos);
    // Reports SelectCell and makes `row` current; false when refused.
    bool moveCurrent(int col, int row);
    // SelectCell(0, row), move, Click: keyboard, wheel and code.
    void focusRow(int row);
    void scrollIntoView();
    void runQueuedClick();
    int maxTopRow() const;

    std::vector<int> colWidths_{64};
    int rowCount_ = 1;
    int rowHeight_ = 24;
    int row_ = 0;
    int topRow_ = 0;
    QColor color_{Qt::white};
    QPointer<QMenu> popupMenu_;
    bool selecting_ = false; // a left press on a cell is being tracked
    int wheelRemainder_ = 0;
    bool hasQueuedClick_ = false;
    QPoint queuedClickPos_;
    GridCellSource* cellSource_ = nullptr;
};

} // namespace quill
