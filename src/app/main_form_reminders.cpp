// The main window's reminders: Timer1 runs the reminder pass, which raises the
// reminder window, the alarm sound and the tray blink (ui/reminder_alarm.h).
#include "main_form.h"

#include "app_error_handler.h"
#include "app_services.h"
#include "ui/reminder_alarm.h"
#include "ui/reminder_form.h"
#include "ui/task_list.h"

namespace quill {

void TMainForm::AttachReminders() {
    if (Reminders)
        return;
    ReminderAlarm::Actions actions;
    actions.repaint = [this] { List->Repaint(); };
    actions.save = [this] { ReportErrors([this] { SaveTasks(); }); };
    // Out of the tray, or back from the task bar; a window already on screen is
    // not raised over a dialog the user has open (the reminder comes on top).
    actions.showMainWindow = [this] {
        if (!isVisible() || isMinimized())
            ShowMainWindow();
    };
    actions.editTask = [this](int index) { return EditTask(index); };
    actions.stayOnTop = [this](QWidget* window) { ApplyStayOnTop(window); };
    actions.recordChange = [this](UndoStep step) { RecordChange(std::move(step)); };
    Reminders = new ReminderAlarm(services_.store, windows_.ReminderForm, *services_.tray,
                                  services_.location.dataDir, std::move(actions), this);
    connect(&Timer1, &QTimer::timeout, Reminders, &ReminderAlarm::Timer1Timer);
}

} // namespace quill
