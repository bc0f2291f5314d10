#include "undo_history.h"

#include <algorithm>
#include <numeric>
#include <unordered_map>
#include <unordered_set>

namespace quill {

namespace {

bool SameTask(const TTASK_ITEM& a, const TTASK_ITEM& b) {
    return a == b && SameIdentity(a, b);
}

// Replaces the tasks `from` names by Key with `to`, each at the position it had;
// categories likewise. The other tasks keep their order.
uint64_t Apply(TaskStore& store, const std::vector<TTASK_ITEM>& from,
               const std::vector<TTASK_ITEM>& to, const std::vector<int32_t>& toAt,
               const std::vector<TCATEGORY>* categories) {
    std::unordered_set<uint64_t> leaving;
    for (const TTASK_ITEM& task : from)
        leaving.insert(task.Key);
    std::erase_if(store.Tasks, [&](const TTASK_ITEM& task) { return leaving.contains(task.Key); });
    std::vector<size_t> order(to.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return toAt[a] < toAt[b]; });
    // One merge, not an insert per task: a category deletion may bring back many.
    std::vector<TTASK_ITEM> rest = std::move(store.Tasks);
    store.Tasks.clear();
    store.Tasks.reserve(rest.size() + to.size());
    size_t next = 0;
    for (size_t i : order) {
        const size_t at = static_cast<size_t>(std::max(toAt[i], 0));
        while (store.Tasks.size() < at && next < rest.size())
            store.Tasks.push_back(std::move(rest[next++]));
        store.Tasks.push_back(to[i]);
    }
    while (next < rest.size())
        store.Tasks.push_back(std::move(rest[next++]));
    if (categories)
        store.Categories = *categories;
    store.VisibleTaskCount = std::min(store.VisibleTaskCount, store.TaskCount());
    if (store.LastCategoryIndex >= static_cast<int32_t>(store.Categories.size()))
        store.LastCategoryIndex = 0;
    return to.empty() ? 0 : to.front().Key;
}

} // namespace

StoreState CaptureState(TaskStore& store) {
    for (TTASK_ITEM& task : store.Tasks)
        KeyOf(task);
    return {store.Tasks, store.Categories};
}

UndoStep DiffStates(std::string name, const StoreState& state, const TaskStore& store) {
    UndoStep step;
    step.name = std::move(name);
    std::unordered_map<uint64_t, const TTASK_ITEM*> earlier;
    earlier.reserve(state.tasks.size());
    for (const TTASK_ITEM& task : state.tasks)
        earlier.emplace(task.Key, &task);
    std::unordered_map<uint64_t, int32_t> earlierAt;
    for (size_t i = 0; i < state.tasks.size(); ++i)
        earlierAt.emplace(state.tasks[i].Key, static_cast<int32_t>(i));
    for (size_t i = 0; i < store.Tasks.size(); ++i) {
        const TTASK_ITEM& task = store.Tasks[i];
        const auto found = earlier.find(task.Key);
        if (found != earlier.end() && SameTask(*found->second, task)) {
            earlier.erase(found);
            continue;
        }
        step.after.push_back(task);
        step.afterAt.push_back(static_cast<int32_t>(i));
        if (found != earlier.end()) {
            step.before.push_back(*found->second);
            step.beforeAt.push_back(earlierAt[task.Key]);
            earlier.erase(found);
        }
    }
    for (size_t i = 0; i < state.tasks.size(); ++i) {
        if (earlier.contains(state.tasks[i].Key)) { // gone
            step.before.push_back(state.tasks[i]);
            step.beforeAt.push_back(static_cast<int32_t>(i));
        }
    }
    if (state.categories != store.Categories) {
        step.categoriesChanged = true;
        step.categoriesBefore = state.categories;
        step.categoriesAfter = store.Categories;
    }
    return step;
}

UndoStep CategoryStep(std::string name, std::vector<TCATEGORY> before,
                      std::vector<TCATEGORY> after) {
    UndoStep step;
    step.name = std::move(name);
    step.categoriesChanged = before != after;
    step.categoriesBefore = std::move(before);
    step.categoriesAfter = std::move(after);
    return step;
}

UndoStep TaskStep(std::string name, const TTASK_ITEM* before, const TTASK_ITEM* after, int32_t at) {
    UndoStep step;
    step.name = std::move(name);
    if (before) {
        step.before.push_back(*before);
        step.beforeAt.push_back(at);
    }
    if (after) {
        step.after.push_back(*after);
        step.afterAt.push_back(at);
    }
    return step;
}

void UndoHistory::Record(UndoStep step) {
    if (step.Empty())
        return;
    undone_.clear();
    done_.push_back(std::move(step));
    if (done_.size() > kLimit)
        done_.erase(done_.begin());
}

const std::string& UndoHistory::UndoName() const {
    static const std::string none;
    return done_.empty() ? none : done_.back().name;
}

const std::string& UndoHistory::RedoName() const {
    static const std::string none;
    return undone_.empty() ? none : undone_.back().name;
}

UndoHistory::Outcome UndoHistory::Undo(TaskStore& store) {
    return Move(done_, undone_, store, true);
}

UndoHistory::Outcome UndoHistory::Redo(TaskStore& store) {
    return Move(undone_, done_, store, false);
}

UndoHistory::Outcome UndoHistory::Move(std::vector<UndoStep>& from, std::vector<UndoStep>& to,
                                       TaskStore& store, bool back) {
    if (from.empty())
        return {};
    UndoStep step = std::move(from.back());
    from.pop_back();
    const std::vector<TCATEGORY>& categories = back ? step.categoriesBefore : step.categoriesAfter;
    const uint64_t key = back ? Apply(store, step.after, step.before, step.beforeAt,
                                      step.categoriesChanged ? &categories : nullptr)
                              : Apply(store, step.before, step.after, step.afterAt,
                                      step.categoriesChanged ? &categories : nullptr);
    const Outcome outcome{true, step.categoriesChanged, key};
    to.push_back(std::move(step));
    return outcome;
}

} // namespace quill
