#pragma once
// Calendar files as text: the tasks to export as one VCALENDAR, a calendar
// file read whole into tasks, and the rules by which those tasks join the
// store. No file access here: callers read and write the bytes.

#include "calendar/vtodo_mapping.h"
#include "core/task_store.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quill {

// The PRODID of every calendar written.
inline constexpr const char* kCalendarProductId = "-//Tolvane//Quillnote//EN";

// Positions of the tasks an export writes: every task, or when `categoryName`
// is not empty only those of the first category of that name, in store order.
std::vector<int32_t> TasksToExport(const TaskStore& store, const std::string& categoryName);

// One VCALENDAR (VERSION 2.0) with a VTODO for each task at `tasks`; `stamp`
// (seconds since 1970 UTC) is every DTSTAMP. Lines end in CRLF, folded as
// RFC 5545 says.
std::string WriteCalendar(const TaskStore& store, const std::vector<int32_t>& tasks, int64_t stamp);

struct CalendarRead {
    bool ok = false;
    std::string error; // when not ok: what is wrong, in words a user can read
    std::vector<VTodoTask> tasks;
    int notTasks = 0; // events, journal entries and other entries that are not tasks
};

// Reads a whole calendar file (one VCALENDAR, or several one after another).
// Not ok, with nothing read, when the text is no calendar or any task in it
// holds a value that cannot be read. `today` decides the overdue marks.
CalendarRead ReadCalendar(std::string_view text, double today);

struct ImportSummary {
    int added = 0;
    int updated = 0;
    int unchanged = 0; // already in the store and not newer in the file
    int notTasks = 0;
    int categoriesAdded = 0;
    bool changed() const { return added + updated + categoriesAdded > 0; }
};

// Brings what ReadCalendar read into the store, in file order. A task whose
// Uid is already there replaces that task's fields (keeping its Key and place)
// when its LAST-MODIFIED is later than the stored change time, and is left
// alone otherwise; any other task is appended. A category named that does not
// exist is appended with the file's mark when no category uses it, else with
// the lowest mark no category uses. A task naming no category goes to the
// first one (an updated one keeps its own).
ImportSummary ApplyImport(TaskStore& store, const CalendarRead& read);

// "12 tasks imported: 9 new, 3 updated; 2 entries were not tasks".
std::string ImportSummaryText(const ImportSummary& summary);

enum class ExportFormat { Calendar, Csv, Unknown };

// By the file name's extension: ".ics" a calendar, ".csv" CSV (any case).
ExportFormat ExportFormatFor(const std::string& path);

} // namespace quill
