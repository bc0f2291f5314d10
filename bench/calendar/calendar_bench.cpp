// Export and import of calendar files for stores of growing size; the goal is
// under a second each for 10,000 tasks.
// Run: build/<dir>/bin/quillnote-bench-calendar  (figures in docs/bench-calendar.md)

#include "../support/sample_tasks.h"
#include "calendar/calendar_file.h"
#include "calendar/csv_export.h"
#include "core/date_time.h"
#include "core/task_store.h"

#include <benchmark/benchmark.h>
#include <random>
#include <string>

namespace {

using quill::TaskStore;

// Bytes above 127 in every text; every task identified.
TaskStore MakeStore(int count) {
    return quill::bench::MakeSampleStore(
        count, "abcdefghijklmnopqrstuvwxyz ,;äöü",
        [](quill::TTASK_ITEM& task, int i) { quill::GiveIdentity(task, 1767225600 + i, true); });
}

void BM_ExportCalendar(benchmark::State& state) {
    const TaskStore store = MakeStore(static_cast<int>(state.range(0)));
    const auto tasks = quill::TasksToExport(store, "");
    size_t bytes = 0;
    for (auto _ : state) {
        const std::string text = quill::WriteCalendar(store, tasks, 1767225600);
        bytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}

// Reading the file's text and bringing every task into an empty store.
void BM_ImportCalendar(benchmark::State& state) {
    const TaskStore store = MakeStore(static_cast<int>(state.range(0)));
    const std::string text =
        quill::WriteCalendar(store, quill::TasksToExport(store, ""), 1767225600);
    for (auto _ : state) {
        TaskStore target;
        quill::AddDefaultCategories(target);
        const quill::CalendarRead read = quill::ReadCalendar(text, 46000);
        const quill::ImportSummary summary = quill::ApplyImport(target, read);
        benchmark::DoNotOptimize(summary.added);
    }
}

// The same file imported again: every task is found by UID and not newer.
void BM_ImportCalendarAgain(benchmark::State& state) {
    TaskStore store = MakeStore(static_cast<int>(state.range(0)));
    const std::string text =
        quill::WriteCalendar(store, quill::TasksToExport(store, ""), 1767225600);
    for (auto _ : state) {
        const quill::CalendarRead read = quill::ReadCalendar(text, 46000);
        benchmark::DoNotOptimize(quill::ApplyImport(store, read).unchanged);
    }
}

void BM_ExportCsv(benchmark::State& state) {
    const TaskStore store = MakeStore(static_cast<int>(state.range(0)));
    const auto tasks = quill::TasksToExport(store, "");
    for (auto _ : state) {
        benchmark::DoNotOptimize(quill::WriteCsv(store, tasks).data());
    }
}

BENCHMARK(BM_ExportCalendar)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportCalendar)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportCalendarAgain)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportCsv)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
