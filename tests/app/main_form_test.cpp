// The main window's life cycle on real windows: first start, the close
// sequence, the data file's failure cases, the settings dialog's apply order,
// skins and the skin button table.
#include "../skin/skin_test_util.h"
#include "app/exit_notice.h"
#include "app_fixture.h"

#include "app/main_settings.h"
#include "app/shutdown_signals.h"
#include "core/app_error.h"
#include "core/data_file.h"
#include "core/task_store.h"
#include "platform/autostart.h"
#include "platform/tray_icon.h"
#include "print/print_form.h"
#include "skin/skin.h"
#include "skin/skin_frame.h"
#include "ui/categories_form.h"
#include "ui/edit_task_form.h"
#include "ui/options_form.h"
#include "ui/task_list.h"
#include "widgets/string_grid.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <csignal>

using namespace quill;

namespace {
QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Closes `form` with `result` once it is shown modally.
void AnswerWhenShown(TForm* form, int result) {
    QTimer::singleShot(0, form, [form, result] { form->SetModalResult(result); });
}

// Writes a data file with the three default categories and one task per title,
// all in the first category.
void WriteDataFile(const QString& path, const QStringList& titles) {
    TaskStore store;
    AddDefaultCategories(store);
    for (const QString& title : titles) {
        TTASK_ITEM task;
        task.Title = title.toStdString();
        quill::AddTask(store, task);
    }
    QVERIFY(SaveTasks(store, path.toStdString()).ok);
}

QStringList TaskTitles(const TaskStore& store) {
    QStringList titles;
    for (const TTASK_ITEM& task : store.Tasks)
        titles << QString::fromStdString(task.Title);
    return titles;
}

// Keeps a window from ever being activated, as a desktop without a window
// manager does.
struct NoActivation : QObject {
    bool eventFilter(QObject*, QEvent* e) override {
        return e->type() == QEvent::ActivationChange || e->type() == QEvent::WindowActivate;
    }
};

// Notes every size a window is given.
struct ResizeRecorder : QObject {
    ResizeRecorder(QWidget* window, QList<QSize>& sizes) : sizes_(sizes) {
        window->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Resize)
            sizes_ << static_cast<QResizeEvent*>(e)->size();
        return false;
    }
    QList<QSize>& sizes_;
};

} // namespace

class MainFormTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void shouldStartWithTheDefaultsOnAFirstRun() {
        // GIVEN no settings, no data file, no skins folder
        AppFixture f;
        TMainForm* main = f.CreateWindows();
        // THEN the defaults are written and the window stands at 0, 0, 696 x 480
        QVERIFY(QFileInfo::exists(f.ExeDir() + "/skins/Default.skn"));
        QVERIFY(QFileInfo::exists(f.ExeDir() + "/alarm.wav"));
        QCOMPARE(main->windowTitle(), QStringLiteral("main_form_quillnote"));
        QCOMPARE(main->pos(), QPoint(0, 0));
        QCOMPARE(main->size(), QSize(696, 480));
        QCOMPARE(main->SkinName(), QStringLiteral("Default"));
        QCOMPARE(f.Tray().ToolTip(), QStringLiteral("Tolva Quillnote"));
        QVERIFY(f.ShowAndActivate());
        QVERIFY(f.Tray().IsAdded());             // by the first paint or activation at the latest
        QCOMPARE(main->size(), QSize(696, 480)); // the skin's frame comes out of it
        QVERIFY(main->ClientSize().height() < 480);
        QCOMPARE(Part<QComboBox>(main, "ComboBox1")->count(), 5);
        QCOMPARE(Part<QComboBox>(main, "ComboBox1")->itemText(0), QStringLiteral("Personal"));
        QCOMPARE(Part<QComboBox>(main, "ComboBox1")->itemText(3), QStringLiteral("All"));
        QCOMPARE(Part<QComboBox>(main, "ComboBox1")->itemText(4),
                 QStringLiteral("Edit Categories..."));
        QCOMPARE(Part<QComboBox>(main, "ComboBox1")->currentIndex(), 0);
        const LiveOptions& options = main->Options();
        QVERIFY(!options.AlwaysOnTop() && !options.Transparency() && !options.StartWithWindows());
        QVERIFY(options.ShowDueDate() && options.ShowGrid() && options.DoneTaskPutInBottom());
        QCOMPARE(options.SortBy(), 0);
        QVERIFY(!main->isHidden());
        QVERIFY(!QFileInfo::exists(f.AutostartDir() + "/quillnote.desktop"));
        QVERIFY(f.errors.isEmpty());
        QVERIFY(main->RemindersRunning());
    }

    void shouldNotOverwriteAnExistingDefaultSkinOrSound() {
        AppFixture f;
        QDir(f.ExeDir()).mkpath("Skins");
        QFile skin(f.ExeDir() + "/Skins/Default.skn");
        QVERIFY(skin.open(QIODevice::WriteOnly));
        skin.write("mine");
        skin.close();
        QFile sound(f.ExeDir() + "/alarm.wav");
        QVERIFY(sound.open(QIODevice::WriteOnly));
        sound.write("my sound");
        sound.close();
        f.CreateWindows();
        QCOMPARE(ReadAll(f.ExeDir() + "/Skins/Default.skn"), QByteArray("mine"));
        QCOMPARE(ReadAll(f.ExeDir() + "/alarm.wav"), QByteArray("my sound"));
        QVERIFY(!QFileInfo::exists(f.ExeDir() + "/skins"));
        // The unusable skin is reported, and the program goes on.
        QCOMPARE(f.errors.size(), 1);
    }

    void shouldRunTheFirstActivationOnlyOnce() {
        AppFixture f;
        WriteDataFile(f.DataPath(), {"kept"});
        TMainForm* main = f.CreateWindows();
        QVERIFY(f.ShowAndActivate());
        QCOMPARE(TaskTitles(f.Services().store), QStringList({"kept"}));
        // Another file on disk: reading it again would replace the tasks in memory.
        WriteDataFile(f.DataPath(), {"read again"});
        AnswerWhenShown(f.Windows()->Others().OptionsForm(), mrCancel);
        main->OpenSettings(); // the main window is activated again afterwards
        main->activateWindow();
        main->showMinimized();
        main->showNormal();
        main->update();
        QTest::qWait(50);
        QCOMPARE(TaskTitles(f.Services().store), QStringList({"kept"}));
    }

    // Without a window manager, or on a desktop that refuses focus, the window is
    // never activated; the tasks are loaded all the same.
    void shouldLoadTheTasksWithoutAnActivation_data() {
        QTest::addColumn<QString>("start");
        QTest::newRow("shown") << "shown";
        QTest::newRow("shown minimised") << "minimised";
        QTest::newRow("never shown") << "hidden";
    }
    void shouldLoadTheTasksWithoutAnActivation() {
        QFETCH(QString, start);
        AppFixture f;
        WriteDataFile(f.DataPath(), {"one", "two"});
        TMainForm* main = f.CreateWindows();
        NoActivation noActivation;
        main->installEventFilter(&noActivation);
        if (start == "shown")
            main->show();
        else if (start == "minimised")
            main->showMinimized();
        QVERIFY(QTest::qWaitFor([main] { return main->HasActivated(); }, 4000));
        QCOMPARE(TaskTitles(f.Services().store), QStringList({"one", "two"}));
        QCOMPARE(f.Services().store.VisibleTaskCount, 2);
        QCOMPARE(Part<TTaskList>(main)->StringGrid1->RowCount(), 2);
        QVERIFY(main->RemindersRunning());
    }

    // A settings file that cannot be written for a while (a full disk, a network
    // home folder that drops out) costs the settings, never the tasks or the exit.
    void shouldNeverLetASettingsFailureTrapTheUser() {
        AppFixture f;
        TMainForm* main = f.CreateWindows();
        QVERIFY(f.ShowAndActivate());
        TaskStore& store = f.Services().store;
        for (const char* title : {"a", "b"}) {
            TTASK_ITEM task;
            task.Title = title;
            task.CategoryIndex = 1;
            quill::AddTask(store, task);
        }
        const auto blockSettings = [&f](bool blocked) {
            QFile::remove(f.SettingsPath());
            QDir(f.SettingsPath()).removeRecursively();
            if (blocked)
                QVERIFY(QDir().mkpath(f.SettingsPath()));
        };
        blockSettings(true);
        // Picking a category still filters.
        main->ComboBox1Change(3); // "All"
        QCOMPARE(store.VisibleTaskCount, 2);
        QCOMPARE(f.errors.size(), 1);
        // Settings OK applies everything and tells the failure once.
        TOptionsForm* options = f.Windows()->Others().OptionsForm();
        QTimer::singleShot(0, options, [options] {
            Part<QCheckBox>(options, "CheckBox11")->setChecked(false);
            Part<QCheckBox>(options, "CheckBox6")->setChecked(false);
            options->Button1Click();
        });
        main->OpenSettings();
        QCOMPARE(f.errors.size(), 2);
        QVERIFY(f.errors.last().startsWith("Failed to create key"));
        QVERIFY(!main->Options().ShowGrid());
        for (int i = 0; i < Part<TTaskList>(main)->ColumnCount; ++i)
            QVERIFY(Part<TTaskList>(main)->ColumnKinds[i] != ckPriority);
        // Writable again: the next write stores what could not be stored before.
        blockSettings(false);
        AnswerWhenShown(options, mrOk);
        main->OpenSettings();
        QCOMPARE(f.errors.size(), 2);
        QCOMPARE(f.StoredValue("MainFormGroup"), QStringLiteral("3"));
        QCOMPARE(f.StoredValue("Show grid"), QStringLiteral("0"));
        // And unwritable at the close: the tasks are saved, one message, the end.
        blockSettings(true);
        QVERIFY(QFile::remove(f.DataPath()));
        QSignalSpy accepted(main, &TMainForm::CloseAccepted);
        QVERIFY(main->close());
        QCOMPARE(accepted.count(), 1);
        QCOMPARE(f.errors.size(), 3);
        QVERIFY(f.errors.last().startsWith("Failed to create key"));
        TaskStore reread;
        QCOMPARE(int(LoadTasks(reread, f.DataPath().toStdString()).outcome),
                 int(LoadOutcome::Good));
        QCOMPARE(reread.Tasks.size(), size_t(2));
    }

    void shouldApplyAndStoreEveryOtherChoiceWhenOneStepFails() {
        AppFixture f;
        f.InstallSkin("Default");
        QFile broken(f.ExeDir() + "/Skins/Broken.skn");
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("not a skin");
        broken.close();
        // A file where the autostart folder goes: the entry cannot be written.
        QFile blocker(f.AutostartDir());
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        TMainForm* main = f.CreateWindows();
        QVERIFY(f.ShowAndActivate());
        TOptionsForm* options = f.Windows()->Others().OptionsForm();
        QTimer::singleShot(0, options, [options] {
            auto* skins = Part<QComboBox>(options, "ComboBox2");
            skins->setCurrentIndex(skins->findText("Broken"));
            Part<QCheckBox>(options, "CheckBox1")->setChecked(true);
            Part<QCheckBox>(options, "CheckBox4")->setChecked(true);
            Part<QCheckBox>(options, "CheckBox9")->setChecked(true);
            Part<QComboBox>(options, "ComboBox1")->setCurrentIndex(2);
            options->Button1Click();
        });
        main->OpenSettings();
        QCOMPARE(f.errors.size(), 2); // the skin, then the autostart entry
        QVERIFY(f.errors.last().startsWith("Cannot create file"));
        QCOMPARE(main->SkinName(), QStringLiteral("Default"));
        QVERIFY(main->AlphaBlend());
        QCOMPARE(f.StoredValue("Sort by"), QStringLiteral("2"));
        QCOMPARE(f.StoredValue("Start with Windows"), QStringLiteral("1"));
        QCOMPARE(f.StoredValue("Transparency"), QStringLiteral("1"));
        QCOMPARE(f.StoredValue("Always on Top"), QStringLiteral("1"));
        QVERIFY(QFileInfo::exists(f.DataPath())); // sorted and saved
    }

    void shouldShowAllWhenTheStoredCategoryPositionNamesNoCategory_data() {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("shown");
        QTest::newRow("a category") << 1 << 1;
        QTest::newRow("All") << 3 << 3;
        QTest::newRow("Edit Categories...") << 4 << 3;
        QTest::newRow("past the end") << 9 << 3;
        QTest::newRow("negative") << -2 << 3;
    }
    void shouldShowAllWhenTheStoredCategoryPositionNamesNoCategory() {
        QFETCH(int, stored);
        QFETCH(int, shown);
        AppFixture f;
        WriteDataFile(f.DataPath(), {"one", "two"}); // both in the first category
        f.Store("MainFormGroup", stored);
        TMainForm* main = f.CreateWindows();
        QVERIFY(f.ShowAndActivate());
        QCOMPARE(Part<QComboBox>(main, "ComboBox1")->currentIndex(), shown);
        QCOMPARE(f.Services().store.VisibleTaskCount, shown == 3 ? 2 : 0);
        QVERIFY(main->close());
        QCOMPARE(f.StoredValue("MainFormGroup"), QString::number(stored)); // only a pick changes it
    }

    void shouldKeepARestoredWindowWithinReach_data() {
        QTest::addColumn<QRect>("stored");
        QTest::addColumn<QRect>("placed");
        // Two screens side by side (see the test below): 1280 x 994 and 1024 x 738.
        QTest::newRow("reachable: unchanged")
            << QRect(100, 50, 800, 600) << QRect(100, 50, 800, 600);
        QTest::newRow("on the second screen")
            << QRect(1500, 100, 696, 480) << QRect(1500, 100, 696, 480);
        QTest::newRow("beyond the right edge")
            << QRect(5000, 200, 696, 480) << QRect(584, 200, 696, 480);
        QTest::newRow("above the top") << QRect(40, -300, 696, 480) << QRect(40, 0, 696, 480);
        QTest::newRow("below the bottom") << QRect(40, 3000, 696, 480) << QRect(40, 514, 696, 480);
        QTest::newRow("left of everything") << QRect(-2000, 10, 696, 480) << QRect(0, 10, 696, 480);
        QTest::newRow("no size") << QRect(10, 10, 0, -5) << QRect(10, 10, 696, 480);
        QTest::newRow("wider than its design, partly out")
            << QRect(-300, 10, 1000, 500) << QRect(-300, 10, 1000, 500);
        QTest::newRow("wider than its design, too far out")
            << QRect(-900, 10, 1000, 500) << QRect(-304, 10, 1000, 500);
        QTest::newRow("partly beyond the second screen")
            << QRect(2000, 100, 696, 480) << QRect(1608, 100, 696, 480);
    }
    void shouldKeepARestoredWindowWithinReach() {
        QFETCH(QRect, stored);
        QFETCH(QRect, placed);
        // The available areas, the primary screen's first.
        const QList<QRect> areas{QRect(0, 0, 1280, 994), QRect(1280, 0, 1024, 738)};
        QCOMPARE(FitWindowToScreens(stored, areas, QSize(696, 480)), placed);
    }

    void shouldOpenAWindowStoredOffScreenWhereItCanBeReached() {
        AppFixture f;
        f.Store("Left", 9000);
        f.Store("Top", -4000);
        f.Store("Width", 0);
        f.Store("Height", 0);
        TMainForm* main = f.CreateWindows();
        QVERIFY(f.ShowAndActivate());
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(screen.contains(QRect(main->pos(), main->size())));
        QCOMPARE(main->size(), QSize(696, 480));
        QCOMPARE(f.StoredValue("Left"), QStringLiteral("9000")); // until the close
        QVERIFY(main->close());
        QCOMPARE(f.StoredValue("Left"), QString::number(main->pos().x()));
        QCOMPARE(f.StoredValue("Width"), QStringLiteral("696"));
    }

    // One row per notch wherever the wheel turns over the window; the category
    // drop-down keeps its choice and the scroll bar does not jump three rows.
    void shouldMoveTheListOneRowPerWheelNotchAnywhere() {
        AppFixture f;
        WriteDataFile(f.DataPath(), {"1", "2", "3", "4", "5", "6", "7", "8"});
        f.Store("MainFormGroup", 0);
        TMainForm* main = f.CreateWindows();
        QVERIFY(f.ShowAndActivate());
        TStringGrid* grid = Part<TTaskList>(main)->StringGrid1;
        QCOMPARE(grid->RowCount(), 8);
        const auto turn = [](QWidget* over, int delta) {
            QWheelEvent wheel(QPointF(2, 2), over->mapToGlobal(QPointF(2, 2)), QPoint(),
                              QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                              false);
            QApplication::sendEvent(over, &wheel);
        };
        const int start = grid->Row();
        turn(Part<QComboBox>(main, "ComboBox1"), -120);
        QCOMPARE(grid->Row(), start + 1);
        QCOMPARE(Part<QComboBox>(main, "ComboBox1")->currentIndex(), 0);
        QCOMPARE(f.StoredValue("MainFormGroup"), QStringLiteral("0"));
        turn(Part<QComboBox>(main, "ComboBox1"), 120);
        QCOMPARE(grid->Row(), start);
        QCOMPARE(f.Windows()->Others().CategoriesForm()->isVisible(), false);
        turn(Part<TTaskList>(main)->ScrollBar1, -120);
        QCOMPARE(grid->Row(), start + 1);
        for (int i = 0; i < 3; ++i)
            turn(main, -40); // a fine-resolution wheel: three parts of a notch
        QCOMPARE(grid->Row(), start + 2);
        turn(main, -120);
        QCOMPARE(grid->Row(), start + 3);
    }

    void shouldSaveSettingsAndDataOnClose() {
        AppFixture f;
        TMainForm* main = f.CreateWindows();
        QVERIFY(f.ShowAndActivate());
        main->move(230, 170);
        main->resize(700, 500);
        QSignalSpy accepted(main, &TMainForm::CloseAccepted);
        QVERIFY(main->close());
        QCOMPARE(accepted.count(), 1);
        QCOMPARE(f.StoredValue("Left"), QStringLiteral("230"));
        QCOMPARE(f.StoredValue("Top"), QStringLiteral("170"));
        QCOMPARE(f.StoredValue("Width"), QStringLiteral("700"));
        QCOMPARE(f.StoredValue("Height"), QStringLiteral("500"));
        QCOMPARE(f.StoredValue("Skin"), QStringLiteral("Default"));
        QCOMPARE(QFileInfo(f.DataPath()).size(), 84); // three default categories, no task
        QVERIFY(!f.Tray().IsAdded());
    }

    void shouldSaveTheGeometryOfAHiddenWindow() {
        AppFixture f;
        TMainForm* main = f.CreateWindows();
        QVERIFY(f.ShowAndActivate());
        main->move(40, 60);
        main->HideMainWindow();
        QVERIFY(main->isHidden());
        QVERIFY(main->close());
        QCOMPARE(f.StoredValue("Left"), QStringLiteral("40"));
        QCOMPARE(f.StoredValue("Top"), QStringLiteral("60"));
    }

    void shouldSaveEverythingWhenTheProgramIsMadeToEndAtOnce() {
        AppFixture f;
        TMainForm* main = f.CreateWindows();
        QVERIFY(f.ShowAndActivate());
        main->move(12, 34);
        quill::AddCategory(f.Services().store, TCATEGORY{"Garden", 4});
        main->SaveOnAbruptEnd();
        QCOMPARE(f.StoredValue("Left"), QStringLiteral("12"));
        TaskStore reread;
        QCOMPARE(int(LoadTasks(reread, f.DataPath().toStdString()).outcome),
                 int(LoadOutcome::Good));
        QCOMPARE(reread.Categories.size(), size_t(4));
        QCOMPARE(reread.Categories.back().Name, std::string("Garden"));
    }

    void shouldKeepTheWindowOpenWhenTheCloseCannotSave() {
        AppFixture f;
        TMainForm* main = f.CreateWindows();
        QVERIFY(f.ShowAndActivate());
        // A folder where the data file goes makes the save fail.
        QVERIFY(QDir(f.ExeDir()).mkpath("quillnote.dat/inside"));
        QSignalSpy accepted(main, &TMainForm::CloseAccepted);
        QVERIFY(!main->close());
        QVERIFY(main->isVisible());
        QCOMPARE(accepted.count(), 0);
        QCOMPARE(f.errors.size(), 1);
        QVERIFY(f.errors.first().startsWith("Cannot create file"));
        QVERIFY(f.Tray().IsAdded()); // still reachable
        // A later close tries the whole sequence again.
        QVERIFY(QDir(f.DataPath()).removeRecursively());
        QVERIFY(main->close());
        QCOMPARE(accepted.count(), 1);
        QCOMPARE(QFileInfo(f.DataPath()).size(), 84);
    }

    // A save that fails after its command returned is told once, with the save's
    // message; the next change saves again.
    void shouldTellAFailedBackgroundSaveOnceAndSaveOnTheNextChange() {
        AppFixture f;
        TMainForm* main = f.CreateWindows();
        QVERIFY(f.ShowAndActivate());
        QVERIFY(QDir(f.ExeDir()).mkpath("quillnote.dat/inside"));
        main->SortTaskList(); // what every command does after a change
        QVERIFY(QTest::qWaitFor([&f] { return !f.errors.isEmpty(); }, 5000));
        QVERIFY(f.errors.first().startsWith("Cannot create file \"" + f.DataPath() + "\""));
        QVERIFY(QDir(f.DataPath()).removeRecursively());
        main->SortTaskList();
        QCOMPARE(QFileInfo(f.DataPath()).size(), 84); // DataPath() waits for the save
        QCoreApplication::processEvents();
        QCOMPARE(f.errors.size(), 1);
    }

    // SIGTERM or a logout: nothing may wait for an answer, and nothing is lost.
    void shouldKeepTheTasksAndTellNextTimeWhenAnUnattendedCloseCannotSave() {
        AppFixture f;
        TMainForm* main = f.CreateWindows();
        QVERIFY(f.ShowAndActivate());
        QVERIFY(QDir(f.ExeDir()).mkpath("quillnote.dat/inside"));
        quill::AddCategory(f.Services().store, TCATEGORY{"Garden", 4});
        QSignalSpy accepted(main, &TMainForm::CloseAccepted);
        main->CloseUnattended();
        QCOMPARE(accepted.count(), 1);
        QVERIFY(f.errors.isEmpty());
        const ExitNotice notice(f.Services().stateDir);
        const QString told = notice.Take();
        QVERIFY2(told.contains("Cannot create file \"" + f.DataPath() + "\""), qPrintable(told));
        const QRegularExpressionMatch kept = QRegularExpression("kept in \"([^\"]+)\"").match(told);
        QVERIFY2(kept.hasMatch(), qPrintable(told));
        TaskStore reread;
        LoadTasks(reread, kept.captured(1).toStdString());
        QCOMPARE(reread.Categories.back().Name, std::string("Garden"));
        QVERIFY(notice.Take().isEmpty()); // told once
    }

    void shouldNeverOverwriteAnUnreadableDataFile() {
        AppFixture f;
        // An existing data file that cannot be read (here: a folder in its place).
        QVERIFY(QDir(f.ExeDir()).mkpath("quillnote.dat/keep"));
        TMainForm* main = f.CreateWindows();
        QVERIFY(f.ShowAndActivate());
        QVERIFY(QTest::qWaitFor([&f] { return !f.errors.isEmpty(); }, 2000));
        QVERIFY(f.errors.first().startsWith("Cannot open file"));
        QVERIFY(!main->DataFile().SavingAllowed());
        // A command that saves is refused with a message instead of writing.
        f.errors.clear();
        main->SortTaskList();
        QCOMPARE(f.errors.size(), 1);
        QVERIFY(f.errors.first().contains("not saved"));
        // Closing leaves it alone too, and does not trap the user.
        QVERIFY(main->close());
        QVERIFY(QFileInfo(f.DataPath()).isDir());
        QVERIFY(QFileInfo::exists(f.DataPath() + "/keep"));
    }

    void shouldTellOnceAboutADamagedFileAndKeepItsBytes() {
        AppFixture f;
        QFile data(f.DataPath());
        QVERIFY(data.open(QIODevice::WriteOnly));
        const QByteArray garbage("\x05\x00\x00\x00garbage that is not a data file", 35);
        data.write(garbage);
        data.close();
        f.CreateWindows();
        QVERIFY(f.ShowAndActivate());
        QVERIFY(QTest::qWaitFor([&f] { return !f.errors.isEmpty(); }, 2000));
        QTest::qWait(50);
        QCOMPARE(f.errors.size(), 1);
        QVERIFY(f.errors.first().contains("damaged"));
        const QStringList copies =
            QDir(f.ExeDir()).entryList({"quillnote.dat.damaged-*"}, QDir::Files);
        QCOMPARE(copies.size(), 1);
        QVERIFY(f.errors.first().contains(copies.first()));
        QCOMPARE(ReadAll(f.ExeDir() + "/" + copies.first()), garbage);
        QVERIFY(f.Main()->DataFile().SavingAllowed());
    }

    void shouldHideToTheTrayOrMinimiseWithoutOne_data() {
        QTest::addColumn<bool>("tray");
        QTest::newRow("tray") << true;
        QTest::newRow("no tray") << false;
    }
    void shouldHideToTheTrayOrMinimiseWithoutOne() {
        QFETCH(bool, tray);
        AppFixture f(tray);
        TMainForm* main = f.CreateWindows();
        QVERIFY(f.ShowAndActivate());
        FakeSkinObject form("MainForm", nullptr);
        FakeSkinObject minimize("ButtonMinimize", &form);
        main->Skin1SkinEvent(&minimize, "OnClick");
        if (tray) {
            QVERIFY(main->isHidden());
        } else {
            QVERIFY(main->isVisible());
            QVERIFY(main->windowState() & Qt::WindowMinimized);
        }
        main->ShowMainWindow();
        QVERIFY(main->isVisible());
        QVERIFY(!(main->windowState() & Qt::WindowMinimized));
    }

    void shouldStartHiddenWhenAskedTo() {
        AppFixture f;
        f.Store("Minimize on start", 1);
        TMainForm* main = f.CreateWindows();
        QVERIFY(f.ShowAndActivate());
        QVERIFY(main->isHidden());
        QVERIFY(f.Tray().IsAdded());
        QVERIFY(main->RemindersRunning());
    }

    void shouldRunOnlyOnClickWithExactNames() {
        AppFixture f;
        TMainForm* main = f.CreateWindows();
        QVERIFY(f.ShowAndActivate());
        TOptionsForm* options = f.Windows()->Others().OptionsForm();
        FakeSkinObject mainTemplate("MainForm", nullptr);
        FakeSkinObject settings("SettingsButton", &mainTemplate);
        FakeSkinObject okOnMain("OKButton", &mainTemplate);
        FakeSkinObject minimizeLower("buttonminimize", &mainTemplate);
        FakeSkinObject minimize("ButtonMinimize", &mainTemplate);

        main->Skin1SkinEvent(&minimize, "OnDblClick");
        main->Skin1SkinEvent(&minimize, "onclick");
        main->Skin1SkinEvent(&minimizeLower, "OnClick");
        main->Skin1SkinEvent(&okOnMain, "OnClick");
        QVERIFY(main->isVisible());
        QCOMPARE(main->SkinEvents().Dispatch(&okOnMain, "OnClick"), 0);

        // "SettingsButton" opens the settings dialog; its OK button closes it.
        bool shown = false;
        QTimer::singleShot(0, options, [options, &shown] {
            shown = options->isVisible();
            FakeSkinObject optionsTemplate("OptionsForm", nullptr);
            FakeSkinObject ok("OKButton", &optionsTemplate);
            FakeSkinObject okLower("okbutton", &optionsTemplate);
            qobject_cast<TMainForm*>(options->parentWidget())->Skin1SkinEvent(&okLower, "OnClick");
            QVERIFY(options->isVisible());
            qobject_cast<TMainForm*>(options->parentWidget())->Skin1SkinEvent(&ok, "OnClick");
        });
        main->Skin1SkinEvent(&settings, "OnClick");
        QVERIFY(shown);
        QVERIFY(!options->isVisible());
        QVERIFY(QFileInfo::exists(f.DataPath())); // confirmed: sorted and saved

        // "PrintButton" on any template opens the print dialog.
        TPrintForm* print = f.Windows()->Others().PrintForm();
        FakeSkinObject reminderTemplate("ReminderForm", nullptr);
        FakeSkinObject printButton("PrintButton", &reminderTemplate);
        bool printShown = false;
        QTimer::singleShot(0, print, [print, &printShown] {
            printShown = print->isVisible();
            print->SetModalResult(mrCancel);
        });
        main->Skin1SkinEvent(&printButton, "OnClick");
        QVERIFY(printShown);
    }

    void shouldRefillTheOptionsWhenSettingsAreCancelled() {
        AppFixture f;
        f.Store("Show grid", 0);
        TMainForm* main = f.CreateWindows();
        QVERIFY(f.ShowAndActivate());
        TOptionsForm* options = f.Windows()->Others().OptionsForm();
        QTimer::singleShot(0, options, [options] {
            Part<QCheckBox>(options, "CheckBox11")->setChecked(true);
            Part<QCheckBox>(options, "CheckBox1")->setChecked(true);
            Part<QComboBox>(options, "ComboBox1")->setCurrentIndex(2);
            options->Button2Click();
        });
        main->OpenSettings();
        QVERIFY(!main->Options().ShowGrid());
        QVERIFY(!main->Options().StartWithWindows());
        QCOMPARE(main->Options().SortBy(), 0);
        // Shown again, the dialog holds the stored values, not the cancelled ones.
        bool refilled = false;
        QTimer::singleShot(0, options, [options, &refilled] {
            refilled = !Part<QCheckBox>(options, "CheckBox11")->isChecked() &&
                       !Part<QCheckBox>(options, "CheckBox1")->isChecked() &&
                       Part<QComboBox>(options, "ComboBox1")->currentIndex() == 0;
            options->Button2Click();
        });
        main->OpenSettings();
        QVERIFY(refilled);
        QVERIFY(!QFileInfo::exists(f.AutostartDir() + "/quillnote.desktop"));
        QVERIFY(!QFileInfo::exists(f.DataPath()));
        QCOMPARE(f.StoredValue("Show grid"), QStringLiteral("0"));
    }

    void shouldApplyAndStoreConfirmedSettings() {
        AppFixture f;
        TMainForm* main = f.CreateWindows();
        QVERIFY(f.ShowAndActivate());
        TOptionsForm* options = f.Windows()->Others().OptionsForm();
        QSignalSpy reloads(Part<TSkin>(main), &TSkin::SkinLoaded);
        QTimer::singleShot(0, options, [options] {
            Part<QCheckBox>(options, "CheckBox1")->setChecked(true);
            Part<QCheckBox>(options, "CheckBox4")->setChecked(true);
            Part<QCheckBox>(options, "CheckBox6")->setChecked(false);
            Part<QComboBox>(options, "ComboBox1")->setCurrentIndex(1);
            options->Button1Click();
        });
        main->OpenSettings();
        QVERIFY(QFileInfo::exists(f.AutostartDir() + "/quillnote.desktop"));
        QVERIFY(main->AlphaBlend());
        QCOMPARE(QFileInfo(f.DataPath()).size(), 84);
        QCOMPARE(f.StoredValue("Sort by"), QStringLiteral("1"));
        QCOMPARE(f.StoredValue("Start with Windows"), QStringLiteral("1"));
        QCOMPARE(f.StoredValue("Show Priority"), QStringLiteral("0"));
        QCOMPARE(f.StoredValue("Always on Top"), QStringLiteral("0"));
        QCOMPARE(reloads.count(), 0); // the current skin stayed selected: no reload
        QVERIFY(f.errors.isEmpty());
        // The list follows the confirmed options: no priority column now.
        for (int i = 0; i < Part<TTaskList>(main)->ColumnCount; ++i)
            QVERIFY(Part<TTaskList>(main)->ColumnKinds[i] != ckPriority);
    }

    void shouldLoadAnotherSkinChosenInTheDialog() {
        AppFixture f;
        f.InstallSkin("Default");
        f.InstallSkin("Dark");
        TMainForm* main = f.CreateWindows();
        QVERIFY(f.ShowAndActivate());
        TOptionsForm* options = f.Windows()->Others().OptionsForm();
        QSignalSpy reloads(Part<TSkin>(main), &TSkin::SkinLoaded);
        QTimer::singleShot(0, options, [options] {
            auto* skins = Part<QComboBox>(options, "ComboBox2");
            skins->setCurrentIndex(skins->findText("Dark"));
            options->Button1Click();
        });
        main->OpenSettings();
        QCOMPARE(main->SkinName(), QStringLiteral("Dark"));
        QCOMPARE(reloads.count(), 1);
        QCOMPARE(main->size(), QSize(696, 480));
        QVERIFY(main->close());
        QCOMPARE(f.StoredValue("Skin"), QStringLiteral("Dark"));
    }

    void shouldOfferTheFirstSkinForAnUnknownName() {
        AppFixture f;
        f.InstallSkin("Dark");
        f.InstallSkin("Default");
        f.Store("Skin", "Vanished");
        TMainForm* main = f.CreateWindows();
        QVERIFY(f.ShowAndActivate());
        QCOMPARE(main->SkinName(), QStringLiteral("Default"));
        QVERIFY(f.errors.isEmpty());
        TOptionsForm* options = f.Windows()->Others().OptionsForm();
        // The shown skin's file goes: the dialog lists no entry of that name.
        QVERIFY(QFile::remove(QDir(f.ExeDir()).filePath("Skins/Default.skn")));
        QSignalSpy reloads(Part<TSkin>(main), &TSkin::SkinLoaded);
        AnswerWhenShown(options, mrOk);
        main->OpenSettings();
        QCOMPARE(Part<QComboBox>(options, "ComboBox2")->currentIndex(), 0);
        QCOMPARE(reloads.count(), 0);
        QCOMPARE(main->SkinName(), QStringLiteral("Default"));
    }

    void shouldSwitchSkinsFromTheMenuAndCheckTheCurrentOne() {
        AppFixture f;
        f.InstallSkin("Default");
        f.InstallSkin("Dark", "Skins", "dark");
        TMainForm* main = f.CreateWindows();
        QVERIFY(f.ShowAndActivate());
        main->TrayRightButtonDown(QPoint(10, 10)); // the menu opened from the tray
        QCOMPARE(Part<QAction>(main, "Open1")->text(), QStringLiteral("Open"));
        Part<QMenu>(main, "PopupMenu1")->hide();
        main->PopupMenu1Popup();
        QCOMPARE(Part<QAction>(main, "Open1")->text(), QStringLiteral("Minimize"));
        QStringList names;
        QAction* dark = nullptr;
        for (QAction* a : Part<QMenu>(main, "Skins1")->actions()) {
            names << a->text();
            if (a->text() == "Dark")
                dark = a;
            QCOMPARE(a->isChecked(), a->text() == "Default");
        }
        names.sort();
        QCOMPARE(names, QStringList({"Dark", "Default"})); // "dark.skn" listed as "Dark"
        QVERIFY(dark);
        dark->trigger();
        QCOMPARE(main->SkinName(), QStringLiteral("Dark"));
        QVERIFY(f.errors.isEmpty());
    }

    void shouldKeepTheShownSkinWhenAnotherFailsToLoad() {
        AppFixture f;
        f.InstallSkin("Default");
        QFile broken(f.ExeDir() + "/Skins/Broken.skn");
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("not a skin");
        broken.close();
        TMainForm* main = f.CreateWindows();
        QVERIFY(f.ShowAndActivate());
        main->PopupMenu1Popup();
        QAction* item = nullptr;
        for (QAction* a : Part<QMenu>(main, "Skins1")->actions())
            if (a->text() == "Broken")
                item = a;
        QVERIFY(item);
        item->trigger();
        QCOMPARE(f.errors.size(), 1);
        QCOMPARE(main->SkinName(), QStringLiteral("Default"));
        QVERIFY(main->close());
        QCOMPARE(f.StoredValue("Skin"), QStringLiteral("Default"));
    }

    void shouldTakeTheListPicturesFromTheSkinThatIsShown() {
        AppFixture f;
        QDir(f.ExeDir()).mkpath("Skins");
        QFile broken(f.ExeDir() + "/Skins/Default.skn");
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("not a skin");
        broken.close();
        f.InstallSkin("Dark");
        WriteDataFile(f.DataPath(), {"a task"});
        TMainForm* main = f.CreateWindows();
        QVERIFY(f.ShowAndActivate());
        QCOMPARE(f.errors.size(), 1); // the start-up skin
        const auto checkColumnWidth = [main] {
            for (int i = 0; i < Part<TTaskList>(main)->ColumnCount; ++i)
                if (Part<TTaskList>(main)->ColumnKinds[static_cast<size_t>(i)] == ckCheck)
                    return Part<TTaskList>(main)->StringGrid1->ColWidth(i);
            return -1;
        };
        QCOMPARE(checkColumnWidth(), 0); // no pictures: nothing to tick
        main->SKIN_MENU_CLICK("Dark");
        QCOMPARE(f.errors.size(), 1);
        QVERIFY(checkColumnWidth() > 0);
    }

    void shouldMakeADialogOnlyWhenFirstNeededInTheSkinShownThen() {
        // GIVEN a started program
        AppFixture f;
        f.InstallSkin("Dark");
        TMainForm* main = f.CreateWindows();
        QVERIFY(f.ShowAndActivate());
        const QStringList dialogs = {"EditTaskForm",   "ReminderForm", "OptionsForm",
                                     "PrintForm",      "MessageForm",  "CategoriesForm",
                                     "AddCategoryForm"};
        for (const QWidget* window : QApplication::topLevelWidgets())
            QVERIFY2(!dialogs.contains(window->objectName()), qPrintable(window->objectName()));
        // WHEN another skin is chosen, then the editor is first needed
        main->SKIN_MENU_CLICK("Dark");
        QCOMPARE(main->SkinName(), QStringLiteral("Dark"));
        TEditTaskForm* editor = main->Windows().EditTaskForm();
        editor->show();
        QVERIFY(QTest::qWaitForWindowExposed(editor));
        // THEN it wears the skin shown now
        QVERIFY(SkinWindowFrame::Of(editor));
        QCOMPARE(SkinWindowFrame::Of(editor)->Data(), Part<TSkin>(main)->Data());
        editor->hide();
    }

    void shouldKeepTheOuterSizeWhenTheNewSkinHasOtherFrameSizes() {
        AppFixture f;
        f.InstallSkin("Dark");
        const QString dark = f.ExeDir() + "/Skins/Dark.skn";
        const QMargins wide(6, 52, 6, 6);
        QVERIFY(test::WriteZip(
            f.ExeDir() + "/Skins/Wide.skn",
            test::WithManifest(test::UnpackSkin(dark), [&](QJsonObject& m) {
                QJsonObject templates = m["templates"].toObject();
                QJsonObject main = templates["MainForm"].toObject();
                main["margins"] = QJsonArray{wide.left(), wide.top(), wide.right(), wide.bottom()};
                templates["MainForm"] = main;
                m["templates"] = templates;
                m["name"] = "Wide";
            })));
        TMainForm* main = f.CreateWindows();
        QVERIFY(f.ShowAndActivate());
        const QRect before = main->geometry();
        // Every size the window takes on the way: a window manager answers each
        // resize request late, so an intermediate size can stick.
        QList<QSize> sizes;
        ResizeRecorder recorder(main, sizes);
        main->SKIN_MENU_CLICK("Wide");
        QCOMPARE(f.errors.size(), 0);
        QCOMPARE(main->FrameMargins(), wide);
        QCOMPARE(main->geometry(), before);
        QCOMPARE(main->ClientSize(), before.size().shrunkBy(wide));
        for (const QSize& size : sizes)
            QCOMPARE(size, before.size());
    }

    void shouldListTheMenuItemsInOrder() {
        AppFixture f;
        TMainForm* main = f.CreateWindows();
        QStringList items;
        for (QAction* a : Part<QMenu>(main, "PopupMenu1")->actions())
            items << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(items.join(QLatin1Char('|')),
                 QStringLiteral("Open|-|Add Task...|Settings...|Print...|-|Skins|-|Help...|"
                                "About...|-|Exit|-|Export Tasks...|Import Tasks...|-|Undo|Redo|-|"
                                "Sync..."));
        QCOMPARE(Part<QMenu>(main, "PopupMenu1")->defaultAction(), Part<QAction>(main, "Open1"));
    }

    void shouldPassDeleteToTheListWhereverTheFocusIs() {
        AppFixture f;
        TMainForm* main = f.CreateWindows();
        QVERIFY(f.ShowAndActivate());
        TaskStore& store = f.Services().store;
        for (const char* title : {"first", "second"}) {
            TTASK_ITEM task;
            task.Title = title;
            quill::AddTask(store, task);
        }
        main->ComboBox1Change(3); // "All"
        QCOMPARE(store.VisibleTaskCount, 2);
        int asked = 0;
        Part<TTaskList>(main)->SetConfirm([&asked](QWidget*, const QString&, const QString&) {
            ++asked;
            return true;
        });
        Part<QComboBox>(main, "ComboBox1")->setFocus();
        QTest::keyClick(Part<QComboBox>(main, "ComboBox1"), Qt::Key_Delete);
        QCOMPARE(asked, 1);
        QCOMPARE(store.TaskCount(), 1);
    }

    // A deletion taken back by Ctrl+Z and made again by Ctrl+Y: saved each time,
    // the task back as the current row, the menus naming the step.
    void shouldUndoAndRedoADeletionFromTheKeys() {
        AppFixture f;
        WriteDataFile(f.DataPath(), {"one", "two", "three"});
        TMainForm* main = f.CreateWindows();
        QVERIFY(f.ShowAndActivate());
        TaskStore& store = f.Services().store;
        TTaskList* list = Part<TTaskList>(main);
        list->SetConfirm([](QWidget*, const QString&, const QString&) { return true; });
        list->MakeTaskCurrent(store.Tasks[1].Key);
        main->SortTaskList(); // saved as the program writes it
        const QByteArray original = ReadAll(f.DataPath());
        list->DeleteTask();
        QCOMPARE(TaskTitles(store), (QStringList{"one", "three"}));
        QAction* undo = Part<QAction>(list->PopupMenu2, "UndoChange");
        Q_EMIT list->PopupMenu2->aboutToShow();
        QCOMPARE(undo->text(), QStringLiteral("Undo Delete Task"));
        QTest::keyClick(main, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(store.TaskCount(), 3);
        QCOMPARE(store.Tasks[static_cast<size_t>(list->CurrentTaskIndex)].Title, "two");
        QCOMPARE(ReadAll(f.DataPath()), original);
        Q_EMIT list->PopupMenu2->aboutToShow();
        QVERIFY(!undo->isEnabled());
        QCOMPARE(Part<QAction>(list->PopupMenu2, "RedoChange")->text(),
                 QStringLiteral("Redo Delete Task"));
        QTest::keyClick(main, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(TaskTitles(store), (QStringList{"one", "three"}));
        QVERIFY(ReadAll(f.DataPath()) != original);
    }

    void shouldTurnTerminationSignalsIntoACloseOnTheEventLoop() {
        int calls = 0;
        {
            ShutdownSignals signals([&calls] { ++calls; });
            QVERIFY(signals.IsInstalled());
            ::raise(SIGTERM);
            QVERIFY(QTest::qWaitFor([&calls] { return calls == 1; }, 2000));
            ::raise(SIGINT);
            QVERIFY(QTest::qWaitFor([&calls] { return calls == 2; }, 2000));
        }
        // Uninstalled again: the default action is back (not raised here).
        struct sigaction current {};
        ::sigaction(SIGTERM, nullptr, &current);
        QVERIFY(current.sa_handler == SIG_DFL);
    }

    // Every command reports its own failure, through the one presenter.
    void shouldReportWhatStoppedACommand() {
        AppFixture f;
        QVERIFY(!ReportErrors(
            [] { throw AppError("Failed to create key \\SOFTWARE\\Tolvane\\Quillnote"); }));
        QCOMPARE(f.errors, QStringList({"Failed to create key \\SOFTWARE\\Tolvane\\Quillnote"}));
        QVERIFY(ReportErrors([] {}));
        QCOMPARE(f.errors.size(), 1);
    }

    void shouldFilterByTheChosenCategoryAndRememberIt() {
        AppFixture f;
        TMainForm* main = f.CreateWindows();
        QVERIFY(f.ShowAndActivate());
        main->ComboBox1Change(3); // "All"
        QCOMPARE(f.StoredValue("MainFormGroup"), QStringLiteral("3"));
        QVERIFY(QFileInfo::exists(f.DataPath()));
        // "Edit Categories..." opens the categories window and writes nothing.
        TCategoriesForm* categories = f.Windows()->Others().CategoriesForm();
        AnswerWhenShown(categories, mrOk);
        main->ComboBox1Change(4);
        QCOMPARE(f.StoredValue("MainFormGroup"), QStringLiteral("3"));
        QCOMPARE(Part<QComboBox>(main, "ComboBox1")->currentIndex(),
                 3); // FillCategoryLists selects "All"
    }
};

int RunMainFormTests(int argc, char** argv) {
    MainFormTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "main_form_test.moc"
