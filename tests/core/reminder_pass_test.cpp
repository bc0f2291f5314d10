// The reminder pass: overdue marks, reminder moments, snooze arithmetic and the
// order in which due reminders are raised, with the clock fixed by the test.
#include "core/reminder_pass.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quill {
namespace {

using test::Completed;

class SettableClock final : public Clock {
public:
    TDateTime now = 0;
    TDateTime Now() const override { return now; }
};

class ClockFixture : public ::testing::Test {
protected:
    void SetUp() override { SetClock(clock_); }
    void TearDown() override { SetClock(nullptr); }
    void SetNow(const CivilDateTime& civil) { clock_->now = EncodeDateTime(civil); }
    std::shared_ptr<SettableClock> clock_ = std::make_shared<SettableClock>();
};

TDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return EncodeDateTime({y, mo, d, h, mi, s, 0});
}

std::string Civil(TDateTime value) {
    const CivilDateTime c = DecodeDateTime(value);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", c.year, c.month, c.day,
                  c.hour, c.minute, c.second);
    return text;
}

TTASK_ITEM Reminder(TDateTime date, TDateTime time) {
    TTASK_ITEM t;
    t.Title = "call";
    t.ReminderOn = 1;
    t.ReminderDate = date;
    t.ReminderTime = time;
    t.NotOverdue = 1;
    return t;
}

TTASK_ITEM Due(TDateTime due, uint8_t notOverdue) {
    TTASK_ITEM t;
    t.HasDueDate = 1;
    t.DueDate = due;
    t.NotOverdue = notOverdue;
    return t;
}

TEST(ReminderMoment, DatePartOfOneFieldAndTimeOfDayOfTheOther) {
    struct Case {
        TDateTime date, time;
        const char* expected;
    } cases[] = {
        {At(2024, 3, 1, 9, 0), At(2023, 7, 15, 14, 30), "2024-03-01 14:30:00"},
        {At(2024, 3, 1), At(2024, 3, 1, 23, 59, 59), "2024-03-01 23:59:59"},
        {At(2024, 3, 1, 18, 0), 0.0, "2024-03-01 00:00:00"},
        // Before 1899-12-30 the values count down from midnight: -1.25 is
        // 1899-12-29 06:00, and the time of day is subtracted.
        {-1.0, 0.25, "1899-12-29 06:00:00"},
        {At(1850, 6, 1), At(2024, 1, 1, 8, 15), "1850-06-01 08:15:00"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Civil(ReminderMoment(Reminder(c.date, c.time))), c.expected) << c.expected;
    EXPECT_DOUBLE_EQ(ReminderMoment(Reminder(-1.0, 0.25)), -1.25);
}

TEST(SnoozeChoice, EachChoiceMovesTheMomentByItsDelayFromNow) {
    struct Case {
        int index;
        TDateTime now;
        const char* text;
        const char* expected; // nullptr: disarmed
    } cases[] = {
        {0, At(2024, 5, 2, 10, 0), "don't remind", nullptr},
        {1, At(2024, 5, 2, 10, 0), "5 minutes", "2024-05-02 10:05:00"},
        {2, At(2024, 5, 2, 10, 0), "10 minutes", "2024-05-02 10:10:00"},
        {3, At(2024, 5, 2, 23, 50), "15 minutes", "2024-05-03 00:05:00"},
        {4, At(2024, 5, 2, 10, 0), "30 minutes", "2024-05-02 10:30:00"},
        {5, At(2024, 5, 2, 10, 15, 30), "1 hour", "2024-05-02 11:15:30"},
        {6, At(2024, 5, 2, 10, 0), "2 hours", "2024-05-02 12:00:00"},
        {7, At(2024, 12, 31, 22, 0), "4 hours", "2025-01-01 02:00:00"},
        {8, At(2024, 5, 2, 20, 0), "8 hours", "2024-05-03 04:00:00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(SnoozeChoiceText(c.index), c.text);
        TTASK_ITEM task = Reminder(At(2024, 5, 1), At(2024, 5, 1, 9, 0));
        ApplySnoozeChoice(task, c.index, c.now);
        if (!c.expected) {
            EXPECT_EQ(task.ReminderOn, 0);
            EXPECT_EQ(Civil(ReminderMoment(task)), "2024-05-01 09:00:00");
            continue;
        }
        EXPECT_EQ(task.ReminderOn, 1);
        EXPECT_EQ(Civil(ReminderMoment(task)), c.expected);
        EXPECT_EQ(task.ReminderDate, task.ReminderTime); // both get the full moment
    }
    // Nothing selected: the task stays as it was.
    TTASK_ITEM task = Reminder(At(2024, 5, 1), At(2024, 5, 1, 9, 0));
    const TTASK_ITEM before = task;
    ApplySnoozeChoice(task, -1, At(2024, 5, 2, 10, 0));
    EXPECT_EQ(task, before);
    EXPECT_EQ(SnoozeChoiceText(9), "");
}

TEST(Overdue, MarkFollowsTheCalendarForOpenDatedTasksOnly) {
    struct Case {
        const char* what;
        TTASK_ITEM task;
        TDateTime now;
        uint8_t expected;
        bool changed;
    } cases[] = {
        {"due today, before midnight", Due(At(2024, 5, 2), 1), At(2024, 5, 2, 23, 59, 59), 1,
         false},
        {"due today, after midnight", Due(At(2024, 5, 2), 1), At(2024, 5, 3, 0, 0, 0), 0, true},
        {"clock set back before the due day", Due(At(2024, 5, 2), 0), At(2024, 5, 1, 12, 0), 1,
         true},
        {"overdue stays overdue", Due(At(2024, 5, 2), 0), At(2024, 6, 1), 0, false},
        {"done task is left alone", Completed(Due(At(2024, 5, 2), 1)), At(2024, 6, 1), 1, false},
        {"done overdue task is left alone", Completed(Due(At(2024, 5, 2), 0)), At(2024, 4, 1), 0,
         false},
        {"no due date", TTASK_ITEM{}, At(2024, 6, 1), 0, false},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(UpdateOverdue(c.task, c.now), c.changed);
        EXPECT_EQ(c.task.NotOverdue, c.expected);
    }
}

// Records what the pass asks for; `onRaise` lets a test change the store while a
// reminder is "open".
class RecordingHost : public ReminderPassHost {
public:
    bool visible = false;
    std::vector<std::string> calls;
    std::function<void(int32_t)> onRaise;
    bool ReminderWindowVisible() const override { return visible; }
    void OverdueMarksChanged() override { calls.push_back("save"); }
    void RaiseReminder(int32_t index) override {
        calls.push_back("raise " + std::to_string(index));
        if (onRaise)
            onRaise(index);
    }
};

using ReminderPass = ClockFixture;

TEST_F(ReminderPass, AtMidnightEveryTaskDueYesterdayChangesAndTheFileIsWrittenOnce) {
    TaskStore store;
    for (int i = 0; i < 5; ++i)
        store.Tasks.push_back(Due(At(2024, 5, 2), 1));
    store.Tasks.push_back(Completed(Due(At(2024, 5, 2), 1)));
    SetNow({2024, 5, 2, 23, 59, 59});
    RecordingHost host;
    EXPECT_EQ(RunReminderPass(store, host).overdueChanges, 0);
    EXPECT_TRUE(host.calls.empty());

    SetNow({2024, 5, 3, 0, 0, 0});
    EXPECT_EQ(RunReminderPass(store, host).overdueChanges, 5);
    EXPECT_EQ(host.calls, std::vector<std::string>{"save"});
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(store.Tasks[size_t(i)].NotOverdue, 0);
    EXPECT_EQ(store.Tasks[5].NotOverdue, 1); // done: untouched

    SetNow({2024, 5, 1, 12, 0, 0}); // the clock set back
    EXPECT_EQ(RunReminderPass(store, host).overdueChanges, 5);
    EXPECT_EQ(store.Tasks[0].NotOverdue, 1);
}

TEST_F(ReminderPass, DueRemindersAreRaisedInTaskOrderAfterTheOverdueWrite) {
    SetNow({2024, 5, 2, 9, 0, 0});
    TaskStore store;
    store.Tasks.push_back(Reminder(At(2024, 5, 2), At(2000, 1, 1, 9, 0)));  // due now
    store.Tasks.push_back(Reminder(At(2024, 5, 2), At(2000, 1, 1, 9, 1)));  // a minute early
    store.Tasks.push_back(Reminder(At(2024, 4, 30), At(2000, 1, 1, 8, 0))); // past at start-up
    store.Tasks.push_back(Completed(Reminder(At(2024, 4, 30), 0.0)));       // done
    TTASK_ITEM off = Reminder(At(2024, 4, 30), 0.0);
    off.ReminderOn = 0;
    store.Tasks.push_back(off);
    store.Tasks.push_back(Due(At(2024, 5, 1), 1)); // became overdue
    RecordingHost host;
    const ReminderPassResult result = RunReminderPass(store, host);
    EXPECT_EQ(result.remindersRaised, 2);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"save", "raise 0", "raise 2"}));
}

