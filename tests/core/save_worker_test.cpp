// The background save: one write at a time, the newest state last, failures told
// once, and a writer killed at any moment leaves a whole file behind.

#include "core/save_worker.h"
#include "test_support.h"

#include <csignal>
#include <gtest/gtest.h>
#include <random>
#include <sys/wait.h>

namespace quill {
namespace {

// A writer that records the first title of each state it is given and holds the
// first write until released.
struct HeldWriter {
    std::mutex mutex;
    std::condition_variable changed;
    bool started = false, released = false;
    std::vector<std::string> written;
    std::string failOn; // bytes whose write fails

    SaveResult Write(const TaskStore& state) {
        std::unique_lock lock(mutex);
        started = true;
        changed.notify_all();
        changed.wait(lock, [this] { return released; });
        written.push_back(state.Tasks.at(0).Title);
        return written.back() == failOn ? SaveResult{false, "Cannot create file \"x\". Disk full"}
                                        : SaveResult{};
    }
    void WaitStarted() {
        std::unique_lock lock(mutex);
        changed.wait(lock, [this] { return started; });
    }
    void Release() {
        const std::lock_guard lock(mutex);
        released = true;
        changed.notify_all();
    }
};

TaskStore Titled(const std::string& title) {
    TaskStore state;
    state.Tasks.push_back(test::MakeTask(title));
    return state;
}

TEST(SaveWorker, WritesOneAtATimeAndOnlyTheNewestOfThoseThatWaited) {
    HeldWriter writer;
    SaveWorker worker([&](const TaskStore& s) { return writer.Write(s); });
    worker.Submit(Titled("first"));
    writer.WaitStarted();
    for (const char* state : {"second", "third", "fourth"})
        worker.Submit(Titled(state));
    writer.Release();
    EXPECT_TRUE(worker.WaitForLast().ok);
    EXPECT_EQ(writer.written, (std::vector<std::string>{"first", "fourth"}));
}

TEST(SaveWorker, AFailureIsToldOnceAndTheNextStateTriesAgain) {
    HeldWriter writer;
    writer.failOn = "full";
    writer.Release();
    SaveWorker worker([&](const TaskStore& s) { return writer.Write(s); });
    worker.Submit(Titled("full"));
    worker.Wait();
    EXPECT_EQ(worker.TakeFailure(), "Cannot create file \"x\". Disk full");
    EXPECT_EQ(worker.TakeFailure(), std::nullopt);
    worker.Submit(Titled("full"));
    EXPECT_FALSE(worker.WaitForLast().ok); // told to whoever waited: not again
    EXPECT_EQ(worker.TakeFailure(), std::nullopt);
    worker.Submit(Titled("room"));
    EXPECT_TRUE(worker.WaitForLast().ok);
    EXPECT_EQ(writer.written.back(), "room");
}

TEST(SaveWorker, StoppingWritesWhatStillWaits) {
    HeldWriter writer;
    {
        SaveWorker worker([&](const TaskStore& s) { return writer.Write(s); });
        worker.Submit(Titled("running"));
        writer.WaitStarted();
        worker.Submit(Titled("waiting"));
        writer.Release();
    }
    EXPECT_EQ(writer.written, (std::vector<std::string>{"running", "waiting"}));
}

// A large store is copied in two halves at once; the worker writes them joined.
TEST(SaveWorker, ACopyOfALargeStoreHoldsEveryTaskInOrder) {
    TaskStore store;
    AddDefaultCategories(store);
    for (int i = 0; i < 50001; ++i)
        store.Tasks.push_back(test::MakeTask(std::to_string(i)));
    store.VisibleTaskCount = 7;
    TaskStore written;
    SaveWorker worker([&](const TaskStore& s) {
        written = s;
        return SaveResult{};
    });
    worker.SubmitCopyOf(store);
    store.Tasks.clear(); // the copy was taken before SubmitCopyOf returned
    worker.Wait();
    ASSERT_EQ(written.TaskCount(), 50001);
    for (int i = 0; i < written.TaskCount(); ++i)
        ASSERT_EQ(written.Tasks[i].Title, std::to_string(i));
    EXPECT_EQ(written.VisibleTaskCount, 7);
    EXPECT_EQ(written.Categories.size(), 3u);
}

// States of different sizes, each task titled with its state's number.
TaskStore State(int number) {
    TaskStore store;
    AddDefaultCategories(store);
    for (int i = 0; i < number * 40; ++i) {
        TTASK_ITEM task = test::MakeTask("state " + std::to_string(number));
        task.Description = std::string(500, 'd');
        store.Tasks.push_back(task);
    }
    return store;
}

TEST(SaveWorker, AWriterKilledAtAnyMomentLeavesTheOldOrANewFile) {
    test::TempDir dir;
    const std::string path = dir.File(kDataFileName);
    ASSERT_TRUE(SaveTasks(State(1), path).ok);
    std::mt19937 random(20);
    for (int round = 0; round < 30; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            SaveWorker worker([&](const TaskStore& s) { return SaveTasks(s, path); });
            for (int n = 1;; n = n % 5 + 1)
                worker.Submit(State(n));
        }
        usleep(static_cast<useconds_t>(random() % 30000));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        TaskStore read;
        ASSERT_EQ(LoadTasks(read, path).outcome, LoadOutcome::Good) << "round " << round;
        const int number = read.TaskCount() / 40;
        ASSERT_TRUE(number >= 1 && number <= 5 && read.Tasks == State(number).Tasks)
            << "round " << round << ": " << read.TaskCount() << " tasks";
    }
}

} // namespace
} // namespace quill
