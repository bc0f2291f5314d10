#include "string_grid_accessible.h"

#include "string_grid.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>
#include <algorithm>
#include <unordered_map>
#include <utility>

namespace quill {

namespace {

class GridTable;

// Orca 43 treats a cell as a tick box only with an action of exactly this name.
const QString kToggleAction = QStringLiteral("toggle");

// One cell, made when a screen reader first asks for it. It remembers what it
// last told the reader, so a later change can be reported for this cell alone.
class GridCell : public QAccessibleInterface,
                 public QAccessibleTableCellInterface,
                 public QAccessibleActionInterface {
public:
    GridCell(GridTable* table, int row, int col);

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    bool isSelected() const override;
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return col_; }
    int rowIndex() const override { return row_; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override;

    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    // What the reader was last told.
    uint64_t identity = 0;
    QString shownText;
    bool shownChecked = false;

private:
    bool isCheckCell() const;

    GridTable* table_;
    int row_;
    int col_;
};

// The grid as a table. Cells are children in row-major order, without headers.
class GridTable : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit GridTable(TStringGrid* grid);
    ~GridTable() override;

    TStringGrid* grid() const { return static_cast<TStringGrid*>(widget()); }
    const GridCellSource* source() const { return grid() ? grid()->CellSource() : nullptr; }
    int rows() const;
    int cols() const { return grid() ? grid()->ColCount() : 0; }
    // The interface of a cell the reader already has, or null.
    GridCell* cached(int row, int col) const;
    int cachedCount() const { return static_cast<int>(cells_.size()); }
    // Compares the cells the reader has read with what they show now.
    void refresh();
    bool refreshQueued = false;
    int announceRow = -1; // its first cell's description names the row

    int childCount() const override { return rows() * cols(); }
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;
    QString text(QAccessible::Text t) const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override;
    int selectedCellCount() const override { return rows() > 0 ? cols() : 0; }
    QList<QAccessibleInterface*> selectedCells() const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int) const override { return QString(); }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return rows() > 0 ? 1 : 0; }
    int columnCount() const override { return cols(); }
    int rowCount() const override { return rows(); }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override;
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int row) const override;
    bool selectRow(int row) override;
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent* event) override;

private:
    void dropCells();

    // Child index -> the registered cell; only cells a reader asked for.
    mutable std::unordered_map<int, QAccessible::Id> cells_;
    int shownRows_ = 0;
    int shownCols_ = 0;
};

// The tables that exist, so the grid's moments never create one while no
// reader has asked.
QHash<const TStringGrid*, GridTable*>& Tables() {
    // Never destroyed: Qt may delete the last tables while the program's statics
    // are going away.
    static auto* tables = new QHash<const TStringGrid*, GridTable*>;
    return *tables;
}

GridTable* ExistingTable(const TStringGrid* grid) {
    return Tables().value(grid, nullptr);
}

void SendForCell(TStringGrid* grid, QAccessible::Event type, int index) {
    QAccessibleEvent event(grid, type);
    event.setChild(index);
    QAccessible::updateAccessibility(&event);
}

void SendFocusOnCurrent(TStringGrid* grid) {
    GridTable* table = ExistingTable(grid);
    const int rows = table ? table->rows() : grid->RowCount();
    if (!grid->hasFocus() || grid->Row() >= rows)
        return;
    SendForCell(grid, QAccessible::Focus, grid->Row() * grid->ColCount());
}

QAccessibleInterface* MakeTable(const QString& className, QObject* object) {
    if (object && object->isWidgetType() &&
        className == QLatin1String(TStringGrid::staticMetaObject.className()))
        return new GridTable(static_cast<TStringGrid*>(object));
    return nullptr;
}

// --- GridCell ---

GridCell::GridCell(GridTable* table, int row, int col) : table_(table), row_(row), col_(col) {
    if (const GridCellSource* source = table_->source()) {
        identity = source->RowIdentity(row_);
        shownText = source->CellText(col_, row_);
        shownChecked = isCheckCell() && source->IsChecked(row_);
    }
}

bool GridCell::isValid() const {
    return table_->isValid() && row_ < table_->rows() && col_ < table_->cols();
}

QWindow* GridCell::window() const {
    return table_->window();
}

QAccessibleInterface* GridCell::parent() const {
    return table_;
}

QAccessibleInterface* GridCell::table() const {
    return table_;
}

bool GridCell::isCheckCell() const {
    const GridCellSource* source = table_->source();
    return source && source->IsCheckColumn(col_);
}

QString GridCell::text(QAccessible::Text t) const {
    const GridCellSource* source = table_->source();
    if (!source || !isValid())
        return QString();
    if (t == QAccessible::Description && col_ == 0 && row_ == table_->announceRow)
        return source->RowName(row_);
    return t == QAccessible::Name ? source->CellText(col_, row_) : QString();
}

QRect GridCell::rect() const {
    TStringGrid* grid = table_->grid();
    if (!grid)
        return QRect();
    const QRect cell = grid->CellRect(col_, row_);
    return QRect(grid->mapToGlobal(cell.topLeft()), cell.size());
}

