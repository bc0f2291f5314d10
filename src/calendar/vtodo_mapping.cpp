#include "calendar/vtodo_mapping.h"

#include "core/date_time.h"

#include <libical/ical.h>

#include <ctime>
#include <string_view>

namespace quill {

void IcalComponentFree::operator()(icalcomponent* component) const {
    icalcomponent_free(component);
}

namespace {

// --------------------------------------------------------------- times

// libical 3.0 writes no date after the year 3000 (it writes a zero date instead):
// such a due date or reminder is left out of the VTODO.
constexpr int kLastWritableYear = 3000;

icaltimezone* Utc() {
    return icaltimezone_get_utc_timezone();
}

icaltimetype UtcTime(int64_t seconds) {
    const CivilDateTime civil = CivilFromUnixSeconds(seconds);
    icaltimetype time = icaltime_null_time();
    time.year = civil.year;
    time.month = civil.month;
    time.day = civil.day;
    time.hour = civil.hour;
    time.minute = civil.minute;
    time.second = civil.second;
    time.zone = Utc();
    return time;
}

CivilDateTime CivilOf(const icaltimetype& time) {
    CivilDateTime civil;
    civil.year = time.year;
    civil.month = time.month;
    civil.day = time.day;
    civil.hour = time.hour;
    civil.minute = time.minute;
    civil.second = time.second;
    return civil;
}

// The program's dates are local time; a moment in a calendar file is UTC.
int64_t LocalToUtcSeconds(const CivilDateTime& local) {
    std::tm tm{};
    tm.tm_year = local.year - 1900;
    tm.tm_mon = local.month - 1;
    tm.tm_mday = local.day;
    tm.tm_hour = local.hour;
    tm.tm_min = local.minute;
    tm.tm_sec = local.second;
    tm.tm_isdst = -1;
    return static_cast<int64_t>(std::mktime(&tm));
}

CivilDateTime UtcSecondsToLocal(int64_t seconds) {
    const auto value = static_cast<time_t>(seconds);
    std::tm tm{};
    if (localtime_r(&value, &tm) == nullptr) {
        return CivilFromUnixSeconds(seconds);
    }
    return CivilFromTm(tm);
}

// Whether a date or date-time from a file is one the program can hold.
bool PossibleTime(const icaltimetype& time) {
    if (time.year < 1 || time.year > 9999 || time.month < 1 || time.month > 12 || time.day < 1 ||
        time.day > icaltime_days_in_month(time.month, time.year)) {
        return false;
    }
    return time.is_date || (time.hour >= 0 && time.hour < 24 && time.minute >= 0 &&
                            time.minute < 60 && time.second >= 0 && time.second <= 60);
}

// A DATE-TIME's moment in seconds since 1970 UTC: a UTC value as it is, one with
// a known TZID through that zone, a floating one (or an unknown zone) as UTC.
int64_t MomentOf(icaltimetype time) {
    if (time.zone != nullptr && !icaltime_is_utc(time)) {
        time = icaltime_convert_to_zone(time, Utc());
    }
    return UnixSecondsFromCivil(CivilOf(time));
}

// A calendar day is written as DATE and read as that day: it never passes
// through a time zone, so it cannot move by a day. A DUE with a time of day is
// the local day of its moment (floating: its own day).
double DueDateOf(const icaltimetype& time) {
    CivilDateTime civil;
    if (time.is_date || (time.zone == nullptr && !icaltime_is_utc(time))) {
        civil = CivilOf(time);
    } else {
        civil = UtcSecondsToLocal(MomentOf(time));
    }
    civil.hour = civil.minute = civil.second = 0;
    return EncodeDateTime(civil);
}

} // namespace

CivilDateTime ReminderCivil(const TTASK_ITEM& task) {
    CivilDateTime civil = DecodeDateTime(task.ReminderDate);
    const CivilDateTime time = DecodeDateTime(task.ReminderTime);
    civil.hour = time.hour;
    civil.minute = time.minute;
    civil.second = time.second;
    civil.millisecond = 0;
    return civil;
}

namespace {

// --------------------------------------------------------------- writing

void Add(icalcomponent* component, icalproperty* property) {
    icalcomponent_add_property(component, property);
}

void AddX(icalcomponent* component, const char* name, const std::string& value) {
    icalproperty* property = icalproperty_new_x(value.c_str());
    icalproperty_set_x_name(property, name);
    Add(component, property);
}

icalcomponent* NewAlarm(const TTASK_ITEM& task) {
    icalcomponent* alarm = icalcomponent_new_valarm();
    Add(alarm, icalproperty_new_action(ICAL_ACTION_DISPLAY));
    Add(alarm, icalproperty_new_description(task.Title.c_str()));
    icaltriggertype trigger = icaltriggertype_from_int(0);
    trigger.time = UtcTime(LocalToUtcSeconds(ReminderCivil(task)));
    icalproperty* property = icalproperty_new_trigger(trigger);
    icalproperty_add_parameter(property, icalparameter_new_value(ICAL_VALUE_DATETIME));
    Add(alarm, property);
    return alarm;
}

// --------------------------------------------------------------- reading

const char* TextOr(const char* text) {
    return text != nullptr ? text : "";
}

// The value of our own property `name`; nullptr when the VTODO has none.
const char* XValue(icalcomponent* todo, const char* name) {
    for (icalproperty* p = icalcomponent_get_first_property(todo, ICAL_X_PROPERTY); p != nullptr;
         p = icalcomponent_get_next_property(todo, ICAL_X_PROPERTY)) {
        const char* x = icalproperty_get_x_name(p);
        if (x != nullptr && std::string_view(x) == name) {
            return TextOr(icalproperty_get_x(p));
        }
    }
    return nullptr;
}

// The first libical parse error inside the VTODO or its alarms; empty if none.
// An empty value ("SUMMARY:") is allowed in iCalendar; libical drops such a
// property with an error, which reads as the empty value it was.
std::string FirstError(icalcomponent* component) {
    for (icalproperty* error = icalcomponent_get_first_property(component, ICAL_XLICERROR_PROPERTY);
         error != nullptr;
         error = icalcomponent_get_next_property(component, ICAL_XLICERROR_PROPERTY)) {
        const std::string_view text = TextOr(icalproperty_get_xlicerror(error));
        if (text.substr(0, 13) != "No value for ") {
            return std::string(text);
        }
    }
    for (icalcomponent* c = icalcomponent_get_first_component(component, ICAL_ANY_COMPONENT);
         c != nullptr; c = icalcomponent_get_next_component(component, ICAL_ANY_COMPONENT)) {
        std::string inner = FirstError(c);
        if (!inner.empty()) {
            return inner;
        }
    }
    return {};
}

// libical drops control characters when it writes a text, and spaces at either
// end when it reads one: a UID keeps neither, so that it is written back as it
// was read and names the same task.
std::string CleanUid(std::string_view text) {
    std::string kept;
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) {
            kept += c;
        }
    }
    const size_t first = kept.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return kept.substr(first, kept.find_last_not_of(' ') - first + 1);
}

