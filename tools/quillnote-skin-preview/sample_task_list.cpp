#include "sample_task_list.h"

#include "core/date_time.h"
#include "core/live_options.h"
#include "core/task_store.h"
#include "skin/skin.h"
#include "skin/skin_colors.h"
#include "skin/skin_label.h"
#include "ui/main_layout.h"
#include "ui/task_list.h"
#include "ui/task_list_host.h"
#include "widgets/form.h"
#include "widgets/string_grid.h"

#include <QComboBox>
#include <QScrollBar>

#include <QPainter>

namespace quill::preview {
namespace {

TTASK_ITEM Sample(const char* title, TaskPriority priority, int category, bool reminder, bool done,
                  int dueInDays) {
    TTASK_ITEM t;
    t.Title = title;
    t.Priority = PriorityNumber(priority);
    t.CategoryIndex = category;
    t.ReminderOn = reminder;
    t.Done = done;
    t.HasDueDate = dueInDays != 0;
    t.DueDate = Today() + dueInDays;
    t.NotOverdue = dueInDays >= 0 ? 1 : 0;
    return t;
}

// Owns what the list reads while the preview window lives.
class SampleListData : public QObject, public TaskListHost {
public:
    SampleListData(const SkinParams& p, const SkinPictures& pics, QObject* parent)
        : QObject(parent), params(p), pictures(pics) {
        store.Categories = {{"Personal", 0}, {"Business", 5}, {"Home", 2},  {"Errands", 3},
                            {"Health", 6},   {"Hobby", 7},    {"Travel", 9}};
        store.Tasks = {
            Sample("Send the quarterly report to Anna", TaskPriority::High, 1, true, false, 6),
            Sample("Buy flowers for Mum's birthday", TaskPriority::Normal, 0, true, false, 13),
            Sample("Renew the car insurance", TaskPriority::High, 2, false, false, -6),
            Sample("Book a table for Friday dinner", TaskPriority::Low, 0, false, false, 0),
            Sample("Call the plumber about the kitchen tap", TaskPriority::Normal, 6, false, true,
                   -3),
            Sample("Prepare slides for the team meeting, with the figures from the finance "
                   "team and the notes from Tuesday",
                   TaskPriority::High, 1, true, false, 9),
            Sample("Return library books", TaskPriority::Low, 3, false, true, 0),
            Sample("Plan the weekend hike with Tom", TaskPriority::Low, 5, false, false, 20),
            Sample("Update the project budget sheet", TaskPriority::Normal, 4, true, false, 23),
            Sample("Water the plants", TaskPriority::Normal, 2, false, false, 1),
            Sample("Pick up the dry cleaning", TaskPriority::Normal, 3, false, false, 2),
            Sample("Book the dentist", TaskPriority::Low, 4, true, false, 30),
        };
        store.Tasks[9].RepeatRule = "FREQ=WEEKLY"; // "Water the plants"
        store.Tasks[3].RepeatRule = "FREQ=WEEKLY;BYDAY=FR";
        store.VisibleTaskCount = store.TaskCount();
    }
    void SortTaskList() override {}
    void FilterTaskList() override {}
    void AddTask() override {}
    int EditTask(int) override { return mrCancel; }
    void OpenHelpFile() override {}
    void ShowPrintDialog() override {}
    QMenu* MainPopupMenu() override { return nullptr; }

    TaskStore store;
    FixedOptions options;
    SkinParams params;
    SkinPictures pictures;
};

} // namespace

void AddSampleTaskList(TSkin& skin, TForm& form, const SkinParams& params,
                       const SkinPictures& pictures) {
    auto* data = new SampleListData(params, pictures, &form);
    QWidget* client = form.Client();
    auto* combo = new QComboBox(client);
    combo->addItems({QStringLiteral("All")});
    combo->resize(145, 22);
    auto* label = new TSkinLabel(client);
    label->SetCaption(QStringLiteral("Category:"));
    skin.ApplySkinByName(label, QStringLiteral("Label"));
    label->adjustSize();
    auto* list =
        new TTaskList(client, data->store, data->params, data->pictures, data->options, *data);
    list->SetBackgroundColor(SkinColorToQColor(skin.WindowColor()));
    skin.ApplySkinByName(list->ScrollBar1, QStringLiteral("VScrollBar"));
    const MainLayout layout =
        ComputeMainLayout(form.ClientSize().width(), form.ClientSize().height(), data->params,
                          combo->size(), label->size());
    list->ApplyLayout(layout);
    combo->setGeometry(layout.comboBox);
    label->setGeometry(layout.label);
    list->SetupGridColumns();
    list->StringGrid1->SetRow(1);
    list->StringGrid1->setFocus();
}

} // namespace quill::preview
