// Writing an edit back: only what the user changed in the editor reaches the
// task; what changed in the store meanwhile (a snooze, a sound that did not
// play) stays.
#include "core/task_edit.h"

#include <gtest/gtest.h>

#include <functional>

namespace quill {
namespace {

const TDateTime kNow = 46000.5;

TTASK_ITEM Stored() {
    TTASK_ITEM t;
    t.Title = "Pay rent";
    t.ReminderOn = 1;
    t.ReminderDate = t.ReminderTime = kNow - 1;
    t.HasDueDate = 1;
    t.DueDate = kNow - 3; // overdue
    t.PlaySound = 1;
    t.SoundFile = "bell.ogg";
    return t;
}

TaskEditorValues Shown(const TTASK_ITEM& t) {
    TaskEditorValues v;
    v.CategoryIndex = t.CategoryIndex;
    v.Priority = t.Priority;
    v.Title = t.Title;
    v.HasDueDate = t.HasDueDate;
    v.DueDate = t.DueDate;
    v.ReminderOn = t.ReminderOn;
    v.ReminderDate = t.ReminderDate;
    v.ReminderTime = t.ReminderTime;
    v.PlaySound = t.PlaySound;
    v.SoundFile = t.SoundFile;
    return v;
}

struct Case {
    const char* name;
    std::function<void(TaskEditorValues&)> user;    // what the user did in the editor
    std::function<void(TTASK_ITEM&)> meanwhile;     // what the store saw meanwhile
    std::function<void(TTASK_ITEM&)> expectChanges; // applied to Stored()
};

TEST(TaskEditTest, WritesBackOnlyTheGroupsTheUserChanged) {
    const auto snooze = [](TTASK_ITEM& t) { t.ReminderDate = t.ReminderTime = kNow + 1.0 / 24; };
    const auto silence = [](TTASK_ITEM& t) {
        t.PlaySound = 0;
        t.SoundFile.clear();
    };
    const Case cases[] = {
        {"untouched editor keeps a snooze", [](TaskEditorValues&) {}, snooze, snooze},
        {"title typed, snooze and cleared sound kept",
         [](TaskEditorValues& v) { v.Title = "Pay the rent"; },
         [&](TTASK_ITEM& t) { snooze(t), silence(t); },
         [&](TTASK_ITEM& t) { snooze(t), silence(t), t.Title = "Pay the rent"; }},
        {"new reminder time wins over the snooze",
         [](TaskEditorValues& v) { v.ReminderTime = kNow + 0.25; }, snooze,
         [](TTASK_ITEM& t) { t.ReminderDate = kNow - 1, t.ReminderTime = kNow + 0.25; }},
        {"reminder switched off keeps the snoozed moment",
         [](TaskEditorValues& v) { v.ReminderOn = false; }, snooze,
         [&](TTASK_ITEM& t) { snooze(t), t.ReminderOn = 0; }},
        {"sound chosen again", [](TaskEditorValues& v) { v.SoundFile = "alarm.wav"; }, silence,
         [](TTASK_ITEM& t) { t.SoundFile = "alarm.wav"; }},
        {"due date switched off keeps the date, not overdue",
         [](TaskEditorValues& v) { v.HasDueDate = false, v.DueDate = kNow + 1; }, nullptr,
         [](TTASK_ITEM& t) { t.HasDueDate = 0, t.NotOverdue = 1; }},
        {"category and priority", [](TaskEditorValues& v) { v.CategoryIndex = 2, v.Priority = 0; },
         nullptr, [](TTASK_ITEM& t) { t.CategoryIndex = 2, t.Priority = 0; }},
        {"untouched editor keeps where the rule counts from", [](TaskEditorValues&) {},
         [](TTASK_ITEM& t) { t.RepeatFrom = kNow - 10; },
         [](TTASK_ITEM& t) { t.RepeatFrom = kNow - 10; }},
        {"a new rule counts from the due date",
         [](TaskEditorValues& v) { v.RepeatRule = "FREQ=WEEKLY"; },
         [](TTASK_ITEM& t) { t.RepeatFrom = kNow - 10; },
         [](TTASK_ITEM& t) { t.RepeatRule = "FREQ=WEEKLY"; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TTASK_ITEM task = Stored();
        const TaskEditorValues opened = Shown(task);
        TaskEditorValues chosen = opened;
        c.user(chosen);
        if (c.meanwhile)
            c.meanwhile(task);
        WriteBackEditorChanges(task, opened, chosen, kNow);
        TTASK_ITEM expected = Stored();
        c.expectChanges(expected);
        expected.NotOverdue = ComputeNotOverdue(expected, kNow);
        EXPECT_EQ(task, expected);
    }
}

} // namespace
} // namespace quill
