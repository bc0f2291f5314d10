#include "task_commands.h"

#include "core/date_time.h"
#include "core/task_edit.h"
#include "main_form.h"
#include "platform/window_ops.h"
#include "ui/categories_form.h"
#include "ui/edit_task_form.h"
#include "ui/message_form.h"
#include "widgets/date_time_picker.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace quill {

namespace {
QString FromBytes(const std::string& bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}
} // namespace

TaskCommands::TaskCommands(TMainForm& main, TaskStore& store, TEditTaskForm& editor)
    : main_(main), store_(store), editor_(editor) {
    TMainForm* m = &main_;
    editor_.SetSkin(main_.Skin1);
    editor_.SetActivateHandler([m](QWidget* window) { m->ApplyStayOnTop(window); });
    editor_.SetLeaveTopBandHandler([m](QWidget* window) {
        WindowOps::SetStayOnTop(m, false);
        WindowOps::SetStayOnTop(window, false);
    });
    editor_.SetEditCategoriesHandler([m] {
        if (TCategoriesForm* categories = m->Windows().CategoriesForm)
            categories->ShowModal();
        m->FillCategoryLists();
    });
}

void TaskCommands::PrepareForNewTask() {
    TEditTaskForm& e = editor_;
    e.CheckBox2->setEnabled(false);
    e.Button1->setEnabled(false);
    e.Edit2->setEnabled(false);
    e.Edit1->clear();
    e.Edit2->clear();
    e.CheckBox1->setChecked(false);
    e.CheckBox2->setChecked(false);
    e.CheckBox3->setChecked(false);
    e.DateTimePicker4->setEnabled(false);
    e.DateTimePicker1->setEnabled(false);
    e.DateTimePicker2->setEnabled(false);
    e.SetOpeningPriority(1);
    // The category of the previous new task, while it still exists; otherwise the
    // first one, so nothing is ever stored with a category that is gone.
    const int last = store_.LastCategoryIndex;
    const int categories = static_cast<int>(store_.Categories.size());
    e.ComboBox4->setCurrentIndex(last >= 0 && last < categories ? last : 0);
    e.DateTimePicker4->SetDateTime(TimePart(Now()));
    e.Memo1->clear();
    e.DateTimePicker1->SetDateTime(Today() + 1);
    e.DateTimePicker2->SetDateTime(Today() + 1);
}

bool TaskCommands::EditorAlreadyOpen() const {
    // One editor at a time: a reminder's "Edit Task" or the tray's "Add Task..."
    // while it is open would load other values into it under the user's hands.
    if (!editor_.IsShowingModal())
        return false;
    WindowOps::BringToFront(&editor_);
    return true;
}

void TaskCommands::AddTask() {
    if (EditorAlreadyOpen())
        return;
    PrepareForNewTask();
    if (editor_.ShowModal() != mrOk)
        return;
    const TaskEditorValues chosen = editor_.Values();
    if (chosen.CategoryIndex < 0 ||
        chosen.CategoryIndex >= static_cast<int>(store_.Categories.size()))
        return; // the input check lets no such choice through
    quill::AddTask(store_, NewTaskFromEditor(chosen, Now()));
    RefreshList(false);
}

void TaskCommands::LoadTask(const TTASK_ITEM& task) {
    TEditTaskForm& e = editor_;
    store_.EditedTaskCategory = task.CategoryIndex;
    e.ComboBox4->setCurrentIndex(task.CategoryIndex);
    e.SetOpeningPriority(task.Priority);
    e.Edit1->setText(FromBytes(task.Title));
    e.Memo1->setPlainText(FromBytes(task.Description));
    e.CheckBox1->setChecked(task.ReminderOn != 0);
    e.CheckBox2->setEnabled(task.ReminderOn != 0);
    e.Button1->setEnabled(task.ReminderOn != 0);
    e.Edit2->setEnabled(task.ReminderOn != 0);
    e.CheckBox3->setChecked(task.HasDueDate != 0);
    e.DateTimePicker1->setEnabled(e.CheckBox3->isChecked());
    e.DateTimePicker4->setEnabled(e.CheckBox1->isChecked());
    e.DateTimePicker2->setEnabled(e.CheckBox1->isChecked());
    e.CheckBox2->setChecked(task.PlaySound != 0);
    e.Edit2->setText(FromBytes(task.SoundFile));
    e.DateTimePicker1->SetDateTime(task.HasDueDate ? task.DueDate : Today() + 1);
    if (task.ReminderOn) {
        e.DateTimePicker2->SetDateTime(task.ReminderDate);
        e.DateTimePicker4->SetDateTime(task.ReminderTime);
    } else {
        e.DateTimePicker2->SetDateTime(Today() + 1);
        e.DateTimePicker4->SetDateTime(TimePart(Now()));
    }
}

int TaskCommands::EditTask(int index) {
    if (index < 0 || index >= store_.TaskCount())
        return mrNone;
    if (EditorAlreadyOpen())
        return mrNone;
    TTASK_ITEM& shown = store_.Tasks[static_cast<size_t>(index)];
    if (shown.Key == 0)
        shown.Key = NewTaskKey();
    const TTASK_ITEM opened = shown;
    LoadTask(opened);
    const TaskEditorValues loaded = editor_.Values();
    int result = editor_.ShowModal();
    if (result == mrOk) {
        // Everything may have moved while the editor was open: find the task by its
        // key and write only what the user changed here.
        const int at = FindTaskByKey(store_, opened.Key);
        const TaskEditorValues chosen = editor_.Values();
        if (at < 0 || chosen.CategoryIndex < 0 ||
            chosen.CategoryIndex >= static_cast<int>(store_.Categories.size())) {
            ShowMessageDialog(QStringLiteral("The task was removed together with its category "
                                             "while it was open. Your changes were not saved."),
                              QStringLiteral("Attention"), 0);
            result = mrCancel;
        } else {
            WriteBackEditorChanges(store_.Tasks[static_cast<size_t>(at)], loaded, chosen, Now());
            RefreshList(true);
        }
    }
    store_.EditedTaskCategory = -1;
    return result;
}

void TaskCommands::RefreshList(bool repaint) {
    main_.FilterTaskList();
    main_.SortTaskList(-1);
    if (repaint)
        main_.update();
    main_.SetupGridColumns();
}

} // namespace quill
