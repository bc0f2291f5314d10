#pragma once
// Raising reminders: the sound, the blinking tray icon, the reminder window and
// what the user's answer does to the task. The pass that decides which reminders
// are due is core/reminder_pass.h; the main window owns one ReminderAlarm and runs
// its Timer1Timer every second.

#include "core/reminder_pass.h"
#include "core/undo_history.h"
#include "widgets/form.h"

#include <QIcon>
#include <QObject>
#include <QTimer>
#include <functional>
#include <map>
#include <string>

namespace quill {

class TMediaPlayer;
class TReminderForm;
class TrayIcon;

class ReminderAlarm : public QObject, public ReminderPassHost {
    Q_OBJECT
public:
    // What the alarm asks of the main window.
    struct Actions {
        std::function<void()> repaint;              // the list shows new overdue marks
        std::function<void()> save;                 // writes the data file; shows its own errors
        std::function<void()> showMainWindow;       // also out of the tray
        std::function<int(int)> editTask;           // the task editor; returns the modal result
        std::function<void(QWidget*)> stayOnTop;    // the "Always on Top" rule for a window
        std::function<void(UndoStep)> recordChange; // the answered snooze, for undo
    };

    // `soundDir`: where a relative sound file name is looked for after the current
    // directory (the folder the default "alarm.wav" is written to).
    // The reminder window is made when the first reminder comes.
    ReminderAlarm(TaskStore& store, OnDemand<TReminderForm>& form, TrayIcon& tray, QString soundDir,
                  Actions actions, QObject* parent = nullptr);
    ~ReminderAlarm() override;

    // The reminder pass (Timer1, every second); a tick while a pass is still
    // running (inside one of its modal windows) does nothing.
    void Timer1Timer();
    bool PassRunning() const { return passRunning_; }
    // One blink step (Timer2, every 400 ms while a reminder waits).
    void Timer2Timer();
    void StartTrayBlink();
    void StopTrayBlink();
    // The reminder window's "EditButton": edits the reminded task and closes the
    // window with OK when the editor was confirmed.
    void EditButtonClick();

    TMediaPlayer& MediaPlayer1() { return *player_; }
    QTimer Timer2;
    bool BlinkPhase = false;
    // The two pictures the tray entry alternates between.
    const QIcon& NormalIcon() const { return normalIcon_; }
    const QIcon& BlinkIcon() const { return blinkIcon_; }

    // ReminderPassHost.
    bool ReminderWindowVisible() const override;
    void OverdueMarksChanged() override;
    void RaiseReminder(int32_t index) override;

private:
    // A sound the player was asked to play, until it reports how opening went.
    struct PendingSound {
        uint64_t key = 0;      // the task's TTASK_ITEM::Key
        std::string soundFile; // its SoundFile as it was then
    };
    void StartSound(const TTASK_ITEM& task);
    void ForgetSoundFile(const PendingSound& sound);

    TaskStore& store_;
    OnDemand<TReminderForm>& form_;
    TrayIcon& tray_;
    QString soundDir_;
    Actions actions_;
    TMediaPlayer* player_;
    QIcon normalIcon_;
    QIcon blinkIcon_;
    bool passRunning_ = false;
    std::map<quint64, PendingSound> pendingSounds_; // by the player's request number
    uint64_t waitingKey_ = 0;                       // the task whose reminder window is open, or 0
};

} // namespace quill
