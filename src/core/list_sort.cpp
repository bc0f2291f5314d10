// SortTaskList: the same arrangement as SortTaskListReference (the literal exchange
// sorts, kept with the tests in support/list_sort_reference.cpp), ties and
// out-of-range values included, in O(n log n) for values inside the store's rules,
// whatever the list's order.
//
// The steps are those of the reference, done on a list of record numbers; the
// records themselves move once, at the end. Each exchange sort is ExchangeSort
// (exchange_sort.cpp says why its result is the literal one) with every rule
// written as numbers: a later element j is below an earlier i when j.key < i.bound.
//
// - Priority and category: key = bound = the number; the reference compares the
//   int32 values with >, which is exactly "key below bound".
// - Titles: the rank of the title among the titles being sorted, equal titles
//   sharing a rank. std::string's order is the reference's byte order: its
//   character comparisons treat char as unsigned char, and a prefix comes first.
// - The due-date rule: j is below i when both are dated (HasDueDate 1) and j's day
//   is before i's, or when i is undated (HasDueDate 0) and j is dated. So:
//     dated, ordinary day: key = bound = the day (or its rank, below)
//     dated, day NaN:      key = top, bound = nothing below (NaN < x and x < NaN are
//                          false, so only an undated task has it below)
//     undated:             key = bound = top + 1 (every dated task is below it)
//     HasDueDate neither 0 nor 1: key = top + 2, bound = nothing below (the rule
//                          never holds for it on either side)
//   where top is above every ordinary day's key. Days are integers (truncated);
//   while every dated day lies within +-2^52 the day itself is the key, otherwise
//   (infinities, huge values or NaN from a damaged file) the rank among the days,
//   with -0 and +0 one day as the reference's < and == have it.
//
// The shortcut in the due-date sort's priority step: the reference sorts from
// every position g of a group of tasks with the same due moment. The same-moment
// test holds between two tasks exactly when they have the same HasDueDate and,
// for dated tasks, equal DueDate values; that is symmetric and transitive (a dated
// task whose DueDate is NaN is the same as no task and is a group of its own). So
// the run found from g is the whole block [g, e] of its group, all its members
// are the same as each other, and after the block is sorted the run found from
// any later g' in it is [g', e] again. A range that an exchange sort by a plain
// order has sorted is in order (each pass leaves the smallest remaining element
// at its position: the last link of the chain is the first minimum), and an
// exchange sort moves nothing on a range in order (it exchanges only a pair whose
// later element is smaller). So the sorts from g' = g + 1 .. e move nothing, and
// the next g that does anything is e + 1. The other two criteria already go on
// from e + 1 in the reference.
//
// "Done to the bottom" is a stable partition: the reference keeps tasks [0, i) as
// the open tasks seen so far, (last, n - 1] as the done ones seen so far, both in
// their order, and [i, last] unexamined; moving a done task from i to n - 1 shifts
// [i + 1, n - 1] one to the front, which keeps all three parts in order.

#include "exchange_sort.h"
#include "list_ordering.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <utility>

namespace quill {

namespace {

using Tasks = std::vector<TTASK_ITEM>;
using Order = std::vector<int32_t>; // position -> record number

class ListSorter {
public:
    ListSorter(Tasks& tasks, int n) : tasks_(tasks), order_(static_cast<size_t>(n)) {
        std::iota(order_.begin(), order_.end(), 0);
    }

    void ByDueDate() {
        const int n = Count();
        ExchangeSort(order_, 0, n - 1, DueDateKeys());
        const std::vector<ExchangeKey> priority =
            NumberKeys([](const TTASK_ITEM& t) { return t.Priority; });
        const auto sameDueMoment = [](const TTASK_ITEM& a, const TTASK_ITEM& b) {
            return a.HasDueDate == b.HasDueDate && (a.HasDueDate != 1 || a.DueDate == b.DueDate);
        };
        for (int g = 0; g <= n - 2;) {
            const int e = RunEnd(g, sameDueMoment);
            ExchangeSort(order_, g, e, priority);
            g = e + 1; // the sorts from g + 1 .. e move nothing (see the top)
        }
    }

    template <typename Number> void ByNumber(Number number) {
        const int n = Count();
        ExchangeSort(order_, 0, n - 1, NumberKeys(number));
        const std::vector<ExchangeKey> due = DueDateKeys();
        const auto sameNumber = [&](const TTASK_ITEM& a, const TTASK_ITEM& b) {
            return number(a) == number(b);
        };
        for (int g = 0; g <= n - 2;) {
            const int e = RunEnd(g, sameNumber);
            ExchangeSort(order_, g, e, due);
            g = e + 1;
        }
        // An undated task's stored day takes part when the other task is dated.
        const auto sameNumberAndDay = [&](const TTASK_ITEM& a, const TTASK_ITEM& b) {
            return number(a) == number(b) && ((a.HasDueDate != 1 && b.HasDueDate != 1) ||
                                              std::trunc(a.DueDate) == std::trunc(b.DueDate));
        };
        std::vector<ExchangeKey> titles(static_cast<size_t>(n));
        for (int g = 0; g <= n - 2;) {
            const int e = RunEnd(g, sameNumberAndDay);
            SortTitles(g, e, titles);
            g = e + 1;
        }
    }

