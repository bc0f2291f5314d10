#include "calendar/repeat_rule.h"

#include <libical/ical.h>

#include <algorithm>
#include <array>
#include <charconv>

namespace quill {

namespace {

constexpr std::array<const char*, 4> kFreqNames = {"DAILY", "WEEKLY", "MONTHLY", "YEARLY"};
constexpr std::array<const char*, 7> kDayNames = {"MO", "TU", "WE", "TH", "FR", "SA", "SU"};
// More steps than a real rule needs to pass today from its first date (a daily
// rule started 50 years ago), few enough that a tick never keeps the list
// waiting; a rule that gets no further gives up and the task is done.
constexpr int kMaxSteps = 20000;

int DayBit(std::string_view name) {
    for (size_t i = 0; i < kDayNames.size(); ++i) {
        if (name == kDayNames[i]) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::optional<uint8_t> ReadDays(std::string_view list) {
    uint8_t days = 0;
    while (!list.empty()) {
        const size_t comma = std::min(list.find(','), list.size());
        const int bit = DayBit(list.substr(0, comma));
        if (bit < 0) {
            return std::nullopt;
        }
        days = static_cast<uint8_t>(days | (1U << bit));
        list.remove_prefix(std::min(comma + 1, list.size()));
    }
    return days;
}

icaltimetype IcalDate(TDateTime date) {
    const CivilDateTime civil = DecodeDateTime(date);
    // A date whose time fields are zero: libical's null date marks them -1, and
    // its weekly iteration never ends from such a start.
    icaltimetype time = icaltime_null_time();
    time.is_date = 1;
    time.year = civil.year;
    time.month = civil.month;
    time.day = civil.day;
    return time;
}

TDateTime DateOf(const icaltimetype& time) {
    CivilDateTime civil;
    civil.year = time.year;
    civil.month = time.month;
    civil.day = time.day;
    return EncodeDateTime(civil);
}

// libical follows RFC 5545 and skips a month without the start's day; the
// rule the user chose means the month's last day then. The same rule with the
// days from the 28th to the start's day, taking the last one each month (or
// February each year), says exactly that in terms libical follows.
std::string WithMonthEnds(std::string_view rule, const icaltimetype& start) {
    const std::optional<RepeatChoice> choice = ReadRepeatChoice(rule);
    std::string text(rule);
    if (!choice || start.day <= 28) {
        return text;
    }
    if (choice->unit == RepeatUnit::Months) {
        text += ";BYMONTHDAY=28";
        for (int day = 29; day <= start.day; ++day) {
            text += "," + std::to_string(day);
        }
        text += ";BYSETPOS=-1";
    } else if (choice->unit == RepeatUnit::Years && start.month == 2) {
        text += ";BYMONTH=2;BYMONTHDAY=28,29;BYSETPOS=-1";
    }
    return text;
}

} // namespace

std::string RepeatRuleText(const RepeatChoice& choice) {
    std::string text = "FREQ=";
    text += kFreqNames[static_cast<size_t>(choice.unit)];
    if (choice.interval > 1) {
        text += ";INTERVAL=" + std::to_string(choice.interval);
    }
    if (choice.unit == RepeatUnit::Weeks && choice.weekdays != 0) {
        text += ";BYDAY=";
        bool first = true;
        for (size_t i = 0; i < kDayNames.size(); ++i) {
            if ((choice.weekdays & (1U << i)) != 0) {
                text += first ? "" : ",";
                text += kDayNames[i];
                first = false;
            }
        }
    }
    return text;
}

std::optional<RepeatChoice> ReadRepeatChoice(std::string_view rule) {
    RepeatChoice choice;
    bool hasFreq = false, hasInterval = false, hasDays = false;
    while (!rule.empty()) {
        const size_t end = std::min(rule.find(';'), rule.size());
        const std::string_view part = rule.substr(0, end);
        rule.remove_prefix(std::min(end + 1, rule.size()));
        const size_t equals = part.find('=');
        if (equals == std::string_view::npos) {
            return std::nullopt;
        }
        const std::string_view key = part.substr(0, equals), value = part.substr(equals + 1);
        if (key == "FREQ" && !hasFreq) {
            const auto* found = std::find_if(kFreqNames.begin(), kFreqNames.end(),
                                             [&](const char* name) { return value == name; });
            if (found == kFreqNames.end()) {
                return std::nullopt;
            }
            choice.unit = static_cast<RepeatUnit>(found - kFreqNames.begin());
            hasFreq = true;
        } else if (key == "INTERVAL" && !hasInterval) {
            const auto [ptr, ec] =
                std::from_chars(value.data(), value.data() + value.size(), choice.interval);
            if (ec != std::errc() || ptr != value.data() + value.size() || choice.interval < 1) {
                return std::nullopt;
            }
            hasInterval = true;
        } else if (key == "BYDAY" && !hasDays) {
            const std::optional<uint8_t> days = ReadDays(value);
            if (!days || *days == 0) {
                return std::nullopt;
            }
            choice.weekdays = *days;
            hasDays = true;
        } else {
            return std::nullopt;
        }
    }
    if (!hasFreq || (hasDays && choice.unit != RepeatUnit::Weeks)) {
        return std::nullopt;
    }
    return choice;
}

std::optional<TDateTime> NextOccurrence(std::string_view rule, TDateTime from, TDateTime after) {
    const icaltimetype start = IcalDate(DatePart(from));
    const icaltimetype limit = IcalDate(DatePart(after));
    const std::string text = WithMonthEnds(rule, start);
    const icalrecurrencetype recurrence = icalrecurrencetype_from_string(text.c_str());
    if (recurrence.freq == ICAL_NO_RECURRENCE) {
        icalerror_clear_errno();
        return std::nullopt;
    }
    icalrecur_iterator* iterator = icalrecur_iterator_new(recurrence, start);
    if (iterator == nullptr) {
        icalerror_clear_errno();
        return std::nullopt;
    }
    std::optional<TDateTime> next;
    for (int step = 0; step < kMaxSteps; ++step) {
        const icaltimetype occurrence = icalrecur_iterator_next(iterator);
        if (icaltime_is_null_time(occurrence)) {
            break;
        }
        if (icaltime_compare_date_only(occurrence, limit) > 0) {
            next = DateOf(occurrence);
            break;
        }
    }
    icalrecur_iterator_free(iterator);
    return next;
}

void TickTaskDone(TTASK_ITEM& task, TDateTime today) {
    if (task.Done == 0 && IsRepeating(task)) {
        const TDateTime from = task.RepeatFrom != 0.0 ? task.RepeatFrom : task.DueDate;
        const std::optional<TDateTime> next = NextOccurrence(
            task.RepeatRule, from, std::max(DatePart(task.DueDate), DatePart(today)));
        if (next) {
            MoveToOccurrence(task, *next, today);
            return;
        }
    }
    ToggleDone(task);
}

} // namespace quill
