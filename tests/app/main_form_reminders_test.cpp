// The main window's reminders on real windows: Timer1 raises a due reminder from
// the data file, out of the tray, with the skin's "ReminderForm" buttons routed to
// the reminder window, and the snooze reaches the data file.
#include "app_fixture.h"
#include "support/window_parts.h"

#include "core/data_file.h"
#include "core/date_time.h"
#include "ui/edit_task_form.h"
#include "ui/reminder_alarm.h"
#include "ui/reminder_form.h"

#include <QComboBox>
#include <QFileInfo>
#include <QTest>
#include <QTimer>

#include <cmath>

using namespace quill;

class MainFormRemindersTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void shouldRaiseADueReminderOutOfTheTrayAndSaveTheSnooze() {
        // GIVEN a data file with a reminder that fell due a minute ago
        AppFixture f;
        TaskStore saved;
        AddDefaultCategories(saved);
        TTASK_ITEM task;
        task.Title = "Call the dentist";
        task.ReminderOn = 1;
        task.ReminderDate = task.ReminderTime = Now() - 1.0 / 1440;
        AddTask(saved, task);
        QVERIFY(SaveTasks(saved, f.DataPath().toStdString()).ok);
        TMainForm* main = f.CreateWindows();
        QVERIFY(f.ShowAndActivate());
        main->HideMainWindow(); // in the tray
        TReminderForm* reminder = f.Windows()->Others().ReminderForm();

        // WHEN Timer1's pass raises it, the user first tries "Edit Task" (the editor
        // is cancelled), then picks "2 hours" and clicks OK
        FakeSkinObject templ("ReminderForm", nullptr), edit("EditButton", &templ),
            ok("OKButton", &templ);
        bool wasShown = false, mainShown = false, blinking = false, openAfterEdit = false;
        QString caption;
        TDateTime answered = 0;
        QTimer poll;
        poll.setInterval(20);
        connect(&poll, &QTimer::timeout, this, [&] {
            if (!reminder->IsShowingModal() || wasShown)
                return;
            wasShown = true;
            caption = reminder->windowTitle();
            mainShown = main->isVisible();
            blinking = Part<ReminderAlarm>(main)->Timer2.isActive();
            main->Skin1SkinEvent(&edit, "OnClick");
            openAfterEdit = reminder->IsShowingModal();
            Part<QComboBox>(reminder, "ComboBox1")->setCurrentIndex(6);
            answered = Now();
            main->Skin1SkinEvent(&ok, "OnClick");
        });
        poll.start();
        // the task editor that "Edit Task" opens is cancelled
        TEditTaskForm* editor = f.Windows()->Others().EditTaskForm();
        bool editorShown = false;
        QTimer cancelEditor;
        cancelEditor.setInterval(20);
        connect(&cancelEditor, &QTimer::timeout, this, [&] {
            if (editor->IsShowingModal() && editor->GetModalResult() == mrNone) {
                editorShown = true;
                editor->CancelButtonClick();
            }
        });
        cancelEditor.start();
        QTRY_VERIFY_WITH_TIMEOUT(wasShown && !reminder->isVisible(), 5000);
        QVERIFY(editorShown);

        // THEN the window showed the task, the main window came out of the tray,
        // the icon blinked until OK, and the file holds the moment two hours on
        QCOMPARE(caption, QStringLiteral("0"));
        QVERIFY(mainShown);
        QVERIFY(blinking);
        QVERIFY(openAfterEdit);
        QVERIFY(!Part<ReminderAlarm>(main)->Timer2.isActive());
        TaskStore reread;
        QCOMPARE(int(LoadTasks(reread, f.DataPath().toStdString()).outcome),
                 int(LoadOutcome::Good));
        QCOMPARE(reread.TaskCount(), 1);
        QCOMPARE(reread.Tasks[0].ReminderOn, uint8_t(1));
        QVERIFY(std::abs((reread.Tasks[0].ReminderDate - answered) * 1440 - 120) < 0.1);
        QVERIFY(f.errors.isEmpty());
    }
};

int RunMainFormReminderTests(int argc, char** argv) {
    // No sound server here: the alarm must stay silent without waiting for one.
    qputenv("PULSE_SERVER", "unix:/nonexistent/quillnote-test");
    MainFormRemindersTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "main_form_reminders_test.moc"
