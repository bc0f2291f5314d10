// Costs of the data file and of the list ordering for stores of growing size.
// Run: build/<dir>/bin/quillnote-bench-core  (figures in docs/bench-core.md)

#include "core/data_file.h"
#include "core/list_ordering.h"
#include "core/save_worker.h"
#include "core/task_store.h"
#include "support/list_sort_reference.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <initializer_list>
#include <random>
#include <string>

namespace {

using quill::TaskStore;
using quill::TTASK_ITEM;

std::string RandomText(std::mt19937& random, size_t length) {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::string text(length, ' ');
    for (char& c : text) {
        c = kLetters[random() % (sizeof kLetters - 1)];
    }
    return text;
}

// Titles of about 40 bytes, descriptions of about 200; three categories, mixed
// priorities, most tasks dated within a year, one in five done.
TaskStore MakeStore(int count, unsigned seed = 1) {
    std::mt19937 random(seed);
    TaskStore store;
    quill::AddDefaultCategories(store);
    store.Tasks.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        TTASK_ITEM task;
        task.Priority = static_cast<int32_t>(random() % quill::kPriorityCount);
        task.Title = RandomText(random, 30 + random() % 21);
        task.Description = RandomText(random, 150 + random() % 101);
        task.HasDueDate = random() % 5 != 0 ? 1 : 0;
        task.DueDate = 45000.0 + static_cast<double>(random() % 365) + (random() % 24) / 24.0;
        task.ReminderDate = task.DueDate;
        task.ReminderTime = 0.375;
        task.SoundFile = "alarm.wav";
        task.NotOverdue = 1;
        task.Done = random() % 5 == 0 ? 1 : 0;
        task.CategoryIndex = static_cast<int32_t>(random() % 3);
        store.Tasks.push_back(std::move(task));
    }
    store.VisibleTaskCount = store.TaskCount();
    return store;
}

void SetFileCounters(benchmark::State& state, const TaskStore& store) {
    const auto bytes = static_cast<int64_t>(quill::SerializeTasks(store).size());
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["file_kB"] = static_cast<double>(bytes) / 1000.0;
}

// The whole save: build the bytes, write a temporary file, fsync, rename, fsync the folder.
void BM_Save(benchmark::State& state) {
    const TaskStore store = MakeStore(static_cast<int>(state.range(0)));
    quill::test::TempDir folder;
    for (auto _ : state) {
        const quill::SaveResult result = quill::SaveTasks(store, folder.File(quill::kDataFileName));
        if (!result.ok) {
            state.SkipWithError(result.error.c_str());
            break;
        }
    }
    SetFileCounters(state, store);
}

// What a background save costs the user-interface thread: the snapshot of the
// store, either as the file's bytes (what the save worker is handed) or as a
// copy of the tasks (what the worker would serialise itself).
void BM_SnapshotBytes(benchmark::State& state) {
    const TaskStore store = MakeStore(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(quill::SerializeTasks(store).data());
    }
    SetFileCounters(state, store);
}
// range(1) 1: the records shuffled, so their texts no longer lie in record order
// (as after the list has been sorted a few times).
TaskStore MakeSnapshotStore(benchmark::State& state) {
    TaskStore store = MakeStore(static_cast<int>(state.range(0)));
    if (state.range(1) == 1) {
        std::mt19937 random(3);
        std::shuffle(store.Tasks.begin(), store.Tasks.end(), random);
    }
    return store;
}
void BM_SnapshotCopy(benchmark::State& state) {
    const TaskStore store = MakeSnapshotStore(state);
    for (auto _ : state) {
        TaskStore copy = store;
        benchmark::DoNotOptimize(copy.Tasks.data());
    }
}
// The copy the save worker is handed now (SubmitCopyOf): texts asked for ahead,
// pieces of a large store copied by a helper thread. The worker's write is a no-op.
void BM_SnapshotCopyOf(benchmark::State& state) {
    const TaskStore store = MakeSnapshotStore(state);
    quill::SaveWorker worker([](const TaskStore&) { return quill::SaveResult{}; });
    for (auto _ : state) {
        worker.SubmitCopyOf(store);
        state.PauseTiming();
        worker.Wait();
        state.ResumeTiming();
    }
}

