#pragma once
// The main window: the skinned frame around the task list, the category
// drop-down, the tray icon and the window's menu. It wires the program's parts
// together; the parts live in their own classes.

#include "category_lists.h"
#include "command_host.h"
#include "core/live_options.h"
#include "skin/skin_dispatch.h"
#include "skin/skin_params.h"
#include "skin/skin_pictures.h"
#include "task_file.h"
#include "ui/task_list_host.h"
#include "widgets/form.h"

#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>

class QAction;
class QComboBox;
class QMenu;

namespace quill {

struct AppServices;
class CategoryCommands;
class FindBar;
class ISkinObject;
class ReminderAlarm;
class SkinFileReading;
class SkinMenu;
class TAddCategoryForm;
class TCategoriesForm;
class TEditTaskForm;
class TMessageForm;
class TOptionsForm;
class TPrintForm;
class TReminderForm;
class TSkin;
class TSkinLabel;
class TaskCommands;
class TTaskList;
class WindowEffects;

// The windows besides the main window, each made when it is first needed
// (AppWindows says how).
struct AppWindowSet {
    OnDemand<TEditTaskForm> EditTaskForm;
    OnDemand<TReminderForm> ReminderForm;
    OnDemand<TOptionsForm> OptionsForm;
    OnDemand<TPrintForm> PrintForm;
    OnDemand<TMessageForm> MessageForm;
    OnDemand<TCategoriesForm> CategoriesForm;
    OnDemand<TAddCategoryForm> AddCategoryForm;
};

class SyncCommands;
class UndoCommands;
class TMainForm : public TForm, public TaskListHost, public CommandHost {
    Q_OBJECT
public:
    // FormCreate: runs while the window is made, before any other window exists.
    explicit TMainForm(AppServices& services, QWidget* parent = nullptr);
    ~TMainForm() override; // FormDestroy

    // Wires the other windows, each as it is made (their makers are set first).
    void AttachWindows();
    AppWindowSet& Windows() { return windows_; }
    // The category commands (add, edit, delete, close), once the windows exist.
    CategoryCommands* Categories() const { return categoryCommands_.get(); }

    // What the window shows now: the skin's name, its parameters and pictures.
    const QString& SkinName() const { return skinName_; }
    const SkinParams& Params() const { return params_; }
    const SkinPictures& Pictures() const { return pictures_; }
    // The options in force: the stored ones, replaced by the settings dialog's
    // values when it is confirmed.
    const LiveOptions& Options() const { return *options_; }
    // The menu is being opened from the tray (its first item reads "Open").
    bool TrayPopupPending() const { return trayPopupPending_; }
    // The fade has the window translucent (or blending still on at full opacity).
    bool AlphaBlend() const { return alphaBlend_; }
    // The reminder timer runs (from the first activation to the close).
    bool RemindersRunning() const { return Timer1.isActive(); }

    // Commands.
    void ApplyStayOnTop(QWidget* window);
    void OpenSettings();
    void LoadSkin();
    void FillCategoryLists();
    void ComboBox1Change(int index);
    void FormResize();
    void SetupGridColumns();
    void Skin1SkinEvent(ISkinObject* source, const QString& eventName);
    void HideMainWindow(); // to the tray, or minimised where there is none
    void ShowMainWindow(); // restored and in front
    void PopupMenu1Popup();
    void Open1Click();
    void N1Click() { close(); }
    void SKIN_MENU_CLICK(const QString& name);
    void TrayLeftButtonDown();
    void TrayRightButtonDown(const QPoint& globalPos);
    void ActivateVisibleDialog();
    void ShowAbout();

    // TaskListHost.
    void SortTaskList() override;
    void FilterTaskList() override;
    void AddTask() override;
    int EditTask(int index) override;
    void OpenHelpFile() override;
    void ShowPrintDialog() override;
    QMenu* MainPopupMenu() override { return PopupMenu1; }

    // CommandHost.
    void RefreshTaskList(bool repaint) override;
    void RelayoutLists() override { SetupGridColumns(); }
    void ShowAllCategories() override;
    void RecordChange(UndoStep step) override;
    void RefillCategoryLists() override;
    void MakeTaskCurrent(uint64_t key) override;
    QString ShownCategoryName() const override;

    // The close sequence when nobody may be there to answer (SIGTERM, Ctrl+C,
    // logout, the session's end): no window is shown; a failure goes to stderr
    // and is told at the next start (ExitNotice); then the program ends.
    void CloseUnattended();
    // The same for a program that is made to end at once (the X server went
    // away): it only saves. Throws nothing.
    void SaveOnAbruptEnd() noexcept;

