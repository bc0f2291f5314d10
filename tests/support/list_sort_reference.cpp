#include "support/list_sort_reference.h"

#include "core/date_time.h"

#include <cstring>
#include <utility>

namespace quill::test {

namespace {

using Tasks = std::vector<TTASK_ITEM>;

bool Dated(const TTASK_ITEM& task) {
    return task.HasDueDate == 1;
}
bool Undated(const TTASK_ITEM& task) {
    return task.HasDueDate == 0;
}
double Day(const TTASK_ITEM& task) {
    return DatePart(task.DueDate);
}

// Byte-wise, unsigned, case-sensitive; a prefix sorts before the longer title.
bool TitleGreater(const std::string& a, const std::string& b) {
    const size_t common = a.size() < b.size() ? a.size() : b.size();
    const int order = common == 0 ? 0 : std::memcmp(a.data(), b.data(), common);
    return order != 0 ? order > 0 : a.size() > b.size();
}

// Dated tasks first, earliest day first; undated tasks after them.
bool DueDateOutOfOrder(const TTASK_ITEM& i, const TTASK_ITEM& j) {
    return (Dated(i) && Dated(j) && Day(j) < Day(i)) || (Undated(i) && Dated(j));
}

// For i from a to b - 1, for j from i + 1 to b: exchange whole records when the
// pair is out of order. Not stable; the order it leaves among equals is intended.
template <typename OutOfOrder>
void ExchangeSort(Tasks& tasks, int a, int b, OutOfOrder outOfOrder) {
    for (int i = a; i < b; ++i) {
        for (int j = i + 1; j <= b; ++j) {
            if (outOfOrder(tasks[i], tasks[j])) {
                std::swap(tasks[i], tasks[j]);
            }
        }
    }
}

// The last position of the run starting at g: every member is compared with g.
template <typename SameRun> int RunEnd(const Tasks& tasks, int g, int n, SameRun sameRun) {
    for (int j = g + 1; j < n; ++j) {
        if (!sameRun(tasks[g], tasks[j])) {
            return j - 1;
        }
    }
    return n - 1;
}

void SortByDueDate(Tasks& tasks, int n) {
    ExchangeSort(tasks, 0, n - 1, DueDateOutOfOrder);
    const auto sameDueMoment = [](const TTASK_ITEM& a, const TTASK_ITEM& b) {
        if (a.HasDueDate != b.HasDueDate) {
            return false;
        }
        // Here the full stored values count, time of day included.
        return !(Dated(a) || Dated(b)) || a.DueDate == b.DueDate;
    };
    const auto priorityGreater = [](const TTASK_ITEM& a, const TTASK_ITEM& b) {
        return a.Priority > b.Priority;
    };
    for (int g = 0; g <= n - 2; ++g) {
        ExchangeSort(tasks, g, RunEnd(tasks, g, n, sameDueMoment), priorityGreater);
    }
}

// Criteria 1 and 2: by a key, then by due date within equal keys, then by title
// within equal keys and equal days.
template <typename Key> void SortByKey(Tasks& tasks, int n, Key key) {
    ExchangeSort(tasks, 0, n - 1,
                 [&](const TTASK_ITEM& a, const TTASK_ITEM& b) { return key(a) > key(b); });
    const auto sameKey = [&](const TTASK_ITEM& a, const TTASK_ITEM& b) { return key(a) == key(b); };
    for (int g = 0; g <= n - 2;) {
        const int e = RunEnd(tasks, g, n, sameKey);
        ExchangeSort(tasks, g, e, DueDateOutOfOrder);
        g = e + 1;
    }
    // An undated task's stored DueDate takes part when the other task is dated.
    const auto sameKeyAndDay = [&](const TTASK_ITEM& a, const TTASK_ITEM& b) {
        return key(a) == key(b) && (!(Dated(a) || Dated(b)) || Day(a) == Day(b));
    };
    const auto titleGreater = [](const TTASK_ITEM& a, const TTASK_ITEM& b) {
        return TitleGreater(a.Title, b.Title);
    };
    for (int g = 0; g <= n - 2;) {
        const int e = RunEnd(tasks, g, n, sameKeyAndDay);
        ExchangeSort(tasks, g, e, titleGreater);
        g = e + 1;
    }
}

// Completed tasks move to the end of the visible part, each group keeping its order.
void MoveDoneToBottom(Tasks& tasks, int n) {
    int i = 0;
    int last = n - 1;
    while (i <= last) {
        if (tasks[i].Done == 1) {
            for (int k = i; k < n - 1; ++k) {
                std::swap(tasks[k], tasks[k + 1]);
            }
            --last;
        } else {
            ++i;
        }
    }
}

} // namespace

void SortTaskListReference(TaskStore& store, int32_t criterion, bool doneToBottom) {
    int n = store.VisibleTaskCount;
    if (n > store.TaskCount()) { // positions past the array are never touched
        n = store.TaskCount();
    }
    if (n < 0) {
        n = 0;
    }
    Tasks& tasks = store.Tasks;
    switch (criterion) {
    case 0:
        SortByDueDate(tasks, n);
        break;
    case 1:
        SortByKey(tasks, n, [](const TTASK_ITEM& t) { return t.Priority; });
        break;
    case 2:
        SortByKey(tasks, n, [](const TTASK_ITEM& t) { return t.CategoryIndex; });
        break;
    default:
        break;
    }
    if (doneToBottom) {
        MoveDoneToBottom(tasks, n);
    }
}

} // namespace quill::test
