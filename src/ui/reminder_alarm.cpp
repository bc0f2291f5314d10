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

ReminderAlarm::ReminderAlarm(TaskStore& store, OnDemand<TReminderForm>& form, TrayIcon& tray,
                             QString soundDir, Actions actions, QObject* parent)
    : QObject(parent), store_(store), form_(form), tray_(tray), soundDir_(std::move(soundDir)),
      actions_(std::move(actions)), player_(new TMediaPlayer(this)), normalIcon_(NormalTrayIcon()),
      blinkIcon_(BlinkTrayIcon()) {
    Timer2.setInterval(400);
    connect(&Timer2, &QTimer::timeout, this, [this] { Timer2Timer(); });
    connect(player_, &TMediaPlayer::Opened, this,
            [this](quint64 request, TMediaPlayer::OpenError error) {
                const auto it = pendingSounds_.find(request);
                if (it == pendingSounds_.end())
                    return;
                const PendingSound sound = std::move(it->second);
                pendingSounds_.erase(it);
                // Only a file that holds no sound is the file's fault; a missing
                // sound device never changes the task.
                if (error == TMediaPlayer::OpenError::NotSound)
                    ForgetSoundFile(sound);
            });
    if (actions_.stayOnTop) {
        form_.WhenMade([this](TReminderForm* form) {
            connect(form, &TForm::Activated, this, [this, form] { actions_.stayOnTop(form); });
        });
    }
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
    return form_.IfMade() && form_.IfMade()->isVisible();
}

void ReminderAlarm::OverdueMarksChanged() {
    if (actions_.repaint)
        actions_.repaint();
    if (actions_.save)
        actions_.save();
}

void ReminderAlarm::StartSound(const TTASK_ITEM& task) {
    if (!task.PlaySound)
        return;
    // A relative name (the editor's default is the bare "alarm.wav") is found in
    // the current directory or beside the program; the stored name stays as it is.
    const QString path = ResolveSoundFile(FromBytes(task.SoundFile), soundDir_);
    if (path.isEmpty())
        return; // a missing file: no sound this time, the setting stays
    // The file is opened on the player's thread: the reminder shows without
    // waiting for it, and a file that holds no sound is reported back later.
    pendingSounds_[player_->Play(path)] = {task.Key, task.SoundFile};
}

// The file holds no sound: later reminders of the task stay silent. The task is
// found again by its key, since it may have moved or gone while the file was
// being opened, and is left alone when its sound was changed meanwhile.
void ReminderAlarm::ForgetSoundFile(const PendingSound& sound) {
    const int32_t index = FindTaskByKey(store_, sound.key);
    if (index < 0)
        return;
    TTASK_ITEM& task = store_.Tasks[static_cast<size_t>(index)];
    if (task.SoundFile != sound.soundFile)
        return;
    task.PlaySound = 0;
    task.SoundFile.clear();
    // While the reminder waits, its answer writes the data file; after it, the
    // change is written now.
    if (waitingKey_ != sound.key && actions_.save)
        actions_.save();
}

void ReminderAlarm::RaiseReminder(int32_t index) {
    if (index < 0 || index >= store_.TaskCount())
        return;
    TTASK_ITEM& task = store_.Tasks[static_cast<size_t>(index)];
    const uint64_t key = KeyOf(task);
    StartSound(task);
    TReminderForm* form = form_();
    form->ShowTask(index, FromBytes(task.Title), FromBytes(task.Description));
    StartTrayBlink();
    if (actions_.showMainWindow)
        actions_.showMainWindow();
    waitingKey_ = key;
    const int answer = form->ShowModal();
    waitingKey_ = 0;
    if (answer != mrOk)
        return; // the sound goes on, the icon blinks, the reminder stays due

    player_->Stop();
    StopTrayBlink();
    // The task may have been edited (and moved) or removed meanwhile.
    const int32_t now = FindTaskByKey(store_, key);
    if (now >= 0) {
        TTASK_ITEM& task = store_.Tasks[static_cast<size_t>(now)];
        const TTASK_ITEM before = task;
        ApplySnoozeChoice(task, form->SnoozeChoice(), Now());
        if (actions_.recordChange && !(before == task))
            actions_.recordChange(TaskStep("Snooze", &before, &task, now));
    }
    if (actions_.save)
        actions_.save();
}

void ReminderAlarm::EditButtonClick() {
    TReminderForm* form = form_.IfMade();
    const int index = form ? form->TaskIndex() : -1;
    if (!actions_.editTask || index < 0)
        return;
    if (actions_.editTask(index) == mrOk)
        form->SetModalResult(mrOk);
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
