#include "calendar/calendar_file.h"

#include <libical/ical.h>

#include <algorithm>
#include <cctype>
#include <unordered_map>

namespace quill {

namespace {

const TCATEGORY* CategoryOf(const TaskStore& store, const TTASK_ITEM& task) {
    if (task.CategoryIndex < 0 ||
        task.CategoryIndex >= static_cast<int32_t>(store.Categories.size())) {
        return nullptr;
    }
    return &store.Categories[static_cast<size_t>(task.CategoryIndex)];
}

int32_t FindCategory(const TaskStore& store, const std::string& name) {
    for (size_t i = 0; i < store.Categories.size(); ++i) {
        if (store.Categories[i].Name == name) {
            return static_cast<int32_t>(i);
        }
    }
    return -1;
}

bool MarkUsed(const TaskStore& store, int32_t mark) {
    return std::any_of(store.Categories.begin(), store.Categories.end(),
                       [mark](const TCATEGORY& c) { return c.ColorIndex == mark; });
}

// The category named, appended when missing; -1 for no name.
int32_t CategoryFor(TaskStore& store, const VTodoTask& entry, ImportSummary& summary) {
    if (entry.categoryName.empty()) {
        return -1;
    }
    const int32_t found = FindCategory(store, entry.categoryName);
    if (found >= 0) {
        return found;
    }
    int32_t mark = entry.categoryMark;
    if (mark < 0 || MarkUsed(store, mark)) {
        mark = 0;
        while (mark < 9 && MarkUsed(store, mark)) {
            ++mark;
        }
    }
    AddCategory(store, {entry.categoryName, mark});
    ++summary.categoriesAdded;
    return static_cast<int32_t>(store.Categories.size()) - 1;
}

// The line on which the `entry`-th task (counted from 1) begins, for messages.
int LineOfTask(std::string_view text, int entry) {
    int line = 1;
    int seen = 0;
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = std::min(text.find('\n', at), text.size());
        std::string_view row = text.substr(at, end - at);
        if (!row.empty() && row.back() == '\r') {
            row.remove_suffix(1);
        }
        if (row.size() == 11 && std::equal(row.begin(), row.end(), "BEGIN:VTODO",
                                           [](char a, char b) { return std::toupper(a) == b; })) {
            if (++seen == entry) {
                return line;
            }
        }
        at = end + 1;
        ++line;
    }
    return 0;
}

// Tasks and other entries of one VCALENDAR; false at the first unreadable task.
bool ReadEntries(icalcomponent* calendar, std::string_view text, double today, CalendarRead& read) {
    for (icalcomponent* c = icalcomponent_get_first_component(calendar, ICAL_ANY_COMPONENT);
         c != nullptr; c = icalcomponent_get_next_component(calendar, ICAL_ANY_COMPONENT)) {
        const icalcomponent_kind kind = icalcomponent_isa(c);
        if (kind == ICAL_VTIMEZONE_COMPONENT) {
            continue; // what the times refer to, not an entry
        }
        if (kind != ICAL_VTODO_COMPONENT) {
            ++read.notTasks;
            continue;
        }
        VTodoTask entry;
        std::string why;
        if (!VTodoToTask(c, entry, why, today)) {
            const int number = static_cast<int>(read.tasks.size()) + 1;
            const int line = LineOfTask(text, number);
            read.error = "task " + std::to_string(number) +
                         (line > 0 ? " (line " + std::to_string(line) + ")" : std::string()) +
                         " cannot be read: " + why;
            return false;
        }
        read.tasks.push_back(std::move(entry));
    }
    return true;
}

} // namespace

std::vector<int32_t> TasksToExport(const TaskStore& store, const std::string& categoryName) {
    const int32_t category = categoryName.empty() ? -1 : FindCategory(store, categoryName);
    std::vector<int32_t> tasks;
    for (int32_t i = 0; i < store.TaskCount(); ++i) {
        if (categoryName.empty() || store.Tasks[static_cast<size_t>(i)].CategoryIndex == category) {
            tasks.push_back(i);
        }
    }
    if (!categoryName.empty() && category < 0) {
        tasks.clear();
    }
    return tasks;
}

std::string WriteCalendar(const TaskStore& store, const std::vector<int32_t>& tasks,
                          int64_t stamp) {
    IcalComponentPtr calendar(icalcomponent_new_vcalendar());
    icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_prodid(kCalendarProductId));
    for (const int32_t index : tasks) {
        const TTASK_ITEM& task = store.Tasks[static_cast<size_t>(index)];
        icalcomponent_add_component(calendar.get(),
                                    TaskToVTodo(task, CategoryOf(store, task), stamp).release());
    }
    char* text = icalcomponent_as_ical_string_r(calendar.get());
    std::string out = text != nullptr ? text : "";
    std::free(text);
    return out;
}

