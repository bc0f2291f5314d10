// Export and import of calendar files for stores of growing size; the goal is
// under a second each for 10,000 tasks.
// Run: build/<dir>/bin/quillnote-bench-calendar  (figures in docs/bench-calendar.md)

#include "calendar/calendar_file.h"
#include "calendar/csv_export.h"
#include "core/date_time.h"
#include "core/task_store.h"

#include <benchmark/benchmark.h>
#include <random>
#include <string>

namespace {

using quill::TaskStore;

std::string Text(std::mt19937& random, size_t length) {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz ,;äöü";
    std::string text;
    while (text.size() < length) {
        text += kLetters[random() % (sizeof kLetters - 1)];
    }
    return text;
}

// Titles of 40 bytes, descriptions of 200; three categories, mixed priorities,
// most tasks dated, half with a reminder, one in five done, every one identified.
TaskStore MakeStore(int count) {
    std::mt19937 random(1);
    TaskStore store;
    quill::AddDefaultCategories(store);
    for (int i = 0; i < count; ++i) {
        quill::TTASK_ITEM task;
        task.Priority = static_cast<int32_t>(random() % quill::kPriorityCount);
        task.Title = Text(random, 40);
        task.Description = Text(random, 200);
        task.HasDueDate = random() % 5 != 0;
        task.DueDate = 46000 + static_cast<double>(random() % 365);
        task.ReminderOn = random() % 2;
        task.ReminderDate = task.ReminderTime = task.DueDate - 0.25;
        task.Done = random() % 5 == 0;
        task.CategoryIndex = static_cast<int32_t>(random() % 3);
        quill::GiveIdentity(task, 1767225600 + i, true);
        store.Tasks.push_back(task);
    }
    return store;
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
