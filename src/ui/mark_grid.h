#pragma once
// The category dialog's row of marks: one row of cells, no lines, no scroll
// bars, painted by whoever handles DrawCell. The current column is the choice;
// a left press on a cell or the arrow keys (Home and End too) move it. Screen
// readers hear the choice as "Mark 3 of 10".

#include <QColor>
#include <QWidget>

class QPainter;

namespace quill {

class TMarkGrid : public QWidget {
    Q_OBJECT
public:
    explicit TMarkGrid(int colCount, int cellSize, QWidget* parent = nullptr);

    int ColCount() const { return colCount_; }
    int CellSize() const { return cellSize_; }
    // The current column; clamped to the existing columns.
    int Col() const { return col_; }
    void SetCol(int col);

    QRect CellRect(int col) const;
    // The column under a point, -1 outside the cells.
    int MouseToCol(const QPoint& pos) const;

    QColor Color() const { return color_; }
    void SetColor(const QColor& color);

    QSize sizeHint() const override;

Q_SIGNALS:
    void DrawCell(QPainter& painter, int col, const QRect& rect);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void describeChoice();

    int colCount_;
    int cellSize_;
    int col_ = 0;
    QColor color_{Qt::white};
};

} // namespace quill
