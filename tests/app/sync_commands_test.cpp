// Sync from the real main window against a real server (with_radicale.sh gives
// QUILLNOTE_TEST_CALDAV): "Find task lists" and "Sync now" in the Sync window; a
// change made while the sync runs survives it, and the run set aside for it is
// run again without a conflict copy (what it sent is the same change on both
// sides); a refused password stops the syncs and asks once, never modally.
#include "app_fixture.h"

#include "app/main_form.h"
#include "app/quillnote_application.h"
#include "app/sync_commands.h"
#include "app/undo_commands.h"
#include "core/task_store.h"
#include "sync/caldav_client.h"
#include "sync/sync_state.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTest>

using namespace quill;

namespace {

const QString kList = QString::fromLatin1(qgetenv("QUILLNOTE_TEST_CALDAV"));

void AddTitled(AppFixture& f, const char* title) {
    TTASK_ITEM task;
    task.Title = title;
    AddTask(f.Services().store, task);
    f.Main()->RefreshTaskList(false);
}

int32_t FindTitled(const TaskStore& store, const std::string& title) {
    for (int32_t i = 0; i < store.TaskCount(); ++i)
        if (store.Tasks[i].Title == title)
            return i;
    return -1;
}

int Count(const TaskStore& store, const std::string& title) {
    return static_cast<int>(std::count_if(store.Tasks.begin(), store.Tasks.end(),
                                          [&](const TTASK_ITEM& t) { return t.Title == title; }));
}

// The window with the account, the password typed, syncing only by hand.
TSyncForm* OpenAccount(AppFixture& f, const QString& password, const QString& list) {
    f.Store(QStringLiteral("SyncServer"), kList);
    f.Store(QStringLiteral("SyncUser"), QStringLiteral("alice"));
    f.Store(QStringLiteral("SyncTaskList"), list);
    f.Store(QStringLiteral("SyncInterval"), 4);
    f.Store(QStringLiteral("SyncPasswordPlace"), 1);
    f.CreateWindows();
    if (!f.ShowAndActivate())
        return nullptr;
    f.Main()->Sync()->ShowWindow();
    TSyncForm* form = f.Main()->Sync()->Window();
    Part<QLineEdit>(form, "PasswordEdit")->setText(password);
    return form;
}

} // namespace

class SyncCommandsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void shouldKeepAChangeMadeWhileTheSyncRuns() {
        AppFixture f;
        TSyncForm* form = OpenAccount(f, QStringLiteral("alice-pw"), {});
        QVERIFY(form);
        Part<QPushButton>(form, "FindButton")->click();
        QTRY_COMPARE_WITH_TIMEOUT(f.StoredValue(QStringLiteral("SyncTaskList")), kList, 10000);
        QCOMPARE(Part<QListWidget>(form, "TaskListBox")->currentItem()->text(),
                 QStringLiteral("Tasks"));
        AddTitled(f, "Pay rent");
        Part<QPushButton>(form, "SyncNowButton")->click();
        QVERIFY(f.Main()->Sync()->Running());
        // Made while the run works on its copy: the run is set aside, runs again.
        // The task it is sending is edited too: no conflict copy of it after.
        AddTitled(f, "Buy milk");
        TTASK_ITEM& sent = f.Services().store.Tasks[FindTitled(f.Services().store, "Pay rent")];
        sent.Title = "Pay rent today";
        MarkChanged(sent);
        f.Main()->RefreshTaskList(true);
        QTRY_VERIFY_WITH_TIMEOUT(!f.Main()->Sync()->Running() &&
                                     Part<QLabel>(form, "StatusLabel")->text().startsWith("Synced"),
                                 15000);
        const TaskStore& store = f.Services().store;
        QCOMPARE(Count(store, "Buy milk"), 1);
        QCOMPARE(Count(store, "Pay rent today"), 1);
        QCOMPARE(store.TaskCount(), 2);
        SyncState state;
        bool found = false;
        std::string error;
        QVERIFY(LoadSyncState(f.DataPath().toStdString(), state, found, error) && found);
        QCOMPARE(state.items.size(), size_t(2));
        QVERIFY(f.Tray().ToolTip().contains("Last sync: "));

