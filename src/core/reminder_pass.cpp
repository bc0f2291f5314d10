#include "core/reminder_pass.h"

#include <array>
#include <cmath>

namespace quill {

TDateTime ReminderMoment(const TTASK_ITEM& task) {
    const double day = DatePart(task.ReminderDate);
    const double time = std::fabs(TimePart(task.ReminderTime));
    return day < 0 ? day - time : day + time;
}

int64_t DayOf(TDateTime value) {
    return static_cast<int64_t>(std::trunc(value));
}

bool UpdateOverdue(TTASK_ITEM& task, TDateTime now) {
    if (task.Done || !task.HasDueDate)
        return false;
    const bool pastDue = DayOf(now) > DayOf(task.DueDate);
    if (task.NotOverdue && pastDue) {
        task.NotOverdue = 0;
        return true;
    }
    if (!task.NotOverdue && !pastDue) {
        task.NotOverdue = 1;
        return true;
    }
    return false;
}

namespace {

struct SnoozeChoice {
    std::string_view text;
    int minutes; // 0: the reminder is switched off
};

constexpr std::array<SnoozeChoice, kSnoozeChoiceCount> kSnoozeChoices{{
    {"don't remind", 0},
    {"5 minutes", 5},
    {"10 minutes", 10},
    {"15 minutes", 15},
    {"30 minutes", 30},
    {"1 hour", 60},
    {"2 hours", 120},
    {"4 hours", 240},
    {"8 hours", 480},
}};

} // namespace

std::string_view SnoozeChoiceText(int index) {
    if (index < 0 || index >= kSnoozeChoiceCount)
        return {};
    return kSnoozeChoices[static_cast<size_t>(index)].text;
}

void ApplySnoozeChoice(TTASK_ITEM& task, int index, TDateTime now) {
    if (index < 0 || index >= kSnoozeChoiceCount)
        return;
    const int minutes = kSnoozeChoices[static_cast<size_t>(index)].minutes;
    MarkChanged(task);
    if (minutes == 0) {
        task.ReminderOn = 0;
        return;
    }
    // Delays of whole hours are added as hours, the others as minutes.
    const int wholeHours = minutes / 60;
    const TDateTime moment =
        minutes % 60 == 0 ? (now * 24.0 + wholeHours) / 24.0 : (now * 1440.0 + minutes) / 1440.0;
    task.ReminderDate = moment;
    task.ReminderTime = moment;
}

ReminderPassResult RunReminderPass(TaskStore& store, ReminderPassHost& host) {
    ReminderPassResult result;
    if (host.ReminderWindowVisible())
        return result;
    // The overdue marks first, and one write for all of them: at midnight every
    // task due yesterday changes in the same pass.
    const TDateTime now = Now();
    for (TTASK_ITEM& task : store.Tasks) {
        if (UpdateOverdue(task, now))
            ++result.overdueChanges;
    }
    if (result.overdueChanges > 0)
        host.OverdueMarksChanged();

    const int32_t count = store.TaskCount();
    for (int32_t i = 0; i < count && i < store.TaskCount(); ++i) {
        const TTASK_ITEM& task = store.Tasks[static_cast<size_t>(i)];
        if (task.Done || !task.ReminderOn)
            continue;
        if (Now() >= ReminderMoment(task)) {
            ++result.remindersRaised;
            host.RaiseReminder(i);
        }
    }
    return result;
}

} // namespace quill
