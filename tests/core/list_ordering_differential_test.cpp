// SortTaskList against SortTaskListReference (the literal exchange sorts) on many
// random stores built to be full of ties: the two arrays must be equal record for
// record, for every criterion, with and without "done to the bottom".

#include "core/list_ordering.h"
#include "core/task_store.h"
#include "support/list_sort_reference.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <sstream>
#include <string>

namespace quill {

namespace {

// The records in a form a failure can show: the fields the order depends on.
std::vector<std::string> Describe(const std::vector<TTASK_ITEM>& tasks) {
    std::vector<std::string> lines;
    for (const TTASK_ITEM& t : tasks) {
        std::ostringstream line;
        line << t.Description << " p" << t.Priority << " c" << t.CategoryIndex << " has"
             << int{t.HasDueDate} << " due " << t.DueDate << " done" << int{t.Done} << " \""
             << t.Title << "\"";
        lines.push_back(line.str());
    }
    return lines;
}

enum class Kind {
    Ties,    // few priorities, days, times of day and titles
    Spread,  // many distinct days and titles: long chains of exchanges
    Damaged, // values the store's rules exclude, as a damaged file could hold
};

template <typename T, size_t N> const T& Pick(std::mt19937& random, const T (&values)[N]) {
    return values[random() % N];
}

TTASK_ITEM RandomTask(std::mt19937& random, Kind kind, int id) {
    static const char* const kTitles[] = {
        "",         "a", "A",    "a",     "ab",    "aB",        "b",  "B",        "\xC3\xA9",
        "\xC3\x89", "e", "\xFF", "a\x80", "a\x7F", "a\xC3\xA9", "A ", "\xC3\xA9", "\xC3\xA9t"};
    static const double kTimes[] = {0.0, 0.25, 0.5, 0.75};
    constexpr double inf = std::numeric_limits<double>::infinity();
    static const double kOddDates[] = {std::numeric_limits<double>::quiet_NaN(),
                                       inf,
                                       -inf,
                                       1e300,
                                       -1e300,
                                       9007199254740993.0,
                                       -0.0,
                                       -0.5,
                                       4503599627370496.5};
    static const int32_t kOddNumbers[] = {-1, 3, 7, std::numeric_limits<int32_t>::min(),
                                          std::numeric_limits<int32_t>::max()};
    static const uint8_t kOddFlags[] = {2, 255};

    TTASK_ITEM t;
    t.Description = "#" + std::to_string(id); // tells records apart when titles are equal
    t.Key = static_cast<uint64_t>(id) + 1;
    t.Priority = static_cast<int32_t>(random() % 3);
    t.CategoryIndex = static_cast<int32_t>(random() % 3);
    t.Done = random() % 3 == 0 ? 1 : 0;
    t.HasDueDate = random() % 5 < 3 ? 1 : 0;
    // Undated tasks keep a stored date too, often on a day dated tasks have.
    if (kind == Kind::Spread) {
        t.DueDate = 45000.0 + static_cast<double>(random() % 200) + Pick(random, kTimes);
        t.Title = std::to_string(random() % 1000);
    } else {
        const double day = random() % 4 == 0 ? -1.0 : 45000.0 + static_cast<double>(random() % 3);
        t.DueDate = day < 0 ? day - Pick(random, kTimes) : day + Pick(random, kTimes);
        t.Title = Pick(random, kTitles);
    }
    if (kind == Kind::Damaged) {
        if (random() % 4 == 0) {
            t.DueDate = Pick(random, kOddDates);
        }
        if (random() % 6 == 0) {
            t.HasDueDate = Pick(random, kOddFlags);
        }
        if (random() % 6 == 0) {
            t.Done = Pick(random, kOddFlags);
        }
        if (random() % 6 == 0) {
            t.Priority = Pick(random, kOddNumbers);
        }
        if (random() % 6 == 0) {
            t.CategoryIndex = Pick(random, kOddNumbers);
        }
    }
    return t;
}

TaskStore RandomStore(std::mt19937& random, Kind kind, int maxTasks) {
    TaskStore store;
    AddDefaultCategories(store);
    const int count = static_cast<int>(random() % static_cast<unsigned>(maxTasks + 1));
    for (int i = 0; i < count; ++i) {
        store.Tasks.push_back(RandomTask(random, kind, i));
    }
    // Mostly a visible part shorter than the array (a category chosen), sometimes
    // every task, and now and then a count out of range.
    switch (random() % 6) {
    case 0:
        store.VisibleTaskCount = count;
        break;
    case 1:
        store.VisibleTaskCount = count + 1 + static_cast<int32_t>(random() % 3);
        break;
    case 2:
        store.VisibleTaskCount = -1;
        break;
    default:
        store.VisibleTaskCount = static_cast<int32_t>(random() % static_cast<unsigned>(count + 1));
        break;
    }
    return store;
}

// Record for record, Key included, where a NaN date equals a NaN date.
bool SameRecords(const std::vector<TTASK_ITEM>& a, const std::vector<TTASK_ITEM>& b) {
    const auto withoutNaN = [](TTASK_ITEM t) {
        for (double* date : {&t.DueDate, &t.ReminderDate, &t.ReminderTime}) {
            if (std::isnan(*date)) {
                *date = -12345.0;
            }
        }
        return t;
    };
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].Key != b[i].Key || (!(a[i] == b[i]) && !(withoutNaN(a[i]) == withoutNaN(b[i])))) {
            return false;
        }
    }
    return true;
}

