#pragma once
// Repeating tasks: the rules the editor offers, as iCalendar RRULE text, and the
// next occurrence of any rule libical can follow.

#include "core/date_time.h"
#include "core/task_store.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quill {

enum class RepeatUnit { Days, Weeks, Months, Years };

// A rule the editor can show and make: every `interval` units; for weeks, on
// the days in `weekdays` (bit 0 Monday ... bit 6 Sunday; none: the due date's
// day of the week).
struct RepeatChoice {
    RepeatUnit unit = RepeatUnit::Days;
    int interval = 1;
    uint8_t weekdays = 0;

    bool operator==(const RepeatChoice&) const = default;
};

inline constexpr uint8_t kWorkWeek = 0x1F; // Monday to Friday

// The RRULE text for `choice`: "FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH".
std::string RepeatRuleText(const RepeatChoice& choice);

// Reads a rule made only of FREQ (DAILY, WEEKLY, MONTHLY, YEARLY), INTERVAL and,
// for weeks, BYDAY with plain days. Anything else (another program's COUNT,
// UNTIL, BYSETPOS...) gives nothing: such a rule is kept as it is.
std::optional<RepeatChoice> ReadRepeatChoice(std::string_view rule);

// The first occurrence of `rule`, counted from the date `from`, that falls on a
// day after the date `after`; nothing when the rule ends before (COUNT, UNTIL)
// or libical cannot follow it. A monthly rule from the 29th to the 31st falls on
// the last day of shorter months, a yearly rule from 29 February on 28 February.
std::optional<TDateTime> NextOccurrence(std::string_view rule, TDateTime from, TDateTime after);

// Ticking a task done: an open repeating task moves to its next occurrence after
// today and after its due date (MoveToOccurrence); any other task, and one whose
// rule has ended, is toggled (ToggleDone).
void TickTaskDone(TTASK_ITEM& task, TDateTime today);

} // namespace quill
