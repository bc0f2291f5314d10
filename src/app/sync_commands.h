#pragma once
// "Sync...": the Sync window, and the syncs the program runs on its own: after
// start-up, a few seconds after a change (when syncing on every change), at the
// chosen interval and on "Sync now". A run works on a copy of the tasks; when
// it ends, its result replaces the tasks only if they did not change meanwhile
// and no window waits for an answer, else it is set aside and run again
// (the server then shows what was sent as the same change on both sides).
// Nothing here waits for the network or shows a modal window.

#include "sync/sync_schedule.h"
#include "ui/sync_form.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <initializer_list>

class QMenu;
class QWidget;

namespace quill {

class CommandHost;
class SettingsStore;
class SyncRun;
class TrayIcon;
struct SyncSummary;
struct TaskStore;

// What the sync asks of the main window.
struct SyncHooks {
    std::function<void()> saveTasksAndWait;   // throws AppError when it cannot
    std::function<bool()> savingAllowed;      // the data file was read and may be written
    std::function<uint64_t()> currentKey;     // the list's current task; 0: none
    std::function<void()> categoriesChanged;  // the category lists refill
    std::function<void()> forgetUndo;         // the undo history goes
    std::function<void(TForm*)> attachWindow; // the skin and the stay-on-top band
};

// The account in the program's settings.
SyncAccount ReadSyncAccount(const SettingsStore& settings);
void WriteSyncAccount(SettingsStore& settings, const SyncAccount& account);

class SyncCommands : public QObject {
    Q_OBJECT
public:
    SyncCommands(QWidget* window, CommandHost& host, TaskStore& store, SettingsStore& settings,
                 TrayIcon& tray, QString dataFile, SyncHooks hooks);
    ~SyncCommands() override;

    // Appends "Sync..." after what each menu already holds.
    void AddMenuItems(std::initializer_list<QMenu*> menus);
    // Start-up has read the tasks: the schedule begins.
    void Start();
    // The tasks were saved: a change may be waiting to be sent.
    void TasksSaved();
    void ShowWindow();
    void SyncNow();

    TSyncForm* Window() const { return form_; }
    bool Running() const { return run_ != nullptr; }
    // Whether a sync will start on its own: a change, the interval or a retry.
    bool Scheduled() const { return timer_.isActive(); }

private:
    void Reschedule();
    void RunDue();
    void StartRun();
    void Finished(const SyncSummary& summary);
    // Takes the run's tasks and state and saves them; empty, or what failed.
    QString Keep();
    // A run set aside: keeps its conflict copies and first links
    // (AdoptFromSetAsideRun); empty, or what failed.
    QString KeepWhatTheServerHolds();
    void Report(bool ok, const QString& text);
    void UpdateStatusLine();
    void FindTaskLists(bool create, const QString& name);
    // Takes the window's account and password; keeps the password where chosen.
    void TakeWindowValues();
    void ObtainPassword(std::function<void()> then);
    QString PasswordFile() const;
    QString PasswordKey() const;
    bool Configured() const;

    QWidget* window_;
    CommandHost& host_;
    TaskStore& store_;
    SettingsStore& settings_;
    TrayIcon& tray_;
    QString dataFile_;
    SyncHooks hooks_;
    QPointer<TSyncForm> form_;
    SyncAccount account_;
    QString password_;
    ScheduleState schedule_;
    bool started_ = false;
    bool waitingForPassword_ = false;  // the server refused it: no runs until the user acts
    bool waitingForDeletions_ = false; // a run stopped before deleting many: the user decides
    bool allowDeletions_ = false;      // the user allowed them: for the next run that is kept
    QString refusedPassword_;
    QString passwordProblem_;
    QTimer timer_;
    QTimer statusTimer_; // "2 minutes ago" moves on while the window shows
    SyncRun* run_ = nullptr;
    bool byHand_ = false;         // the running sync was asked for with "Sync now"
    uint64_t savedSignature_ = 0; // the tasks as the last sync started or left them
    QDateTime lastSynced_;
    QString lastSummary_;
    QString lastError_;
};

} // namespace quill
