#pragma once
// The once-a-second reminder pass, as plain logic: it keeps every open task's
// overdue mark in step with the calendar and raises the reminders that are due,
// in task order. The window, the sound and the tray are the host's business.
// Time comes from the process-wide clock (date_time.h), so tests can fix it.

#include "core/date_time.h"
#include "core/task_store.h"

#include <cstdint>
#include <string_view>

namespace quill {

// The moment a task's reminder falls due: the date part of ReminderDate with the
// time of day of ReminderTime. For a date before 1899-12-30 the time of day is
// subtracted, since such values count down from midnight.
TDateTime ReminderMoment(const TTASK_ITEM& task);

// The day of a date-time: its value truncated toward zero.
int64_t DayOf(TDateTime value);

// Brings one task's NotOverdue in step with `now`; returns whether it changed.
// A done task, and a task without a due date, are left alone.
bool UpdateOverdue(TTASK_ITEM& task, TDateTime now);

// The snooze choices of the reminder window, in the order of its drop-down.
inline constexpr int kSnoozeChoiceCount = 9;
std::string_view SnoozeChoiceText(int index);
// The choice preselected when the reminder window is made ("5 minutes").
inline constexpr int kDefaultSnoozeChoice = 1;

// Applies the snooze choice `index` at `now`: 0 disarms the reminder, 1..8 move
// its moment to now plus the delay (both are the user's change: MarkChanged);
// any other index (nothing selected) changes nothing.
void ApplySnoozeChoice(TTASK_ITEM& task, int index, TDateTime now);

// What the pass needs from the program around it.
class ReminderPassHost {
public:
    virtual ~ReminderPassHost() = default;
    // A reminder is waiting for an answer: the pass does nothing meanwhile.
    virtual bool ReminderWindowVisible() const = 0;
    // Some overdue marks changed: repaint the list and write the data file once.
    virtual void OverdueMarksChanged() = 0;
    // Raises the reminder of the task at `index` and returns once it is answered
    // (the window is modal). Tasks may be added, moved or removed meanwhile.
    virtual void RaiseReminder(int32_t index) = 0;
};

struct ReminderPassResult {
    int overdueChanges = 0;
    int remindersRaised = 0;
};

// Timer1Timer's work: first every open task's overdue mark (written once when any
// changed), then each due reminder in task order, one after another. The walk
// covers the tasks that were there when the pass began and never goes past the
// current end of Tasks, which may shrink while a reminder is open.
ReminderPassResult RunReminderPass(TaskStore& store, ReminderPassHost& host);

} // namespace quill
