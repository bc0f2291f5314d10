// Repeating tasks: where ticking moves a task, and the rule's way through a
// calendar file and the data file.
#include "calendar/calendar_file.h"
#include "calendar/repeat_rule.h"
#include "core/data_file.h"

#include <gtest/gtest.h>

#include <string>

namespace quill {
namespace {

TDateTime Day(int year, int month, int day) {
    CivilDateTime civil;
    civil.year = year;
    civil.month = month;
    civil.day = day;
    return EncodeDateTime(civil);
}

std::string Ymd(double day) {
    const CivilDateTime c = DecodeDateTime(day);
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", c.year, c.month, c.day);
    return text;
}

TTASK_ITEM Repeating(const std::string& rule, TDateTime due, TDateTime from = 0.0) {
    TTASK_ITEM task;
    task.Title = "pay the rent";
    task.HasDueDate = 1;
    task.DueDate = due;
    task.RepeatRule = rule;
    task.RepeatFrom = from;
    return task;
}

const char* const kWorkdays = "FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR";

// 1 March 2026 is a Sunday.
TEST(RepeatTick, MovesToTheNextOccurrenceAfterTodayOrEndsTheTask) {
    struct Row {
        const char* rule;
        TDateTime from, due, today;
        const char* next; // nullptr: the rule has ended and the task is done
    };
    const Row rows[] = {
        {"FREQ=DAILY", 0, Day(2026, 3, 10), Day(2026, 3, 10), "2026-03-11"},
        {kWorkdays, 0, Day(2026, 3, 13), Day(2026, 3, 13), "2026-03-16"},     // Friday to Monday
        {kWorkdays, 0, Day(2026, 3, 14), Day(2026, 3, 14), "2026-03-16"},     // from a Saturday
        {"FREQ=WEEKLY", 0, Day(2026, 3, 2), Day(2026, 3, 23), "2026-03-30"},  // three weeks late
        {"FREQ=WEEKLY", 0, Day(2026, 3, 20), Day(2026, 3, 10), "2026-03-27"}, // ticked early
        {"FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH", 0, Day(2026, 3, 5), Day(2026, 3, 5), "2026-03-16"},
        {"FREQ=DAILY;INTERVAL=10", 0, Day(2026, 3, 1), Day(2026, 3, 25), "2026-03-31"},
        {"FREQ=MONTHLY", 0, Day(2026, 1, 31), Day(2026, 1, 31), "2026-02-28"},
        {"FREQ=MONTHLY", Day(2026, 1, 31), Day(2026, 2, 28), Day(2026, 2, 28), "2026-03-31"},
        {"FREQ=MONTHLY", 0, Day(2028, 1, 30), Day(2028, 1, 30), "2028-02-29"},
        {"FREQ=MONTHLY", 0, Day(2026, 3, 31), Day(2026, 3, 31), "2026-04-30"},
        {"FREQ=MONTHLY;INTERVAL=3", 0, Day(2026, 11, 30), Day(2026, 11, 30), "2027-02-28"},
        {"FREQ=YEARLY", 0, Day(2024, 2, 29), Day(2024, 2, 29), "2025-02-28"},
        {"FREQ=YEARLY", Day(2024, 2, 29), Day(2027, 2, 28), Day(2027, 2, 28), "2028-02-29"},
        {"FREQ=MONTHLY;BYDAY=MO,TU,WE,TH,FR;BYSETPOS=-1", 0, Day(2026, 1, 30), Day(2026, 1, 30),
         "2026-02-27"},
        {"FREQ=DAILY;COUNT=3", 0, Day(2026, 3, 1), Day(2026, 3, 1), "2026-03-02"},
        {"FREQ=DAILY;COUNT=3", Day(2026, 3, 1), Day(2026, 3, 3), Day(2026, 3, 3), nullptr},
        {"FREQ=WEEKLY;UNTIL=20260320", 0, Day(2026, 3, 13), Day(2026, 3, 13), "2026-03-20"},
        {"FREQ=WEEKLY;UNTIL=20260320", 0, Day(2026, 3, 20), Day(2026, 3, 20), nullptr},
        {"NOT A RULE", 0, Day(2026, 3, 20), Day(2026, 3, 20), nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.rule) + " due " + Ymd(row.due) + " today " + Ymd(row.today));
        TTASK_ITEM task = Repeating(row.rule, row.due, row.from);
        TickTaskDone(task, row.today);
        EXPECT_EQ(task.Done, row.next ? 0 : 1);
        EXPECT_EQ(Ymd(task.DueDate), row.next ? row.next : Ymd(row.due));
        if (row.next) {
            EXPECT_EQ(Ymd(task.RepeatFrom), Ymd(row.from != 0 ? row.from : row.due));
        }
    }
}

TEST(RepeatTick, TheReminderKeepsItsTimeOfDayAcrossADaylightSavingChange) {
    // The test program runs in Chicago's time zone: clocks go forward on 8 March 2026.
    TTASK_ITEM task = Repeating("FREQ=WEEKLY", Day(2026, 3, 2));
    task.ReminderOn = 1;
    task.ReminderDate = Day(2026, 3, 1);
    task.ReminderTime = 0.375; // 09:00
    TickTaskDone(task, Day(2026, 3, 2));
    EXPECT_EQ(Ymd(task.ReminderDate), "2026-03-08");
    EXPECT_EQ(task.ReminderTime, 0.375);
    EXPECT_NE(task.LastModified, 0);
}

TEST(RepeatTick, ADoneOrDatelessTaskIsOnlyToggled) {
    TTASK_ITEM done = Repeating("FREQ=DAILY", Day(2026, 3, 2));
    done.Done = 1;
    TickTaskDone(done, Day(2026, 3, 2));
    TTASK_ITEM dateless = Repeating("FREQ=DAILY", Day(2026, 3, 2));
    dateless.HasDueDate = 0;
    TickTaskDone(dateless, Day(2026, 3, 2));
    EXPECT_EQ(done.Done, 0);
    EXPECT_EQ(dateless.Done, 1);
    EXPECT_EQ(Ymd(done.DueDate), "2026-03-02");
}

TEST(RepeatRoundTrip, TheRuleComesBackFromACalendarFileAndTheDataFile) {
    TaskStore store;
    store.Categories.push_back({"Home", 0});
    for (const char* rule : {"FREQ=DAILY", kWorkdays, "FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH",
                             "FREQ=MONTHLY", "FREQ=YEARLY", "FREQ=MONTHLY;COUNT=5;BYDAY=-1FR"}) {
        store.Tasks.push_back(Repeating(rule, Day(2026, 2, 28)));
    }
    store.Tasks[3].RepeatFrom = Day(2026, 1, 31);
    GiveMissingUids(store);
    const CalendarRead read =
        ReadCalendar(WriteCalendar(store, TasksToExport(store, ""), 1767225600), 46000);
    ASSERT_TRUE(read.ok) << read.error;
    const std::vector<uint8_t> bytes = SerializeTasks(store);
    TaskStore parsed;
    ParseTasks(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), parsed);
    ASSERT_EQ(read.tasks.size(), store.Tasks.size());
    ASSERT_EQ(parsed.Tasks.size(), store.Tasks.size());
    for (size_t i = 0; i < store.Tasks.size(); ++i) {
        SCOPED_TRACE(store.Tasks[i].RepeatRule);
        EXPECT_EQ(read.tasks[i].task.RepeatRule, store.Tasks[i].RepeatRule);
        EXPECT_EQ(read.tasks[i].task.RepeatFrom, store.Tasks[i].RepeatFrom);
        EXPECT_EQ(parsed.Tasks[i], store.Tasks[i]);
    }
}

