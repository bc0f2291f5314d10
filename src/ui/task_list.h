#pragma once
// The main window's task list: the grid StringGrid1 with its scroll bar ScrollBar1
// and its context menu PopupMenu2, the column layout, the painting of each cell
// and the list's mouse, key, wheel and scroll-bar input.

#include "widgets/string_grid.h"

#include <QColor>
#include <QFont>
#include <QObject>
#include <QPointer>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QAction;
class QMenu;
class QScrollBar;
class QWidget;

namespace quill {

struct TaskStore;
struct SkinParams;
struct SkinPictures;
class LiveOptions;
class TaskListHost;
class TaskListCells;
struct MainLayout;

// Column kinds, left to right: check and title always, then the optional ones.
enum ColumnKind : uint8_t {
    ckCheck = 0,
    ckTitle = 1,
    ckPriority = 2,
    ckCategory = 3,
    ckReminder = 4,
    ckDueDate = 5,
};

// Kinds of the last input on the list.
enum ListInput : int32_t { liNone = 0, liMouse = 1, liKey = 2, liWheel = 255 };

class TTaskList : public QObject {
    Q_OBJECT
public:
    // `parent` is the main window's client area; the grid and the scroll bar are
    // created as its children. The references must outlive the list.
    TTaskList(QWidget* parent, TaskStore& store, const SkinParams& params,
              const SkinPictures& pictures, const LiveOptions& options, TaskListHost& host);
    ~TTaskList() override;

    TStringGrid* StringGrid1 = nullptr;
    QScrollBar* ScrollBar1 = nullptr;
    QMenu* PopupMenu2 = nullptr;
    QAction* AddTask1 = nullptr;
    QAction* ChangeTask1 = nullptr;
    QAction* DeleteTask1 = nullptr;
    QAction* N6 = nullptr;
    QAction* Print2 = nullptr;

    // List input state.
    int32_t SelectedCol = 0;
    int32_t SelectedRow = 0;
    int32_t CurrentTaskIndex = 0; // -1: none
    bool CellSelectedSinceMouseDown = false;
    int32_t LastListInput = liNone;

    // Column layout, valid until the next SetupGridColumns.
    std::array<uint8_t, 6> ColumnKinds{};
    uint8_t ColumnCount = 0;

    // Places the grid and the scroll bar (the main window's resize handling).
    void ApplyLayout(const MainLayout& layout);
    // Rebuilds font, row height, columns, row counts, widths and scroll-bar ranges.
    void SetupGridColumns();
    // Column widths of the task list and of the categories window's list.
    void CalcColumnWidths();
    // The list font: the skin's TaskFontName at TaskFontSize points.
    QFont ListFont() const;
    // The skin's WindowColor: the list's background.
    void SetBackgroundColor(const QColor& color);
    QColor BackgroundColor() const { return background_; }
    // A new skin forgets whether the mouse, the keys or the wheel moved the list last.
    void ResetListInput() { LastListInput = liNone; }
    void Repaint();
    // The find field's folded text: where a title holds it is marked (none: "").
    void SetMarkedText(std::string folded) { marked_ = std::move(folded); }

    // Asked by DeleteTask; returns true for "Yes". Defaults to a question box
    // owned by the list's window. Tests replace it.
    using ConfirmFn =
        std::function<bool(QWidget* owner, const QString& text, const QString& caption)>;
    void SetConfirm(ConfirmFn confirm) { confirm_ = std::move(confirm); }
    // Tells the user why a confirmed command did nothing. Defaults to the
    // program's message dialog. Tests replace it.
    void SetNotice(std::function<void(const QString&)> notice) { notice_ = std::move(notice); }

    // Grid handlers (connected to StringGrid1 by the constructor).
    void StringGrid1DrawCell(QPainter& canvas, int ACol, int ARow, const QRect& Rect,
                             GridDrawState State);
    void StringGrid1SelectCell(int ACol, int ARow, bool* CanSelect);
    void StringGrid1MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void StringGrid1Click();
    void StringGrid1DblClick();
    void StringGrid1KeyDown(int* Key, Qt::KeyboardModifiers Shift);
    void StringGrid1MouseWheelDown(Qt::KeyboardModifiers Shift, const QPoint& MousePos,
                                   bool* Handled);
    void StringGrid1MouseWheelUp(Qt::KeyboardModifiers Shift, const QPoint& MousePos,
                                 bool* Handled);
    // A scroll action on ScrollBar1 that left it at ScrollPos.
    void ScrollBar1Scroll(int ScrollPos);

    // Called by the main window for wheel events that reach the window itself;
    // returns Handled (always true).
    bool FormMouseWheel(int WheelDelta);
    // Called by the main window on every key release it previews (Qt::Key codes):
    // Delete, Insert, F1. Returns true when the key ran a command.
    bool FormKeyUp(int Key);

    // The task with `key` becomes the current row when the list shows it.
    void MakeTaskCurrent(uint64_t key);
    // Deletes the task at CurrentTaskIndex after confirmation.
    void DeleteTask();
    // The Insert and Delete keys and the main window's skin buttons "AddButton" and
    // "RemoveButton": the command, then SetupGridColumns.
    void AddTaskAndRelayout();
    void DeleteTaskAndRelayout();

    // PopupMenu2 items.
    void AddTask1Click();
    void ChangeTask1Click();
    void DeleteTask1Click();
    void Print2Click();

private:
    void toggleDone(int row);
    void drawEmptyListHint(QPainter& canvas);
    int pictureWidth(int kind) const;

    TaskStore& store_;
    const SkinParams& params_;
    const SkinPictures& pictures_;
    const LiveOptions& options_;
    TaskListHost& host_;
    QColor background_{Qt::white};
    ConfirmFn confirm_;
    std::function<void(const QString&)> notice_;
    std::unique_ptr<TaskListCells> cells_; // what a screen reader reads
    std::string marked_;                   // SetMarkedText
    bool repeatMarkRoom_ = false;          // the due-date column has room for the repeat mark
};

} // namespace quill
