#pragma once
// Orders the front of the task array: the category filter and the three sorts.

#include "task_store.h"

#include <cstdint>

namespace quill {

// Gathers the tasks of the category at `position` at the front of Tasks and sets
// VisibleTaskCount. `entryCount` is the number of entries in the main window's
// category list: position entryCount - 2 is "All".
void FilterTaskList(TaskStore& store, int32_t position, int32_t entryCount);

// Sorts the first VisibleTaskCount tasks: criterion 0 due date, 1 priority,
// 2 category, anything else no ordering; then, when doneToBottom is set, moves
// completed tasks to the end of the visible part. Saving is the caller's job.
void SortTaskList(TaskStore& store, int32_t criterion, bool doneToBottom);

} // namespace quill
