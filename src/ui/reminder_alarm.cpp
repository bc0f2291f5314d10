#include "reminder_alarm.h"

#include "platform/media_player.h"
#include "platform/tray_icon.h"
#include "reminder_form.h"

#include <QComboBox>
#include <QScopeGuard>

namespace quill {

namespace {
QString FromBytes(const std::string& bytes) {
    return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}
} // namespace

ReminderAlarm::ReminderAlarm(TaskStore& store, TReminderForm& form, TrayIcon& tray,
                             QString soundDir, Actions actions, QObject* parent)
    : QObject(parent), store_(store), form_(form), tray_(tray), soundDir_(std::move(soundDir)),
      actions_(std::move(actions)), player_(new TMediaPlayer(this)), normalIcon_(NormalTrayIcon()),
      blinkIcon_(BlinkTrayIcon()) {
    Timer2.setInterval(400);
    connect(&Timer2, &QTimer::timeout, this, [this] { Timer2Timer(); });
    if (actions_.stayOnTop)
        form_.SetActivateHandler(actions_.stayOnTop);
}

ReminderAlarm::~ReminderAlarm() = default;

void ReminderAlarm::Timer1Timer() {
    // The timer goes on ticking inside every modal window the pass opens (the
    // reminder, the editor it leads to, an error box of a failed save): a pass
    // never starts inside another one.
    if (passRunning_)
        return;
    passRunning_ = true;
    const auto done = qScopeGuard([this] { passRunning_ = false; });
    RunReminderPass(store_, *this);
}

bool ReminderAlarm::ReminderWindowVisible() const {
    return form_.isVisible();
}

void ReminderAlarm::OverdueMarksChanged() {
    if (actions_.repaint)
        actions_.repaint();
    if (actions_.save)
        actions_.save();
}

void ReminderAlarm::StartSound(TTASK_ITEM& task) {
    if (!task.PlaySound)
        return;
    // A relative name (the editor's default is the bare "alarm.wav") is found in
    // the current directory or beside the program; the stored name stays as it is.
    const QString path = ResolveSoundFile(FromBytes(task.SoundFile), soundDir_);
    if (path.isEmpty())
        return; // a missing file: no sound this time, the setting stays
    player_->FileName = path;
    if (!player_->Open()) {
        // The file is there but holds no sound: later reminders stay silent.
        // (A missing sound device is not an open failure and changes nothing.)
        player_->Close();
        if (player_->LastError() == TMediaPlayer::OpenError::NotSound) {
            task.PlaySound = 0;
            task.SoundFile.clear();
        }
        return;
    }
    player_->Play();
}

void ReminderAlarm::RaiseReminder(int32_t index) {
    if (index < 0 || index >= store_.TaskCount())
        return;
    TTASK_ITEM& task = store_.Tasks[static_cast<size_t>(index)];
    if (task.Key == 0)
        task.Key = NewTaskKey();
    const uint64_t key = task.Key;
    StartSound(task);
    form_.ShowTask(index, FromBytes(task.Title), FromBytes(task.Description));
    StartTrayBlink();
    if (actions_.showMainWindow)
        actions_.showMainWindow();
    if (form_.ShowModal() != mrOk)
        return; // the sound goes on, the icon blinks, the reminder stays due

    player_->Stop();
    StopTrayBlink();
    // The task may have been edited (and moved) or removed meanwhile.
    const int32_t now = FindTaskByKey(store_, key);
    if (now >= 0)
        ApplySnoozeChoice(store_.Tasks[static_cast<size_t>(now)], form_.ComboBox1->currentIndex(),
                          Now());
    if (actions_.save)
        actions_.save();
}

void ReminderAlarm::EditButtonClick() {
    const int index = form_.TaskIndex();
    if (!actions_.editTask || index < 0)
        return;
    if (actions_.editTask(index) == mrOk)
        form_.SetModalResult(mrOk);
}

void ReminderAlarm::StartTrayBlink() {
    Timer2.start();
    BlinkPhase = true;
}

void ReminderAlarm::StopTrayBlink() {
    tray_.SetIcon(normalIcon_);
    Timer2.stop();
}

void ReminderAlarm::Timer2Timer() {
    tray_.SetIcon(BlinkPhase ? normalIcon_ : blinkIcon_);
    BlinkPhase = !BlinkPhase;
}

} // namespace quill
