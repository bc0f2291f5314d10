#include "print_samples.h"

#include <string>

namespace quill::printtest {
namespace {

TTASK_ITEM Task(const char* title, int category, int priority, double due, bool done = false,
                const char* description = "") {
    TTASK_ITEM t;
    t.Title = title;
    t.Description = description;
    t.CategoryIndex = category;
    t.Priority = priority;
    t.HasDueDate = due != 0.0 ? 1 : 0;
    t.DueDate = due;
    t.Done = done ? 1 : 0;
    t.NotOverdue = 1;
    return t;
}

} // namespace

TaskStore SampleStore(double today) {
    TaskStore store;
    AddDefaultCategories(store);
    store.Tasks.push_back(Task("Send the quarterly report", 1, 0, today + 3, false,
                               "Figures from Tom, charts from the shared folder.\r\n"
                               "Anna wants it before the board meeting."));
    store.Tasks.push_back(Task("Water the plants", 0, 1, 0.0));
    store.Tasks.push_back(Task("Book the dentist", 0, 2, today + 10, true, "Ask for a morning."));
    store.Tasks.push_back(Task("Renew the car insurance", 0, 0, today + 1));
    TTASK_ITEM overdue = Task("Return the library books", 2, 1, today - 4);
    overdue.NotOverdue = 0;
    store.Tasks.push_back(overdue);
    store.Tasks.push_back(Task("Plan the team outing", 1, 2, today + 20, false,
                               "Somewhere by the lake, with a boat trip if the weather holds "
                               "and a dinner for about twenty people afterwards."));
    store.VisibleTaskCount = store.TaskCount();
    return store;
}

TaskStore ManyTasks(int count, double today) {
    TaskStore store;
    AddDefaultCategories(store);
    store.Tasks.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const std::string title = "Task number " + std::to_string(i + 1) + " on the long list";
        TTASK_ITEM t =
            Task(title.c_str(), i % 3, i % 3, i % 5 == 0 ? 0.0 : today + (i % 40), i % 7 == 0,
                 "The first line of a description that runs on a little longer "
                 "than the column is wide, so that it wraps.\r\nA second line.\r\n"
                 "And a third.");
        store.Tasks.push_back(std::move(t));
    }
    store.VisibleTaskCount = store.TaskCount();
    return store;
}

} // namespace quill::printtest
