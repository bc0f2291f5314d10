// The once-a-second reminder pass over stores of growing size: a quiet pass (no
// overdue change, nothing due) and the midnight pass, where every dated task
// becomes overdue at once and the data file is written.
// Run: build/<dir>/bin/quillnote-bench-reminders  (figures in docs/bench-reminders.md)

#include "core/data_file.h"
#include "core/date_time.h"
#include "core/reminder_pass.h"
#include "core/task_store.h"
#include "support/fixed_clock.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>

namespace {

using namespace quill;

const TDateTime kDueDay = EncodeDateTime({2024, 5, 2, 0, 0, 0, 0});

// Titles of about 40 bytes, descriptions of about 200; every task dated on the same
// day, every other one with a reminder the evening after; one in five done.
TaskStore MakeStore(int count) {
    std::mt19937 random(7);
    TaskStore store;
    AddDefaultCategories(store);
    store.Tasks.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        TTASK_ITEM task;
        task.Title = std::string(40, char('a' + random() % 26));
        task.Description = std::string(200, char('a' + random() % 26));
        task.HasDueDate = 1;
        task.DueDate = kDueDay;
        task.NotOverdue = 1;
        task.ReminderOn = i % 2;
        task.ReminderDate = kDueDay + 1;
        task.ReminderTime = 0.75;
        task.CategoryIndex = static_cast<int32_t>(random() % 3);
        task.Done = random() % 5 == 0;
        AddTask(store, task);
        store.Tasks.back().Done = task.Done;
    }
    return store;
}

// Writes the data file when the marks change, as the program does; never raises.
class SavingHost final : public ReminderPassHost {
public:
    explicit SavingHost(const TaskStore& store, std::string path)
        : store_(store), path_(std::move(path)) {}
    bool ReminderWindowVisible() const override { return false; }
    void OverdueMarksChanged() override {
        if (!SaveTasks(store_, path_).ok)
            throw std::runtime_error("save failed");
    }
    void RaiseReminder(int32_t) override { throw std::runtime_error("nothing is due"); }

private:
    const TaskStore& store_;
    std::string path_;
};

std::string TempFile() {
    return (std::filesystem::temp_directory_path() / "quillnote-bench-reminders.dat").string();
}

void BM_QuietPass(benchmark::State& state) {
    auto clock = std::make_shared<test::FixedClock>();
    clock->Set(kDueDay + 0.5); // noon of the due day: nothing changes, nothing due
    SetClock(clock);
    TaskStore store = MakeStore(static_cast<int>(state.range(0)));
    SavingHost host(store, TempFile());
    for (auto _ : state) {
        const ReminderPassResult result = RunReminderPass(store, host);
        benchmark::DoNotOptimize(result);
    }
    SetClock(nullptr);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_QuietPass)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

void BM_MidnightPass(benchmark::State& state) {
    auto clock = std::make_shared<test::FixedClock>();
    SetClock(clock);
    TaskStore store = MakeStore(static_cast<int>(state.range(0)));
    const std::string path = TempFile();
    SavingHost host(store, path);
    int changes = 0;
    for (auto _ : state) {
        // Alternate the two sides of midnight: every open task flips each pass, so
        // each timed pass is a midnight pass with its save.
        clock->Set(clock->Now() == kDueDay + 1 ? kDueDay + 0.5 : kDueDay + 1);
        changes = RunReminderPass(store, host).overdueChanges;
    }
    SetClock(nullptr);
    std::filesystem::remove(path);
    state.counters["changed"] = changes;
}
BENCHMARK(BM_MidnightPass)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
