#pragma once
// What the task and category commands ask of the window that shows the list
// (the main window). The commands change the store; the host shows the change.

#include "core/undo_history.h"

#include <cstdint>

namespace quill {

class CommandHost {
public:
    virtual ~CommandHost() = default;
    // After a change of tasks: filter with the shown category, sort by the order
    // chosen in the settings (which saves the data file), lay the lists out;
    // `repaint` the whole window too.
    virtual void RefreshTaskList(bool repaint) = 0;
    // After a category was added or renamed: lays the lists out again.
    virtual void RelayoutLists() = 0;
    // After a category was removed (the positions moved): the filter shows "All".
    virtual void ShowAllCategories() = 0;
    // A change the user made, for undo: one step per action.
    virtual void RecordChange(UndoStep step) = 0;
    // After the categories were put back as they were (undo, redo): every list
    // of them is filled again.
    virtual void RefillCategoryLists() = 0;
    // The list's current row moves to the task with `key` when it is shown.
    virtual void MakeTaskCurrent(uint64_t key) = 0;
};

} // namespace quill
