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
#include "support/task_builder.h"
#include "ui/main_layout.h"
#include "ui/task_list.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <cstdio>

using namespace quill;
using namespace quill::test;

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
        WithReminder(Dated(MakeTask("Call the plumber about the kitchen sink", 0, 0), 46001)),
        Overdue(Dated(MakeTask("Pay the electricity bill", 1, 1), 45990)),
        Completed(Dated(MakeTask("Buy a birthday present for Anna", 2, 0), 46005)),
        WithReminder(
            Overdue(Completed(Dated(MakeTask("Renew passport (overdue and done)", 0, 2), 45980)))),
        MakeTask("Prepare the quarterly report with all the figures from the finance team, "
                 "the sales forecast for next year and the notes from Tuesday's meeting",
                 1, 1),
        Dated(MakeTask("Caf\xc3\xa9 r\xc3\xa9servation \xe2\x80\x94 \xc3\xa0 confirmer", 1, 2),
              46010),
        MakeTask("Task of a category that no longer exists", 1, 7),
        WithReminder(MakeTask("Category with a mark the skin lacks", 2, 3)),
        Dated(MakeTask("Water the plants", 1, 0), 46002),
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