// A time property's value with its TZID resolved; false for an impossible one.
bool ReadTime(icalproperty* property, icalcomponent* todo, icaltimetype& time) {
    time = icalproperty_get_datetime_with_component(property, todo);
    return !icaltime_is_null_time(time) && PossibleTime(time);
}

bool ReadStamp(icalcomponent* todo, icalproperty_kind kind, const char* what, int64_t& seconds,
               std::string& error) {
    icalproperty* property = icalcomponent_get_first_property(todo, kind);
    if (property == nullptr) {
        return true;
    }
    icaltimetype time{};
    if (!ReadTime(property, todo, time)) {
        error = std::string("its ") + what + " is not a possible date and time";
        return false;
    }
    seconds = MomentOf(time);
    return true;
}

// The first absolute alarm is the reminder; alarms relative to the due date or
// start are left out.
bool ReadReminder(icalcomponent* todo, TTASK_ITEM& task, std::string& error) {
    for (icalcomponent* alarm = icalcomponent_get_first_component(todo, ICAL_VALARM_COMPONENT);
         alarm != nullptr; alarm = icalcomponent_get_next_component(todo, ICAL_VALARM_COMPONENT)) {
        icalproperty* property = icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY);
        if (property == nullptr) {
            continue;
        }
        const icaltriggertype trigger = icalproperty_get_trigger(property);
        if (icaltime_is_null_time(trigger.time)) {
            continue;
        }
        if (!PossibleTime(trigger.time)) {
            error = "its reminder is not a possible date and time";
            return false;
        }
        const TDateTime moment = EncodeDateTime(UtcSecondsToLocal(MomentOf(trigger.time)));
        task.ReminderOn = 1;
        task.ReminderDate = moment;
        task.ReminderTime = moment;
        return true;
    }
    return true;
}

