#pragma once
// The table of skin button clicks: which button of which window template runs
// which command. Every row is registered in table order; a window whose
// commands are not built yet leaves its action empty, and its row does nothing.

#include <functional>

namespace quill {

class SkinEventRouter;

struct SkinEventActions {
    std::function<void()> hideMainWindow;        // "ButtonMinimize" on "MainForm"
    std::function<void()> addTaskAndRelayout;    // "AddButton" on "MainForm"
    std::function<void()> deleteTaskAndRelayout; // "RemoveButton" on "MainForm"
    std::function<void()> settingsAndRelayout;   // "SettingsButton" on "MainForm"
    std::function<void()> addCategory;           // "AddButton" on "CategoriesForm"
    std::function<void()> deleteCategory;        // "RemoveButton" on "CategoriesForm"
    std::function<void()> editCategory;          // "EditButton" on "CategoriesForm"
    std::function<void()> closeCategoriesWindow; // "ButtonMinimize"/"OKButton"
    std::function<void()> addCategoryOk;         // "OKButton" on "AddCategoryForm"
    std::function<void()> addCategoryCancel;     // "CancelButton" on "AddCategoryForm"
    std::function<void()> showPrintDialog;       // "PrintButton" on any template
    std::function<void()> reminderOk;            // "OKButton" on "ReminderForm"
    std::function<void()> reminderEdit;          // "EditButton" on "ReminderForm"
    std::function<void()> editTaskOk;            // "OKButton" on "EditTaskForm"
    std::function<void()> editTaskCancel;        // "CancelButton" on "EditTaskForm"
    std::function<void()> optionsOk;             // "OKButton" on "OptionsForm"
    std::function<void()> optionsCancel;         // "CancelButton" on "OptionsForm"
    std::function<void()> printOk;               // "OKButton" on "PrintForm"
    std::function<void()> printCancel;           // "CancelButton" on "PrintForm"
};

// Adds the whole table to `router`, top to bottom.
void RegisterSkinEvents(SkinEventRouter& router, const SkinEventActions& actions);

} // namespace quill
