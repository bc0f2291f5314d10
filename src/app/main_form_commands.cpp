// The main window's commands: its menu and the tray icon, the settings dialog,
// skins and the skin's button clicks.
#include "main_form.h"

#include "about_window.h"
#include "app_error_handler.h"
#include "app_services.h"
#include "category_commands.h"
#include "core/app_error.h"
#include "help_file.h"
#include "options_settings.h"
#include "platform/autostart.h"
#include "platform/shell.h"
#include "platform/tray_icon.h"
#include "platform/window_ops.h"
#include "print/print_form.h"
#include "skin/skin.h"
#include "skin/skin_colors.h"
#include "skin/skin_list.h"
#include "skin/skin_pictures.h"
#include "skin_events.h"
#include "task_commands.h"
#include "ui/add_category_form.h"
#include "ui/categories_form.h"
#include "ui/edit_task_form.h"
#include "ui/find_bar.h"
#include "ui/message_form.h"
#include "ui/options_form.h"
#include "ui/reminder_alarm.h"
#include "ui/reminder_form.h"
#include "ui/task_list.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QScopeGuard>
#include <QScrollBar>
#include <QStringList>
#include <QWheelEvent>

#include <cstdlib>

namespace quill {

void TMainForm::CreatePopupMenu1() {
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    Open1 = PopupMenu1->addAction(QStringLiteral("Open"), this, [this] { Open1Click(); });
    Open1->setObjectName(QStringLiteral("Open1"));
    PopupMenu1->setDefaultAction(Open1);
    PopupMenu1->addSeparator();
    AddTask2 = PopupMenu1->addAction(QStringLiteral("Add Task..."), this, [this] {
        AddTask();
        SetupGridColumns();
    });
    Settings1 = PopupMenu1->addAction(QStringLiteral("Settings..."), this, [this] {
        ReportErrors([this] {
            OpenSettings();
            SetupGridColumns();
        });
    });
    Print1 = PopupMenu1->addAction(QStringLiteral("Print..."), this, [this] { ShowPrintDialog(); });
    PopupMenu1->addSeparator();
    Skins1 = PopupMenu1->addMenu(QStringLiteral("Skins"));
    Skins1->setObjectName(QStringLiteral("Skins1"));
    skinMenu_ = new SkinMenu(Skins1, this);
    connect(skinMenu_, &SkinMenu::SkinChosen, this,
            [this](const QString& name) { ReportErrors([this, name] { SKIN_MENU_CLICK(name); }); });
    PopupMenu1->addSeparator();
    Help1 = PopupMenu1->addAction(QStringLiteral("Help..."), this, [this] { OpenHelpFile(); });
    About1 = PopupMenu1->addAction(QStringLiteral("About..."), this, [this] { ShowAbout(); });
    About1->setObjectName(QStringLiteral("About1"));
    PopupMenu1->addSeparator();
    N1 = PopupMenu1->addAction(QStringLiteral("Exit"), this, [this] { N1Click(); });
    N1->setObjectName(QStringLiteral("N1"));
    connect(PopupMenu1, &QMenu::aboutToShow, this, [this] { PopupMenu1Popup(); });
}

void TMainForm::contextMenuEvent(QContextMenuEvent* event) {
    PopupMenu1->popup(event->globalPos());
    event->accept();
}

// The window sees keys before its controls: Delete, Insert and F1 run the list's
// commands wherever the focus is.
bool TMainForm::FormKeyUp(QKeyEvent* event) {
    // In the find field they edit its text.
    const int key = event->key();
    if (Find->HasKeys() && (key == Qt::Key_Delete || key == Qt::Key_Insert))
        return false;
    return !event->isAutoRepeat() && List->FormKeyUp(event->key());
}

// The wheel anywhere over the window moves the list one row per notch; a
// fine-resolution wheel adds up to a notch first.
void TMainForm::wheelEvent(QWheelEvent* event) {
    constexpr int kNotch = 120;
    wheelRemainder_ += event->angleDelta().y();
    while (std::abs(wheelRemainder_) >= kNotch) {
        const int step = wheelRemainder_ < 0 ? -kNotch : kNotch;
        wheelRemainder_ -= step;
        List->FormMouseWheel(step);
    }
    event->accept();
}

// The category drop-down and the list's scroll bar would take the wheel for
// themselves (changing the filter, or moving three rows a notch): it moves the
// list instead.
bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel && (watched == ComboBox1 || watched == List->ScrollBar1)) {
        wheelEvent(static_cast<QWheelEvent*>(event));
        return true;
    }
    return TForm::eventFilter(watched, event);
}