// A repeating task's rule, counted from DTSTART (which a rule needs): the date
// the rule counts from, or the due date.
void AddRepeat(icalcomponent* c, const TTASK_ITEM& task) {
    if (!IsRepeating(task)) {
        return;
    }
    const icalrecurrencetype rule = icalrecurrencetype_from_string(task.RepeatRule.c_str());
    if (rule.freq == ICAL_NO_RECURRENCE) {
        icalerror_clear_errno();
        return;
    }
    const CivilDateTime from =
        DecodeDateTime(task.RepeatFrom != 0.0 ? task.RepeatFrom : task.DueDate);
    icaltimetype start = icaltime_null_date();
    start.year = from.year;
    start.month = from.month;
    start.day = from.day;
    Add(c, icalproperty_new_dtstart(start));
    Add(c, icalproperty_new_rrule(rule));
}

// The first RRULE, as libical writes it, and DTSTART's date when it is not the
// due date; a task without a due date keeps its rule for when it gets one.
void ReadRepeat(icalcomponent* todo, TTASK_ITEM& task) {
    icalproperty* rrule = icalcomponent_get_first_property(todo, ICAL_RRULE_PROPERTY);
    if (rrule == nullptr) {
        return;
    }
    icalrecurrencetype rule = icalproperty_get_rrule(rrule);
    if (rule.freq == ICAL_NO_RECURRENCE) {
        return;
    }
    task.RepeatRule = TextOr(icalrecurrencetype_as_string(&rule));
    icalproperty* dtstart = icalcomponent_get_first_property(todo, ICAL_DTSTART_PROPERTY);
    icaltimetype start{};
    if (dtstart != nullptr && task.HasDueDate != 0 && ReadTime(dtstart, todo, start)) {
        const TDateTime from = DueDateOf(start);
        task.RepeatFrom = DatePart(from) != DatePart(task.DueDate) ? DatePart(from) : 0.0;
    }
}

} // namespace

int IcalPriority(int32_t priority) {
    switch (static_cast<TaskPriority>(priority)) {
    case TaskPriority::High:
        return 1;
    case TaskPriority::Low:
        return 9;
    default:
        return 5;
    }
}

int32_t PriorityFromIcal(int value) {
    if (value >= 1 && value <= 4) {
        return PriorityNumber(TaskPriority::High);
    }
    if (value >= 6 && value <= 9) {
        return PriorityNumber(TaskPriority::Low);
    }
    return PriorityNumber(TaskPriority::Normal);
}

