#pragma once
// What the task editor holds, as plain values, and how it reaches the store.
// The editor may stay open for a long time while the reminder pass snoozes the
// same task or clears a sound file that does not play; so an edit writes back
// only what the user changed in the editor and leaves the rest as the store now
// has it.

#include "core/date_time.h"
#include "core/task_store.h"

#include <cstdint>
#include <string>

namespace quill {

struct TaskEditorValues {
    int32_t CategoryIndex = 0; // the drop-down's position; may name no category
    int32_t Priority = PriorityNumber(TaskPriority::Normal);
    std::string Title;
    std::string Description;
    bool HasDueDate = false;
    TDateTime DueDate = 0.0;
    bool ReminderOn = false;
    TDateTime ReminderDate = 0.0;
    TDateTime ReminderTime = 0.0;
    bool PlaySound = false;
    std::string SoundFile;
    // An iCalendar RRULE value, empty for "Never"; a rule from another program
    // comes back as it went in.
    std::string RepeatRule;

    bool operator==(const TaskEditorValues&) const = default;
};

// A new task from the editor's values (Done clear, NotOverdue for `now`, no Key).
TTASK_ITEM NewTaskFromEditor(const TaskEditorValues& values, TDateTime now);

// Writes into `task` the fields the user changed between `opened` (the editor's
// values right after it was filled from the task) and `chosen` (its values at
// OK), then brings NotOverdue in step with `now`. The due date, the reminder and
// the sound each go as one group: a change to any part writes the whole group,
// and a switched-off due date or reminder keeps its old moment. A new rule or
// due date starts the rule afresh from the due date. Any change counts as the
// user's (MarkChanged).
void WriteBackEditorChanges(TTASK_ITEM& task, const TaskEditorValues& opened,
                            const TaskEditorValues& chosen, TDateTime now);

} // namespace quill
