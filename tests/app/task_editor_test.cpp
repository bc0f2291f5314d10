// The task editor and its commands on the real windows: the check-box rules,
// what AddTask and EditTask store, the keys, the input check, cancelling, and
// tasks that move or go while the editor is open.
#include "app_fixture.h"
#include "support/window_parts.h"

#include "app/quillnote_application.h"
#include "core/data_file.h"
#include "core/date_time.h"
#include "core/reminder_pass.h"
#include "platform/window_ops.h"
#include "support/fixed_clock.h"
#include "support/task_builder.h"
#include "ui/categories_form.h"
#include "ui/edit_task_form.h"
#include "ui/message_form.h"
#include "ui/options_form.h"
#include "ui/task_list.h"
#include "widgets/date_time_picker.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace quill;

namespace {

// 2026-03-10 14:25:30, a Tuesday.
const TDateTime kNow = EncodeDateTime({2026, 3, 10, 14, 25, 30, 0});
const TDateTime kToday = DatePart(kNow);
const TDateTime kTimeNow = TimePart(kNow);

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Runs `action` once `form` shows modally (from inside its modal loop). The action
// closes the form; when a failed check cut it short, the form is cancelled.
void WhenModal(TForm* form, std::function<void()> action) {
    auto* timer = new QTimer(form);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, form, [form, timer, action] {
        if (!form->IsShowingModal())
            return;
        if (form->GetModalResult() != mrNone)
            return; // still the previous showing
        timer->stop();
        timer->deleteLater();
        action();
        if (form->IsShowingModal() && form->GetModalResult() == mrNone)
            form->SetModalResult(mrCancel);
    });
    timer->start();
}

// A task with every field set, so a field the editor drops shows.
TTASK_ITEM Task(const char* title, int category) {
    TTASK_ITEM t = test::MakeTask(title, 0, category);
    t.Description = "line one\nline two";
    t.DueDate = kToday - 30;
    t.ReminderDate = kToday - 20;
    t.ReminderTime = 0.25;
    t.SoundFile = "/music/bell.ogg";
    t.Key = NewTaskKey();
    return t;
}

// One program with its windows shown, its clock fixed and the editor's notices
// recorded ("box: " marks the standard message box).
struct EditorFixture {
    AppFixture app;
    TMainForm* main = nullptr;
    TEditTaskForm* editor = nullptr;
    QStringList notices;

    EditorFixture() {
        SetClock(std::make_shared<test::FixedClock>(kNow));
        main = app.CreateWindows();
        editor = app.Windows()->Others().EditTaskForm();
        editor->SetNoticeHandlers([this](const QString& text) { notices << text; },
                                  [this](const QString& text) { notices << "box: " + text; });
        if (!app.ShowAndActivate())
            qFatal("the main window was not activated");
    }
    ~EditorFixture() { SetClock(nullptr); }
    TaskStore& Store() { return app.Services().store; }
    // Puts tasks in the store and the file, as if they had been there at start.
    void Seed(std::vector<TTASK_ITEM> tasks) {
        Store().Tasks = std::move(tasks);
        main->FilterTaskList();
        main->SortTaskList();
        main->SetupGridColumns();
    }
    TTASK_ITEM StoredInFile(int i) {
        TaskStore read;
        LoadTasks(read, app.DataPath().toStdString());
        return read.Tasks.at(size_t(i));
    }
};

const QString kEmptyTitle = QStringLiteral("You have to enter something in task field.");
const QString kNoCategory =
    QStringLiteral("You should create at least one category in order to create new task. "
                   "Please create new category.");

} // namespace

class TaskEditorTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void shouldRunACheckBoxRuleOnEveryChangeOfStateAndOnlyThen() {
        EditorFixture f;
        TEditTaskForm* e = f.editor;
        // GIVEN the design states: "Sound:" checked, the others not
        QVERIFY(Part<QCheckBox>(e, "CheckBox2")->isChecked() &&
                !Part<QCheckBox>(e, "CheckBox1")->isChecked());
        QVERIFY(!Part<TDateTimePicker>(e, "DateTimePicker1")->isEnabled() &&
                !Part<QLineEdit>(e, "Edit2")->isEnabled());
        // WHEN a box is set to the state it has, its rule does not run
        Part<QLineEdit>(e, "Edit2")->setText("mine.wav");
        Part<QCheckBox>(e, "CheckBox2")->setChecked(true);
        QCOMPARE(Part<QLineEdit>(e, "Edit2")->text(), QStringLiteral("mine.wav"));
        QVERIFY(!Part<QLineEdit>(e, "Edit2")->isEnabled());
        // "Sound:" off then on: the field follows the box and gets the default sound
        Part<QCheckBox>(e, "CheckBox2")->setChecked(false);
        QVERIFY(!Part<QLineEdit>(e, "Edit2")->isEnabled() &&
                !Part<QPushButton>(e, "Button1")->isEnabled());
        Part<QCheckBox>(e, "CheckBox2")->setChecked(true);
        QVERIFY(Part<QLineEdit>(e, "Edit2")->isEnabled() &&
                Part<QPushButton>(e, "Button1")->isEnabled());
        QCOMPARE(Part<QLineEdit>(e, "Edit2")->text(), QStringLiteral("alarm.wav"));

        // "Due date:" proposes tomorrow and enables its picker; unchecking keeps the value
        Part<TDateTimePicker>(e, "DateTimePicker1")->SetDateTime(kToday + 40);
        Part<QCheckBox>(e, "CheckBox3")->setChecked(true);
        QCOMPARE(Part<TDateTimePicker>(e, "DateTimePicker1")->DateTime(), kToday + 1);
        QVERIFY(Part<TDateTimePicker>(e, "DateTimePicker1")->isEnabled());
        Part<QCheckBox>(e, "CheckBox3")->setChecked(false);
        QVERIFY(!Part<TDateTimePicker>(e, "DateTimePicker1")->isEnabled());
        QCOMPARE(Part<TDateTimePicker>(e, "DateTimePicker1")->DateTime(), kToday + 1);

