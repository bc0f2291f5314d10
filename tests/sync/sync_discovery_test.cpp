// Finding task lists from the server's answers, and when the program syncs on
// its own: tables of canned multistatus bodies and of schedule states.
#include "sync/sync_schedule.h"
#include "sync/task_list_finder.h"

#include <gtest/gtest.h>

namespace quill {
namespace {

QByteArray Multistatus(const char* responses) {
    return QByteArray("<?xml version=\"1.0\"?><d:multistatus xmlns:d=\"DAV:\" "
                      "xmlns:c=\"urn:ietf:params:xml:ns:caldav\">") +
           responses + "</d:multistatus>";
}

QByteArray Collection(const char* href, const char* type, const char* props) {
    return QByteArray("<d:response><d:href>") + href + "</d:href><d:propstat><d:prop>" +
           "<d:resourcetype>" + type + "</d:resourcetype>" + props +
           "</d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>";
}

TEST(SyncDiscovery, ReadsThePrincipalAndTheHome) {
    struct Row {
        const char* prop;
        const char* principal;
        const char* home;
    } rows[] = {
        {"<d:current-user-principal><d:href>/alice/</d:href></d:current-user-principal>", "/alice/",
         ""},
        {"<c:calendar-home-set><d:href>/dav/calendars/alice/</d:href></c:calendar-home-set>", "",
         "/dav/calendars/alice/"},
        // A property the server lacks comes back empty.
        {"<c:calendar-home-set/><d:current-user-principal/>", "", ""},
    };
    for (const Row& row : rows) {
        const QByteArray body = Multistatus(Collection("/", "", row.prop).constData());
        const PrincipalInfo info = ReadPrincipal(body);
        EXPECT_EQ(info.principal.toStdString(), row.principal) << row.prop;
        EXPECT_EQ(info.home.toStdString(), row.home) << row.prop;
    }
}

TEST(SyncDiscovery, ListsTheCalendarsThatHoldTasks) {
    const QByteArray body = Multistatus(
        (Collection("/alice/", "<d:collection/>", "") +
         Collection("/alice/tasks/", "<d:collection/><c:calendar/>",
                    "<d:displayname>Tasks</d:displayname><c:supported-calendar-component-set>"
                    "<c:comp name=\"VTODO\"/></c:supported-calendar-component-set>") +
         Collection("/alice/events/", "<d:collection/><c:calendar/>",
                    "<d:displayname>Events</d:displayname><c:supported-calendar-component-set>"
                    "<c:comp name=\"VEVENT\"/></c:supported-calendar-component-set>") +
         // No component set: it holds everything; no name: its path's last part.
         Collection("/alice/both%20kinds/", "<d:collection/><c:calendar/>", "") +
         Collection("/alice/mixed/", "<d:collection/><c:calendar/>",
                    "<c:supported-calendar-component-set><c:comp name=\"VEVENT\"/>"
                    "<c:comp name=\"vtodo\"/></c:supported-calendar-component-set>"))
            .constData());
    const std::vector<TaskListInfo> lists =
        ReadTaskLists(body, QUrl(QStringLiteral("https://host:8443/alice/")));
    std::vector<std::string> found;
    for (const TaskListInfo& list : lists) {
        found.push_back(list.url.toString(QUrl::FullyEncoded).toStdString() + " " +
                        list.name.toStdString());
    }
    EXPECT_EQ(found, (std::vector<std::string>{"https://host:8443/alice/tasks/ Tasks",
                                               "https://host:8443/alice/both%20kinds/ both kinds",
                                               "https://host:8443/alice/mixed/ mixed"}));
}

TEST(SyncSchedule, TellsWhenTheNextSyncIsDue) {
    constexpr int64_t now = 1'000'000;
    const auto state = [](SyncInterval interval, int64_t lastRun, int64_t firstChange,
                          int64_t lastChange) {
        ScheduleState s;
        s.interval = interval;
        s.ready = true;
        s.lastRunMs = lastRun;
        s.firstChangeMs = firstChange;
        s.lastChangeMs = lastChange;
        return s;
    };
    struct Row {
        const char* what;
        ScheduleState state;
        int64_t expected;
    };
    std::vector<Row> rows = {
        {"start-up", state(SyncInterval::Every15, -1, -1, -1), 0},
        {"only by hand, even at start-up", state(SyncInterval::ByHand, -1, now, now), -1},
        {"every 15 minutes", state(SyncInterval::Every15, now - 60000, -1, -1), 14 * 60000},
        {"long overdue", state(SyncInterval::Every5, now - 3600000, -1, -1), 0},
        {"a change settles", state(SyncInterval::OnEveryChange, now - 1000, now - 100, now - 100),
         kChangeSettleMs - 100},
        {"a change waits for the next one",
         state(SyncInterval::OnEveryChange, now - 1000, now - 2000, now), kChangeSettleMs},
        {"a long burst of edits goes at last",
         state(SyncInterval::OnEveryChange, now - 1000, now - kChangeLongestWaitMs + 100, now),
         100},
        {"a change with an interval waits for it",
         state(SyncInterval::Every60, now - 1000, now, now), 3600000 - 1000},
    };
    ScheduleState waiting = state(SyncInterval::Every5, -1, -1, -1);
    waiting.ready = false; // no password, or one refused
    ScheduleState running = state(SyncInterval::Every5, -1, -1, -1);
    running.running = true;
    ScheduleState setAside = state(SyncInterval::ByHand, now, -1, -1);
    setAside.retryMs = now + kRetryMs;
    rows.push_back({"not ready", waiting, -1});
    rows.push_back({"a run going", running, -1});
    rows.push_back({"a set-aside run goes again", setAside, kRetryMs});
    for (Row& row : rows) {
        EXPECT_EQ(MsUntilNextSync(row.state, now), row.expected) << row.what;
    }
}

TEST(SyncSchedule, KeepsARunOnlyOverUnchangedTasksAndNoWaitingWindow) {
    struct Row {
        bool reconciled, changed, waiting;
        FinishedRun expected;
    } rows[] = {
        {true, false, false, FinishedRun::Keep},    {true, true, false, FinishedRun::SetAside},
        {true, false, true, FinishedRun::SetAside}, {false, false, false, FinishedRun::Nothing},
        {false, true, true, FinishedRun::Nothing},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(DecideFinishedRun(row.reconciled, row.changed, row.waiting), row.expected)
            << row.reconciled << row.changed << row.waiting;
    }
}

TEST(SyncSchedule, SignatureSeesChangesButNotTheOrder) {
    TaskStore store;
    store.Categories = {{"Home", 0}, {"Work", 1}};
    for (const char* title : {"a", "b"}) {
        TTASK_ITEM task;
        task.Title = title;
        task.Uid = title;
        store.Tasks.push_back(task);
    }
    const uint64_t before = StoreSignature(store);
    std::swap(store.Tasks[0], store.Tasks[1]);
    store.VisibleTaskCount = 1;
    EXPECT_EQ(StoreSignature(store), before);
    const std::vector<std::function<void(TaskStore&)>> changes = {
        [](TaskStore& s) { s.Tasks[0].Done = 1; },
        [](TaskStore& s) { s.Tasks[1].LastModified = 5; },
        [](TaskStore& s) { s.Tasks.pop_back(); },
        [](TaskStore& s) { s.Categories[1].Name = "Job"; },
        [](TaskStore& s) { s.Tasks[0].CategoryIndex = 1; },
    };
    for (size_t i = 0; i < changes.size(); ++i) {
        TaskStore changed = store;
        changes[i](changed);
        EXPECT_NE(StoreSignature(changed), before) << "change " << i;
    }
}

TEST(SyncSchedule, ASetAsideRunLeavesItsCopiesAndFirstLinks) {
    const auto task = [](const char* uid, int32_t category) {
        TTASK_ITEM t;
        t.Uid = t.Title = uid;
        t.CategoryIndex = category;
        return t;
    };
    TaskStore live;
    live.Categories = {{"Home", 0}};
    live.Tasks = {task("sent", 0), task("known", 0)};
    TaskStore run;
    run.Categories = {{"Home", 0}, {"Errands", 4}};
    run.Tasks = {task("sent", 0), task("known", 0), task("received", 0), task("copy", 1)};
    SyncState runState;
    for (const char* uid : {"sent", "known", "received"})
        runState.items[uid].etag = "\"run\"";
    runState.localOnly["copy"] = 7;
    SyncState kept;
    kept.items["known"].etag = "\"before\"";

    const AdoptedFromRun adopted = AdoptFromSetAsideRun(run, runState, live, kept);
    EXPECT_EQ(adopted.copies, 1);
    EXPECT_EQ(adopted.links, 1);
    EXPECT_TRUE(adopted.categoriesAdded);
    EXPECT_EQ(kept.items.at("sent").etag, "\"run\"");
    EXPECT_EQ(kept.items.at("known").etag, "\"before\""); // its next sync decides
    EXPECT_EQ(kept.items.count("received"), 0u);          // the server still has it
    EXPECT_EQ(kept.localOnly.at("copy"), 7);
    ASSERT_EQ(live.TaskCount(), 3);
    EXPECT_EQ(live.Tasks[2].Uid, "copy");
    EXPECT_EQ(live.Categories[live.Tasks[2].CategoryIndex].Name, "Errands");
    EXPECT_NE(live.Tasks[2].Key, 0u);
    // Set aside again: nothing is added twice.
    const AdoptedFromRun again = AdoptFromSetAsideRun(run, runState, live, kept);
    EXPECT_EQ(again.copies + again.links, 0);
    EXPECT_EQ(live.TaskCount(), 3);
}

} // namespace
} // namespace quill
