#include "task_finder.h"

#include "find_text.h"

#include <algorithm>

namespace quill {

namespace {
// Between the folded title and description, so a text never matches across
// them: folding turns every control character into a space.
constexpr char kFieldSeparator = '\x01';
} // namespace

void TaskFinder::Remember(TaskStore& store) {
    const int32_t count = std::min(store.VisibleTaskCount, store.TaskCount());
    rank_.clear();
    rank_.reserve(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i)
        rank_[KeyOf(store.Tasks[static_cast<size_t>(i)])] = i;
    narrowed_ = count;
}

void TaskFinder::SetText(std::string_view text) {
    folded_ = FoldForFind(text);
}

const std::string& TaskFinder::foldedOf(TTASK_ITEM& task) {
    Folded& entry = cache_[KeyOf(task)];
    if (entry.text.empty() || entry.title != task.Title || entry.description != task.Description) {
        entry.title = task.Title;
        entry.description = task.Description;
        entry.text = FoldForFind(task.Title);
        entry.text += kFieldSeparator;
        entry.text += FoldForFind(task.Description);
    }
    return entry.text;
}

bool TaskFinder::Matches(TTASK_ITEM& task) {
    return folded_.empty() || foldedOf(task).find(folded_) != std::string::npos;
}

void TaskFinder::Narrow(TaskStore& store) {
    narrowed_ = std::min(store.VisibleTaskCount, store.TaskCount());
    arrange(store, narrowed_, true);
}

void TaskFinder::NarrowAgain(TaskStore& store) {
    arrange(store, std::min(narrowed_, store.TaskCount()), true);
}

void TaskFinder::Widen(TaskStore& store) {
    arrange(store, std::min(narrowed_, store.TaskCount()), false);
}

void TaskFinder::arrange(TaskStore& store, int32_t count, bool narrow) {
    std::vector<TTASK_ITEM>& tasks = store.Tasks;
    // Positions by rank: remembered tasks at their rank, the others after them
    // in the order they stand. One pass, no sort: each keystroke stays cheap.
    const auto remembered = static_cast<int32_t>(rank_.size());
    byRank_.assign(static_cast<size_t>(remembered) + static_cast<size_t>(count), -1);
    for (int32_t i = 0; i < count; ++i) {
        const auto found = rank_.find(KeyOf(tasks[static_cast<size_t>(i)]));
        const int32_t rank = found != rank_.end() ? found->second : remembered + i;
        byRank_[static_cast<size_t>(rank)] = i;
    }
    // The matching positions, then the others, each by rank.
    std::vector<int32_t> order;
    order.reserve(static_cast<size_t>(count));
    std::vector<int32_t> rest;
    for (const int32_t at : byRank_) {
        if (at < 0)
            continue;
        if (!narrow || Matches(tasks[static_cast<size_t>(at)]))
            order.push_back(at);
        else
            rest.push_back(at);
    }
    const auto shown = static_cast<int32_t>(order.size());
    order.insert(order.end(), rest.begin(), rest.end());

    moved_.clear();
    moved_.reserve(static_cast<size_t>(count));
    for (const int32_t at : order)
        moved_.push_back(std::move(tasks[static_cast<size_t>(at)]));
    std::move(moved_.begin(), moved_.end(), tasks.begin());
    moved_.clear();
    store.VisibleTaskCount = shown;
}

} // namespace quill
