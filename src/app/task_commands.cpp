#include "task_commands.h"

#include "command_host.h"
#include "core/date_time.h"
#include "core/task_edit.h"
#include "platform/window_ops.h"
#include "ui/edit_task_form.h"
#include "ui/message_form.h"

namespace quill {

TaskCommands::TaskCommands(CommandHost& host, TaskStore& store, OnDemand<TEditTaskForm>& editor)
    : host_(host), store_(store), editor_(editor) {}

bool TaskCommands::EditorAlreadyOpen() const {
    // One editor at a time: a reminder's "Edit Task" or the tray's "Add Task..."
    // while it is open would load other values into it under the user's hands.
    TEditTaskForm* editor = editor_.IfMade();
    if (!editor || !editor->IsShowingModal())
        return false;
    WindowOps::BringToFront(editor);
    return true;
}

void TaskCommands::AddTask() {
    if (EditorAlreadyOpen())
        return;
    editor_()->LoadNewTask(store_.LastCategoryIndex, Now());
    if (editor_()->ShowModal() != mrOk)
        return;
    const TaskEditorValues chosen = editor_()->Values();
    if (chosen.CategoryIndex < 0 ||
        chosen.CategoryIndex >= static_cast<int>(store_.Categories.size()))
        return; // the input check lets no such choice through
    quill::AddTask(store_, NewTaskFromEditor(chosen, Now()));
    host_.RecordChange(TaskStep("Add Task", nullptr, &store_.Tasks.back(), store_.TaskCount() - 1));
    host_.RefreshTaskList(false);
}

int TaskCommands::EditTask(int index) {
    if (index < 0 || index >= store_.TaskCount())
        return mrNone;
    if (EditorAlreadyOpen())
        return mrNone;
    const uint64_t key = KeyOf(store_.Tasks[static_cast<size_t>(index)]);
    const TTASK_ITEM opened = store_.Tasks[static_cast<size_t>(index)];
    store_.EditedTaskCategory = opened.CategoryIndex;
    editor_()->LoadTask(opened, Now());
    const TaskEditorValues loaded = editor_()->Values();
    int result = editor_()->ShowModal();
    if (result == mrOk) {
        // Everything may have moved while the editor was open: find the task by its
        // key and write only what the user changed here.
        const int at = FindTaskByKey(store_, key);
        const TaskEditorValues chosen = editor_()->Values();
        if (at < 0 || chosen.CategoryIndex < 0 ||
            chosen.CategoryIndex >= static_cast<int>(store_.Categories.size())) {
            ShowMessageDialog(QStringLiteral("The task was removed together with its category "
                                             "while it was open. Your changes were not saved."),
                              QStringLiteral("Attention"), kNoticeMessage);
            result = mrCancel;
        } else {
            TTASK_ITEM& task = store_.Tasks[static_cast<size_t>(at)];
            const TTASK_ITEM before = task;
            WriteBackEditorChanges(task, loaded, chosen, Now());
            if (!(before == task))
                host_.RecordChange(TaskStep("Edit Task", &before, &task, at));
            host_.RefreshTaskList(true);
        }
    }
    store_.EditedTaskCategory = -1;
    return result;
}

} // namespace quill