void TMainForm::PopupMenu1Popup() {
    // Opened from the tray the first item shows the window, else it hides it.
    open1Shows_ = trayPopupPending_;
    Open1->setText(open1Shows_ ? QStringLiteral("Open") : QStringLiteral("Minimize"));
    trayPopupPending_ = false;
    skinMenu_->Rebuild(GetSkinListIn(services_.SkinFolders()), skinName_);
}

void TMainForm::Open1Click() {
    if (open1Shows_)
        ShowMainWindow();
    else
        HideMainWindow();
}

void TMainForm::HideMainWindow() {
    // Without a tray nothing could bring a hidden window back: minimise instead.
    if (services_.tray->IsAvailable())
        hide();
    else
        showMinimized();
}

void TMainForm::ShowMainWindow() {
    WindowOps::BringToFront(this);
}

bool TMainForm::AnyVisible(std::initializer_list<QWidget*> windows) const {
    for (QWidget* w : windows) {
        if (w && w->isVisible())
            return true;
    }
    return false;
}

void TMainForm::TrayLeftButtonDown() {
    const auto& w = windows_;
    if (!AnyVisible({w.EditTaskForm.IfMade(), w.ReminderForm.IfMade(), w.OptionsForm.IfMade(),
                     w.CategoriesForm.IfMade(), w.AddCategoryForm.IfMade()}))
        ShowMainWindow();
    else
        ActivateVisibleDialog();
}

void TMainForm::TrayRightButtonDown(const QPoint& globalPos) {
    const auto& w = windows_;
    if (AnyVisible({w.EditTaskForm.IfMade(), w.ReminderForm.IfMade(), w.OptionsForm.IfMade()})) {
        ActivateVisibleDialog();
        return;
    }
    if (isVisible())
        WindowOps::BringToFront(this);
    trayPopupPending_ = true;
    PopupMenu1->popup(globalPos);
}

void TMainForm::ActivateVisibleDialog() {
    const auto& w = windows_;
    for (QWidget* dialog : {static_cast<QWidget*>(w.EditTaskForm.IfMade()),
                            static_cast<QWidget*>(w.ReminderForm.IfMade()),
                            static_cast<QWidget*>(w.OptionsForm.IfMade()),
                            static_cast<QWidget*>(w.CategoriesForm.IfMade()),
                            static_cast<QWidget*>(w.PrintForm.IfMade())}) {
        if (dialog && dialog->isVisible()) {
            WindowOps::BringToFront(dialog);
            return;
        }
    }
}

void TMainForm::OpenSettings() {
    TOptionsForm* dialog = windows_.OptionsForm();
    if (!dialog)
        return;
    // A second request while the dialog is open only brings it forward.
    if (dialog->isVisible()) {
        WindowOps::BringToFront(dialog);
        return;
    }
    // The dialog edits a copy; cancelled, it leaves the options as they are.
    dialog->Load(*options_);
    if (dialog->ShowModal() != mrOk)
        return;
    options_->Assign(dialog->Options());
    // Accepted: every choice is applied and stored even when one step fails;
    // each failure is told once everything else is done. A different skin is
    // loaded first, so the columns below fit it.
    QStringList failures;
    const auto attempt = [&failures](const std::function<void()>& step) {
        failures << CaptureAppError(step);
    };
    if (const std::optional<QString> skin = dialog->ChosenSkin()) {
        skinName_ = *skin;
        attempt([this] { LoadSkin(); });
    }
    // Then the other options take effect at once.
    SetupGridColumns();
    attempt([this] { services_.autostart->SetAutoStart(options_->StartWithWindows()); });
    alphaBlend_ = options_->Transparency();
    ApplyAlphaBlend();
    ApplyStayOnTop(this);
    SortTaskList();
    // Stored last, once everything they drive has been applied.
    attempt([this] { WriteProgramOptions(*services_.settings, *options_); });
    failures.removeAll(QString());
    for (const QString& failure : failures)
        ShowAppError(failure);
}

