#pragma once
// Task lists for the printing tests, the end-to-end scenarios and the benchmark.

#include "core/task_store.h"

namespace quill::printtest {

// Three categories ("Personal", "Business", "Other") with a done task, an
// undated task, high and low priorities, a long description and an overdue one.
// Dates are relative to `today` (a date).
TaskStore SampleStore(double today);

// `count` tasks spread over the three default categories, each with a
// three-line description.
TaskStore ManyTasks(int count, double today);

} // namespace quill::printtest