        // "Reminder:" by a click: tomorrow at the current time, sound on (its rule runs)
        Part<QCheckBox>(e, "CheckBox2")->setChecked(false);
        Part<QLineEdit>(e, "Edit2")->setText("mine.wav");
        e->show();
        QTest::mouseClick(Part<QCheckBox>(e, "CheckBox1"), Qt::LeftButton, {},
                          QPoint(6, Part<QCheckBox>(e, "CheckBox1")->height() / 2));
        QVERIFY(Part<QCheckBox>(e, "CheckBox1")->isChecked());
        QCOMPARE(Part<TDateTimePicker>(e, "DateTimePicker2")->DateTime(), kToday + 1);
        QCOMPARE(Part<TDateTimePicker>(e, "DateTimePicker4")->DateTime(), kTimeNow);
        QVERIFY(Part<TDateTimePicker>(e, "DateTimePicker2")->isEnabled() &&
                Part<TDateTimePicker>(e, "DateTimePicker4")->isEnabled());
        QVERIFY(Part<QCheckBox>(e, "CheckBox2")->isEnabled() &&
                Part<QCheckBox>(e, "CheckBox2")->isChecked());
        QCOMPARE(Part<QLineEdit>(e, "Edit2")->text(), QStringLiteral("alarm.wav"));
        QVERIFY(Part<QLineEdit>(e, "Edit2")->isEnabled() &&
                Part<QPushButton>(e, "Button1")->isEnabled());
        // unchecked from code: everything of the reminder off, "Sound:" stays checked
        Part<QCheckBox>(e, "CheckBox1")->setChecked(false);
        QVERIFY(!Part<TDateTimePicker>(e, "DateTimePicker2")->isEnabled() &&
                !Part<TDateTimePicker>(e, "DateTimePicker4")->isEnabled());
        QVERIFY(!Part<QCheckBox>(e, "CheckBox2")->isEnabled() &&
                Part<QCheckBox>(e, "CheckBox2")->isChecked());
        QVERIFY(!Part<QLineEdit>(e, "Edit2")->isEnabled() &&
                !Part<QPushButton>(e, "Button1")->isEnabled());
        e->hide();
    }

    void shouldStoreANewTaskByItsBoxes_data() {
        QTest::addColumn<bool>("due");
        QTest::addColumn<bool>("reminder");
        QTest::addColumn<bool>("sound");
        for (int i = 0; i < 8; ++i)
            QTest::addRow("due=%d reminder=%d sound=%d", i & 1, (i >> 1) & 1, (i >> 2) & 1)
                << bool(i & 1) << bool(i & 2) << bool(i & 4);
    }
    void shouldStoreANewTaskByItsBoxes() {
        QFETCH(bool, due);
        QFETCH(bool, reminder);
        QFETCH(bool, sound);
        EditorFixture f;
        TEditTaskForm* e = f.editor;
        f.Store().LastCategoryIndex = 2;
        WhenModal(e, [&] {
            // THEN the editor opens with the defaults of a new task
            QVERIFY(Part<QLineEdit>(e, "Edit1")->text().isEmpty() &&
                    Part<QPlainTextEdit>(e, "Memo1")->toPlainText().isEmpty());
            QCOMPARE(Part<QComboBox>(e, "ComboBox1")->currentIndex(), 1);
            QCOMPARE(Part<QComboBox>(e, "ComboBox4")->currentIndex(), 2);
            QVERIFY(!Part<QCheckBox>(e, "CheckBox1")->isChecked() &&
                    !Part<QCheckBox>(e, "CheckBox2")->isChecked() &&
                    !Part<QCheckBox>(e, "CheckBox3")->isChecked());
            QTRY_VERIFY(Part<QLineEdit>(e, "Edit1")->hasFocus());
            Part<QLineEdit>(e, "Edit1")->setText("Buy milk");
            Part<QCheckBox>(e, "CheckBox3")->setChecked(due);
            Part<QCheckBox>(e, "CheckBox1")->setChecked(reminder);
            Part<QCheckBox>(e, "CheckBox2")->setChecked(sound);
            e->OkButtonClick();
        });
        f.main->AddTask();
        QCOMPARE(f.Store().TaskCount(), 1);
        const TTASK_ITEM t = f.StoredInFile(0);
        QCOMPARE(t, f.Store().Tasks[0]);
        QCOMPARE(t.Title, std::string("Buy milk"));
        QCOMPARE(t.CategoryIndex, 2);
        QCOMPARE(t.Priority, 1);
        QCOMPARE(t.Done, uint8_t(0));
        QCOMPARE(t.HasDueDate, uint8_t(due));
        QCOMPARE(t.ReminderOn, uint8_t(reminder));
        QCOMPARE(t.PlaySound, uint8_t(sound));
        QCOMPARE(t.SoundFile, std::string(reminder || sound ? "alarm.wav" : ""));
        QCOMPARE(t.DueDate, kToday + 1);
        QCOMPARE(t.ReminderDate, kToday + 1);
        QCOMPARE(t.ReminderTime, kTimeNow);
        QCOMPARE(t.NotOverdue, uint8_t(1));
        QCOMPARE(f.Store().LastCategoryIndex, 2);
        QCOMPARE(f.Store().EditedTaskCategory, -1);
        QCOMPARE(Part<TTaskList>(f.main)->StringGrid1->RowCount(), 1);
    }

    void shouldWriteBackOnlyWhatTheBoxesSwitchOn_data() {
        QTest::addColumn<bool>("due");
        QTest::addColumn<bool>("reminder");
        for (int i = 0; i < 4; ++i)
            QTest::addRow("due=%d reminder=%d", i & 1, (i >> 1) & 1) << bool(i & 1) << bool(i & 2);
    }
    void shouldWriteBackOnlyWhatTheBoxesSwitchOn() {
        QFETCH(bool, due);
        QFETCH(bool, reminder);
        EditorFixture f;
        TEditTaskForm* e = f.editor;
        const TTASK_ITEM before = Task("Call the bank", 1);
        f.Seed({before});
        WhenModal(e, [&] {
            QCOMPARE(f.Store().EditedTaskCategory, 1);
            QCOMPARE(Part<QComboBox>(e, "ComboBox1")->currentIndex(),
                     0); // the task's priority, "High"
            QCOMPARE(Part<QLineEdit>(e, "Edit1")->text(), QStringLiteral("Call the bank"));
            QCOMPARE(Part<QLineEdit>(e, "Edit2")->text(), QStringLiteral("/music/bell.ogg"));
            Part<QLineEdit>(e, "Edit1")->setText("Call the bank again");
            Part<QCheckBox>(e, "CheckBox3")->setChecked(due);
            Part<QCheckBox>(e, "CheckBox1")->setChecked(reminder);
            e->OkButtonClick();
        });
        QCOMPARE(f.main->EditTask(0), int(mrOk));
        const TTASK_ITEM t = f.StoredInFile(0);
        QCOMPARE(t, f.Store().Tasks[0]);
        QCOMPARE(t.Title, std::string("Call the bank again"));
        QCOMPARE(t.Priority, 0);
        QCOMPARE(t.Description, before.Description);
        QCOMPARE(t.HasDueDate, uint8_t(due));
        QCOMPARE(t.ReminderOn, uint8_t(reminder));
        // a switched-off date keeps its old value; a switched-on one takes the picker's
        QCOMPARE(t.DueDate, due ? kToday + 1 : before.DueDate);
        QCOMPARE(t.ReminderDate, reminder ? kToday + 1 : before.ReminderDate);
        QCOMPARE(t.ReminderTime, reminder ? kTimeNow : before.ReminderTime);
        QCOMPARE(t.SoundFile, std::string(reminder ? "alarm.wav" : "/music/bell.ogg"));
        QCOMPARE(t.PlaySound, uint8_t(reminder));
        QCOMPARE(t.NotOverdue, uint8_t(1));
        QCOMPARE(f.Store().EditedTaskCategory, -1);
    }

    void shouldChangeAndWriteNothingWhenCancelled_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Escape in the description") << "escape";
        QTest::newRow("the skin's Cancel button") << "skin";
    }
    void shouldChangeAndWriteNothingWhenCancelled() {
        QFETCH(QString, how);
        EditorFixture f;
        TEditTaskForm* e = f.editor;
        f.Seed({Task("Water the plants", 0)});
        const TaskStore store = f.Store();
        QFile::remove(f.app.DataPath());
        FakeSkinObject templ("EditTaskForm", nullptr);
        FakeSkinObject cancel("CancelButton", &templ);
        const auto change = [&] {
            Part<QLineEdit>(e, "Edit1")->setText("changed");
            Part<QCheckBox>(e, "CheckBox1")->setChecked(true);
            Part<QCheckBox>(e, "CheckBox3")->setChecked(true);
        };
        WhenModal(e, [&] {
            QTRY_VERIFY(Part<QLineEdit>(e, "Edit1")->hasFocus());
            change();
            if (how == "escape") {
                Part<QPlainTextEdit>(e, "Memo1")->setFocus();
                QTest::keyClick(Part<QPlainTextEdit>(e, "Memo1"), Qt::Key_Escape);
            } else {
                f.main->Skin1SkinEvent(&cancel, "OnClick");
            }
        });
        QCOMPARE(f.main->EditTask(0), int(mrCancel));
        // A window manager gives the main window the focus back (offscreen, the
        // closed editor's window would keep it).
        f.main->activateWindow();
        QTRY_VERIFY(f.main->isActiveWindow());
        WhenModal(e, [&] {
            QTRY_VERIFY(Part<QLineEdit>(e, "Edit1")->hasFocus());
            change();
            Part<QComboBox>(e, "ComboBox1")->setFocus();
            QTest::keyClick(Part<QComboBox>(e, "ComboBox1"), Qt::Key_Escape);
        });
        f.main->AddTask();
        QVERIFY(f.Store().Tasks == store.Tasks);
        QCOMPARE(f.Store().LastCategoryIndex, store.LastCategoryIndex);
        QCOMPARE(f.Store().EditedTaskCategory, -1);
        QVERIFY(!QFile::exists(f.app.DataPath()));
    }

    void shouldFollowTheKeyRules() {
        EditorFixture f;
        TEditTaskForm* e = f.editor;
        WhenModal(e, [&] {
            QTRY_VERIFY(Part<QLineEdit>(e, "Edit1")->hasFocus()); // keys go where the focus is
            // Enter with an empty title: the standard message box, the editor stays
            QTest::keyClick(Part<QLineEdit>(e, "Edit1"), Qt::Key_Return);
            QCOMPARE(f.notices, QStringList{"box: " + kEmptyTitle});
            QVERIFY(e->IsShowingModal());
            // Enter in the description starts a new line
            Part<QPlainTextEdit>(e, "Memo1")->setFocus();
            QTest::keyClicks(Part<QPlainTextEdit>(e, "Memo1"), "first");
            QTest::keyClick(Part<QPlainTextEdit>(e, "Memo1"), Qt::Key_Return);
            QTest::keyClicks(Part<QPlainTextEdit>(e, "Memo1"), "second");
            QVERIFY(e->IsShowingModal());
            // Enter anywhere else accepts; a title of spaces counts
            Part<QLineEdit>(e, "Edit1")->setText("   ");
            Part<QComboBox>(e, "ComboBox1")->setFocus();
            QTest::keyClick(Part<QComboBox>(e, "ComboBox1"), Qt::Key_Enter);
        });
        f.main->AddTask();
        QCOMPARE(f.Store().TaskCount(), 1);
        QCOMPARE(f.Store().Tasks[0].Title, std::string("   "));
        QCOMPARE(f.Store().Tasks[0].Description, std::string("first\nsecond"));
    }

    void shouldRefuseOkWithBothMessagesThroughTheSkinButton() {
        EditorFixture f;
        TEditTaskForm* e = f.editor;
        FakeSkinObject templ("EditTaskForm", nullptr);
        FakeSkinObject ok("OKButton", &templ);
        WhenModal(e, [&] {
            Part<QComboBox>(e, "ComboBox4")
                ->setCurrentIndex(Part<QComboBox>(e, "ComboBox4")->count() -
                                  1); // "Edit Categories..."
            f.main->Skin1SkinEvent(&ok, "OnClick");
            QCOMPARE(f.notices, (QStringList{kEmptyTitle, kNoCategory}));
            f.notices.clear();
            Part<QLineEdit>(e, "Edit1")->setText("Title");
            f.main->Skin1SkinEvent(&ok, "OnClick");
            QCOMPARE(f.notices, QStringList{kNoCategory});
            QVERIFY(e->IsShowingModal());
            Part<QComboBox>(e, "ComboBox4")->setCurrentIndex(0);
            f.main->Skin1SkinEvent(&ok, "OnClick");
        });
        f.main->AddTask();
        QCOMPARE(f.Store().TaskCount(), 1);
    }

    void shouldPreselectTheFirstCategoryWhenTheLastOneIsGone() {
        EditorFixture f;
        TEditTaskForm* e = f.editor;
        f.Store().LastCategoryIndex = 3; // past the three categories
        WhenModal(e, [&] {
            QCOMPARE(Part<QComboBox>(e, "ComboBox4")->currentIndex(), 0);
            Part<QLineEdit>(e, "Edit1")->setText("Anything");
            e->OkButtonClick();
        });
        f.main->AddTask();
        QCOMPARE(f.Store().Tasks.at(0).CategoryIndex, 0);
    }

    void shouldOpenTheCategoriesWindowFromTheDropDownThenSelectTheFirst() {
        EditorFixture f;
        TEditTaskForm* e = f.editor;
        TCategoriesForm* categories = f.app.Windows()->Others().CategoriesForm();
        int runsBefore = 0;
        WhenModal(e, [&] {
            QTRY_COMPARE(e->ActivationRuns(), 1);
            runsBefore = e->ActivationRuns();
            Part<QComboBox>(e, "ComboBox4")->setCurrentIndex(2);
            WhenModal(categories, [&] {
                f.Store().Categories.push_back({"Travel", 4});
                categories->SetModalResult(mrOk);
            });
            e->ComboBox4Change(Part<QComboBox>(e, "ComboBox4")->count() - 1);
            QCOMPARE(Part<QComboBox>(e, "ComboBox4")->count(), 5);
            QCOMPARE(Part<QComboBox>(e, "ComboBox4")->itemText(3), QStringLiteral("Travel"));
            QCOMPARE(Part<QComboBox>(e, "ComboBox4")->currentIndex(), 0);
            QTest::qWait(50);
            QCOMPARE(e->ActivationRuns(), runsBefore); // not again after a window returns
            e->CancelButtonClick();
        });
        const int runs = e->ActivationRuns();
        f.main->AddTask();
        QCOMPARE(e->ActivationRuns(), runs + 1);
    }

    void shouldLeaveTheTopBandWhileTheChooserIsOpen() {
        EditorFixture f;
        TEditTaskForm* e = f.editor;
        TOptionsForm* options = f.app.Windows()->Others().OptionsForm();
        WhenModal(options, [options] {
            Part<QCheckBox>(options, "CheckBox9")->setChecked(true); // "Always on Top"
            options->Button1Click();
        });
        f.main->OpenSettings();
        QVERIFY(f.main->Options().AlwaysOnTop());
        QString filter;
        bool onTopDuring = true;
        e->SetFileChooser([&](QWidget*, const QString& offered) {
            filter = offered;
            onTopDuring = WindowOps::IsStayOnTop(f.main) || WindowOps::IsStayOnTop(e);
            return QStringLiteral("/home/me/ring.flac");
        });
        WhenModal(e, [&] {
            QTRY_VERIFY(WindowOps::IsStayOnTop(e)); // by the opening's activation
            Part<QCheckBox>(e, "CheckBox1")->setChecked(true);
            Part<QPushButton>(e, "Button1")->click();
            QVERIFY(WindowOps::IsStayOnTop(f.main) && WindowOps::IsStayOnTop(e));
            QCOMPARE(Part<QLineEdit>(e, "Edit2")->text(), QStringLiteral("/home/me/ring.flac"));
            e->CancelButtonClick();
        });
        f.main->AddTask();
        QVERIFY(!onTopDuring);
        QVERIFY(filter.startsWith("Media files ("));
        for (const char* pattern : {"*.mp3", "*.wav", "*.mid", "*.flac", "*.ogg", "*.opus"})
            QVERIFY2(filter.contains(pattern), pattern);
    }

    void shouldWriteTheEditToTheTaskWhereverRemovingACategoryMovedIt() {
        EditorFixture f;
        TEditTaskForm* e = f.editor;
        // the edited task is the last record; removing category 0 moves it into place 0
        f.Seed({Task("Personal one", 0), Task("Other one", 2)});
        QCOMPARE(f.Store().Tasks[1].Title, std::string("Other one"));
        TCategoriesForm* categories = f.app.Windows()->Others().CategoriesForm();
        WhenModal(e, [&] {
            WhenModal(categories, [&] {
                RemoveCategoryAt(f.Store(), 0);
                categories->SetModalResult(mrOk);
            });
            e->ComboBox4Change(Part<QComboBox>(e, "ComboBox4")->count() - 1);
            Part<QLineEdit>(e, "Edit1")->setText("Other one, edited");
            e->OkButtonClick();
        });
        QCOMPARE(f.main->EditTask(1), int(mrOk));
        QCOMPARE(f.Store().TaskCount(), 1);
        QCOMPARE(f.StoredInFile(0).Title, std::string("Other one, edited"));
        QCOMPARE(f.StoredInFile(0).CategoryIndex, 0);
        QVERIFY(f.notices.isEmpty());
    }

    void shouldWriteNothingAndSaySoWhenTheEditedTaskWasRemoved() {
        EditorFixture f;
        TEditTaskForm* e = f.editor;
        f.Seed({Task("Stays", 0), Task("Goes", 1)});
        const QByteArray file = ReadAll(f.app.DataPath());
        TCategoriesForm* categories = f.app.Windows()->Others().CategoriesForm();
        TMessageForm* message = f.app.Windows()->Others().MessageForm();
        QString told;
        WhenModal(e, [&] {
            WhenModal(categories, [&] {
                RemoveCategoryAt(f.Store(), 1); // takes the open task with it
                categories->SetModalResult(mrOk);
            });
            e->ComboBox4Change(Part<QComboBox>(e, "ComboBox4")->count() - 1);
            Part<QLineEdit>(e, "Edit1")->setText("Edited");
            WhenModal(message, [&] {
                told = Part<QLabel>(message, "Label1")->text();
                message->SetModalResult(mrOk);
            });
            e->OkButtonClick();
        });
        QCOMPARE(f.main->EditTask(1), int(mrCancel));
        QVERIFY(told.contains("not saved"));
        QCOMPARE(f.Store().TaskCount(), 1);
        QCOMPARE(f.Store().Tasks[0].Title, std::string("Stays"));
        QCOMPARE(ReadAll(f.app.DataPath()), file);
        QCOMPARE(f.Store().EditedTaskCategory, -1);
    }

    // A reminder's "Edit Task" (or the tray's "Add Task...") while the editor is
    // open on another task changes nothing in the editor or the store.
    void shouldNeverOpenASecondEditor() {
        EditorFixture f;
        TEditTaskForm* e = f.editor;
        f.Seed({Task("A", 0), Task("B", 0)});
        int nestedEdit = -1;
        WhenModal(e, [&] {
            nestedEdit = f.main->EditTask(0);
            f.main->AddTask();
            Part<QLineEdit>(e, "Edit1")->setText("B, edited");
            e->OkButtonClick();
        });
        QCOMPARE(f.main->EditTask(1), int(mrOk));
        QCOMPARE(nestedEdit, int(mrNone));
        QCOMPARE(f.Store().TaskCount(), 2);
        QCOMPARE(f.StoredInFile(0).Title, std::string("A"));
        QCOMPARE(f.StoredInFile(1).Title, std::string("B, edited"));
        QCOMPARE(f.StoredInFile(1).Description, Task("B", 0).Description);
    }

    // A snooze answered while the editor was open survives the editor's OK.
    void shouldKeepASnoozeMadeWhileTheEditorWasOpen() {
        EditorFixture f;
        TEditTaskForm* e = f.editor;
        f.Seed({Task("A", 0)});
        WhenModal(e, [&] {
            ApplySnoozeChoice(f.Store().Tasks[0], 5, kNow); // "1 hour"
            Part<QLineEdit>(e, "Edit1")->setText("A, edited");
            e->OkButtonClick();
        });
        QCOMPARE(f.main->EditTask(0), int(mrOk));
        const TTASK_ITEM stored = f.StoredInFile(0);
        QCOMPARE(stored.Title, std::string("A, edited"));
        QCOMPARE(stored.ReminderDate, kNow + 1.0 / 24);
    }

    void shouldNotOpenForAPositionOutsideTasks() {
        EditorFixture f;
        f.Seed({Task("Only", 0)});
        QCOMPARE(f.main->EditTask(1), 0);
        QCOMPARE(f.main->EditTask(-1), 0);
        QVERIFY(!f.editor->isVisible());
        QCOMPARE(f.Store().EditedTaskCategory, -1);
    }

    void shouldOpenFromInsertAndFromTheSkinsAddButton() {
        EditorFixture f;
        TEditTaskForm* e = f.editor;
        FakeSkinObject templ("MainForm", nullptr);
        FakeSkinObject add("AddButton", &templ);
        int opened = 0;
        const auto answer = [&] {
            WhenModal(e, [&] {
                ++opened;
                e->CancelButtonClick();
            });
        };
        answer();
        QTest::keyClick(Part<TTaskList>(f.main)->StringGrid1, Qt::Key_Insert);
        answer();
        f.main->Skin1SkinEvent(&add, "OnClick");
        QCOMPARE(opened, 2);
    }
};

int main(int argc, char** argv) {
    QuillnoteApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    TaskEditorTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "task_editor_test.moc"