IcalComponentPtr TaskToVTodo(const TTASK_ITEM& task, const TCATEGORY* category, int64_t stamp) {
    IcalComponentPtr todo(icalcomponent_new_vtodo());
    icalcomponent* c = todo.get();
    Add(c, icalproperty_new_uid(task.Uid.empty() ? NewTaskUid().c_str() : task.Uid.c_str()));
    Add(c, icalproperty_new_dtstamp(UtcTime(stamp)));
    const auto writable = [](int64_t seconds) {
        return seconds != 0 && UtcTime(seconds).year <= kLastWritableYear;
    };
    if (writable(task.Created)) {
        Add(c, icalproperty_new_created(UtcTime(task.Created)));
    }
    if (writable(task.LastModified)) {
        Add(c, icalproperty_new_lastmodified(UtcTime(task.LastModified)));
    }
    // libical reads an empty value as an error: an empty text is left out.
    if (!task.Title.empty()) {
        Add(c, icalproperty_new_summary(task.Title.c_str()));
    }
    if (!task.Description.empty()) {
        Add(c, icalproperty_new_description(task.Description.c_str()));
    }
    Add(c, icalproperty_new_priority(IcalPriority(task.Priority)));
    const CivilDateTime day = DecodeDateTime(task.DueDate);
    if (task.HasDueDate != 0 && day.year <= kLastWritableYear) {
        icaltimetype due = icaltime_null_date();
        due.year = day.year;
        due.month = day.month;
        due.day = day.day;
        Add(c, icalproperty_new_due(due));
        AddRepeat(c, task);
    }
    if (task.Done != 0) {
        Add(c, icalproperty_new_status(ICAL_STATUS_COMPLETED));
        Add(c, icalproperty_new_completed(
                   UtcTime(writable(task.LastModified) ? task.LastModified : stamp)));
        Add(c, icalproperty_new_percentcomplete(100));
    } else {
        Add(c, icalproperty_new_status(ICAL_STATUS_NEEDSACTION));
    }
    if (category != nullptr) {
        Add(c, icalproperty_new_categories(category->Name.c_str()));
        AddX(c, kMarkProperty, std::to_string(category->ColorIndex));
    }
    if (task.PlaySound != 0 && !task.SoundFile.empty()) {
        AddX(c, kSoundProperty, task.SoundFile);
    }
    if (task.ReminderOn != 0 && ReminderCivil(task).year <= kLastWritableYear) {
        icalcomponent_add_component(c, NewAlarm(task));
    }
    return todo;
}

bool VTodoToTask(icalcomponent* todo, VTodoTask& out, std::string& error, double today) {
    out = VTodoTask{};
    TTASK_ITEM& task = out.task;
    const std::string parseError = FirstError(todo);
    if (!parseError.empty()) {
        error = parseError;
        return false;
    }
    task.Uid = CleanUid(TextOr(icalcomponent_get_uid(todo)));
    task.Title = TextOr(icalcomponent_get_summary(todo));
    task.Description = TextOr(icalcomponent_get_description(todo));
    icalproperty* priority = icalcomponent_get_first_property(todo, ICAL_PRIORITY_PROPERTY);
    task.Priority = PriorityFromIcal(priority != nullptr ? icalproperty_get_priority(priority) : 0);

    if (icalproperty* due = icalcomponent_get_first_property(todo, ICAL_DUE_PROPERTY)) {
        icaltimetype time{};
        if (!ReadTime(due, todo, time)) {
            error = "its due date is not a possible date";
            return false;
        }
        task.HasDueDate = 1;
        task.DueDate = DueDateOf(time);
    }
    ReadRepeat(todo, task);
    const icalproperty_status status = icalcomponent_get_status(todo);
    task.Done = status == ICAL_STATUS_COMPLETED || status == ICAL_STATUS_CANCELLED ||
                        icalcomponent_get_first_property(todo, ICAL_COMPLETED_PROPERTY) != nullptr
                    ? 1
                    : 0;
    if (icalproperty* categories =
            icalcomponent_get_first_property(todo, ICAL_CATEGORIES_PROPERTY)) {
        out.categoryName = TextOr(icalproperty_get_categories(categories));
    }
    const std::string_view mark = TextOr(XValue(todo, kMarkProperty));
    if (mark.size() == 1 && mark[0] >= '0' && mark[0] <= '9') {
        out.categoryMark = mark[0] - '0';
    }
    if (const char* sound = XValue(todo, kSoundProperty)) {
        task.PlaySound = 1;
        task.SoundFile = sound;
    }
    if (!ReadStamp(todo, ICAL_CREATED_PROPERTY, "creation time", task.Created, error) ||
        !ReadStamp(todo, ICAL_LASTMODIFIED_PROPERTY, "change time", task.LastModified, error) ||
        !ReadReminder(todo, task, error)) {
        return false;
    }
    out.hasLastModified =
        icalcomponent_get_first_property(todo, ICAL_LASTMODIFIED_PROPERTY) != nullptr;
    task.NotOverdue = ComputeNotOverdue(task, today);
    return true;
}

} // namespace quill
