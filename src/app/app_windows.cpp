#include "app_windows.h"

#include "app_services.h"
#include "platform/window_ops.h"
#include "print/print_form.h"
#include "ui/add_category_form.h"
#include "ui/categories_form.h"
#include "ui/edit_task_form.h"
#include "ui/message_form.h"
#include "ui/options_form.h"
#include "ui/reminder_form.h"

namespace quill {

AppWindows::AppWindows(AppServices& services) : mainForm_(std::make_unique<TMainForm>(services)) {
    TMainForm* main = mainForm_.get();
    AppWindowSet w;
    w.EditTaskForm = new TEditTaskForm(main);
    w.ReminderForm = new TReminderForm(main);
    w.OptionsForm = new TOptionsForm(main);
    w.PrintForm = new TPrintForm(main);
    w.MessageForm = new TMessageForm(main);
    w.CategoriesForm = new TCategoriesForm(main);
    w.AddCategoryForm = new TAddCategoryForm(main);

    // The message dialog raises the main window, the editor when it is open, then
    // itself, and only while "Always on Top" is on.
    QObject::connect(w.MessageForm, &TForm::Activated, main,
                     [main, editor = w.EditTaskForm, dialog = w.MessageForm] {
                         if (!main->Options().AlwaysOnTop())
                             return;
                         WindowOps::SetStayOnTop(main, true);
                         if (editor->isVisible())
                             WindowOps::SetStayOnTop(editor, true);
                         WindowOps::SetStayOnTop(dialog, true);
                     });
    // Like the main window, the dialogs have no taskbar buttons of their own.
    for (QWidget* dialog :
         std::initializer_list<QWidget*>{w.EditTaskForm, w.ReminderForm, w.OptionsForm, w.PrintForm,
                                         w.MessageForm, w.CategoriesForm, w.AddCategoryForm})
        WindowOps::SetSkipTaskbar(dialog);
    main->AttachWindows(w);
}

AppWindows::~AppWindows() = default;

} // namespace quill
