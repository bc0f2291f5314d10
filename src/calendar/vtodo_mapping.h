#pragma once
// One task and one iCalendar VTODO component, both ways. The mapping lives
// here, apart from reading and writing files, so that whatever exchanges
// tasks with calendar programs (files, a server) maps them the same way.

#include "core/date_time.h"
#include "core/task_store.h"

#include <cstdint>
#include <memory>
#include <string>

struct icalcomponent_impl;
typedef struct icalcomponent_impl icalcomponent;

namespace quill {

struct IcalComponentFree {
    void operator()(icalcomponent* component) const;
};
// A libical component this code owns (and its children with it).
using IcalComponentPtr = std::unique_ptr<icalcomponent, IcalComponentFree>;

// Our own properties on a VTODO: the task's sound file (while it plays one)
// and its category's mark (0..9).
inline constexpr const char* kSoundProperty = "X-QUILLNOTE-SOUND";
inline constexpr const char* kMarkProperty = "X-QUILLNOTE-COLOR";

// The reminder's moment, local time: the date of ReminderDate and the time of
// day of ReminderTime, to the second.
CivilDateTime ReminderCivil(const TTASK_ITEM& task);

// The PRIORITY written for each TaskPriority: High 1, Normal 5, Low 9.
int IcalPriority(int32_t priority);
// A PRIORITY read back: 1-4 High, 6-9 Low, anything else (0, 5, out of range) Normal.
int32_t PriorityFromIcal(int value);

// A VTODO for `task`. `category` is the task's category (nullptr: none);
// `stamp` (seconds since 1970 UTC) becomes DTSTAMP, and COMPLETED of a done
// task whose change time is unknown. A task without Uid gets a new one here.
IcalComponentPtr TaskToVTodo(const TTASK_ITEM& task, const TCATEGORY* category, int64_t stamp);

// What a VTODO says in the store's terms.
struct VTodoTask {
    TTASK_ITEM task; // every mapped field; CategoryIndex is left 0
    // The first of its categories; empty when it names none.
    std::string categoryName;
    int32_t categoryMark = -1; // from our own property, -1 when absent or not 0..9
    bool hasLastModified = false;
};

// Reads `todo` into `out`. False, with `error` saying what is wrong, when a
// value the task needs cannot be read (a malformed or impossible date, a value
// libical could not parse). `today` decides the overdue mark.
bool VTodoToTask(icalcomponent* todo, VTodoTask& out, std::string& error, double today);

} // namespace quill
