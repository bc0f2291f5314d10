#pragma once
// The literal definition of the list's order: the exchange sorts, quadratic, with
// the order among equals they leave. SortTaskList (core/list_ordering.h) must
// give exactly the same arrangement, ties included; the tests and benchmarks
// compare it with this one. Not part of the program.

#include "core/task_store.h"

#include <cstdint>

namespace quill::test {

// SortTaskList's contract (criterion 0 due date, 1 priority, 2 category, anything
// else no ordering; then done tasks to the bottom when doneToBottom is set), done
// literally.
void SortTaskListReference(TaskStore& store, int32_t criterion, bool doneToBottom);

} // namespace quill::test