CalendarRead ReadCalendar(std::string_view text, double today) {
    CalendarRead read;
    const std::string terminated(text);
    IcalComponentPtr root(icalcomponent_new_from_string(terminated.c_str()));
    if (!root) {
        read.error = "it is not an iCalendar file (no complete BEGIN:VCALENDAR ... "
                     "END:VCALENDAR)";
        return read;
    }
    bool whole = true;
    switch (icalcomponent_isa(root.get())) {
    case ICAL_VCALENDAR_COMPONENT:
        whole = ReadEntries(root.get(), text, today, read);
        break;
    case ICAL_XROOT_COMPONENT: // several calendars one after another
        for (icalcomponent* c =
                 icalcomponent_get_first_component(root.get(), ICAL_VCALENDAR_COMPONENT);
             c != nullptr && whole;
             c = icalcomponent_get_next_component(root.get(), ICAL_VCALENDAR_COMPONENT)) {
            whole = ReadEntries(c, text, today, read);
        }
        break;
    default:
        read.error = "it is not an iCalendar file (it holds no VCALENDAR)";
        return read;
    }
    if (!whole) {
        read.tasks.clear();
        read.notTasks = 0;
        return read;
    }
    read.ok = true;
    return read;
}

ImportSummary ApplyImport(TaskStore& store, const CalendarRead& read) {
    ImportSummary summary;
    summary.notTasks = read.notTasks;
    std::unordered_map<std::string, size_t> byUid;
    for (size_t i = 0; i < store.Tasks.size(); ++i) {
        if (!store.Tasks[i].Uid.empty()) {
            byUid.emplace(store.Tasks[i].Uid, i);
        }
    }
    for (const VTodoTask& entry : read.tasks) {
        const auto known = entry.task.Uid.empty() ? byUid.end() : byUid.find(entry.task.Uid);
        if (known != byUid.end()) {
            TTASK_ITEM& stored = store.Tasks[known->second];
            if (!entry.hasLastModified || entry.task.LastModified <= stored.LastModified) {
                ++summary.unchanged;
                continue;
            }
            const int32_t category = CategoryFor(store, entry, summary);
            const uint64_t key = stored.Key;
            const int64_t created = stored.Created;
            const int32_t keptCategory = stored.CategoryIndex;
            stored = entry.task;
            stored.Key = key;
            stored.Created = entry.task.Created != 0 ? entry.task.Created : created;
            stored.CategoryIndex = category >= 0 ? category : keptCategory;
            ++summary.updated;
            continue;
        }
        TTASK_ITEM task = entry.task;
        const int32_t category = CategoryFor(store, entry, summary);
        task.CategoryIndex = category >= 0 ? category : 0;
        task.Key = NewTaskKey();
        GiveIdentity(task, 0, false);
        byUid.emplace(task.Uid, store.Tasks.size());
        store.Tasks.push_back(std::move(task));
        ++summary.added;
    }
    return summary;
}

std::string ImportSummaryText(const ImportSummary& summary) {
    const int imported = summary.added + summary.updated;
    std::string text = std::to_string(imported) + (imported == 1 ? " task" : " tasks") +
                       " imported: " + std::to_string(summary.added) + " new, " +
                       std::to_string(summary.updated) + " updated";
    if (summary.unchanged > 0) {
        text += "; " + std::to_string(summary.unchanged) +
                (summary.unchanged == 1 ? " was" : " were") + " already here and not newer";
    }
    if (summary.notTasks > 0) {
        text += "; " + std::to_string(summary.notTasks) +
                (summary.notTasks == 1 ? " entry was not a task" : " entries were not tasks");
    }
    return text;
}

ExportFormat ExportFormatFor(const std::string& path) {
    const auto endsWith = [&](std::string_view suffix) {
        return path.size() >= suffix.size() &&
               std::equal(
                   suffix.begin(), suffix.end(), path.end() - static_cast<long>(suffix.size()),
                   [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
    };
    if (endsWith(".ics")) {
        return ExportFormat::Calendar;
    }
    if (endsWith(".csv")) {
        return ExportFormat::Csv;
    }
    return ExportFormat::Unknown;
}

} // namespace quill
