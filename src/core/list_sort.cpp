// SortTaskList: the same arrangement as SortTaskListReference (the literal exchange
// sorts, kept with the tests in support/list_sort_reference.cpp), ties and
// out-of-range values included, in O(n log n) for values inside the store's rules,
// whatever the list's order.
//
// The steps are those of the reference, done on a list of record numbers; the
// records themselves move once, at the end. The fields the order reads are copied
// out of the records once, into arrays by record number, so that every step reads
// a few small arrays instead of records of some 240 bytes scattered over memory. Each exchange sort
// is ExchangeSort (exchange_sort.cpp says why its result is the literal one) with every rule
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

// The first eight bytes of a title, big-endian, zeros after a shorter title: when
// two of these differ the titles compare the same way (a prefix is padded with
// zeros, and no byte is below zero); when they are equal only the whole titles
// tell.
uint64_t TitlePrefix(const std::string& title) {
    uint64_t prefix = 0;
    for (size_t i = 0; i < 8; ++i) {
        prefix = prefix << 8 | (i < title.size() ? static_cast<unsigned char>(title[i]) : 0U);
    }
    return prefix;
}

class ListSorter {
public:
    void Start(Tasks& tasks, int n) {
        tasks_ = &tasks;
        order_.resize(static_cast<size_t>(n));
        std::iota(order_.begin(), order_.end(), 0);
    }

    // Copies out what the steps read: `number` (null for the due-date sort's
    // priority), the due date, and whether the task goes to the bottom.
    template <typename Number> void ReadFields(Number number, bool titles) {
        const size_t n = order_.size();
        number_.resize(n);
        hasDueDate_.resize(n);
        dueDate_.resize(n);
        goesDown_.resize(n);
        if (titles) {
            titlePrefix_.resize(n);
        }
        // A title longer than the record holds lies elsewhere in memory: it is asked
        // for a few records ahead.
        constexpr size_t kAhead = 8;
        for (size_t r = 0; r < n; ++r) {
            const TTASK_ITEM& task = (*tasks_)[r];
            if (titles && r + kAhead < n) {
                __builtin_prefetch((*tasks_)[r + kAhead].Title.data());
            }
            number_[r] = number(task);
            hasDueDate_[r] = task.HasDueDate;
            dueDate_[r] = task.DueDate;
            // Only a Done of exactly 1 goes down, as it always did.
            goesDown_[r] = task.Done == 1 && !IsRepeating(task);
            if (titles) {
                titlePrefix_[r] = TitlePrefix(task.Title);
            }
        }
    }

    void ByDueDate() {
        const int n = Count();
        sorter_.Sort(order_, 0, n - 1, DueDateKeys(dueKeys_));
        const std::vector<ExchangeKey>& priority = NumberKeys(numberKeys_);
        const auto sameDueMoment = [&](int32_t a, int32_t b) {
            return hasDueDate_[a] == hasDueDate_[b] &&
                   (hasDueDate_[a] != 1 || dueDate_[a] == dueDate_[b]);
        };
        for (int g = 0; g <= n - 2;) {
            const int e = RunEnd(g, sameDueMoment);
            sorter_.Sort(order_, g, e, priority);
            g = e + 1; // the sorts from g + 1 .. e move nothing (see the top)
        }
    }

    void ByNumber() {
        const int n = Count();
        sorter_.Sort(order_, 0, n - 1, NumberKeys(numberKeys_));
        const std::vector<ExchangeKey>& due = DueDateKeys(dueKeys_);
        const auto sameNumber = [&](int32_t a, int32_t b) { return number_[a] == number_[b]; };
        for (int g = 0; g <= n - 2;) {
            const int e = RunEnd(g, sameNumber);
            sorter_.Sort(order_, g, e, due);
            g = e + 1;
        }
        // An undated task's stored day takes part when the other task is dated.
        const auto sameNumberAndDay = [&](int32_t a, int32_t b) {
            return number_[a] == number_[b] &&
                   ((hasDueDate_[a] != 1 && hasDueDate_[b] != 1) || days_[a] == days_[b]);
        };
        titleKeys_.resize(static_cast<size_t>(n));
        for (int g = 0; g <= n - 2;) {
            const int e = RunEnd(g, sameNumberAndDay);
            SortTitles(g, e, titleKeys_);
            g = e + 1;
        }
    }

