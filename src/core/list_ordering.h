#pragma once
// Orders the front of the task array: the category filter and the three sorts.
// The order is defined by exchange sorts (quadratic); SortTaskList gives exactly
// the arrangement they leave, ties included, fast enough for 100,000 tasks. The
// literal exchange sorts are kept with the tests (support/list_sort_reference.h),
// which compare the two.

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
// Records are moved whole; nothing is copied or lost.
void SortTaskList(TaskStore& store, int32_t criterion, bool doneToBottom);

} // namespace quill
