// Renders the task list with a skin file into PNG pictures, to look at:
//   list_screens SKIN.skn OUT_PREFIX
// writes OUT_PREFIX-focused.png (the list has the focus) and OUT_PREFIX-unfocused.png.
#include "core/live_options.h"
#include "core/task_store.h"
#include "null_host.h"
#include "skin/skin.h"
#include "skin/skin_colors.h"
#include "skin/skin_params.h"
#include "skin/skin_pictures.h"
#include "ui/main_layout.h"
#include "ui/task_list.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <cstdio>

using namespace quill;

namespace {

TTASK_ITEM Task(const char* title, int priority, int category, bool done, bool overdue, double due,
                bool reminder) {
    TTASK_ITEM t;
    t.Title = title;
    t.Priority = priority;
    t.CategoryIndex = category;
    t.Done = done;
    t.HasDueDate = due > 0;
    t.DueDate = due;
    t.NotOverdue = overdue ? 0 : 1;
    t.ReminderOn = reminder;
    return t;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("FONTCONFIG_FILE"))
        qputenv("FONTCONFIG_FILE", QUILLNOTE_FONTS_CONF);
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: list_screens SKIN.skn OUT_PREFIX\n");
        return 2;
    }
    TSkin skin;
    QString error;
    if (!skin.LoadSkin(QString::fromLocal8Bit(argv[1]), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    SkinParams params;
    LoadInforInDescription(params, skin.GetDescription().toStdString());
    SkinPictures pictures;
    LoadSkinPictures(skin, pictures);

    TaskStore store;
    store.Categories = {{"Personal", 0}, {"Business", 1}, {"Other", 2}, {"Gone", 42}};
    store.Tasks = {
        Task("Call the plumber about the kitchen sink", 0, 0, false, false, 46001, true),
        Task("Pay the electricity bill", 1, 1, false, true, 45990, false),
        Task("Buy a birthday present for Anna", 2, 0, true, false, 46005, false),
        Task("Renew passport (overdue and done)", 0, 2, true, true, 45980, true),
        Task("Prepare the quarterly report with all the figures from the finance team, "
             "the sales forecast for next year and the notes from Tuesday's meeting",
             1, 1, false, false, 0, false),
        Task("Caf\xc3\xa9 r\xc3\xa9servation \xe2\x80\x94 \xc3\xa0 confirmer", 1, 2, false, false,
             46010, false),
        Task("Task of a category that no longer exists", 1, 7, false, false, 0, false),
        Task("Category with a mark the skin lacks", 2, 3, false, false, 0, true),
        Task("Water the plants", 1, 0, false, false, 46002, false),
    };
    store.VisibleTaskCount = store.TaskCount();

    FixedOptions options;
    NullHost host;
    QWidget window;
    window.resize(520, 300);
    skin.ApplySkin(&window);
    auto* combo = new QComboBox(&window);
    combo->addItems({"Personal", "Business", "Other", "All", "Edit Categories..."});
    combo->resize(120, 22);
    auto* label = new QLabel("Category:", &window);
    label->adjustSize();
    TTaskList list(&window, store, params, pictures, options, host);
    list.SetBackgroundColor(SkinColorToQColor(skin.WindowColor()));
    const MainLayout layout =
        ComputeMainLayout(window.width(), window.height(), params, combo->size(), label->size());
    list.ApplyLayout(layout);
    combo->setGeometry(layout.comboBox);
    label->setGeometry(layout.label);
    list.SetupGridColumns();
    window.show();
    list.StringGrid1->setFocus();
    list.StringGrid1->SetRow(4);
    const QString prefix = QString::fromLocal8Bit(argv[2]);
    bool ok = window.grab().save(prefix + "-focused.png");
    combo->setFocus();
    list.StringGrid1->SetRow(0);
    ok = window.grab().save(prefix + "-unfocused.png") && ok;
    return ok ? 0 : 1;
}
