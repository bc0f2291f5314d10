#pragma once
// What a screen reader reads from a TStringGrid. The grid paints nothing itself,
// so its owner describes the cells in words through a GridCellSource; the grid
// then offers an accessible table: one row per shown row, the columns as painted,
// one cell interface made only when a screen reader asks for it. Nothing here
// runs while no assistive technology is listening.

#include <QString>
#include <cstdint>

namespace quill {

class TStringGrid;

class GridCellSource {
public:
    virtual ~GridCellSource() = default;
    // Rows that show something (a grid keeps one row even when it shows none).
    virtual int ShownRowCount() const = 0;
    // The column's heading, as a person would name it ("Due date").
    virtual QString ColumnTitle(int col) const = 0;
    // The cell's contents as a sighted user reads them; a check column's cell is
    // empty, its state says it all.
    virtual QString CellText(int col, int row) const = 0;
    // A column of tick boxes: its cells are checkable, ticked when IsChecked.
    virtual bool IsCheckColumn(int) const { return false; }
    virtual bool IsChecked(int) const { return false; }
    // What the row stands for (a task's key): a row that now stands for
    // something else makes the screen reader forget every cell it has read.
    // Rows of the same identity are compared by text and checked state.
    virtual uint64_t RowIdentity(int) const { return 0; }
    // What the row stands for in a few words (a task's title): said when
    // another row's contents move under the focus, as after a re-sort.
    virtual QString RowName(int) const { return QString(); }
    // Read when the grid shows no row ("No tasks...").
    virtual QString EmptyText() const { return QString(); }
};

namespace grid_access {

// Lets Qt's accessibility find the grid's table; the grid calls it once.
void InstallFactory();
// The grid's moments a screen reader must hear of. Each returns at once while
// no assistive technology is active.
void CurrentRowMoved(TStringGrid* grid, int oldRow);
void FocusEntered(TStringGrid* grid);
// Rows, columns or contents may have changed: only the cells a screen reader
// has already read are compared with what they show now.
void ContentsMayHaveChanged(TStringGrid* grid);
// How many cell interfaces the grid's table holds (0 when it has none).
int CachedCellCount(const TStringGrid* grid);

} // namespace grid_access

} // namespace quill
