// A run set aside (the program changed its tasks meanwhile) is safe to run again
// from where it started: what the set-aside run sent is seen as the same change
// on both sides, never as a conflict or a second copy. Against a real server:
// QUILLNOTE_TEST_CALDAV (an empty task list's address; user alice, alice-pw).
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

TEST(SyncRerun, ASetAsideRunLeavesNothingToConflictWith) {
    const QByteArray list = qgetenv("QUILLNOTE_TEST_CALDAV");
    if (list.isEmpty()) {
        GTEST_SKIP() << "no server given";
    }
    int argc = 0;
    QCoreApplication app(argc, nullptr);
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
