#pragma once
// The commands that run the task editor: AddTask and EditTask. They load the
// editor, show it modally and write what the user chose into the store, then let
// the host re-filter, re-sort (which saves) and relayout its list.

#include "core/task_store.h"
#include "widgets/form.h"

namespace quill {

class CommandHost;
class TEditTaskForm;

class TaskCommands {
public:
    // The editor is made the first time a task is added or edited.
    TaskCommands(CommandHost& host, TaskStore& store, OnDemand<TEditTaskForm>& editor);

    // Opens the editor for a new task and appends it on OK.
    void AddTask();
    // Opens the editor on the task at `index`; returns the editor's modal result
    // (1 OK, 2 Cancel), 0 when `index` is not a position in Tasks or the editor is
    // already open (it is brought forward and keeps what it holds). On OK only the
    // fields the user changed are written, into the task wherever it is now; a
    // field the user left alone keeps what the store has (bytes included). When
    // the task went away meanwhile (its category was removed), nothing is written,
    // the user is told and the result is Cancel.
    int EditTask(int index);

private:
    // True, with the open editor brought forward, while it is already showing.
    bool EditorAlreadyOpen() const;
    CommandHost& host_;
    TaskStore& store_;
    OnDemand<TEditTaskForm>& editor_;
};

} // namespace quill
