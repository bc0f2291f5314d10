#include "calendar/task_exchange.h"

#include "calendar/csv_export.h"
#include "core/data_file.h"

#include <algorithm>

namespace quill {

ExportResult ExportTasksToFile(const TaskStore& store, const std::string& categoryName,
                               const std::string& path, int64_t stamp) {
    ExportResult result;
    const ExportFormat format = ExportFormatFor(path);
    if (format == ExportFormat::Unknown) {
        result.error = "Cannot export to \"" + path +
                       "\": the file name must end in .ics (iCalendar) or .csv (CSV).";
        return result;
    }
    if (!categoryName.empty() &&
        std::none_of(store.Categories.begin(), store.Categories.end(),
                     [&](const TCATEGORY& c) { return c.Name == categoryName; })) {
        result.error = "Cannot export: there is no category \"" + categoryName + "\".";
        return result;
    }
    const std::vector<int32_t> tasks = TasksToExport(store, categoryName);
    const std::string text = format == ExportFormat::Calendar ? WriteCalendar(store, tasks, stamp)
                                                              : WriteCsv(store, tasks);
    const SaveResult saved = WriteFileAtomically(path, text);
    if (!saved.ok) {
        result.error = saved.error;
        return result;
    }
    result.ok = true;
    result.tasksWritten = static_cast<int>(tasks.size());
    return result;
}

CalendarRead ReadCalendarFile(const std::string& path, double today) {
    FileContents file = ReadWholeFile(path);
    if (file.status != ReadStatus::Ok) {
        CalendarRead read;
        read.error = file.status == ReadStatus::NoFile
                         ? "Cannot open file \"" + path + "\". No such file or directory"
                         : file.error;
        return read;
    }
    CalendarRead read = ReadCalendar(file.bytes, today);
    if (!read.ok) {
        read.error = "Cannot import \"" + path + "\": " + read.error + ". Nothing was changed.";
    }
    return read;
}

} // namespace quill
