// Against a real server (with_radicale.sh: QUILLNOTE_TEST_CALDAV is an empty
// task list "Tasks", user alice, password alice-pw): finding task lists from
// the server's root and making one; and a run set aside (the program changed
// its tasks meanwhile) is safe to run again from where it started: what the
// set-aside run sent is seen as the same change on both sides, never as a
// conflict or a second copy.
#include "core/task_store.h"
#include "sync/sync_run.h"
#include "sync/task_list_finder.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <gtest/gtest.h>

namespace quill {
namespace {

struct Ran {
    SyncSummary summary;
    TaskStore store;
    SyncState state;
};

Ran SyncOnce(const TaskStore& store, const SyncState& state) {
    SyncRun run(store, state, QStringLiteral("alice-pw"), SyncOptions{1'800'000'000, 46000.0});
    QEventLoop loop;
    Ran ran;
    QObject::connect(&run, &SyncRun::Finished, [&](const SyncSummary& s) {
        ran.summary = s;
        loop.quit();
    });
    run.Start();
    loop.exec();
    ran.store = run.Store();
    ran.state = run.State();
    return ran;
}

std::vector<std::string> Titles(const TaskStore& store) {
    std::vector<std::string> titles;
    for (const TTASK_ITEM& task : store.Tasks) {
        titles.push_back(task.Title);
    }
    std::sort(titles.begin(), titles.end());
    return titles;
}

int argc = 0;
QCoreApplication app(argc, nullptr);
const QByteArray list = qgetenv("QUILLNOTE_TEST_CALDAV");

FindResult
Await(const std::function<void(TaskListFinder&, std::function<void(const FindResult&)>)>& ask,
      const QString& password = QStringLiteral("alice-pw")) {
    TaskListFinder finder(QStringLiteral("alice"), password, {});
    QEventLoop loop;
    FindResult result;
    ask(finder, [&](const FindResult& r) {
        result = r;
        loop.quit();
    });
    loop.exec();
    return result;
}

TEST(SyncServer, FindsAndMakesTaskLists) {
    ASSERT_FALSE(list.isEmpty()) << "run through with_radicale.sh";
    const QUrl root = QUrl(QString::fromLatin1(list)).resolved(QUrl(QStringLiteral("/")));
    const auto find = [&](TaskListFinder& f, auto done) { f.Find(root, std::move(done)); };
    const FindResult found = Await(find);
    ASSERT_TRUE(found.ok) << found.error.toStdString();
    ASSERT_EQ(found.lists.size(), 1u);
    EXPECT_EQ(found.lists[0].url.toString().toLatin1(), list);
    EXPECT_EQ(found.lists[0].name, QStringLiteral("Tasks"));

    const FindResult made = Await([&](TaskListFinder& f, auto done) {
        f.Create(found.home, QStringLiteral("Errands & more"), std::move(done));
    });
    ASSERT_TRUE(made.ok) << made.error.toStdString();
    const FindResult again = Await(find);
    ASSERT_EQ(again.lists.size(), 2u);
    EXPECT_TRUE(again.lists[0].name == "Errands & more" || again.lists[1].name == "Errands & more");

    const FindResult refused = Await(find, QStringLiteral("wrong"));
    EXPECT_EQ(refused.status, 401);
}

TEST(SyncServer, ASetAsideRunLeavesNothingToConflictWith) {
    ASSERT_FALSE(list.isEmpty()) << "run through with_radicale.sh";
    TaskStore store;
    AddDefaultCategories(store);
    TTASK_ITEM task;
    task.Title = "Pay rent";
    AddTask(store, task);
    SyncState state;
    state.collectionUrl = list.toStdString();
    state.user = "alice";
    const Ran first = SyncOnce(store, state);
    ASSERT_TRUE(first.summary.ok) << first.summary.error.toStdString();

    // Changed here after the first sync: an edit and a new task.
    TaskStore changed = first.store;
    changed.Tasks[0].Title = "Pay rent today";
    changed.Tasks[0].LastModified += 60;
    TTASK_ITEM added;
    added.Title = "Buy milk";
    AddTask(changed, added);
    const Ran setAside = SyncOnce(changed, first.state);
    ASSERT_TRUE(setAside.summary.ok) << setAside.summary.error.toStdString();
    ASSERT_EQ(setAside.summary.sent, 2);

    const Ran again = SyncOnce(changed, first.state);
    ASSERT_TRUE(again.summary.ok) << again.summary.error.toStdString();
    EXPECT_EQ(again.summary.conflicts, 0);
    EXPECT_EQ(Titles(again.store), (std::vector<std::string>{"Buy milk", "Pay rent today"}));
    EXPECT_EQ(again.state.items.size(), 2u);
    // And nothing is left to send.
    const Ran settled = SyncOnce(again.store, again.state);
    EXPECT_EQ(settled.summary.sent + settled.summary.received + settled.summary.conflicts, 0);
}

} // namespace
} // namespace quill