    void DoneToBottom() {
        std::stable_partition(order_.begin(), order_.end(), [&](int32_t r) {
            // Only a Done of exactly 1 goes down, as it always did.
            return tasks_[r].Done != 1 || IsRepeating(tasks_[r]);
        });
    }

    // Moves every record to its new place, following the cycles of the order.
    void Apply() {
        const int n = Count();
        std::vector<bool> placed(static_cast<size_t>(n), false);
        for (int start = 0; start < n; ++start) {
            if (placed[start] || order_[start] == start) {
                continue;
            }
            TTASK_ITEM held = std::move(tasks_[start]);
            int p = start;
            while (order_[p] != start) {
                tasks_[p] = std::move(tasks_[order_[p]]);
                placed[p] = true;
                p = order_[p];
            }
            tasks_[p] = std::move(held);
            placed[p] = true;
        }
    }

private:
    int Count() const { return static_cast<int>(order_.size()); }
    const TTASK_ITEM& At(int position) const { return tasks_[order_[position]]; }

    // The last position of the run starting at g: every member is compared with g.
    template <typename SameRun> int RunEnd(int g, SameRun sameRun) const {
        const int n = Count();
        int j = g + 1;
        while (j < n && sameRun(At(g), At(j))) {
            ++j;
        }
        return j - 1;
    }

    template <typename Number> std::vector<ExchangeKey> NumberKeys(Number number) const {
        std::vector<ExchangeKey> keys(order_.size());
        for (size_t r = 0; r < keys.size(); ++r) {
            keys[r].key = keys[r].bound = number(tasks_[r]);
        }
        return keys;
    }

    std::vector<ExchangeKey> DueDateKeys() const {
        const size_t n = order_.size();
        constexpr double kPlainLimit = 4503599627370496.0; // 2^52
        std::vector<double> days(n);
        bool plain = true;
        for (size_t r = 0; r < n; ++r) {
            days[r] = std::trunc(tasks_[r].DueDate);
            // NaN fails this test too.
            if (tasks_[r].HasDueDate == 1 && !(std::fabs(days[r]) < kPlainLimit)) {
                plain = false;
            }
        }
        std::vector<double> distinct;
        if (!plain) {
            for (size_t r = 0; r < n; ++r) {
                if (tasks_[r].HasDueDate == 1 && !std::isnan(days[r])) {
                    distinct.push_back(days[r]);
                }
            }
            std::sort(distinct.begin(), distinct.end());
            distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
        }
        const int64_t top =
            plain ? static_cast<int64_t>(kPlainLimit) : static_cast<int64_t>(distinct.size());
        std::vector<ExchangeKey> keys(n);
        for (size_t r = 0; r < n; ++r) {
            ExchangeKey& k = keys[r];
            if (tasks_[r].HasDueDate == 1 && std::isnan(days[r])) {
                k = {top, ExchangeKey::kNothingBelow};
            } else if (tasks_[r].HasDueDate == 1) {
                k.key = plain ? static_cast<int64_t>(days[r])
                              : std::lower_bound(distinct.begin(), distinct.end(), days[r]) -
                                    distinct.begin();
                k.bound = k.key;
            } else if (tasks_[r].HasDueDate == 0) {
                k = {top + 1, top + 1};
            } else {
                k = {top + 2, ExchangeKey::kNothingBelow};
            }
        }
        return keys;
    }

    // The title step's exchange sort over [g, e]. Titles are a plain order, so when
    // none is before a title ahead of it nothing would move, and ranking is skipped.
    void SortTitles(int g, int e, std::vector<ExchangeKey>& keys) {
        const std::string* highest = &At(g).Title;
        bool inOrder = true;
        for (int p = g + 1; p <= e && inOrder; ++p) {
            const std::string& title = At(p).Title;
            inOrder = !(title < *highest);
            if (*highest < title) {
                highest = &title;
            }
        }
        if (inOrder) {
            return;
        }
        scratch_.assign(order_.begin() + g, order_.begin() + e + 1);
        std::sort(scratch_.begin(), scratch_.end(),
                  [&](int32_t x, int32_t y) { return tasks_[x].Title < tasks_[y].Title; });
        int64_t rank = 0;
        for (size_t k = 0; k < scratch_.size(); ++k) {
            if (k > 0 && tasks_[scratch_[k - 1]].Title < tasks_[scratch_[k]].Title) {
                ++rank;
            }
            keys[scratch_[k]] = {rank, rank};
        }
        ExchangeSort(order_, g, e, keys);
    }

    Tasks& tasks_;
    Order order_;
    Order scratch_;
};

} // namespace

void SortTaskList(TaskStore& store, int32_t criterion, bool doneToBottom) {
    const int n = std::clamp(store.VisibleTaskCount, 0, store.TaskCount());
    if (n < 2) {
        return; // nothing can move
    }
    ListSorter sorter(store.Tasks, n);
    switch (criterion) {
    case kSortByDueDate:
        sorter.ByDueDate();
        break;
    case kSortByPriority:
        sorter.ByNumber([](const TTASK_ITEM& t) { return t.Priority; });
        break;
    case kSortByCategory:
        sorter.ByNumber([](const TTASK_ITEM& t) { return t.CategoryIndex; });
        break;
    default:
        break;
    }
    if (doneToBottom) {
        sorter.DoneToBottom();
    }
    sorter.Apply();
}

} // namespace quill