    // A stable partition: the open tasks in their order, then the done ones.
    void DoneToBottom() {
        scratch_.clear();
        size_t open = 0;
        for (const int32_t r : order_) {
            if (goesDown_[r]) {
                scratch_.push_back(r);
            } else {
                order_[open++] = r;
            }
        }
        std::copy(scratch_.begin(), scratch_.end(), order_.begin() + static_cast<long>(open));
    }

    // Moves every record to its new place, following the cycles of the order.
    // Most of the time goes to fetching the records from memory, so the record a
    // few links further along the cycle is asked for ahead of its move.
    void Apply() {
        constexpr int kAhead = 6;
        const int n = Count();
        Tasks& tasks = *tasks_;
        placed_.assign(static_cast<size_t>(n), false);
        for (int start = 0; start < n; ++start) {
            if (placed_[start] || order_[start] == start) {
                continue;
            }
            TTASK_ITEM held = std::move(tasks[start]);
            int ahead = start;
            for (int k = 0; k < kAhead; ++k) {
                ahead = order_[ahead];
                Prefetch(ahead);
            }
            int p = start;
            while (order_[p] != start) {
                ahead = order_[ahead];
                Prefetch(ahead);
                tasks[p] = std::move(tasks[order_[p]]);
                placed_[p] = true;
                p = order_[p];
            }
            tasks[p] = std::move(held);
            placed_[p] = true;
        }
    }

private:
    int Count() const { return static_cast<int>(order_.size()); }

    void Prefetch(int record) const {
        const char* bytes = reinterpret_cast<const char*>(&(*tasks_)[record]);
        for (size_t offset = 0; offset < sizeof(TTASK_ITEM); offset += 64) {
            __builtin_prefetch(bytes + offset, 1);
        }
    }

    // The last position of the run starting at g: every member is compared with g.
    template <typename SameRun> int RunEnd(int g, SameRun sameRun) const {
        const int n = Count();
        int j = g + 1;
        while (j < n && sameRun(order_[g], order_[j])) {
            ++j;
        }
        return j - 1;
    }

    const std::vector<ExchangeKey>& NumberKeys(std::vector<ExchangeKey>& keys) const {
        keys.resize(order_.size());
        for (size_t r = 0; r < keys.size(); ++r) {
            keys[r].key = keys[r].bound = number_[r];
        }
        return keys;
    }

    // Keys are days counted from the earliest dated day, so that they lie close
    // together and the exchange sort can index them.
    const std::vector<ExchangeKey>& DueDateKeys(std::vector<ExchangeKey>& keys) {
        const size_t n = order_.size();
        constexpr double kPlainLimit = 4503599627370496.0; // 2^52
        days_.resize(n);
        bool plain = true;
        double earliest = 0;
        double latest = 0;
        bool anyDated = false;
        for (size_t r = 0; r < n; ++r) {
            days_[r] = std::trunc(dueDate_[r]);
            if (hasDueDate_[r] != 1) {
                continue;
            }
            // NaN fails this test too.
            if (!(std::fabs(days_[r]) < kPlainLimit)) {
                plain = false;
            } else if (!anyDated) {
                earliest = latest = days_[r];
                anyDated = true;
            } else {
                earliest = std::min(earliest, days_[r]);
                latest = std::max(latest, days_[r]);
            }
        }
        std::vector<double>& distinct = distinctDays_;
        distinct.clear();
        if (!plain) {
            for (size_t r = 0; r < n; ++r) {
                if (hasDueDate_[r] == 1 && !std::isnan(days_[r])) {
                    distinct.push_back(days_[r]);
                }
            }
            std::sort(distinct.begin(), distinct.end());
            distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
        }
        // Above every dated day's key.
        const int64_t top = plain ? static_cast<int64_t>(latest - earliest) + 1
                                  : static_cast<int64_t>(distinct.size());
        keys.resize(n);
        for (size_t r = 0; r < n; ++r) {
            ExchangeKey& k = keys[r];
            if (hasDueDate_[r] == 1 && std::isnan(days_[r])) {
                k = {top, ExchangeKey::kNothingBelow};
            } else if (hasDueDate_[r] == 1) {
                k.key = plain ? static_cast<int64_t>(days_[r] - earliest)
                              : std::lower_bound(distinct.begin(), distinct.end(), days_[r]) -
                                    distinct.begin();
                k.bound = k.key;
            } else if (hasDueDate_[r] == 0) {
                k = {top + 1, top + 1};
            } else {
                k = {top + 2, ExchangeKey::kNothingBelow};
            }
        }
        return keys;
    }