// What a user does between two sorts: a tick, an edit.
void ChangeOneTask(std::mt19937& random, TaskStore& store) {
    if (store.Tasks.empty()) {
        return;
    }
    TTASK_ITEM& t = store.Tasks[random() % store.Tasks.size()];
    switch (random() % 4) {
    case 0:
        t.Done = t.Done == 1 ? 0 : 1;
        break;
    case 1:
        t.Priority = static_cast<int32_t>(random() % 3);
        break;
    case 2:
        t.DueDate += static_cast<double>(random() % 3);
        t.HasDueDate = 1;
        break;
    default:
        t.Title = t.Title.empty() ? "a" : t.Title.substr(1);
        break;
    }
}

// Sorts copies of `store` both ways by every criterion with and without "done to
// the bottom", then changes a task in each result and sorts again: the second
// sort starts from a list already in order, as in the program.
void CompareEverySort(std::mt19937& random, const TaskStore& store, const std::string& label) {
    for (int32_t criterion : {0, 1, 2, -1, 7}) {
        for (bool doneToBottom : {false, true}) {
            SCOPED_TRACE(label + ", criterion " + std::to_string(criterion) +
                         (doneToBottom ? ", done to the bottom" : ""));
            TaskStore fast = store;
            TaskStore reference = store;
            for (int round = 0; round < 2; ++round) {
                SortTaskList(fast, criterion, doneToBottom);
                test::SortTaskListReference(reference, criterion, doneToBottom);
                if (!SameRecords(fast.Tasks, reference.Tasks)) {
                    ASSERT_EQ(Describe(fast.Tasks), Describe(reference.Tasks))
                        << "sort " << round + 1;
                    FAIL() << "the records differ in a field not shown";
                }
                std::mt19937 same = random; // the same change on both
                ChangeOneTask(random, fast);
                ChangeOneTask(same, reference);
            }
        }
    }
}

struct Batch {
    Kind kind;
    int stores;
    int maxTasks;
};

// Case counts keep the whole run to seconds, also in the sanitizer build: the
// reference is quadratic, and cubic in the due-date sort's largest group.
TEST(SortDifferential, TheFastSortGivesTheReferenceArrangement) {
    const Batch batches[] = {{Kind::Ties, 1200, 12},  {Kind::Ties, 150, 60},
                             {Kind::Ties, 6, 400},    {Kind::Spread, 150, 60},
                             {Kind::Spread, 4, 400},  {Kind::Damaged, 1200, 12},
                             {Kind::Damaged, 150, 60}};
    std::mt19937 random(20261208);
    for (const Batch& batch : batches) {
        for (int s = 0; s < batch.stores; ++s) {
            const TaskStore store = RandomStore(random, batch.kind, batch.maxTasks);
            const std::string label = "kind " + std::to_string(static_cast<int>(batch.kind)) +
                                      ", store " + std::to_string(s) + " of " +
                                      std::to_string(store.Tasks.size()) + " tasks";
            CompareEverySort(random, store, label);
            if (HasFailure()) {
                return;
            }
        }
    }
}

// A list of distinct days in reverse makes every pass of the due-date sort
// exchange along the whole rest of the list.
TEST(SortDifferential, ReversedListsOfDistinctDays) {
    TaskStore store;
    for (int i = 0; i < 300; ++i) {
        TTASK_ITEM t;
        t.Title = std::string(1, static_cast<char>('a' + i % 3));
        t.Description = "#" + std::to_string(i);
        t.HasDueDate = i % 7 == 0 ? 0 : 1;
        t.DueDate = 45300.0 - i / 2 + 0.5 * (i % 2);
        t.Priority = 2 - i % 3;
        t.Done = i % 5 == 0 ? 1 : 0;
        store.Tasks.push_back(t);
    }
    store.VisibleTaskCount = 280;
    for (int32_t criterion : {0, 1, 2}) {
        TaskStore fast = store;
        TaskStore reference = store;
        SortTaskList(fast, criterion, true);
        test::SortTaskListReference(reference, criterion, true);
        EXPECT_EQ(fast.Tasks, reference.Tasks) << criterion;
    }
}

} // namespace
} // namespace quill
