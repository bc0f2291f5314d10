#pragma once
// Undo and redo of the user's changes to the tasks and categories, for the run.
// A step keeps only what its change touched: the tasks before and after (found
// again by their run-time Key, never by position, so sorting, filtering and
// category deletions in between do not matter) and the categories when they
// changed.

#include "task_store.h"

#include <cstddef>
#include <string>
#include <vector>

namespace quill {

struct UndoStep {
    std::string name; // what the menu names: "Delete Task", "Done"...
    // The tasks the change replaced or removed, and the ones it made or left,
    // each with its position in Tasks at the time, so a task comes back to its
    // place among tasks that sort alike.
    std::vector<TTASK_ITEM> before;
    std::vector<TTASK_ITEM> after;
    std::vector<int32_t> beforeAt;
    std::vector<int32_t> afterAt;
    bool categoriesChanged = false;
    std::vector<TCATEGORY> categoriesBefore;
    std::vector<TCATEGORY> categoriesAfter;

    bool Empty() const { return before.empty() && after.empty() && !categoriesChanged; }
};

// The store as it was before a change that may touch many tasks (a category
// deletion, an import); every task gets its Key first.
struct StoreState {
    std::vector<TTASK_ITEM> tasks;
    std::vector<TCATEGORY> categories;
};
StoreState CaptureState(TaskStore& store);

// The step that takes `store` back to `state`: only the tasks that differ.
UndoStep DiffStates(std::string name, const StoreState& state, const TaskStore& store);

// A step that changed only the categories.
UndoStep CategoryStep(std::string name, std::vector<TCATEGORY> before,
                      std::vector<TCATEGORY> after);

// A step of one task at position `at` in Tasks: `before` or `after` may be
// absent (an added or deleted task).
UndoStep TaskStep(std::string name, const TTASK_ITEM* before, const TTASK_ITEM* after, int32_t at);

class UndoHistory {
public:
    // The history keeps at least this many steps; older ones are forgotten.
    static constexpr size_t kLimit = 200;

    // A new change: its step goes on top, and the undone steps are gone.
    void Record(UndoStep step);

    bool CanUndo() const { return !done_.empty(); }
    bool CanRedo() const { return !undone_.empty(); }
    const std::string& UndoName() const;
    const std::string& RedoName() const;

    // What taking a step back (or making it again) did to the store.
    struct Outcome {
        bool applied = false;
        bool categoriesChanged = false;
        uint64_t key = 0; // a task that came back, for the list to make current
    };
    // Takes the newest step back (or makes the last undone one again) in `store`.
    Outcome Undo(TaskStore& store);
    Outcome Redo(TaskStore& store);

private:
    // Takes the newest step of `from` back (`back`) or makes it again, onto `to`.
    static Outcome Move(std::vector<UndoStep>& from, std::vector<UndoStep>& to, TaskStore& store,
                        bool back);

    std::vector<UndoStep> done_;
    std::vector<UndoStep> undone_;
};

} // namespace quill
