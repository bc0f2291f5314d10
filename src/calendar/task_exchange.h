#pragma once
// Export and import as the program and quillnote-data do them: the calendar
// text of calendar_file and csv_export, read from and written to files.

#include "calendar/calendar_file.h"
#include "core/task_store.h"

#include <cstdint>
#include <string>

namespace quill {

struct ExportResult {
    bool ok = false;
    int tasksWritten = 0;
    std::string error; // when not ok: the sentence the user reads
};

// Writes the tasks of `categoryName` (empty: every task) to `path`, as
// iCalendar or CSV by its extension, atomically. `stamp`: seconds since 1970
// UTC for DTSTAMP.
ExportResult ExportTasksToFile(const TaskStore& store, const std::string& categoryName,
                               const std::string& path, int64_t stamp);

// Reads a calendar file whole. Not ok, with the reason in `error` ("Cannot
// import "<path>": ..."), when it cannot be opened or read as a calendar.
CalendarRead ReadCalendarFile(const std::string& path, double today);

} // namespace quill