void TMainForm::LoadSkin() {
    // A skin that fails to load changes nothing, and SkinName keeps naming the skin
    // that is shown.
    List->ResetListInput();
    // The window keeps its place and size; another frame changes its client area.
    // Loading the skin already re-applies its templates to every window.
    KeepOuterSizeOnFrameChange(true);
    const auto keepNoLonger = qScopeGuard([this] { KeepOuterSizeOnFrameChange(false); });
    QString error;
    if (!Skin1->LoadSkin(FindSkinFileIn(services_.SkinFolders(), skinName_), &error)) {
        if (!loadedSkinName_.isEmpty())
            skinName_ = loadedSkinName_;
        throw AppError(error.toStdString());
    }
    loadedSkinName_ = skinName_;
    // The list draws the pictures of the skin that is shown (the check column
    // takes its width from them), and the description may set its columns.
    LoadSkinPictures(*Skin1, pictures_);
    LoadInforInDescription(params_, Skin1->GetDescription().toStdString());
    SetupGridColumns();
    Skin1->ApplyWindow(this);
    List->SetBackgroundColor(SkinColorToQColor(Skin1->WindowColor(), Qt::white));
    // The new frame may leave the list a different client area.
    FormResize();
}

void TMainForm::SKIN_MENU_CLICK(const QString& name) {
    skinName_ = name;
    LoadSkin();
    FormResize();
}

void TMainForm::RegisterSkinEventTable() {
    SkinEventActions a;
    const auto closeWith = [](auto getForm, int result) {
        return [getForm, result] {
            if (TForm* form = getForm())
                form->SetModalResult(result);
        };
    };
    a.hideMainWindow = [this] { HideMainWindow(); };
    a.addTaskAndRelayout = [this] {
        AddTask();
        SetupGridColumns();
    };
    a.deleteTaskAndRelayout = [this] {
        List->DeleteTask();
        SetupGridColumns();
    };
    a.settingsAndRelayout = [this] {
        ReportErrors([this] {
            OpenSettings();
            SetupGridColumns();
        });
    };
    a.showPrintDialog = [this] { ShowPrintDialog(); };
    const auto categories = [this](void (CategoryCommands::*command)()) {
        return [this, command] {
            if (categoryCommands_)
                (categoryCommands_.get()->*command)();
        };
    };
    a.addCategory = categories(&CategoryCommands::AddCategory);
    a.deleteCategory = categories(&CategoryCommands::DeleteCurrentCategory);
    a.editCategory = categories(&CategoryCommands::EditCurrentCategory);
    a.closeCategoriesWindow = categories(&CategoryCommands::CloseCategoriesWindow);
    a.addCategoryOk = closeWith([this] { return windows_.AddCategoryForm.IfMade(); }, mrOk);
    a.addCategoryCancel = closeWith([this] { return windows_.AddCategoryForm.IfMade(); }, mrCancel);
    a.reminderOk = closeWith([this] { return windows_.ReminderForm.IfMade(); }, mrOk);
    a.reminderEdit = [this] {
        if (Reminders)
            Reminders->EditButtonClick();
    };
    a.editTaskOk = [this] {
        if (TEditTaskForm* editor = windows_.EditTaskForm.IfMade())
            editor->OkButtonClick();
    };
    a.editTaskCancel = closeWith([this] { return windows_.EditTaskForm.IfMade(); }, mrCancel);
    a.optionsOk = closeWith([this] { return windows_.OptionsForm.IfMade(); }, mrOk);
    a.optionsCancel = closeWith([this] { return windows_.OptionsForm.IfMade(); }, mrCancel);
    a.printOk = closeWith([this] { return windows_.PrintForm.IfMade(); }, mrOk);
    a.printCancel = closeWith([this] { return windows_.PrintForm.IfMade(); }, mrCancel);
    RegisterSkinEvents(skinEvents_, a);
}

void TMainForm::Skin1SkinEvent(ISkinObject* source, const QString& eventName) {
    skinEvents_.Dispatch(source, eventName);
}

void TMainForm::AddTask() {
    if (taskCommands_)
        taskCommands_->AddTask();
}

int TMainForm::EditTask(int index) {
    return taskCommands_ ? taskCommands_->EditTask(index) : mrNone;
}

void TMainForm::OpenHelpFile() {
    // Pressing F1 and seeing nothing is no answer: a help that cannot be shown says so.
    const QString problem =
        OpenHelp(services_.exeDir, services_.location.sharedDir, OpenWithShell, HasOpenerFor);
    if (!problem.isEmpty())
        ShowMessageDialog(problem, QStringLiteral("Attention"), kNoticeMessage);
}

void TMainForm::ShowPrintDialog() {
    if (TPrintForm* print = windows_.PrintForm())
        print->ShowModal();
}

void TMainForm::ShowAbout() {
    ShowAboutWindow(MakeAboutInfo(services_), *Skin1, this,
                    [this](QWidget* window) { ApplyStayOnTop(window); });
}

} // namespace quill
