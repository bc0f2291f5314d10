#include "sample_windows.h"

#include "print/print_form.h"
#include "sample_categories.h"
#include "sample_task_list.h"
#include "skin/skin_button.h"
#include "skin/skin_colors.h"
#include "skin/skin_data.h"
#include "skin/skin_label.h"
#include "ui/edit_task_form.h"
#include "ui/reminder_form.h"
#include "widgets/date_time_picker.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>

namespace quill::preview {
namespace {

template <typename W> W* Put(TForm& form, int x, int y, int w, int h) {
    auto* widget = new W(form.Client());
    widget->setGeometry(x, y, w, h);
    return widget;
}

TSkinLabel* Label(TSkin& skin, TForm& form, const QString& text, int x, int y, int w, int h) {
    auto* label = Put<TSkinLabel>(form, x, y, w, h);
    label->SetCaption(text);
    skin.ApplySkinByName(label, QStringLiteral("Label"));
    return label;
}

QCheckBox* Check(TForm& form, const QString& text, bool on, int x, int y, int w, int h) {
    auto* box = Put<QCheckBox>(form, x, y, w, h);
    box->setText(text);
    box->setChecked(on);
    return box;
}

QComboBox* Combo(TForm& form, const QStringList& items, int x, int y, int w, int h) {
    auto* combo = Put<QComboBox>(form, x, y, w, h);
    combo->addItems(items);
    return combo;
}

void MainWindow(TSkin& skin, TForm& form, const SkinParams& sp, const SkinPictures& pics) {
    form.setWindowTitle(QStringLiteral("Quillnote"));
    const QSize outer(696, 480);
    const QMargins m = form.FrameMargins();
    form.SetClientSize(outer.width() - m.left() - m.right(), outer.height() - m.top() - m.bottom());
    AddSampleTaskList(skin, form, sp, pics);
}

// The program's own task editor, filled as when a task with a due date and a
// reminder is opened.
std::unique_ptr<TForm> TaskEditor(TSkin& skin) {
    auto editor = std::make_unique<TEditTaskForm>();
    skin.Attach(editor.get());
    editor->SetCategoryNames(
        {QStringLiteral("Personal"), QStringLiteral("Business"), QStringLiteral("Other")});
    TTASK_ITEM task;
    task.CategoryIndex = 1;
    task.Priority = 0;
    task.Title = "Send the quarterly report";
    task.Description = "Figures from Tom, charts from the shared folder.\n"
                       "Anna wants it before the board meeting.";
    task.HasDueDate = 1;
    task.DueDate = EncodeDateTime({2026, 3, 14, 0, 0, 0, 0});
    task.ReminderOn = 1;
    task.PlaySound = 1;
    task.SoundFile = "alarm.wav";
    task.ReminderDate = EncodeDateTime({2026, 3, 13, 0, 0, 0, 0});
    task.ReminderTime = EncodeDateTime({1899, 12, 30, 9, 30, 0, 0});
    task.RepeatRule = "FREQ=MONTHLY";
    editor->LoadTask(task, task.ReminderDate);
    return editor;
}

void Options(TSkin& skin, TForm& form) {
    form.setWindowTitle(QStringLiteral("Settings"));
    form.SetClientSize(338, 266);
    Label(skin, form, QStringLiteral("Show in the list:"), 12, 8, 200, 16);
    const char* shown[] = {"Due Date", "Priority", "Category", "Reminder Icon", "Grid"};
    for (int i = 0; i < 5; ++i)
        Check(form, QString::fromLatin1(shown[i]), i != 4, 20, 30 + i * 22, 140, 18);
    Label(skin, form, QStringLiteral("Sort by:"), 180, 8, 120, 16);
    Combo(form,
          {QStringLiteral("Due Date"), QStringLiteral("Priority"), QStringLiteral("Category")}, 180,
          28, 140, 22);
    Label(skin, form, QStringLiteral("Skin:"), 180, 62, 120, 16);
    Combo(form, {QStringLiteral("Default"), QStringLiteral("Dark")}, 180, 82, 140, 22);
    Check(form, QStringLiteral("Done task put in bottom"), true, 20, 150, 300, 18);
    Check(form, QStringLiteral("Start with the system"), false, 20, 172, 300, 18);
    Check(form, QStringLiteral("Minimize on start"), false, 20, 194, 300, 18);
    Check(form, QStringLiteral("Transparency"), true, 20, 216, 300, 18);
    auto* off = Check(form, QStringLiteral("Always on Top"), false, 20, 238, 300, 18);
    off->setEnabled(false);
}

} // namespace

// The program's own reminder window, showing a sample task.
static std::unique_ptr<TForm> ReminderWindow(TSkin& skin) {
    auto form = std::make_unique<TReminderForm>();
    skin.Attach(form.get());
    form->ShowTask(3, QStringLiteral("Send the quarterly report to Anna"),
                   QStringLiteral("Figures from Tom, charts from the shared folder.\n"
                                  "Anna wants it before the board meeting."));
    form->show();
    QApplication::processEvents();
    return form;
}

std::unique_ptr<TForm> BuildSampleWindow(TSkin& skin, const QString& name, const SkinParams& sp,
                                         const SkinPictures& pics) {
    if (name == QLatin1String("ReminderForm"))
        return ReminderWindow(skin);
    if (name == QLatin1String("PrintForm")) {
        // The program's own dialog, skinned by its first showing.
        auto print = std::make_unique<TPrintForm>();
        skin.Attach(print.get());
        print->show();
        QApplication::processEvents();
        return print;
    }
    if (name == QLatin1String("EditTaskForm")) {
        // Takes its templates when first shown, as in the program.
        auto editor = TaskEditor(skin);
        editor->show();
        editor->activateWindow();
        QApplication::processEvents();
        return editor;
    }
    // The program's own categories windows.
    if (name == QLatin1String("CategoriesForm") || name == QLatin1String("AddCategoryForm")) {
        auto form = name == QLatin1String("CategoriesForm") ? BuildCategoriesWindow(skin, sp, pics)
                                                            : BuildCategoryDialog(skin, pics);
        form->show();
        QApplication::processEvents();
        return form;
    }
    auto form = std::make_unique<TForm>();
    skin.ApplySkin(form.get());
    skin.ApplySkinByName(form.get(), name);
    if (name == QLatin1String("MainForm"))
        MainWindow(skin, *form, sp, pics);
    else if (name == QLatin1String("OptionsForm"))
        Options(skin, *form);
    else
        return nullptr;
    form->show();
    QApplication::processEvents();
    return form;
}

QImage RenderContextMenu(TSkin& skin) {
    TForm owner;
    skin.ApplySkin(&owner);
    auto* menu = new QMenu(&owner);
    menu->addAction(QStringLiteral("Minimize"));
    menu->addSeparator();
    menu->addAction(QStringLiteral("Add Task..."));
    menu->addAction(QStringLiteral("Settings..."));
    menu->addAction(QStringLiteral("Print..."))->setEnabled(false);
    menu->addSeparator();
    for (const char* name : {"Default", "Dark"}) {
        QAction* item = menu->addAction(QString::fromLatin1(name));
        item->setCheckable(true);
        item->setChecked(skin.Name() == QLatin1String(name));
    }
    menu->addSeparator();
    menu->addAction(QStringLiteral("Exit"));
    menu->popup(QPoint(100, 100));
    menu->setActiveAction(menu->actions().at(2));
    QApplication::processEvents();
    return menu->grab().toImage();
}

QImage RenderButtonStates(TSkin& skin, qreal dpr) {
    const SkinData* data = skin.Data();
    if (!data)
        return {};
    QVector<SkinButtonLayout> layouts;
    QStringList owners;
    for (const QString& name : RequiredWindowTemplates()) {
        for (const SkinButtonLayout& b : data->manifest.windows.value(name).buttons) {
            layouts.push_back(b);
            owners.push_back(name);
        }
    }
    const int rowH = 40;
    const int colW = 120;
    const int labelW = 250;
    QWidget sheet;
    sheet.setAutoFillBackground(true);
    QPalette pal = sheet.palette();
    pal.setColor(QPalette::Window, data->manifest.controls.window);
    pal.setColor(QPalette::WindowText, data->manifest.controls.text);
    sheet.setPalette(pal);
    sheet.resize(labelW + 4 * colW, rowH * (static_cast<int>(layouts.size()) + 1));
    auto data2 = std::make_shared<SkinData>(*data);
    SkinTemplateObject owner(QStringLiteral("sheet"), nullptr);
    const char* states[4] = {"normal", "hover", "pressed", "disabled"};
    for (int s = 0; s < 4; ++s) {
        auto* head = new QLabel(QString::fromLatin1(states[s]), &sheet);
        head->setGeometry(labelW + s * colW, 8, colW, 20);
    }
    for (int i = 0; i < layouts.size(); ++i) {
        const int y = rowH * (i + 1);
        auto* name = new QLabel(owners[i] + QStringLiteral(" / ") + layouts[i].name, &sheet);
        name->setGeometry(10, y, labelW - 10, rowH);
        for (int s = 0; s < 4; ++s) {
            SkinButtonLayout layout = layouts[i];
            layout.fromRight = false;
            layout.fromBottom = false;
            layout.x = labelW + s * colW;
            layout.y = y + (rowH - layout.height) / 2;
            auto* button = new SkinButton(data2, layout, &owner, &sheet);
            button->Place(sheet.size());
            if (s == 1)
                button->SetHovered(true);
            if (s == 2)
                button->setDown(true);
            if (s == 3)
                button->setEnabled(false);
        }
    }
    sheet.show();
    QApplication::processEvents();
    QImage image = sheet.grab().toImage();
    Q_UNUSED(dpr);
    return image;
}

} // namespace quill::preview
