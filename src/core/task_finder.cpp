#include "task_finder.h"

#include "find_text.h"

#include <algorithm>
#include <cstring>

namespace quill {

namespace {
// Between a folded title and its description, and after each task's text, so
// a text never matches across them: folding turns control characters into
// spaces.
constexpr char kFieldSeparator = '\x01';
constexpr char kTaskSeparator = '\x02';

// glibc's memmem compares two bytes at a time: several times quicker than
// std::string::find on short texts found often.
const char* Find(const char* text, size_t size, const std::string& part) {
    return static_cast<const char*>(memmem(text, size, part.data(), part.size()));
}
} // namespace

TaskFinder::Entry& TaskFinder::entryOf(TTASK_ITEM& task) {
    return entries_[KeyOf(task)];
}

const std::string& TaskFinder::foldedOf(Entry& entry, const TTASK_ITEM& task) {
    if (entry.checkedIn != checks_) {
        if (entry.text.empty() || entry.title != task.Title ||
            entry.description != task.Description) {
            entry.title = task.Title;
            entry.description = task.Description;
            entry.text = FoldForFind(task.Title);
            entry.text += kFieldSeparator;
            entry.text += FoldForFind(task.Description);
            refolded_ = true;
        }
        entry.checkedIn = checks_;
    }
    return entry.text;
}

void TaskFinder::Remember(TaskStore& store) {
    const int32_t count = std::min(store.VisibleTaskCount, store.TaskCount());
    ++remembered_;
    ++checks_; // a change may have come with the new order
    hay_.clear();
    start_.assign(1, 0);
    keyOfRank_.resize(static_cast<size_t>(count));
    rankAt_.resize(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        TTASK_ITEM& task = store.Tasks[static_cast<size_t>(i)];
        Entry& entry = entryOf(task);
        entry.rank = i;
        entry.rankedIn = remembered_;
        hay_ += foldedOf(entry, task);
        hay_ += kTaskSeparator;
        start_.push_back(static_cast<uint32_t>(hay_.size()));
        keyOfRank_[static_cast<size_t>(i)] = task.Key;
        rankAt_[static_cast<size_t>(i)] = i;
    }
    arranged_ = count;
    arrangedFor_.clear();
}

void TaskFinder::SetText(std::string_view text) {
    folded_ = FoldForFind(text);
}

bool TaskFinder::Matches(TTASK_ITEM& task) {
    if (folded_.empty())
        return true;
    Entry& entry = entryOf(task);
    entry.checkedIn = 0; // asked from outside a narrowing: the task may have changed
    const std::string& text = foldedOf(entry, task);
    return Find(text.data(), text.size(), folded_) != nullptr;
}

// The remembered rank of the task at `position`, or -1 for a task the last
// remembering did not see (or when something else moved the tasks).
int32_t TaskFinder::rankAt(TaskStore& store, int32_t position) {
    const uint64_t key = store.Tasks[static_cast<size_t>(position)].Key;
    const auto at = static_cast<size_t>(position);
    if (at < rankAt_.size()) {
        const int32_t rank = rankAt_[at];
        if (rank >= 0 && keyOfRank_[static_cast<size_t>(rank)] == key && key != 0)
            return rank;
    }
    const auto found = entries_.find(key);
    if (key == 0 || found == entries_.end() || found->second.rankedIn != remembered_)
        return -1;
    return found->second.rank;
}

// Whether the task at `position` holds the text: from the block of remembered
// texts, else from its own folded text.
bool TaskFinder::holdsText(TaskStore& store, int32_t position, int32_t rank) {
    if (rank >= 0) {
        const size_t from = start_[static_cast<size_t>(rank)];
        const size_t size = start_[static_cast<size_t>(rank) + 1] - 1 - from;
        return Find(hay_.data() + from, size, folded_) != nullptr;
    }
    TTASK_ITEM& task = store.Tasks[static_cast<size_t>(position)];
    const std::string& text = foldedOf(entryOf(task), task);
    return Find(text.data(), text.size(), folded_) != nullptr;
}

// One pass over the whole block: after a hit the search goes on at the next
// task's text.
void TaskFinder::matchEveryRank() {
    const auto ranks = static_cast<int32_t>(keyOfRank_.size());
    matched_.assign(static_cast<size_t>(ranks), 0);
    const char* data = hay_.data();
    size_t from = 0;
    int32_t rank = 0;
    while (from < hay_.size()) {
        const char* hit = Find(data + from, hay_.size() - from, folded_);
        if (!hit)
            break;
        const auto at = static_cast<size_t>(hit - data);
        while (start_[static_cast<size_t>(rank) + 1] <= at)
            ++rank;
        matched_[static_cast<size_t>(rank)] = 1;
        from = start_[static_cast<size_t>(rank) + 1];
    }
}

void TaskFinder::Narrow(TaskStore& store) {
    ++checks_; // the list was filtered after a change: texts are compared again
    arranged_ = std::min(store.VisibleTaskCount, store.TaskCount());
    rankAt_.assign(static_cast<size_t>(arranged_), -1);
    for (int32_t i = 0; i < arranged_; ++i)
        rankAt_[static_cast<size_t>(i)] = rankAt(store, i);
    // A task edited since the remembering has its text folded again, and the
    // block of texts follows.
    refolded_ = false;
    for (int32_t i = 0; i < arranged_; ++i) {
        TTASK_ITEM& task = store.Tasks[static_cast<size_t>(i)];
        foldedOf(entryOf(task), task);
    }
    if (refolded_)
        rebuildHay();
    placeAll(store, arranged_, true);
}

void TaskFinder::rebuildHay() {
    hay_.clear();
    start_.assign(1, 0);
    for (const uint64_t key : keyOfRank_) {
        const auto found = entries_.find(key);
        if (found != entries_.end())
            hay_ += found->second.text;
        hay_ += kTaskSeparator;
        start_.push_back(static_cast<uint32_t>(hay_.size()));
    }
}

void TaskFinder::NarrowAgain(TaskStore& store) {
    arranged_ = std::min(arranged_, store.TaskCount());
    // A longer text matches only tasks the shorter one matched: the rows shown.
    const bool grew = folded_.find(arrangedFor_) != std::string::npos;
    if (grew && store.VisibleTaskCount <= arranged_)
        narrowShown(store);
    else
        placeAll(store, arranged_, true);
}

void TaskFinder::Widen(TaskStore& store) {
    arranged_ = std::min(arranged_, store.TaskCount());
    placeAll(store, arranged_, false);
}

// Every arranged task looked at: the matching ones by rank (a counting pass, no
// sort), then the others in the order they stand; Widen puts those back by rank
// too. Tasks without a rank follow the ranked ones in the order they stand.
void TaskFinder::placeAll(TaskStore& store, int32_t count, bool narrow) {
    const bool all = !narrow || folded_.empty();
    if (!all)
        matchEveryRank();
    const auto ranks = static_cast<int32_t>(keyOfRank_.size());
    byRank_.assign(static_cast<size_t>(ranks) + static_cast<size_t>(count), -1);
    rest_.clear();
    for (int32_t i = 0; i < count; ++i) {
        const int32_t rank = rankAt(store, i);
        const bool match =
            all || (rank >= 0 ? matched_[static_cast<size_t>(rank)] != 0 : holdsText(store, i, -1));
        if (match)
            byRank_[static_cast<size_t>(rank >= 0 ? rank : ranks + i)] = i;
        else
            rest_.push_back(i);
    }
    order_.clear();
    for (const int32_t at : byRank_)
        if (at >= 0)
            order_.push_back(at);
    const auto shown = static_cast<int32_t>(order_.size());
    order_.insert(order_.end(), rest_.begin(), rest_.end());
    permute(store, order_);
    store.VisibleTaskCount = shown;
    arrangedFor_ = all ? std::string() : folded_;
}

// The rows shown are in rank order already: the ones that still match stay
// first, in that order; the tasks after them are not touched.
void TaskFinder::narrowShown(TaskStore& store) {
    const int32_t shownBefore = std::min(store.VisibleTaskCount, arranged_);
    order_.clear();
    rest_.clear();
    for (int32_t i = 0; i < shownBefore; ++i) {
        if (holdsText(store, i, rankAt(store, i)))
            order_.push_back(i);
        else
            rest_.push_back(i);
    }
    const auto shown = static_cast<int32_t>(order_.size());
    order_.insert(order_.end(), rest_.begin(), rest_.end());
    permute(store, order_);
    store.VisibleTaskCount = shown;
    arrangedFor_ = folded_;
}

// Moves the tasks at `order` (positions from 0) to the front, in that order,
// and their ranks with them.
void TaskFinder::permute(TaskStore& store, const std::vector<int32_t>& order) {
    if (rankAt_.size() < order.size())
        rankAt_.resize(order.size(), -1);
    size_t first = 0; // positions already in place need no move
    while (first < order.size() && order[first] == static_cast<int32_t>(first))
        ++first;
    moved_.clear();
    movedRanks_.clear();
    for (size_t k = first; k < order.size(); ++k) {
        const auto at = static_cast<size_t>(order[k]);
        moved_.push_back(std::move(store.Tasks[at]));
        movedRanks_.push_back(rankAt_[at]);
    }
    const auto offset = static_cast<ptrdiff_t>(first);
    std::move(moved_.begin(), moved_.end(), store.Tasks.begin() + offset);
    std::copy(movedRanks_.begin(), movedRanks_.end(), rankAt_.begin() + offset);
    moved_.clear();
}

} // namespace quill