// What an older reader sees: the rule's fields have the generic shape, so cutting
// them out (tag, 32-bit count, bytes) leaves exactly the file of the same task
// without a rule.
TEST(RepeatRoundTrip, TheRuleFieldsHaveTheGenericShape) {
    TaskStore store;
    store.Tasks.push_back(Repeating("FREQ=WEEKLY", Day(2026, 3, 2), Day(2026, 2, 23)));
    const std::vector<uint8_t> with = SerializeTasks(store);
    store.Tasks[0].RepeatRule.clear();
    store.Tasks[0].RepeatFrom = 0.0;
    const std::vector<uint8_t> without = SerializeTasks(store);
    const size_t ruleSize = 1 + 4 + std::string("FREQ=WEEKLY").size(), fromSize = 1 + 4 + 8;
    ASSERT_EQ(with.size(), without.size() + ruleSize + fromSize);
    const size_t at = without.size() - 1; // before the task's end mark
    EXPECT_EQ(with[at], 0x50);
    EXPECT_EQ(with[at + ruleSize], 0x51);
    std::vector<uint8_t> cut(with.begin(), with.begin() + static_cast<std::ptrdiff_t>(at));
    cut.push_back(with.back());
    EXPECT_EQ(cut, without);
}

} // namespace
} // namespace quill