    // Hands the whole store to the background save: what every command calls
    // after a change. Throws AppError when the file may not be written; a write
    // that fails later is shown once.
    void SaveTasks();
    // Writes the whole store and waits for the disk (closing); throws AppError
    // when it cannot.
    void SaveTasksAndWait();

    const TaskFile& DataFile() const { return taskFile_; }
    TaskFile& DataFile() { return taskFile_; }
    // The start-up work (data file, lists, reminders) has run.
    bool HasActivated() const { return activated_; }
    const SkinEventRouter& SkinEvents() const { return skinEvents_; }
    SyncCommands* Sync() const { return sync_; }

Q_SIGNALS:
    // The close sequence finished and the window may go: the program ends.
    void CloseAccepted();

protected:
    void FormShow() override;
    void FormActivate() override;
    bool FormCloseQuery() override;
    bool FormKeyUp(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool event(QEvent* event) override;

private:
    // Components; tests find the widgets and the skin by their names.
    TSkin* Skin1 = nullptr;
    TTaskList* List = nullptr; // StringGrid1, ScrollBar1, PopupMenu2
    QComboBox* ComboBox1 = nullptr;
    TSkinLabel* SkinLabel1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* Open1 = nullptr;
    QAction* AddTask2 = nullptr;
    QAction* Settings1 = nullptr;
    QAction* Print1 = nullptr;
    QMenu* Skins1 = nullptr;
    QAction* Help1 = nullptr;
    QAction* About1 = nullptr;
    QAction* N1 = nullptr;              // "Exit"
    QTimer Timer1;                      // reminders; started on the first activation
    ReminderAlarm* Reminders = nullptr; // Timer1's pass, Timer2, MediaPlayer1
    WindowEffects* Effects = nullptr;   // the fade (trnspTimer) and edge snapping
    FindBar* Find = nullptr;            // the find field above the list

    QString skinName_; // SkinName
    SkinParams params_;
    SkinPictures pictures_;
    bool trayPopupPending_ = false;
    bool open1Shows_ = true; // the menu's first item reads "Open" (else "Minimize")
    // The main window's alpha blending (the fade drives the value).
    bool alphaBlend_ = false;
    int alphaBlendValue_ = 255;

    void CreateComponents();
    void CreatePopupMenu1();
    void LoadStartupSkin(SkinFileReading& reading);
    void RegisterSkinEventTable();
    void AttachSkinAndTopBand();
    void AttachReminders();
    void AttachEditor();
    void AttachCategoryWindows();
    void AttachDialogs();
    void PrepareTrayIcon();
    void ShowTrayIconOnce();
    void RunFirstActivation();
    void ApplyAlphaBlend();
    // Saves the tasks and the window's settings without asking anybody; what
    // fails is recorded for the next start, unsaved tasks kept elsewhere.
    void SaveUnattended();
    // The close is decided: no reminder, no start-up work from here on.
    void StopRunning();
    bool AnyVisible(std::initializer_list<QWidget*> windows) const;

    AppServices& services_;
    std::unique_ptr<FixedOptions> options_; // Options()
    AppWindowSet windows_;
    std::unique_ptr<CategoryCommands> categoryCommands_;
    TaskFile taskFile_;
    SkinEventRouter skinEvents_;
    UndoCommands* undo_ = nullptr; // a child: its keys and menu items go with the window
    SyncCommands* sync_ = nullptr; // a child, like undo_
    void AttachSync();
    std::unique_ptr<TaskCommands> taskCommands_; // AddTask, EditTask
    SkinMenu* skinMenu_ = nullptr;
    QString loadedSkinName_;   // the skin the engine holds
    bool skinnedOnce_ = false; // the first showing has put the skin's frame on
    bool activated_ = false;
    QTimer startUpFallback_; // for a window that is never painted nor activated
    int wheelRemainder_ = 0; // a fine-resolution wheel's turn short of a notch
    // How many categories the drop-down lists (it is refilled only after the
    // categories window closes); "All" follows them.
    int categoryRows_ = kInitialCategoryRows;
    int AllRow() const { return RowForFilter(CategoryFilter::All(), categoryRows_); }
    bool dataLoaded_ = false;
    bool closed_ = false;
    bool trayShown_ = false; // the icon went to the tray once (after the first paint)
};

} // namespace quill
