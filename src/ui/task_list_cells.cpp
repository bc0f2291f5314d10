#include "task_list_cells.h"

#include "core/task_store.h"
#include "ui/empty_list_hint.h"
#include "ui/fit_text.h"
#include "ui/task_cell_text.h"
#include "ui/task_list.h"
#include "ui/task_list_host.h"

#include <algorithm>

namespace quill {

int TaskListCells::ShownRowCount() const {
    return std::clamp(store_.VisibleTaskCount, 0, store_.TaskCount());
}

int TaskListCells::kind(int col) const {
    return col >= 0 && col < list_.ColumnCount ? list_.ColumnKinds[static_cast<size_t>(col)] : -1;
}

QString TaskListCells::ColumnTitle(int col) const {
    switch (kind(col)) {
    case ckCheck:
        return QStringLiteral("Done");
    case ckTitle:
        return QStringLiteral("Task");
    case ckPriority:
        return QStringLiteral("Priority");
    case ckCategory:
        return QStringLiteral("Category");
    case ckReminder:
        return QStringLiteral("Reminder");
    case ckDueDate:
        return QStringLiteral("Due date");
    default:
        return QString();
    }
}

QString TaskListCells::CellText(int col, int row) const {
    if (row < 0 || row >= ShownRowCount())
        return QString();
    const TTASK_ITEM& task = store_.Tasks[static_cast<size_t>(row)];
    switch (kind(col)) {
    case ckTitle:
        return DecodeTitle(task.Title);
    case ckPriority:
        // The list paints a mark for high and low; no mark reads as what it means.
        return task.Priority >= 0 && task.Priority < kPriorityCount
                   ? QString::fromLatin1(kPriorityNames[task.Priority])
                   : QString();
    case ckCategory: {
        const int index = task.CategoryIndex;
        return index >= 0 && index < static_cast<int>(store_.Categories.size())
                   ? DecodeTitle(store_.Categories[static_cast<size_t>(index)].Name)
                   : QString();
    }
    case ckReminder:
        return task.ReminderOn ? QStringLiteral("Reminder") : QStringLiteral("No reminder");
    case ckDueDate:
        return DueDateText(task);
    default:
        // The check column: its checked state is what it says.
        return QString();
    }
}

bool TaskListCells::IsCheckColumn(int col) const {
    return kind(col) == ckCheck;
}

bool TaskListCells::IsChecked(int row) const {
    return row >= 0 && row < ShownRowCount() && store_.Tasks[static_cast<size_t>(row)].Done != 0;
}

uint64_t TaskListCells::RowIdentity(int row) const {
    return row >= 0 && row < ShownRowCount() ? KeyOf(store_.Tasks[static_cast<size_t>(row)]) : 0;
}

QString TaskListCells::RowName(int row) const {
    return row >= 0 && row < ShownRowCount()
               ? DecodeTitle(store_.Tasks[static_cast<size_t>(row)].Title)
               : QString();
}

QString TaskListCells::EmptyText() const {
    return EmptyListHint(store_.VisibleTaskCount, store_.TaskCount(), host_.ShownCategoryName());
}

} // namespace quill
