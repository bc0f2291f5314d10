#pragma once
// The categories window: the list of categories (name and mark) with its scroll
// bar and context menu, Delete and Escape. The commands it runs (add, edit,
// delete, close) belong to the main window and are handed in as actions.

#include "widgets/form.h"
#include "widgets/string_grid_accessible.h"

#include <QColor>
#include <functional>

class QAction;
class QMenu;
class QScrollBar;

namespace quill {

struct TaskStore;
struct SkinParams;
struct SkinPictures;
class LiveOptions;
class TStringGrid;
struct GridDrawState;

struct CategoriesFormActions {
    std::function<void()> addCategory;
    std::function<void(int)> editCategory;   // with the grid's current row
    std::function<void(int)> deleteCategory; // with the grid's current row
    std::function<void()> closeWindow;
};

class TCategoriesForm : public TForm, private GridCellSource {
    Q_OBJECT
public:
    explicit TCategoriesForm(QWidget* parent = nullptr);
    ~TCategoriesForm() override;

    // Set by every cell selection, cleared by every press on the grid and every
    // double-click: a double-click edits only when it landed on a row.
    bool CategoryCellSelectedSinceMouseDown = false;

    // What the list shows and how; all must outlive the window.
    void SetSources(const TaskStore* store, const SkinParams* params, const SkinPictures* pictures,
                    const LiveOptions* options);
    void SetActions(CategoriesFormActions actions) { actions_ = std::move(actions); }

    // The grid's background (the skin's WindowColor).
    void SetGridColor(const QColor& color);
    // Lays the grid out for the categories there are now: the list font's row
    // height, a row per category, the scroll range, the column widths.
    void SetupGridColumns();
    // The category the grid's current row shows.
    int CurrentRow() const;
    // Repaints the rows (after a category changed its name or mark).
    void RepaintRows();

    // Handlers.
    void FormResize();
    void StringGrid1DrawCell(QPainter& canvas, int ACol, int ARow, const QRect& Rect,
                             GridDrawState State);
    void StringGrid1SelectCell(int ACol, int ARow, bool* CanSelect);
    void StringGrid1Click();
    void StringGrid1DblClick();
    void StringGrid1MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void ScrollBar1Change(int value);
    void AddCategoriesMenuClick();
    void RemoveCategoriesMenuClick();
    void EditCategoriesMenuClick();

protected:
    void FormShow() override;
    bool FormKeyDown(QKeyEvent* event) override;

private:
    TStringGrid* StringGrid1 = nullptr;
    QScrollBar* ScrollBar1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* AddCategoriesMenu = nullptr;
    QAction* RemoveCategoriesMenu = nullptr;
    QAction* EditCategoriesMenu = nullptr;
    int categoryCount() const;
    // The list as a screen reader reads it: the name, then the mark.
    int ShownRowCount() const override { return categoryCount(); }
    QString ColumnTitle(int col) const override;
    QString CellText(int col, int row) const override;

    const TaskStore* store_ = nullptr;
    const SkinParams* params_ = nullptr;
    const SkinPictures* pictures_ = nullptr;
    const LiveOptions* options_ = nullptr;
    CategoriesFormActions actions_;
    bool pressedOnRow_ = false; // the last left press landed on a row
};

} // namespace quill
