#include "core/task_edit.h"

namespace quill {

namespace {
uint8_t Flag(bool on) {
    return on ? 1 : 0;
}
} // namespace

TTASK_ITEM NewTaskFromEditor(const TaskEditorValues& values, TDateTime now) {
    TTASK_ITEM task;
    task.CategoryIndex = values.CategoryIndex;
    task.Done = 0;
    task.Priority = values.Priority;
    task.Title = values.Title;
    task.Description = values.Description;
    task.DueDate = values.DueDate;
    task.ReminderDate = values.ReminderDate;
    task.ReminderTime = values.ReminderTime;
    task.ReminderOn = Flag(values.ReminderOn);
    task.HasDueDate = Flag(values.HasDueDate);
    task.PlaySound = Flag(values.PlaySound);
    task.SoundFile = values.SoundFile;
    task.RepeatRule = values.RepeatRule;
    task.NotOverdue = ComputeNotOverdue(task, now);
    return task;
}

void WriteBackEditorChanges(TTASK_ITEM& task, const TaskEditorValues& opened,
                            const TaskEditorValues& chosen, TDateTime now) {
    if (chosen != opened)
        MarkChanged(task);
    if (chosen.CategoryIndex != opened.CategoryIndex)
        task.CategoryIndex = chosen.CategoryIndex;
    if (chosen.Priority != opened.Priority)
        task.Priority = chosen.Priority;
    if (chosen.Title != opened.Title)
        task.Title = chosen.Title;
    if (chosen.Description != opened.Description)
        task.Description = chosen.Description;
    if (chosen.HasDueDate != opened.HasDueDate || chosen.DueDate != opened.DueDate) {
        task.HasDueDate = Flag(chosen.HasDueDate);
        if (chosen.HasDueDate)
            task.DueDate = chosen.DueDate;
        task.RepeatFrom = 0.0;
    }
    if (chosen.RepeatRule != opened.RepeatRule) {
        task.RepeatRule = chosen.RepeatRule;
        task.RepeatFrom = 0.0;
    }
    if (chosen.ReminderOn != opened.ReminderOn || chosen.ReminderDate != opened.ReminderDate ||
        chosen.ReminderTime != opened.ReminderTime) {
        task.ReminderOn = Flag(chosen.ReminderOn);
        if (chosen.ReminderOn) {
            task.ReminderDate = chosen.ReminderDate;
            task.ReminderTime = chosen.ReminderTime;
        }
    }
    if (chosen.PlaySound != opened.PlaySound || chosen.SoundFile != opened.SoundFile) {
        task.PlaySound = Flag(chosen.PlaySound);
        task.SoundFile = chosen.SoundFile;
    }
    task.NotOverdue = ComputeNotOverdue(task, now);
}

} // namespace quill