        // Another device's task arrives; undo no longer reaches before the sync.
        f.Main()->RecordChange(TaskStep("Edit Task", &store.Tasks[0], &store.Tasks[0], 0));
        CalDavClient other(QStringLiteral("alice"), QStringLiteral("alice-pw"));
        int put = 0;
        other.Send("PUT", QUrl(kList + "other-1.ics"), {{"Content-Type", "text/calendar"}},
                   "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Other//EN\r\nBEGIN:VTODO\r\n"
                   "UID:other-1\r\nDTSTAMP:20260105T101500Z\r\nSUMMARY:Call the plumber\r\n"
                   "END:VTODO\r\nEND:VCALENDAR\r\n",
                   [&put](const DavAnswer& answer) { put = answer.status; });
        QTRY_COMPARE(put, 201);
        Part<QPushButton>(form, "SyncNowButton")->click();
        QTRY_COMPARE_WITH_TIMEOUT(Count(store, "Call the plumber"), 1, 15000);
        QVERIFY(!f.Main()->findChild<UndoCommands*>("UndoCommands")->History().CanUndo());
    }

    void shouldAskOnceForARefusedPassword() {
        AppFixture f;
        TSyncForm* form = OpenAccount(f, QStringLiteral("wrong"), kList);
        QVERIFY(form);
        Part<QPushButton>(form, "SyncNowButton")->click();
        QTRY_VERIFY_WITH_TIMEOUT(!f.Main()->Sync()->Running(), 15000);
        QVERIFY(f.Tray().ToolTip().contains("Last sync failed: "));
        QVERIFY(Part<QLabel>(form, "StatusLabel")->text().contains("Enter the password"));
        QVERIFY(f.errors.isEmpty()); // never a message box
        // Neither another interval nor a change sends the refused password again.
        auto* interval = Part<QComboBox>(form, "IntervalBox");
        interval->setCurrentIndex(0);
        Q_EMIT interval->activated(0);
        AddTitled(f, "Buy milk");
        QVERIFY(!f.Main()->Sync()->Scheduled());
        QVERIFY(!f.Main()->Sync()->Running());
        QVERIFY(Part<QLabel>(form, "StatusLabel")->text().contains("Enter the password"));
    }

    void shouldAskBeforeDeletingManyOnTheServer() {
        AppFixture f;
        TSyncForm* form = OpenAccount(f, QStringLiteral("alice-pw"), kList);
        QVERIFY(form);
        auto syncedNow = [&] {
            Part<QPushButton>(form, "SyncNowButton")->click();
            return QTest::qWaitFor([&] { return !f.Main()->Sync()->Running(); }, 15000);
        };
        QVERIFY(syncedNow()); // the earlier tests' tasks come here
        auto* interval = Part<QComboBox>(form, "IntervalBox");
        interval->setCurrentIndex(1); // every 5 minutes
        Q_EMIT interval->activated(1);
        QVERIFY(f.Main()->Sync()->Scheduled());
        TaskStore& store = f.Services().store;
        QVERIFY(store.TaskCount() >= 3);
        while (store.TaskCount() > 1)
            RemoveTaskAt(store, 0);
        f.Main()->RefreshTaskList(true);
        QVERIFY(syncedNow());
        auto* allow = Part<QPushButton>(form, "AllowDeletionsButton");
        QVERIFY(allow->isVisible());
        QVERIFY(Part<QLabel>(form, "DeletionsLabel")->text().startsWith("This sync would delete"));
        QVERIFY(!f.Main()->Sync()->Scheduled()); // nothing goes before the user decides
        allow->click();
        QTRY_VERIFY_WITH_TIMEOUT(Part<QLabel>(form, "StatusLabel")->text().startsWith("Synced"),
                                 15000);
        SyncState state;
        bool found = false;
        std::string error;
        QVERIFY(LoadSyncState(f.DataPath().toStdString(), state, found, error) && found);
        QCOMPARE(state.items.size(), size_t(1));
        QVERIFY(!allow->isVisible());
    }
};

int main(int argc, char** argv) {
    // Without a server given, the test runs itself again beside a Radicale of its own.
    if (kList.isEmpty()) {
        QStringList args{QStringLiteral(QUILLNOTE_WITH_RADICALE)};
        for (int i = 0; i < argc; ++i)
            args << QString::fromLocal8Bit(argv[i]);
        return QProcess::execute(QStringLiteral("bash"), args);
    }
    QuillnoteApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    SyncCommandsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "sync_commands_test.moc"
