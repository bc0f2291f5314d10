#include "calendar/csv_export.h"

#include "calendar/vtodo_mapping.h"
#include "core/date_time.h"

#include <cstdio>

namespace quill {

namespace {

// A field quoted when it holds a comma, a quote or a line break (RFC 4180),
// and when it starts or ends with a space, which spreadsheets would trim.
void AppendField(std::string& out, std::string_view field) {
    const bool quote = field.find_first_of(",\"\r\n") != std::string_view::npos ||
                       (!field.empty() && (field.front() == ' ' || field.back() == ' '));
    if (!quote) {
        out += field;
        return;
    }
    out += '"';
    for (char c : field) {
        if (c == '"') {
            out += '"';
        }
        out += c;
    }
    out += '"';
}

std::string IsoDate(const CivilDateTime& civil) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", civil.year, civil.month, civil.day);
    return text;
}

std::string IsoDateTime(const CivilDateTime& civil) {
    char text[16];
    std::snprintf(text, sizeof text, "T%02d:%02d:%02d", civil.hour, civil.minute, civil.second);
    return IsoDate(civil) + text;
}

} // namespace

std::string WriteCsv(const TaskStore& store, const std::vector<int32_t>& tasks) {
    std::string out = "Title,Description,Category,Priority,Due date,Reminder,Done\r\n";
    for (const int32_t index : tasks) {
        const TTASK_ITEM& task = store.Tasks[static_cast<size_t>(index)];
        const bool hasCategory = task.CategoryIndex >= 0 &&
                                 task.CategoryIndex < static_cast<int32_t>(store.Categories.size());
        const bool knownPriority = task.Priority >= 0 && task.Priority < kPriorityCount;
        std::string reminder;
        if (task.ReminderOn != 0) {
            reminder = IsoDateTime(ReminderCivil(task));
        }
        AppendField(out, task.Title);
        out += ',';
        AppendField(out, task.Description);
        out += ',';
        AppendField(out, hasCategory
                             ? store.Categories[static_cast<size_t>(task.CategoryIndex)].Name
                             : std::string());
        out += ',';
        out += knownPriority ? kPriorityNames[task.Priority] : "";
        out += ',';
        out += task.HasDueDate != 0 ? IsoDate(DecodeDateTime(task.DueDate)) : std::string();
        out += ',';
        out += reminder;
        out += ',';
        out += task.Done != 0 ? "TRUE" : "FALSE";
        out += "\r\n";
    }
    return out;
}

} // namespace quill
