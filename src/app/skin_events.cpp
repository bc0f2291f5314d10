#include "skin_events.h"

#include "skin/skin_dispatch.h"

namespace quill {

void RegisterSkinEvents(SkinEventRouter& router, const SkinEventActions& a) {
    const auto add = [&router](const char* object, const char* templ,
                               const std::function<void()>& action) {
        router.Add(QString::fromLatin1(object), QString::fromLatin1(templ), action);
    };
    add("ButtonMinimize", "MainForm", a.hideMainWindow);
    add("AddButton", "MainForm", a.addTaskAndRelayout);
    add("RemoveButton", "MainForm", a.deleteTaskAndRelayout);
    add("SettingsButton", "MainForm", a.settingsAndRelayout);
    add("AddButton", "CategoriesForm", a.addCategory);
    add("RemoveButton", "CategoriesForm", a.deleteCategory);
    add("EditButton", "CategoriesForm", a.editCategory);
    add("ButtonMinimize", "CategoriesForm", a.closeCategoriesWindow);
    add("OKButton", "CategoriesForm", a.closeCategoriesWindow);
    add("OKButton", "AddCategoryForm", a.addCategoryOk);
    add("CancelButton", "AddCategoryForm", a.addCategoryCancel);
    add("PrintButton", "", a.showPrintDialog); // any template
    add("OKButton", "ReminderForm", a.reminderOk);
    add("EditButton", "ReminderForm", a.reminderEdit);
    add("OKButton", "EditTaskForm", a.editTaskOk);
    add("CancelButton", "EditTaskForm", a.editTaskCancel);
    add("OKButton", "OptionsForm", a.optionsOk);
    add("CancelButton", "OptionsForm", a.optionsCancel);
    add("OKButton", "PrintForm", a.printOk);
    add("CancelButton", "PrintForm", a.printCancel);
}

} // namespace quill
