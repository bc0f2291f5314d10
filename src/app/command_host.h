#pragma once
// What the task and category commands ask of the window that shows the list
// (the main window). The commands change the store; the host shows the change.

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
};

} // namespace quill
