#pragma once
// Tasks for tests and benchmarks: a plain open task, and small changes to one.
//   MakeTask("Pay the rent", 0, 1)                  high priority, category 1
//   Completed(Dated(MakeTask("Report"), 46000.5))   done, due 2025-12-09 12:00

#include "core/task_store.h"

#include <cstdint>
#include <string>

namespace quill::test {

// An open task with no due date or reminder; not overdue, as a new task is.
inline TTASK_ITEM MakeTask(const std::string& title, int32_t priority = 1, int32_t category = 0) {
    TTASK_ITEM task;
    task.Title = title;
    task.Priority = priority;
    task.CategoryIndex = category;
    task.NotOverdue = 1;
    return task;
}

inline TTASK_ITEM Dated(TTASK_ITEM task, double due) {
    task.HasDueDate = 1;
    task.DueDate = due;
    return task;
}

inline TTASK_ITEM Completed(TTASK_ITEM task) {
    task.Done = 1;
    return task;
}

inline TTASK_ITEM Overdue(TTASK_ITEM task) {
    task.NotOverdue = 0;
    return task;
}

inline TTASK_ITEM WithReminder(TTASK_ITEM task) {
    task.ReminderOn = 1;
    return task;
}

} // namespace quill::test