QAccessible::State GridCell::state() const {
    QAccessible::State st;
    TStringGrid* grid = table_->grid();
    if (!grid || !isValid()) {
        st.invalid = true;
        return st;
    }
    st.focusable = true;
    st.selectable = true;
    st.selected = isSelected();
    // The check cell of the current row stands for the row, as it does on screen.
    st.focused = st.selected && col_ == 0 && grid->hasFocus();
    if (isCheckCell()) {
        st.checkable = true;
        st.checked = table_->source()->IsChecked(row_);
    }
    return st;
}

void* GridCell::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TableCellInterface)
        return static_cast<QAccessibleTableCellInterface*>(this);
    if (type == QAccessible::ActionInterface)
        return static_cast<QAccessibleActionInterface*>(this);
    return nullptr;
}

bool GridCell::isSelected() const {
    TStringGrid* grid = table_->grid();
    return grid && grid->Row() == row_;
}

QStringList GridCell::actionNames() const {
    return isCheckCell() ? QStringList{kToggleAction} : QStringList{};
}

void GridCell::doAction(const QString& actionName) {
    TStringGrid* grid = table_->grid();
    if (actionName != kToggleAction || !grid || !isCheckCell() || !isValid())
        return;
    // After the reader's call has returned: the tick may re-sort the list, which
    // drops this very cell.
    const int row = row_;
    QMetaObject::invokeMethod(
        grid, [grid, row] { Q_EMIT grid->ToggleCheck(row); }, Qt::QueuedConnection);
}

// --- GridTable ---

GridTable::GridTable(TStringGrid* grid) : QAccessibleWidget(grid, QAccessible::Table) {
    Tables().insert(grid, this);
    shownRows_ = rows();
    shownCols_ = cols();
}

GridTable::~GridTable() {
    Tables().remove(Tables().key(this));
    dropCells();
}

int GridTable::rows() const {
    TStringGrid* g = grid();
    if (!g)
        return 0;
    const GridCellSource* s = source();
    return s ? std::clamp(s->ShownRowCount(), 0, g->RowCount()) : g->RowCount();
}

GridCell* GridTable::cached(int row, int col) const {
    const auto it = cells_.find(row * cols() + col);
    return it == cells_.end()
               ? nullptr
               : static_cast<GridCell*>(QAccessible::accessibleInterface(it->second));
}

QAccessibleInterface* GridTable::cellAt(int row, int column) const {
    const int columns = cols();
    if (row < 0 || column < 0 || row >= rows() || column >= columns)
        return nullptr;
    const int index = row * columns + column;
    const auto it = cells_.find(index);
    if (it != cells_.end()) {
        if (QAccessibleInterface* cell = QAccessible::accessibleInterface(it->second))
            return cell;
    }
    auto* cell = new GridCell(const_cast<GridTable*>(this), row, column);
    cells_[index] = QAccessible::registerAccessibleInterface(cell);
    return cell;
}

QAccessibleInterface* GridTable::child(int index) const {
    const int columns = cols();
    if (index < 0 || columns == 0)
        return nullptr;
    return cellAt(index / columns, index % columns);
}

int GridTable::indexOfChild(const QAccessibleInterface* child) const {
    if (!child || child->parent() != this)
        return -1;
    const auto* cell = const_cast<QAccessibleInterface*>(child)->tableCellInterface();
    return cell ? cell->rowIndex() * cols() + cell->columnIndex() : -1;
}

QAccessibleInterface* GridTable::childAt(int x, int y) const {
    TStringGrid* g = grid();
    int col = 0, row = 0;
    if (!g || !g->MouseToCell(g->mapFromGlobal(QPoint(x, y)), col, row))
        return nullptr;
    return cellAt(row, col);
}

QAccessibleInterface* GridTable::focusChild() const {
    TStringGrid* g = grid();
    return g && g->hasFocus() ? cellAt(g->Row(), 0) : nullptr;
}

QString GridTable::text(QAccessible::Text t) const {
    if (t == QAccessible::Description && rows() == 0 && source())
        return source()->EmptyText();
    return QAccessibleWidget::text(t);
}

void* GridTable::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QList<QAccessibleInterface*> GridTable::selectedCells() const {
    QList<QAccessibleInterface*> cells;
    if (grid() && rows() > 0) {
        for (int col = 0; col < cols(); ++col)
            cells << cellAt(grid()->Row(), col);
    }
    return cells;
}

QString GridTable::columnDescription(int column) const {
    return source() && column >= 0 && column < cols() ? source()->ColumnTitle(column) : QString();
}

QList<int> GridTable::selectedRows() const {
    if (grid() && rows() > 0)
        return {grid()->Row()};
    return {};
}

bool GridTable::isRowSelected(int row) const {
    return grid() && row < rows() && grid()->Row() == row;
}

bool GridTable::selectRow(int row) {
    if (!grid() || row < 0 || row >= rows())
        return false;
    grid()->SetRow(row);
    return grid()->Row() == row;
}

