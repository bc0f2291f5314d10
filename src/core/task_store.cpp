#include "task_store.h"

#include "date_time.h"

#include <atomic>
#include <cmath>
#include <random>
#include <tuple>
#include <utility>

namespace quill {

namespace {

// 0001-01-01 00:00 and the first moment after 9999-12-31: the dates the editor
// and the list can show.
constexpr double kFirstDay = -693593.0;
constexpr double kPastLastDay = 2958466.0;

bool ValidIndex(int32_t index, size_t size) {
    return index >= 0 && static_cast<size_t>(index) < size;
}

// Each repair helper returns whether it changed the value.
bool RepairBoolean(uint8_t& value) {
    if (value <= 1) {
        return false;
    }
    value = 1;
    return true;
}

bool RepairDateTime(double& value) {
    // Written as a negated range test so NaN fails it too.
    if (value > kFirstDay - 1.0 && value < kPastLastDay) {
        return false;
    }
    value = 0.0;
    return true;
}

bool RepairTask(TTASK_ITEM& task, size_t categoryCount) {
    bool changed = false;
    if (task.Priority < 0 || task.Priority >= kPriorityCount) {
        task.Priority = PriorityNumber(TaskPriority::Normal);
        changed = true;
    }
    changed |= RepairDateTime(task.DueDate);
    changed |= RepairDateTime(task.ReminderDate);
    changed |= RepairDateTime(task.ReminderTime);
    changed |= RepairBoolean(task.NotOverdue);
    changed |= RepairBoolean(task.PlaySound);
    changed |= RepairBoolean(task.ReminderOn);
    changed |= RepairBoolean(task.HasDueDate);
    changed |= RepairBoolean(task.Done);
    if (task.HasDueDate == 0 && task.NotOverdue != 1) {
        task.NotOverdue = 1;
        changed = true;
    }
    if (categoryCount > 0 && !ValidIndex(task.CategoryIndex, categoryCount)) {
        task.CategoryIndex = 0;
        changed = true;
    }
    return changed;
}

} // namespace

bool TTASK_ITEM::operator==(const TTASK_ITEM& other) const {
    const auto value = [](const TTASK_ITEM& t) {
        return std::tie(t.Priority, t.Title, t.Description, t.DueDate, t.ReminderDate,
                        t.ReminderTime, t.SoundFile, t.NotOverdue, t.PlaySound, t.ReminderOn,
                        t.HasDueDate, t.Done, t.CategoryIndex, t.RepeatRule, t.RepeatFrom);
    };
    return value(*this) == value(other);
}

bool SameIdentity(const TTASK_ITEM& a, const TTASK_ITEM& b) {
    return a.Uid == b.Uid && a.Created == b.Created && a.LastModified == b.LastModified;
}

std::string NewTaskUid() {
    // One generator per thread, seeded once from the system's entropy source.
    thread_local std::mt19937_64 generator = [] {
        std::random_device device;
        std::seed_seq seed{device(), device(), device(), device(), device(), device()};
        return std::mt19937_64(seed);
    }();
    uint8_t bytes[16];
    for (int half = 0; half < 2; ++half) {
        const uint64_t bits = generator();
        for (int i = 0; i < 8; ++i) {
            bytes[half * 8 + i] = static_cast<uint8_t>(bits >> (8 * i));
        }
    }
    bytes[6] = static_cast<uint8_t>((bytes[6] & 0x0F) | 0x40); // version 4: random
    bytes[8] = static_cast<uint8_t>((bytes[8] & 0x3F) | 0x80); // the RFC 4122 variant
    static constexpr char kHex[] = "0123456789abcdef";
    std::string uid;
    uid.reserve(36);
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) {
            uid += '-';
        }
        uid += kHex[bytes[i] >> 4];
        uid += kHex[bytes[i] & 0x0F];
    }
    return uid;
}

bool GiveIdentity(TTASK_ITEM& task, int64_t now, bool stampTimes) {
    if (stampTimes) {
        if (task.Created == 0) {
            task.Created = now;
        }
        if (task.LastModified == 0) {
            task.LastModified = now;
        }
    }
    if (!task.Uid.empty()) {
        return false;
    }
    task.Uid = NewTaskUid();
    return true;
}

void MarkChanged(TTASK_ITEM& task) {
    task.LastModified = UtcNow();
}

int GiveMissingUids(TaskStore& store) {
    int given = 0;
    for (TTASK_ITEM& task : store.Tasks) {
        given += GiveIdentity(task, 0, false) ? 1 : 0;
    }
    return given;
}

uint64_t NewTaskKey() {
    static std::atomic<uint64_t> last{0};
    return ++last;
}

