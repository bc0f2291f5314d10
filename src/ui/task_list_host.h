#pragma once
// What the task list needs from the window that holds it (the main window).

#include "core/undo_history.h"

#include <QString>

class QMenu;

namespace quill {

class TaskListHost {
public:
    virtual ~TaskListHost() = default;
    // Sorts the visible tasks by the order chosen in the settings and saves the
    // data file; the host shows a failed save.
    virtual void SortTaskList() = 0;
    // Filters with the main window's current category position.
    virtual void FilterTaskList() = 0;
    // The task editor for a new task.
    virtual void AddTask() = 0;
    // The task editor on the task at `index`; returns the modal result.
    virtual int EditTask(int index) = 0;
    virtual void OpenHelpFile() = 0;
    // The print options dialog, modally.
    virtual void ShowPrintDialog() = 0;
    // The main window's menu, opened by a right press below the last row.
    virtual QMenu* MainPopupMenu() = 0;
    // The name of the category the list is filtered to; empty for "All" (and
    // for a host that has no filter).
    virtual QString ShownCategoryName() const { return {}; }
    // A change the user made in the list (a tick, a deletion), for undo; a host
    // without a history lets it go.
    virtual void RecordChange(UndoStep /*step*/) {}
};

} // namespace quill
