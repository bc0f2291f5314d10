#include "task_commands.h"

#include "core/date_time.h"
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
uint8_t Flag(const QCheckBox* box) {
    return box->isChecked() ? 1 : 0;
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

std::string TaskCommands::TextBack(const std::string& original, const QString& shown) {
    if (FromBytes(original) == shown)
        return original;
    const QByteArray bytes = shown.toUtf8();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
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

void TaskCommands::AddTask() {
    PrepareForNewTask();
    if (editor_.ShowModal() != mrOk)
        return;
    const int category = editor_.ComboBox4->currentIndex();
    if (category < 0 || category >= static_cast<int>(store_.Categories.size()))
        return; // the input check lets no such choice through
    TTASK_ITEM task;
    task.CategoryIndex = category;
    task.Done = 0;
    task.Priority = editor_.ComboBox1->currentIndex();
    task.Title = TextBack({}, editor_.Edit1->text());
    task.Description = TextBack({}, editor_.Memo1->toPlainText());
    task.DueDate = editor_.DateTimePicker1->DateTime();
    task.ReminderDate = editor_.DateTimePicker2->DateTime();
    task.ReminderTime = editor_.DateTimePicker4->DateTime();
    task.ReminderOn = Flag(editor_.CheckBox1);
    task.HasDueDate = Flag(editor_.CheckBox3);
    task.PlaySound = Flag(editor_.CheckBox2);
    task.SoundFile = TextBack({}, editor_.Edit2->text());
    task.NotOverdue = ComputeNotOverdue(task, Now());
    quill::AddTask(store_, std::move(task));
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

int TaskCommands::FindEditedTask(int openedAt, const TTASK_ITEM& opened) const {
    // Removing a category moves records and renumbers categories: the task's key
    // finds it wherever it went.
    if (opened.Key != 0)
        return FindTaskByKey(store_, opened.Key);
    // A record without a key counts only where it was, unchanged.
    const bool there =
        openedAt < store_.TaskCount() && store_.Tasks[static_cast<size_t>(openedAt)] == opened;
    return there ? openedAt : -1;
}

int TaskCommands::EditTask(int index) {
    int result = mrNone;
    if (index >= 0 && index < store_.TaskCount()) {
        const TTASK_ITEM opened = store_.Tasks[static_cast<size_t>(index)];
        LoadTask(opened);
        result = editor_.ShowModal();
        if (result == mrOk) {
            const int at = FindEditedTask(index, opened);
            const int category = editor_.ComboBox4->currentIndex();
            if (at < 0 || category < 0 || category >= static_cast<int>(store_.Categories.size())) {
                ShowMessageDialog(QStringLiteral("The task was removed together with its category "
                                                 "while it was open. Your changes were not saved."),
                                  QStringLiteral("Attention"), 0);
                result = mrCancel;
            } else {
                TTASK_ITEM& task = store_.Tasks[static_cast<size_t>(at)];
                task.CategoryIndex = category;
                task.Priority = editor_.ComboBox1->currentIndex();
                task.Title = TextBack(task.Title, editor_.Edit1->text());
                task.Description = TextBack(task.Description, editor_.Memo1->toPlainText());
                if (editor_.CheckBox1->isChecked()) {
                    task.ReminderDate = editor_.DateTimePicker2->DateTime();
                    task.ReminderTime = editor_.DateTimePicker4->DateTime();
                }
                if (editor_.CheckBox3->isChecked())
                    task.DueDate = editor_.DateTimePicker1->DateTime();
                task.ReminderOn = Flag(editor_.CheckBox1);
                task.HasDueDate = Flag(editor_.CheckBox3);
                task.PlaySound = Flag(editor_.CheckBox2);
                task.SoundFile = TextBack(task.SoundFile, editor_.Edit2->text());
                task.NotOverdue = ComputeNotOverdue(task, Now());
                RefreshList(true);
            }
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