uint64_t KeyOf(TTASK_ITEM& task) {
    if (task.Key == 0)
        task.Key = NewTaskKey();
    return task.Key;
}

int32_t FindTaskByKey(const TaskStore& store, uint64_t key) {
    if (key == 0) {
        return -1;
    }
    for (size_t i = 0; i < store.Tasks.size(); ++i) {
        if (store.Tasks[i].Key == key) {
            return static_cast<int32_t>(i);
        }
    }
    return -1;
}

bool AddDefaultCategories(TaskStore& store) {
    if (!store.Categories.empty()) {
        return false;
    }
    store.Categories = {{"Personal", 0}, {"Business", 1}, {"Other", 2}};
    return true;
}

void AddTask(TaskStore& store, TTASK_ITEM task) {
    task.Done = 0;
    task.Key = NewTaskKey();
    GiveIdentity(task, UtcNow(), true);
    store.LastCategoryIndex = task.CategoryIndex;
    store.Tasks.push_back(std::move(task));
}

void RemoveTaskAt(TaskStore& store, int32_t index) {
    if (!ValidIndex(index, store.Tasks.size())) {
        return;
    }
    const size_t last = store.Tasks.size() - 1;
    if (static_cast<size_t>(index) != last) {
        store.Tasks[index] = std::move(store.Tasks[last]);
    }
    store.Tasks.pop_back();
    if (store.VisibleTaskCount > store.TaskCount()) {
        store.VisibleTaskCount = store.TaskCount();
    }
}

void ToggleDone(TTASK_ITEM& task) {
    task.Done = static_cast<uint8_t>(1 - task.Done);
    MarkChanged(task);
}

bool IsRepeating(const TTASK_ITEM& task) {
    return task.HasDueDate != 0 && !task.RepeatRule.empty();
}

bool CountsAsDone(const TTASK_ITEM& task) {
    return task.Done != 0 && !IsRepeating(task);
}

void MoveToOccurrence(TTASK_ITEM& task, double nextDue, double today) {
    const double days = DatePart(nextDue) - DatePart(task.DueDate);
    if (task.RepeatFrom == 0.0) {
        task.RepeatFrom = DatePart(task.DueDate);
    }
    task.DueDate += days;
    task.ReminderDate += days;
    task.Done = 0;
    task.NotOverdue = ComputeNotOverdue(task, today);
    MarkChanged(task);
}

void AddCategory(TaskStore& store, TCATEGORY category) {
    store.Categories.push_back(std::move(category));
}

void RemoveCategoryAt(TaskStore& store, int32_t k) {
    if (!ValidIndex(k, store.Categories.size())) {
        return;
    }
    // A removal moves the former last task to i, so i is examined again.
    int32_t i = 0;
    while (i < store.TaskCount()) {
        if (store.Tasks[i].CategoryIndex == k) {
            RemoveTaskAt(store, i);
        } else {
            ++i;
        }
    }
    // Steps 2 and 3: the last category moves into the freed position k.
    const int32_t last = static_cast<int32_t>(store.Categories.size()) - 1;
    for (TTASK_ITEM& task : store.Tasks) {
        if (task.CategoryIndex == last) {
            task.CategoryIndex = k;
        }
    }
    if (k != last) {
        store.Categories[k] = std::move(store.Categories[last]);
    }
    store.Categories.pop_back();
}

uint8_t ComputeNotOverdue(const TTASK_ITEM& task, double today) {
    if (task.HasDueDate == 0) {
        return 1;
    }
    return DatePart(task.DueDate) >= DatePart(today) ? 1 : 0;
}

RepairReport RepairInvariants(TaskStore& store) {
    RepairReport report;
    for (TCATEGORY& category : store.Categories) {
        if (category.ColorIndex < 0 || category.ColorIndex > 9) {
            category.ColorIndex = 0;
            ++report.categoriesChanged;
        }
    }
    for (TTASK_ITEM& task : store.Tasks) {
        if (RepairTask(task, store.Categories.size())) {
            ++report.tasksChanged;
        }
    }
    if (store.VisibleTaskCount < 0) {
        store.VisibleTaskCount = 0;
    }
    if (store.VisibleTaskCount > store.TaskCount()) {
        store.VisibleTaskCount = store.TaskCount();
    }
    if (!ValidIndex(store.LastCategoryIndex, store.Categories.size())) {
        store.LastCategoryIndex = 0;
    }
    if (store.EditedTaskCategory != -1 &&
        !ValidIndex(store.EditedTaskCategory, store.Categories.size())) {
        store.EditedTaskCategory = -1;
    }
    return report;
}

} // namespace quill