// The whole load from a file in the page cache: read, parse, damaged check.
void BM_Load(benchmark::State& state) {
    const TaskStore store = MakeStore(static_cast<int>(state.range(0)));
    quill::test::TempDir folder;
    quill::SaveTasks(store, folder.File(quill::kDataFileName));
    for (auto _ : state) {
        TaskStore loaded;
        const quill::LoadResult result =
            quill::LoadTasks(loaded, folder.File(quill::kDataFileName));
        benchmark::DoNotOptimize(loaded.Tasks.data());
        if (result.outcome != quill::LoadOutcome::Good) {
            state.SkipWithError("load failed");
            break;
        }
    }
    SetFileCounters(state, store);
}

// The category filter from "All" order to one category of three.
void BM_Filter(benchmark::State& state) {
    const TaskStore original = MakeStore(static_cast<int>(state.range(0)));
    TaskStore store = original;
    for (auto _ : state) {
        state.PauseTiming();
        store.Tasks = original.Tasks;
        state.ResumeTiming();
        quill::FilterTaskList(store, quill::CategoryFilter::Category(1));
        benchmark::DoNotOptimize(store.VisibleTaskCount);
    }
}

enum class ListShape { NearlySorted, Shuffled, Reversed };

const char* ShapeName(ListShape shape) {
    switch (shape) {
    case ListShape::NearlySorted:
        return "nearly sorted";
    case ListShape::Shuffled:
        return "shuffled";
    case ListShape::Reversed:
        break;
    }
    return "reversed";
}

// A shuffled list, or the order the list has after a sort by `criterion` with
// "done to bottom" (made with the fast sort, which gives the reference's order)
// with one task then changed as an edit changes it, or that sorted order reversed.
TaskStore MakeList(int count, int32_t criterion, ListShape shape) {
    TaskStore store = MakeStore(count);
    std::mt19937 random(7);
    std::shuffle(store.Tasks.begin(), store.Tasks.end(), random);
    if (shape == ListShape::Shuffled) {
        return store;
    }
    quill::SortTaskList(store, criterion, true);
    if (shape == ListShape::Reversed) {
        std::reverse(store.Tasks.begin(), store.Tasks.end());
        return store;
    }
    TTASK_ITEM& changed = store.Tasks[store.Tasks.size() / 2];
    changed.Priority = (changed.Priority + 1) % quill::kPriorityCount;
    changed.DueDate += 17.0;
    changed.CategoryIndex = (changed.CategoryIndex + 1) % 3;
    changed.Title = "Changed " + changed.Title;
    return store;
}

// Sorting by criterion range(1) with "done to bottom" a list of range(0) tasks
// of the shape range(2).
template <void (*Sort)(TaskStore&, int32_t, bool)> void BM_SortWith(benchmark::State& state) {
    const auto criterion = static_cast<int32_t>(state.range(1));
    const auto shape = static_cast<ListShape>(state.range(2));
    const TaskStore original = MakeList(static_cast<int>(state.range(0)), criterion, shape);
    TaskStore store = original;
    for (auto _ : state) {
        state.PauseTiming();
        store.Tasks = original.Tasks;
        state.ResumeTiming();
        Sort(store, criterion, true);
        benchmark::DoNotOptimize(store.Tasks.data());
    }
    state.SetLabel(std::string(ShapeName(shape)) + ", criterion " + std::to_string(criterion));
}

void BM_Sort(benchmark::State& state) {
    BM_SortWith<quill::SortTaskList>(state);
}
void BM_SortReference(benchmark::State& state) {
    BM_SortWith<quill::test::SortTaskListReference>(state);
}

BENCHMARK(BM_Save)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_Load)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_SnapshotBytes)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SnapshotCopy)
    ->ArgsProduct({{1000, 10000, 100000}, {0, 1}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SnapshotCopyOf)
    ->ArgsProduct({{1000, 10000, 100000}, {0, 1}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Filter)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Every criterion on every shape of list, for the sizes given.
void SortArguments(benchmark::internal::Benchmark* b, std::initializer_list<int64_t> sizes) {
    for (int64_t shape : {0, 1, 2}) {
        for (int64_t criterion : {0, 1, 2}) {
            for (int64_t n : sizes) {
                b->Args({n, criterion, shape});
            }
        }
    }
}
BENCHMARK(BM_Sort)
    ->Apply([](benchmark::internal::Benchmark* b) {
        SortArguments(b, {1000, 10000, 100000});
    })
    ->Unit(benchmark::kMillisecond);

// The literal exchange sorts where they finish in seconds: they are quadratic, and
// the due-date sort is cubic in its largest group of tasks with the same due
// moment (all undated tasks: 20,000 of 100,000 here, which would take hours).
BENCHMARK(BM_SortReference)
    ->Apply([](benchmark::internal::Benchmark* b) {
        SortArguments(b, {1000, 10000});
    })
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