void GridTable::modelChange(QAccessibleTableModelChangeEvent*) {
    // Every change of rows makes the reader forget all it has read: a row may now
    // show another task, and a cell kept alive would read the old one.
    dropCells();
    shownRows_ = rows();
    shownCols_ = cols();
}

void GridTable::dropCells() {
    const auto cells = std::move(cells_);
    cells_.clear();
    for (const auto& [index, id] : cells)
        QAccessible::deleteAccessibleInterface(id);
}

void GridTable::refresh() {
    refreshQueued = false;
    TStringGrid* g = grid();
    const GridCellSource* s = source();
    if (!g)
        return;
    const int rowCount = rows();
    bool structural = rowCount != shownRows_ || cols() != shownCols_;
    for (auto it = cells_.begin(); !structural && it != cells_.end(); ++it) {
        auto* cell = static_cast<GridCell*>(QAccessible::accessibleInterface(it->second));
        structural = cell && s && cell->identity != s->RowIdentity(cell->rowIndex());
    }
    if (structural) {
        // A reader that sees the focus stay in its row reads only the focused
        // cell: when another task now stands there, that cell names it until the
        // row moves.
        const GridCell* focused = g->hasFocus() ? cached(g->Row(), 0) : nullptr;
        const bool replaced =
            focused && s && focused->identity != 0 && focused->identity != s->RowIdentity(g->Row());
        QAccessibleTableModelChangeEvent reset(g, QAccessibleTableModelChangeEvent::ModelReset);
        QAccessible::updateAccessibility(&reset);
        // Without an active reader Qt never called modelChange.
        modelChange(&reset);
        announceRow = replaced ? g->Row() : -1;
        SendFocusOnCurrent(g);
        return;
    }
    if (!s)
        return;
    for (const auto& [index, id] : cells_) {
        auto* cell = static_cast<GridCell*>(QAccessible::accessibleInterface(id));
        if (!cell)
            continue;
        const QString text = s->CellText(cell->columnIndex(), cell->rowIndex());
        if (text != cell->shownText) {
            cell->shownText = text;
            SendForCell(g, QAccessible::NameChanged, index);
        }
        const bool checked =
            s->IsCheckColumn(cell->columnIndex()) && s->IsChecked(cell->rowIndex());
        if (checked != cell->shownChecked) {
            cell->shownChecked = checked;
            QAccessible::State changed;
            changed.checked = true;
            QAccessibleStateChangeEvent event(g, changed);
            event.setChild(index);
            QAccessible::updateAccessibility(&event);
        }
    }
}

} // namespace

namespace grid_access {

void InstallFactory() {
    static const bool installed = [] {
        QAccessible::installFactory(MakeTable);
        return true;
    }();
    (void)installed;
}

void CurrentRowMoved(TStringGrid* grid, int oldRow) {
    if (!QAccessible::isActive())
        return;
    const int columns = grid->ColCount();
    if (GridTable* table = ExistingTable(grid)) {
        // Only cells the reader has: the others it has never seen selected.
        for (int col = 0; col < columns; ++col) {
            if (table->cached(oldRow, col))
                SendForCell(grid, QAccessible::SelectionRemove, oldRow * columns + col);
        }
        const int announced = std::exchange(table->announceRow, -1);
        if (announced >= 0 && table->cached(announced, 0))
            SendForCell(grid, QAccessible::DescriptionChanged, announced * columns);
    }
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(grid);
    QAccessibleTableInterface* table = iface ? iface->tableInterface() : nullptr;
    if (!table || grid->Row() >= table->rowCount())
        return;
    for (int col = 0; col < columns; ++col)
        SendForCell(grid, QAccessible::SelectionAdd, grid->Row() * columns + col);
    SendFocusOnCurrent(grid);
}

void FocusEntered(TStringGrid* grid) {
    if (!QAccessible::isActive())
        return;
    // After setFocus() has sent the widget's own focus event, which would
    // otherwise leave the reader on the table instead of the cell.
    QPointer<TStringGrid> guard(grid);
    QMetaObject::invokeMethod(
        grid,
        [guard] {
            if (guard && QAccessible::isActive())
                SendFocusOnCurrent(guard);
        },
        Qt::QueuedConnection);
}

void ContentsMayHaveChanged(TStringGrid* grid) {
    if (!QAccessible::isActive())
        return;
    GridTable* table = ExistingTable(grid);
    if (!table || table->refreshQueued)
        return;
    // Once, after the change in progress is complete (a sort, a relayout).
    table->refreshQueued = true;
    QPointer<TStringGrid> guard(grid);
    QMetaObject::invokeMethod(
        grid,
        [guard] {
            if (GridTable* t = guard ? ExistingTable(guard) : nullptr)
                t->refresh();
        },
        Qt::QueuedConnection);
}

int CachedCellCount(const TStringGrid* grid) {
    const GridTable* table = ExistingTable(grid);
    return table ? table->cachedCount() : 0;
}

} // namespace grid_access

} // namespace quill
