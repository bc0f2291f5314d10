#pragma once
// The commands that run the task editor: AddTask and EditTask. They prepare the
// editor, show it modally and write what it holds into the store, then let the
// main window re-filter, re-sort (which saves) and relayout its list.

#include "core/task_store.h"

#include <QString>
#include <string>

namespace quill {

class TEditTaskForm;
class TMainForm;

class TaskCommands {
public:
    TaskCommands(TMainForm& main, TaskStore& store, TEditTaskForm& editor);

    // Opens the editor for a new task and appends it on OK.
    void AddTask();
    // Opens the editor on the task at `index`; returns the editor's modal result
    // (1 OK, 2 Cancel), 0 when `index` is not a position in Tasks. When the task
    // went away while the editor was open (its category was removed), nothing is
    // written, the user is told and the result is Cancel.
    int EditTask(int index);

    // The text of a field as bytes for the store: the original bytes when the
    // field still shows them unchanged, else the field's text in UTF-8.
    static std::string TextBack(const std::string& original, const QString& shown);

private:
    void PrepareForNewTask();
    void LoadTask(const TTASK_ITEM& task);
    // Where the task opened in the editor is now; -1 when it is gone.
    int FindEditedTask(int openedAt, const TTASK_ITEM& opened) const;
    void RefreshList(bool repaint);

    TMainForm& main_;
    TaskStore& store_;
    TEditTaskForm& editor_;
};

} // namespace quill
