#include "task_list.h"

#include "calendar/repeat_rule.h"
#include "core/live_options.h"
#include "core/task_store.h"
#include "skin/skin_colors.h"
#include "skin/skin_params.h"
#include "skin/skin_pictures.h"
#include "ui/empty_list_hint.h"
#include "ui/find_bar.h"
#include "ui/fit_text.h"
#include "ui/list_font.h"
#include "ui/main_layout.h"
#include "ui/message_form.h"
#include "ui/task_cell_text.h"
#include "ui/task_list_cells.h"
#include "ui/task_list_host.h"
#include "widgets/repeat_mark.h"

#include <QAction>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace quill {

namespace {

constexpr int kScrollBarThreshold = 10; // more visible tasks than this show the scroll bar
constexpr int kTitleIndent = 2;

QSize LogicalSize(const QPixmap& pixmap) {
    return pixmap.isNull() ? QSize(0, 0) : pixmap.deviceIndependentSize().toSize();
}

// Pictures are placed with integer division rounding toward zero.
void DrawPicture(QPainter& canvas, const QPixmap& picture, const QRect& rect, int shift) {
    if (picture.isNull())
        return;
    const QSize size = LogicalSize(picture);
    const int x = rect.left() + shift + (rect.width() - size.width()) / 2;
    const int y = rect.top() + shift + (rect.height() - size.height()) / 2;
    canvas.drawPixmap(x, y, picture);
}

bool AskQuestion(QWidget* owner, const QString& text, const QString& caption) {
    return QMessageBox::question(owner, caption, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

} // namespace

TTaskList::TTaskList(QWidget* parent, TaskStore& store, const SkinParams& params,
                     const SkinPictures& pictures, const LiveOptions& options, TaskListHost& host)
    : QObject(parent), store_(store), params_(params), pictures_(pictures), options_(options),
      host_(host), confirm_(AskQuestion), notice_([](const QString& text) {
          ShowMessageDialog(text, QStringLiteral("Attention"), kNoticeMessage);
      }) {
    StringGrid1 = new TStringGrid(parent);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->SetColor(background_);
    StringGrid1->setAccessibleName(QStringLiteral("Tasks"));
    cells_ = std::make_unique<TaskListCells>(store_, *this, host_);
    StringGrid1->SetCellSource(cells_.get());

    // Created disabled and hidden; shown and enabled while more than ten tasks are
    // visible.
    ScrollBar1 = new QScrollBar(Qt::Vertical, parent);
    ScrollBar1->setEnabled(false);
    ScrollBar1->setObjectName(QStringLiteral("ScrollBar1"));
    ScrollBar1->setRange(0, 0);
    ScrollBar1->setSingleStep(1);
    ScrollBar1->setFocusPolicy(Qt::NoFocus);
    ScrollBar1->hide();

    PopupMenu2 = new QMenu(parent);
    PopupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
    AddTask1 = PopupMenu2->addAction(QStringLiteral("Add Task..."));
    ChangeTask1 = PopupMenu2->addAction(QStringLiteral("Edit Task..."));
    DeleteTask1 = PopupMenu2->addAction(QStringLiteral("Delete Task..."));
    N6 = PopupMenu2->addSeparator();
    Print2 = PopupMenu2->addAction(QStringLiteral("Print Tasks..."));
    StringGrid1->SetPopupMenu(PopupMenu2);

    connect(AddTask1, &QAction::triggered, this, &TTaskList::AddTask1Click);
    connect(ChangeTask1, &QAction::triggered, this, &TTaskList::ChangeTask1Click);
    connect(DeleteTask1, &QAction::triggered, this, &TTaskList::DeleteTask1Click);
    connect(Print2, &QAction::triggered, this, &TTaskList::Print2Click);

    connect(StringGrid1, &TStringGrid::DrawCell, this, &TTaskList::StringGrid1DrawCell);
    connect(StringGrid1, &TStringGrid::DrawOver, this, &TTaskList::drawEmptyListHint);
    connect(StringGrid1, &TStringGrid::SelectCell, this, &TTaskList::StringGrid1SelectCell);
    connect(StringGrid1, &TStringGrid::MouseDown, this, &TTaskList::StringGrid1MouseDown);
    connect(StringGrid1, &TStringGrid::Click, this, &TTaskList::StringGrid1Click);
    connect(StringGrid1, &TStringGrid::DblClick, this, &TTaskList::StringGrid1DblClick);
    connect(StringGrid1, &TStringGrid::KeyDown, this, &TTaskList::StringGrid1KeyDown);
    connect(StringGrid1, &TStringGrid::MouseWheelDown, this, &TTaskList::StringGrid1MouseWheelDown);
    connect(StringGrid1, &TStringGrid::MouseWheelUp, this, &TTaskList::StringGrid1MouseWheelUp);
    connect(StringGrid1, &TStringGrid::ToggleCheck, this, [this](int row) {
        toggleDone(row);
        Repaint();
    });
    connect(ScrollBar1, &QScrollBar::actionTriggered, this,
            [this](int) { ScrollBar1Scroll(ScrollBar1->sliderPosition()); });
}

TTaskList::~TTaskList() {
    // The grid, a sibling created after the list, outlives it.
    StringGrid1->SetCellSource(nullptr);
}

void TTaskList::ApplyLayout(const MainLayout& layout) {
    StringGrid1->setGeometry(layout.list);
    ScrollBar1->setGeometry(layout.scrollBar);
    ScrollBar1->setPageStep(StringGrid1->VisibleRowCount());
}

QFont TTaskList::ListFont() const {
    return MakeListFont(params_);
}

void TTaskList::SetBackgroundColor(const QColor& color) {
    background_ = color;
    StringGrid1->SetColor(color);
}

void TTaskList::Repaint() {
    // The first repeating task (or the last one gone) widens or narrows the dates.
    const bool repeating = std::any_of(store_.Tasks.begin(), store_.Tasks.end(), IsRepeating);
    if (repeating != repeatMarkRoom_)
        CalcColumnWidths();
    StringGrid1->update();
}

void TTaskList::SetupGridColumns() {
    const QFont font = ListFont();
    StringGrid1->setFont(font);
    const int rowHeight = QFontMetrics(font, StringGrid1).height();
    StringGrid1->SetDefaultRowHeight(rowHeight);

    ColumnCount = 0;
    ColumnKinds.fill(0);
    ColumnKinds[ColumnCount++] = ckCheck;
    ColumnKinds[ColumnCount++] = ckTitle;
    if (options_.ShowPriority())
        ColumnKinds[ColumnCount++] = ckPriority;
    if (options_.ShowCategory())
        ColumnKinds[ColumnCount++] = ckCategory;
    if (options_.ShowReminder())
        ColumnKinds[ColumnCount++] = ckReminder;
    if (options_.ShowDueDate())
        ColumnKinds[ColumnCount++] = ckDueDate;

    StringGrid1->SetColCount(ColumnCount);
    StringGrid1->SetRowCount(store_.VisibleTaskCount);

    if (store_.VisibleTaskCount > kScrollBarThreshold) {
        ScrollBar1->setMaximum(store_.VisibleTaskCount - 1);
        ScrollBar1->setEnabled(true);
        ScrollBar1->setVisible(true);
    } else {
        ScrollBar1->setVisible(false);
    }
    ScrollBar1->setPageStep(StringGrid1->VisibleRowCount());

    StringGrid1->SetColWidth(0, LogicalSize(pictures_.NCheck).width());
    CalcColumnWidths();
}

void TTaskList::CalcColumnWidths() {
    const QFont font = ListFont();
    StringGrid1->setFont(font);
    const QFontMetrics metrics(font, StringGrid1);

    int sum = 0;
    int titleColumn = -1;
    for (int col = 0; col < ColumnCount; ++col) {
        int width = 0;
        switch (ColumnKinds[static_cast<size_t>(col)]) {
        case ckCheck:
            width = LogicalSize(pictures_.Check).width();
            break;
        case ckTitle:
            titleColumn = col;
            continue;
        case ckPriority:
        case ckCategory:
        case ckReminder:
            width = StringGrid1->RowHeights(0);
            break;
        case ckDueDate:
            width = metrics.horizontalAdvance(QStringLiteral("000:000:0000"));
            // Room for the repeat mark beside a date, while some task repeats.
            repeatMarkRoom_ = std::any_of(store_.Tasks.begin(), store_.Tasks.end(), IsRepeating);
            if (repeatMarkRoom_)
                width += metrics.ascent();
            break;
        }
        StringGrid1->SetColWidth(col, width);
        sum += width;
    }
    if (titleColumn >= 0)
        StringGrid1->SetColWidth(titleColumn, StringGrid1->width() - sum);
}

void TTaskList::StringGrid1DrawCell(QPainter& canvas, int ACol, int ARow, const QRect& Rect,
                                    GridDrawState State) {
    const int left = Rect.x(), top = Rect.y();
    const int right = Rect.x() + Rect.width(), bottom = Rect.y() + Rect.height();
    canvas.fillRect(Rect, background_);
    if (ARow >= store_.VisibleTaskCount || ARow >= store_.TaskCount() || ARow < 0)
        return;
    const int listHeight = StringGrid1->height();
    // A row that does not fit entirely inside the list stays blank.
    if (bottom >= listHeight)
        return;

    // System colours resolve against the list's palette (the skin's generic look).
    const QPalette& palette = StringGrid1->palette();
    auto color = [&palette](TColor c) { return SkinColorToQColor(c, palette, Qt::black); };
    const QColor fill =
        State.selected && !State.focused ? color(params_.SellectBarColor) : background_;
    canvas.fillRect(Rect, fill);

    const TTASK_ITEM& task = store_.Tasks[static_cast<size_t>(ARow)];
    QFont font = ListFont();
    // The list's own text colour: the window-text colour of its palette.
    QColor textColor = palette.color(QPalette::Text);
    if (task.NotOverdue == 0)
        textColor = color(params_.OverdueColor);
    if (task.Done) {
        font.setStrikeOut(true);
        textColor = color(params_.DoneTaskColor);
    }
    canvas.setFont(font);
    canvas.setPen(textColor);
    const QFontMetrics metrics(font, StringGrid1);

    const uint8_t kind =
        ACol >= 0 && ACol < ColumnCount ? ColumnKinds[static_cast<size_t>(ACol)] : uint8_t{255};
    switch (kind) {
    case ckCheck:
        DrawPicture(canvas, task.Done ? pictures_.Check : pictures_.NCheck, Rect, 0);
        break;
    case ckTitle: {
        // Fitted to the room right of the indent it is drawn at, so the last dot
        // of "..." is not clipped.
        const QString text =
            FitTextToWidthFast(DecodeTitle(task.Title), font, metrics, right - left - kTitleIndent);
        const int y = (top + bottom - metrics.height()) / 2;
        canvas.setClipRect(Rect);
        if (!marked_.empty())
            DrawFoundMark(canvas, task.Title, marked_, text, metrics, left + kTitleIndent, top,
                          bottom - top, color(params_.SellectBarColor), textColor);
        canvas.drawText(left + kTitleIndent, y + metrics.ascent(), text);
        break;
    }
    case ckPriority:
        if (task.Priority == 0)
            DrawPicture(canvas, pictures_.Height, Rect, 0);
        else if (task.Priority == 2)
            DrawPicture(canvas, pictures_.Low, Rect, 0);
        break;
    case ckCategory: {
        const int index = task.CategoryIndex;
        if (index >= 0 && index < static_cast<int>(store_.Categories.size())) {
            const int mark = store_.Categories[static_cast<size_t>(index)].ColorIndex;
            if (mark >= 0 && mark < static_cast<int>(pictures_.CategoryMarks.size()))
                DrawPicture(canvas, pictures_.CategoryMarks[static_cast<size_t>(mark)], Rect, 1);
        }
        break;
    }
    case ckReminder:
        if (task.ReminderOn)
            DrawPicture(canvas, pictures_.Reminder, Rect, 1);
        break;
    case ckDueDate: {
        const QString text = DueDateText(task);
        // A repeating task's mark follows the date; the two are centred together.
        const int mark = IsRepeating(task) ? metrics.ascent() * 9 / 10 : 0;
        const int textWidth = metrics.horizontalAdvance(text);
        const int x = (left + right - textWidth - mark - mark / 3) / 2;
        const int y = (top + bottom - metrics.height()) / 2;
        canvas.setClipRect(Rect);
        canvas.drawText(x, y + metrics.ascent(), text);
        if (mark > 0)
            DrawRepeatMark(
                canvas,
                QRectF(x + textWidth + mark / 3, y + (metrics.height() - mark) / 2, mark, mark),
                textColor);
        break;
    }
    default:
        break;
    }

    if (!options_.ShowGrid())
        return;
    // Each line covers its first point up to, not including, its second.
    const QColor pen = color(params_.GridLineColor);
    canvas.fillRect(QRect(left, top, right - left, 1), pen);
    canvas.fillRect(QRect(left, top, 1, bottom - top), pen);
    if (ACol == StringGrid1->ColCount() - 1)
        canvas.fillRect(QRect(right - 1, top, 1, bottom - top), pen);
    if (ARow == store_.VisibleTaskCount - 1 || bottom + (bottom - top) > listHeight - 1)
        canvas.fillRect(QRect(left, bottom - 1, right - left, 1), pen);
}

// Over the blank rows of a list that shows no task: one line saying what to do,
// in the skin's muted text colour and the list's font.
void TTaskList::drawEmptyListHint(QPainter& canvas) {
    const QString hint =
        EmptyListHint(store_.VisibleTaskCount, store_.TaskCount(), host_.ShownCategoryName());
    if (hint.isEmpty())
        return;
    const QFont font = ListFont();
    const HintLine line = PlaceHint(hint, QFontMetrics(font, StringGrid1), StringGrid1->size());
    canvas.setFont(font);
    canvas.setPen(StringGrid1->palette().color(QPalette::PlaceholderText));
    canvas.drawText(line.baseline, line.text);
}

void TTaskList::StringGrid1SelectCell(int ACol, int ARow, bool* CanSelect) {
    StringGrid1->SetPopupMenu(PopupMenu2);
    ScrollBar1->setValue(ARow);
    SelectedRow = ARow;
    SelectedCol = ACol;
    CellSelectedSinceMouseDown = true;
    if (CanSelect)
        *CanSelect = true;
}

void TTaskList::StringGrid1MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers, int X, int Y) {
    CellSelectedSinceMouseDown = false;
    if (Button == Qt::RightButton) {
        // The row under the pointer is clicked as with the left button (which may
        // tick the task) before the right button's release opens the menu.
        StringGrid1->QueueLeftClick(QPoint(X, Y));
        StringGrid1->SetPopupMenu(host_.MainPopupMenu());
    }
    LastListInput = liMouse;
}

void TTaskList::toggleDone(int row) {
    if (row < 0 || row >= store_.VisibleTaskCount || row >= store_.TaskCount())
        return;
    TTASK_ITEM& task = store_.Tasks[static_cast<size_t>(row)];
    KeyOf(task);
    const TTASK_ITEM before = task;
    // A repeating task moves to its next occurrence instead of staying done.
    TickTaskDone(task, Today());
    host_.RecordChange(TaskStep(before.Done ? "Not Done" : "Done", &before, &task, row));
    host_.SortTaskList();
}

void TTaskList::MakeTaskCurrent(uint64_t key) {
    const int32_t at = FindTaskByKey(store_, key);
    if (at < 0 || at >= store_.VisibleTaskCount)
        return;
    StringGrid1->SetRow(at);
    SelectedRow = at;
    CurrentTaskIndex = at;
    Repaint();
}

void TTaskList::StringGrid1Click() {
    if (LastListInput == liMouse) {
        if (SelectedCol == 0 && store_.VisibleTaskCount > 0)
            toggleDone(SelectedRow);
        Repaint();
    }
    CurrentTaskIndex = SelectedRow;
    LastListInput = liNone;
}

void TTaskList::StringGrid1DblClick() {
    if (store_.VisibleTaskCount > 0 && CellSelectedSinceMouseDown) {
        host_.EditTask(CurrentTaskIndex);
        Repaint();
    }
}

void TTaskList::StringGrid1KeyDown(int* Key, Qt::KeyboardModifiers) {
    LastListInput = liKey;
    if (Key && *Key == Qt::Key_Space && store_.VisibleTaskCount > 0) {
        toggleDone(StringGrid1->Row());
        Repaint();
    }
}

void TTaskList::StringGrid1MouseWheelDown(Qt::KeyboardModifiers, const QPoint&, bool*) {
    LastListInput = liWheel;
}

void TTaskList::StringGrid1MouseWheelUp(Qt::KeyboardModifiers, const QPoint&, bool*) {
    LastListInput = liWheel;
}

bool TTaskList::FormMouseWheel(int WheelDelta) {
    LastListInput = liWheel;
    const int row = StringGrid1->Row();
    if (WheelDelta < 0) {
        if (row < StringGrid1->RowCount() - 1)
            StringGrid1->SetRow(row + 1);
    } else if (WheelDelta > 0) {
        if (row > 0)
            StringGrid1->SetRow(row - 1);
    }
    return true;
}

void TTaskList::ScrollBar1Scroll(int ScrollPos) {
    LastListInput = liWheel;
    StringGrid1->SetRow(ScrollPos);
}

bool TTaskList::FormKeyUp(int Key) {
    switch (Key) {
    case Qt::Key_Delete:
        DeleteTaskAndRelayout();
        return true;
    case Qt::Key_Insert:
        AddTaskAndRelayout();
        return true;
    case Qt::Key_F1:
        host_.OpenHelpFile();
        return true;
    default:
        return false;
    }
}

void TTaskList::DeleteTask() {
    // Only a task the list shows can be deleted: after a change of category the
    // remembered row may lie beyond the visible tasks.
    if (CurrentTaskIndex < 0 || store_.VisibleTaskCount == 0 ||
        CurrentTaskIndex >= store_.VisibleTaskCount || CurrentTaskIndex >= store_.TaskCount())
        return;
    // While the question is open a reminder or the tray menu may add, edit or
    // remove tasks and re-sort the list: the answer goes to the task that was asked
    // about, found again by its key, never to whatever now stands in its row.
    const uint64_t key = KeyOf(store_.Tasks[static_cast<size_t>(CurrentTaskIndex)]);
    if (!confirm_ || !confirm_(StringGrid1->window(),
                               QStringLiteral("Are you sure you want to delete this task?"),
                               QStringLiteral("Confirm!")))
        return;
    const int32_t at = FindTaskByKey(store_, key);
    if (at < 0) {
        notice_(QStringLiteral("The task was removed while the question was open."));
        return;
    }
    // The deleted task stood in the last row: the row above becomes current.
    CurrentTaskIndex = at + 1 == store_.VisibleTaskCount ? at - 1 : at;
    host_.RecordChange(
        TaskStep("Delete Task", &store_.Tasks[static_cast<size_t>(at)], nullptr, at));
    RemoveTaskAt(store_, at);
    host_.FilterTaskList();
    host_.SortTaskList();
    SetupGridColumns();
}

void TTaskList::AddTaskAndRelayout() {
    host_.AddTask();
    SetupGridColumns();
}

void TTaskList::DeleteTaskAndRelayout() {
    DeleteTask();
    SetupGridColumns();
}

void TTaskList::AddTask1Click() {
    host_.AddTask();
}

void TTaskList::ChangeTask1Click() {
    if (CurrentTaskIndex != -1 && store_.VisibleTaskCount > 0)
        host_.EditTask(CurrentTaskIndex);
}

void TTaskList::DeleteTask1Click() {
    DeleteTask();
}

void TTaskList::Print2Click() {
    host_.ShowPrintDialog();
}

} // namespace quill
