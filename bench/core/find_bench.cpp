// The find field's work on each keystroke at 100,000 tasks: narrowing the list
// to the tasks that hold the text (folded texts kept), the first keystroke
// Ctrl+F (every task folded once, then kept), and Escape (the list given back).
// Run: build/<dir>/bin/quillnote-bench-find  (figures in docs/bench-core.md)

#include "core/list_ordering.h"
#include "core/task_finder.h"
#include "core/task_store.h"

#include <benchmark/benchmark.h>
#include <random>
#include <string>

namespace {

using quill::TaskFinder;
using quill::TaskStore;

// Words of a to-do list, some with accents, so folding meets both kinds.
constexpr const char* kWords[] = {"buy",       "milk",   "call",    "Zoë",    "café",   "réunion",
                                  "report",    "Straße", "order",   "the",    "for",    "naïve",
                                  "Ångström",  "plan",   "meet",    "team",   "Müller", "draft",
                                  "übergeben", "send",   "invoice", "garçon", "with",   "and"};

std::string Words(std::mt19937& random, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += i ? " " : "";
        text += kWords[random() % std::size(kWords)];
    }
    text += " #" + std::to_string(random() % 100000);
    return text;
}

// Titles of 4 to 7 words, descriptions of 15 to 30; three categories.
TaskStore MakeStore(int count) {
    std::mt19937 random(7);
    TaskStore store;
    quill::AddDefaultCategories(store);
    for (int i = 0; i < count; ++i) {
        quill::TTASK_ITEM task;
        task.Title = Words(random, 4 + static_cast<int>(random() % 4));
        task.Description = Words(random, 15 + static_cast<int>(random() % 16));
        task.CategoryIndex = static_cast<int32_t>(random() % 3);
        quill::AddTask(store, task);
    }
    quill::FilterTaskList(store, quill::CategoryFilter::All());
    return store;
}

// Typing "reunion 4" one letter at a time, then starting again.
constexpr const char* kTyped = "reunion 4";

void BM_FindKeystroke(benchmark::State& state) {
    TaskStore store = MakeStore(static_cast<int>(state.range(0)));
    TaskFinder finder;
    finder.Remember(store);
    finder.SetText("x");
    finder.NarrowAgain(store); // every task folded once, as after the first keystroke
    const std::string typed = kTyped;
    size_t length = 0;
    for (auto _ : state) {
        length = length % typed.size() + 1;
        finder.SetText(typed.substr(0, length));
        finder.NarrowAgain(store);
        benchmark::DoNotOptimize(store.VisibleTaskCount);
    }
}

// Ctrl+F: the order remembered and every task's text folded (the first time)
// or compared with the folded text kept (every later time).
void BM_FindOpen(benchmark::State& state) {
    TaskStore store = MakeStore(static_cast<int>(state.range(0)));
    TaskFinder kept;
    for (auto _ : state) {
        TaskFinder fresh;
        TaskFinder& finder = state.range(1) ? kept : fresh;
        finder.Remember(store);
        benchmark::DoNotOptimize(finder.FoldedText());
        state.PauseTiming(); // the fresh finder's end is not part of it
        { TaskFinder gone = std::move(fresh); }
        state.ResumeTiming();
    }
}

void BM_FindEscape(benchmark::State& state) {
    TaskStore store = MakeStore(static_cast<int>(state.range(0)));
    TaskFinder finder;
    finder.Remember(store);
    for (auto _ : state) {
        state.PauseTiming();
        finder.SetText("caf");
        finder.NarrowAgain(store);
        state.ResumeTiming();
        finder.Widen(store);
        benchmark::DoNotOptimize(store.VisibleTaskCount);
    }
}

BENCHMARK(BM_FindKeystroke)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindOpen)
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->ArgNames({"tasks", "again"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindEscape)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
