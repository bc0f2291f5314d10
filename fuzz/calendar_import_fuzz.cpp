// Feeds arbitrary text to the calendar importer the way "Import Tasks..." does
// (read the whole file, then bring its tasks into a store with the default
// categories), then exports that store and imports the export again: what the
// program writes, it must read back, with the same tasks.

#include "calendar/calendar_file.h"
#include "core/task_store.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const quill::CalendarRead read =
        quill::ReadCalendar(std::string_view(reinterpret_cast<const char*>(data), size), 46000);
    if (!read.ok) {
        if (read.error.empty() || !read.tasks.empty())
            __builtin_trap(); // a refusal says why and brings nothing
        return 0;
    }
    quill::TaskStore store;
    quill::AddDefaultCategories(store);
    const quill::ImportSummary summary = quill::ApplyImport(store, read);
    if (summary.added + summary.updated + summary.unchanged != static_cast<int>(read.tasks.size()))
        __builtin_trap();

    const std::string exported =
        quill::WriteCalendar(store, quill::TasksToExport(store, ""), 1767225600);
    const quill::CalendarRead again = quill::ReadCalendar(exported, 46000);
    if (!again.ok || again.tasks.size() != store.Tasks.size() || again.notTasks != 0)
        __builtin_trap();
    for (size_t i = 0; i < store.Tasks.size(); ++i) {
        if (again.tasks[i].task.Uid != store.Tasks[i].Uid ||
            again.tasks[i].task.Done != store.Tasks[i].Done ||
            again.tasks[i].task.Priority != store.Tasks[i].Priority)
            __builtin_trap();
    }
    return 0;
}
