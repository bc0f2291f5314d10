#include "list_ordering.h"

#include "task_finder.h"

#include <utility>

namespace quill {

void FilterTaskList(TaskStore& store, CategoryFilter filter) {
    if (filter.all) {
        store.VisibleTaskCount = store.TaskCount();
        return;
    }
    const int32_t position = filter.category;
    std::vector<TTASK_ITEM>& tasks = store.Tasks;
    int32_t v = 0;
    for (int32_t i = 0; i < store.TaskCount(); ++i) {
        if (tasks[i].CategoryIndex == position) {
            if (i != v) {
                std::swap(tasks[i], tasks[v]);
            }
            ++v;
        }
    }
    store.VisibleTaskCount = v;
}

void FilterTaskList(TaskStore& store, CategoryFilter filter, TaskFinder* finder) {
    FilterTaskList(store, filter);
    if (finder)
        finder->Narrow(store);
}

} // namespace quill