    // Whether title x comes before title y, by the prefixes when they differ.
    bool TitleBefore(int32_t x, int32_t y) const {
        if (titlePrefix_[x] != titlePrefix_[y]) {
            return titlePrefix_[x] < titlePrefix_[y];
        }
        return (*tasks_)[x].Title < (*tasks_)[y].Title;
    }

    // The title step's exchange sort over [g, e]. Titles are a plain order, so when
    // none is before a title ahead of it nothing would move, and ranking is skipped.
    void SortTitles(int g, int e, std::vector<ExchangeKey>& keys) {
        int32_t highest = order_[g];
        bool inOrder = true;
        for (int p = g + 1; p <= e && inOrder; ++p) {
            const int32_t r = order_[p];
            inOrder = !TitleBefore(r, highest);
            if (TitleBefore(highest, r)) {
                highest = r;
            }
        }
        if (inOrder) {
            return;
        }
        byPrefix_.clear();
        for (int p = g; p <= e; ++p) {
            byPrefix_.emplace_back(titlePrefix_[order_[p]], order_[p]);
        }
        std::sort(byPrefix_.begin(), byPrefix_.end());
        // Equal prefixes: the whole titles decide.
        for (size_t k = 0; k < byPrefix_.size();) {
            size_t end = k + 1;
            while (end < byPrefix_.size() && byPrefix_[end].first == byPrefix_[k].first) {
                ++end;
            }
            if (end - k > 1) {
                std::sort(byPrefix_.begin() + static_cast<long>(k),
                          byPrefix_.begin() + static_cast<long>(end), [&](auto x, auto y) {
                              return (*tasks_)[x.second].Title < (*tasks_)[y.second].Title;
                          });
            }
            k = end;
        }
        int64_t rank = 0;
        for (size_t k = 0; k < byPrefix_.size(); ++k) {
            if (k > 0 && TitleBefore(byPrefix_[k - 1].second, byPrefix_[k].second)) {
                ++rank;
            }
            keys[byPrefix_[k].second] = {rank, rank};
        }
        if (rank + 1 == static_cast<int64_t>(byPrefix_.size())) {
            // No two titles are equal: an exchange sort leaves them in order.
            for (size_t k = 0; k < byPrefix_.size(); ++k) {
                order_[g + k] = byPrefix_[k].second;
            }
            return;
        }
        sorter_.Sort(order_, g, e, keys);
    }

    Tasks* tasks_ = nullptr;
    Order order_;
    std::vector<bool> placed_;
    Order scratch_;
    ExchangeSorter sorter_;
    // By record number.
    std::vector<int32_t> number_;
    std::vector<uint8_t> hasDueDate_;
    std::vector<double> dueDate_;
    std::vector<double> days_;
    std::vector<uint8_t> goesDown_;
    std::vector<uint64_t> titlePrefix_;
    std::vector<double> distinctDays_;
    std::vector<ExchangeKey> numberKeys_;
    std::vector<ExchangeKey> dueKeys_;
    std::vector<ExchangeKey> titleKeys_;
    std::vector<std::pair<uint64_t, int32_t>> byPrefix_;
};

} // namespace

void SortTaskList(TaskStore& store, int32_t criterion, bool doneToBottom) {
    const int n = std::clamp(store.VisibleTaskCount, 0, store.TaskCount());
    if (n < 2) {
        return; // nothing can move
    }
    // The working arrays stay from one sort to the next (some 100 bytes a task):
    // fresh ones would cost a sort of 100,000 tasks about a millisecond in pages
    // the system has to clear.
    thread_local ListSorter sorter;
    sorter.Start(store.Tasks, n);
    switch (criterion) {
    case kSortByDueDate:
        sorter.ReadFields([](const TTASK_ITEM& t) { return t.Priority; }, false);
        sorter.ByDueDate();
        break;
    case kSortByPriority:
        sorter.ReadFields([](const TTASK_ITEM& t) { return t.Priority; }, true);
        sorter.ByNumber();
        break;
    case kSortByCategory:
        sorter.ReadFields([](const TTASK_ITEM& t) { return t.CategoryIndex; }, true);
        sorter.ByNumber();
        break;
    default:
        sorter.ReadFields([](const TTASK_ITEM&) { return 0; }, false);
        break;
    }
    if (doneToBottom) {
        sorter.DoneToBottom();
    }
    sorter.Apply();
}

} // namespace quill