TEST_F(ReminderPass, NothingHappensWhileAReminderWaitsForItsAnswer) {
    SetNow({2024, 5, 3, 9, 0, 0});
    TaskStore store;
    store.Tasks.push_back(Reminder(At(2024, 5, 2), 0.0));
    store.Tasks.push_back(Due(At(2024, 5, 1), 1));
    RecordingHost host;
    host.visible = true;
    EXPECT_EQ(RunReminderPass(store, host).remindersRaised, 0);
    EXPECT_TRUE(host.calls.empty());
    EXPECT_EQ(store.Tasks[1].NotOverdue, 1);
}

TEST_F(ReminderPass, NeverWalksPastTheEndOfTasksWhenTasksGoWhileAReminderIsOpen) {
    SetNow({2024, 5, 3, 9, 0, 0});
    TaskStore store;
    for (int i = 0; i < 4; ++i)
        store.Tasks.push_back(Reminder(At(2024, 5, 2), 0.0));
    RecordingHost host;
    host.onRaise = [&store](int32_t index) {
        if (index == 0)
            store.Tasks.resize(2); // a category and its tasks were deleted meanwhile
    };
    RunReminderPass(store, host);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"raise 0", "raise 1"}));
    // Tasks added meanwhile wait for the next pass.
    host.calls.clear();
    host.onRaise = [&store](int32_t index) {
        if (index == 0)
            store.Tasks.push_back(Reminder(At(2024, 5, 2), 0.0));
    };
    RunReminderPass(store, host);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"raise 0", "raise 1"}));
}

} // namespace
} // namespace quill
