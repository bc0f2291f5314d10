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
namespace {

// A dialog of the main window, made the first time it is needed: start-up makes
// none of them, and none is restyled with the main window's skin until it exists.
template <class W> void MakeOnDemand(OnDemand<W>& slot, TMainForm* main) {
    slot.SetMaker([main] {
        auto* dialog = new W(main);
        // Like the main window, the dialogs have no taskbar buttons of their own.
        WindowOps::SetSkipTaskbar(dialog);
        return dialog;
    });
}

} // namespace

AppWindows::AppWindows(AppServices& services) : mainForm_(std::make_unique<TMainForm>(services)) {
    TMainForm* main = mainForm_.get();
    AppWindowSet& w = main->Windows();
    MakeOnDemand(w.EditTaskForm, main);
    MakeOnDemand(w.ReminderForm, main);
    MakeOnDemand(w.OptionsForm, main);
    MakeOnDemand(w.PrintForm, main);
    MakeOnDemand(w.MessageForm, main);
    MakeOnDemand(w.CategoriesForm, main);
    MakeOnDemand(w.AddCategoryForm, main);
    // Every message of the program goes to this window, made with the first one.
    TMessageForm::SetMaker([&w] { return w.MessageForm(); });

    // The message dialog raises the main window, the editor when it is open, then
    // itself, and only while "Always on Top" is on.
    w.MessageForm.WhenMade([main, &w](TMessageForm* dialog) {
        QObject::connect(dialog, &TForm::Activated, main, [main, &w, dialog] {
            if (!main->Options().AlwaysOnTop())
                return;
            WindowOps::SetStayOnTop(main, true);
            if (TEditTaskForm* editor = w.EditTaskForm.IfMade(); editor && editor->isVisible())
                WindowOps::SetStayOnTop(editor, true);
            WindowOps::SetStayOnTop(dialog, true);
        });
    });
    main->AttachWindows();
}

AppWindows::~AppWindows() {
    TMessageForm::SetMaker(nullptr);
}

} // namespace quill
