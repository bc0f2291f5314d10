#pragma once
// Generated stores for the benchmarks, shaped like a real list: titles of 40
// bytes, descriptions of 200, three categories, mixed priorities, most tasks
// dated, half with a reminder, one in five done. The same count gives the same
// tasks on every run.

#include "core/task_store.h"

#include <random>
#include <string>
#include <string_view>

namespace quill::bench {

// `length` bytes drawn from `letters`.
inline std::string SampleText(std::mt19937& random, size_t length, std::string_view letters) {
    std::string text;
    while (text.size() < length) {
        text += letters[random() % letters.size()];
    }
    return text;
}

// `identify(task, i)` gives task i its Uid and times.
template <typename Identify>
TaskStore MakeSampleStore(int count, std::string_view letters, Identify identify) {
    std::mt19937 random(1);
    TaskStore store;
    AddDefaultCategories(store);
    for (int i = 0; i < count; ++i) {
        TTASK_ITEM task;
        task.Priority = static_cast<int32_t>(random() % kPriorityCount);
        task.Title = SampleText(random, 40, letters);
        task.Description = SampleText(random, 200, letters);
        task.HasDueDate = random() % 5 != 0;
        task.DueDate = 46000 + static_cast<double>(random() % 365);
        task.ReminderOn = random() % 2;
        task.ReminderDate = task.ReminderTime = task.DueDate - 0.25;
        task.Done = random() % 5 == 0;
        task.CategoryIndex = static_cast<int32_t>(random() % 3);
        identify(task, i);
        store.Tasks.push_back(task);
    }
    return store;
}

} // namespace quill::bench
