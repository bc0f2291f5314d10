#pragma once
// Orders the front of the task array: the category filter and the three sorts.
// The order is defined by exchange sorts (quadratic); SortTaskList gives exactly
// the arrangement they leave, ties included, fast enough for 100,000 tasks. The
// literal exchange sorts are kept with the tests (support/list_sort_reference.h),
// which compare the two.

#include "task_store.h"

#include <cstdint>

namespace quill {

// What the list shows: every task, or the tasks of the category at one position
// in Categories (a position that names no category shows none).
struct CategoryFilter {
    bool all = true;
    int32_t category = -1; // with all false

    static CategoryFilter All() { return {}; }
    static CategoryFilter Category(int32_t position) { return {false, position}; }
    bool operator==(const CategoryFilter&) const = default;
};

// Gathers the tasks `filter` shows at the front of Tasks and sets
// VisibleTaskCount; "All" moves nothing.
void FilterTaskList(TaskStore& store, CategoryFilter filter);

class TaskFinder;
// The same, then, while the find field is open (`finder` not null), its
// narrowing of the tasks the filter gathered (TaskFinder::Narrow).
void FilterTaskList(TaskStore& store, CategoryFilter filter, TaskFinder* finder);

// The orders the list can take: the settings' "Sort by" values (any other stored
// value orders nothing).
enum SortCriterion : int32_t {
    kSortByDueDate = 0,
    kSortByPriority = 1,
    kSortByCategory = 2,
};

// Sorts the first VisibleTaskCount tasks by `criterion` (a SortCriterion; any
// other value leaves the order); then, when doneToBottom is set, moves
// completed tasks to the end of the visible part. Saving is the caller's job.
// Records are moved whole; nothing is copied or lost.
void SortTaskList(TaskStore& store, int32_t criterion, bool doneToBottom);

} // namespace quill
