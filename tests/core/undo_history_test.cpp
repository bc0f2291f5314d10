#include "core/undo_history.h"
#include "test_support.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace quill {
namespace {

// What the list would show once filtered and sorted: the tasks in key order
// (undo puts a task back at the end), and the categories.
std::string Picture(const TaskStore& store) {
    std::vector<TTASK_ITEM> tasks = store.Tasks;
    std::sort(tasks.begin(), tasks.end(), [](auto& a, auto& b) { return a.Key < b.Key; });
    std::string out;
    for (const TTASK_ITEM& t : tasks)
        out += std::to_string(t.Key) + ":" + t.Title + "/" + std::to_string(t.CategoryIndex) +
               (t.Done ? "x" : "") + " ";
    for (const TCATEGORY& c : store.Categories)
        out += "[" + c.Name + "]";
    return out;
}

TTASK_ITEM& ByTitle(TaskStore& store, const std::string& title) {
    return *std::find_if(store.Tasks.begin(), store.Tasks.end(),
                         [&](const TTASK_ITEM& t) { return t.Title == title; });
}

TEST(UndoHistory, EveryKindOfChangeGoesBackAndComesAgainStepByStep) {
    TaskStore store;
    store.Categories = {{"Home", 0}, {"Work", 1}, {"Travel", 2}};
    for (const auto& [title, category] :
         std::vector<std::pair<std::string, int>>{{"a", 0}, {"b", 1}, {"c", 2}, {"d", 2}})
        AddTask(store, test::MakeTask(title, 1, category));
    UndoHistory history;
    std::vector<std::string> pictures{Picture(store)};
    const auto step = [&](UndoStep s) {
        history.Record(std::move(s));
        pictures.push_back(Picture(store));
    };

    AddTask(store, test::MakeTask("e", 0, 1));
    step(TaskStep("Add Task", nullptr, &store.Tasks.back(), store.TaskCount() - 1));
    TTASK_ITEM before = ByTitle(store, "a");
    ByTitle(store, "a").Title = "a2";
    step(TaskStep("Edit Task", &before, &ByTitle(store, "a2"), 0));
    before = ByTitle(store, "b");
    ToggleDone(ByTitle(store, "b"));
    step(TaskStep("Done", &before, &ByTitle(store, "b"), 1));
    before = ByTitle(store, "c");
    const int32_t at = FindTaskByKey(store, before.Key);
    RemoveTaskAt(store, at);
    step(TaskStep("Delete Task", &before, nullptr, at));
    // Deleting "Work" removes b and e and moves "Travel" (with d) into its place.
    const StoreState state = CaptureState(store);
    RemoveCategoryAt(store, 1);
    step(DiffStates("Delete Category", state, store));

    EXPECT_EQ(history.UndoName(), "Delete Category");
    for (size_t i = pictures.size() - 1; i > 0; --i) {
        ASSERT_TRUE(history.Undo(store).applied);
        EXPECT_EQ(Picture(store), pictures[i - 1]) << "after undoing step " << i;
    }
    EXPECT_FALSE(history.CanUndo());
    EXPECT_FALSE(history.Undo(store).applied);
    EXPECT_EQ(history.RedoName(), "Add Task");
    for (size_t i = 1; i < pictures.size(); ++i) {
        ASSERT_TRUE(history.Redo(store).applied);
        EXPECT_EQ(Picture(store), pictures[i]) << "after redoing step " << i;
    }

    // A new change while a step is undone takes the redo steps away.
    history.Undo(store);
    history.Record(TaskStep("Done", &store.Tasks[0], &store.Tasks[0], 0));
    EXPECT_FALSE(history.CanRedo());
}

TEST(UndoHistory, KeepsAtLeastAHundredSteps) {
    TaskStore store;
    store.Categories = {{"Home", 0}};
    UndoHistory history;
    for (int i = 0; i < 150; ++i) {
        AddTask(store, test::MakeTask("t" + std::to_string(i), 1, 0));
        history.Record(TaskStep("Add Task", nullptr, &store.Tasks.back(), i));
    }
    for (int i = 0; i < 150; ++i)
        ASSERT_TRUE(history.Undo(store).applied) << i;
    EXPECT_TRUE(store.Tasks.empty());
}

} // namespace
} // namespace quill
