// The sync's decisions: each row starts from two tasks both sides last agreed
// on, changes one side or both, and checks what the store holds and what would
// be sent.
#include "calendar/repeat_rule.h"
#include "core/task_store.h"
#include "sync/sync_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string_view>

namespace quill {
namespace {

constexpr int64_t kSynced = 1'700'000'000;
const char* const kList = "http://127.0.0.1/alice/tasks/";

constexpr const char* kHome = "CATEGORIES:Home\r\n";

std::string Text(const std::string& uid, const std::string& title, int priority = 5,
                 const std::string& extra = kHome) {
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Other//App//EN\r\nBEGIN:VTODO\r\nUID:" +
           uid + "\r\nDTSTAMP:20260105T101500Z\r\nSUMMARY:" + title +
           "\r\nPRIORITY:" + std::to_string(priority) + "\r\n" + extra +
           "X-OTHER-APP:keep me\r\nDTSTART:20260101T090000Z\r\nEND:VTODO\r\nEND:VCALENDAR\r\n";
}

struct World {
    TaskStore store;
    SyncState state;
    ServerListing listing;
    ServerTexts texts;

    // Both tasks came from the server in a first sync.
    explicit World(const std::string& extra = kHome) {
        store.Categories = {{"Home", 3}};
        state.collectionUrl = kList;
        for (const auto& [uid, title] : {std::pair{"t1", "Buy milk"}, {"t2", "Call Bob"}}) {
            const std::string href = std::string("/alice/tasks/") + uid + ".ics";
            listing[href] = "\"e1\"";
            texts[href] = Text(uid, title, 5, extra);
        }
        const SyncPlan first = Run();
        EXPECT_EQ(first.received, 2);
        EXPECT_TRUE(first.ops.empty());
    }
    TTASK_ITEM& Local(const std::string& uid) {
        return *std::find_if(store.Tasks.begin(), store.Tasks.end(),
                             [&](const TTASK_ITEM& t) { return t.Uid == uid; });
    }
    void EditHere(const std::string& uid, const std::string& title, int32_t priority = 0) {
        Local(uid).Title = title;
        Local(uid).Priority = priority;
        MarkChanged(Local(uid));
    }
    void EditThere(const std::string& uid, const std::string& title, int priority = 5,
                   const std::string& extra = kHome) {
        listing["/alice/tasks/" + uid + ".ics"] = "\"e2\"";
        texts["/alice/tasks/" + uid + ".ics"] = Text(uid, title, priority, extra);
    }
    void RemoveHere(const std::string& uid) {
        store.Tasks.erase(std::find_if(store.Tasks.begin(), store.Tasks.end(),
                                       [&](const TTASK_ITEM& t) { return t.Uid == uid; }));
    }
    void RemoveThere(const std::string& uid) { listing.erase("/alice/tasks/" + uid + ".ics"); }

    SyncPlan Run() {
        SyncOptions options;
        options.now = kSynced + 100;
        return ReconcileSync(store, state, listing, texts, options);
    }
    // "title/priority" of every task, in order of title.
    std::string Tasks() const {
        std::vector<std::string> rows;
        for (const TTASK_ITEM& task : store.Tasks) {
            rows.push_back(task.Title + "/" + std::to_string(task.Priority));
        }
        std::sort(rows.begin(), rows.end());
        std::string out;
        for (const std::string& row : rows) {
            out += (out.empty() ? "" : ", ") + row;
        }
        return out;
    }
};

std::string Ops(const SyncPlan& plan) {
    std::string out;
    for (const SyncOp& op : plan.ops) {
        const char* kind = op.kind == SyncOp::Kind::Create   ? "create "
                           : op.kind == SyncOp::Kind::Update ? "update "
                                                             : "delete ";
        out += (out.empty() ? "" : ", ") + (kind + op.uid) + (op.etag.empty() ? "" : " " + op.etag);
    }
    return out;
}

struct Row {
    const char* name;
    std::function<void(World&)> change;
    const char* tasks; // priorities: 0 High, 1 Normal
    const char* ops;
    const char* sentTitle; // the SUMMARY the first operation sends ("" none)
    int conflicts;
};

TEST(SyncEngine, EachSideChangesAsTheRuleSays) {
    const Row rows[] = {
        {"nothing changed", [](World&) {}, "Buy milk/1, Call Bob/1", "", "", 0},
        {"new here",
         [](World& w) {
             TTASK_ITEM task;
             task.Title = "Pay rent";
             task.Uid = "t3";
             AddTask(w.store, task);
         },
         "Buy milk/1, Call Bob/1, Pay rent/0", "create t3", "Pay rent", 0},
        {"new there",
         [](World& w) {
             w.listing["/alice/tasks/t3.ics"] = "\"n\"";
             w.texts["/alice/tasks/t3.ics"] = Text("t3", "Water plants", 1);
         },
         "Buy milk/1, Call Bob/1, Water plants/0", "", "", 0},
        {"changed here", [](World& w) { w.EditHere("t1", "Buy oat milk"); },
         "Buy oat milk/0, Call Bob/1", "update t1 \"e1\"", "Buy oat milk", 0},
        {"changed there", [](World& w) { w.EditThere("t1", "Buy soy milk", 9); },
         "Buy soy milk/2, Call Bob/1", "", "", 0},
        {"different fields on each side",
         [](World& w) {
             w.EditHere("t1", "Buy milk", 0);
             w.EditThere("t1", "Buy soy milk", 5);
         },
         "Buy soy milk/0, Call Bob/1", "update t1 \"e2\"", "Buy soy milk", 0},
        {"the same change on both sides",
         [](World& w) {
             w.EditHere("t1", "Buy soy milk", 1);
             w.EditThere("t1", "Buy soy milk", 5);
         },
         "Buy soy milk/1, Call Bob/1", "", "", 0},
        {"the same field changed differently",
         [](World& w) {
             w.EditHere("t1", "Buy oat milk", 1);
             w.EditThere("t1", "Buy soy milk", 5);
         },
         "Buy oat milk/1, Call Bob/1, Conflict copy: Buy soy milk/1", "update t1 \"e2\"",
         "Buy oat milk", 1},
        {"removed here", [](World& w) { w.RemoveHere("t1"); }, "Call Bob/1", "delete t1 \"e1\"", "",
         0},
        {"removed here, changed there",
         [](World& w) {
             w.RemoveHere("t1");
             w.EditThere("t1", "Buy soy milk");
         },
         "Buy soy milk/1, Call Bob/1", "", "", 0},
        {"removed there", [](World& w) { w.RemoveThere("t1"); }, "Call Bob/1", "", "", 0},
        {"unreadable there, changed here",
         [](World& w) {
             w.EditHere("t1", "Buy oat milk");
             w.EditThere("t1", "Buy soy milk");
             w.texts["/alice/tasks/t1.ics"] = "BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n";
             w.listing["/alice/tasks/t4.ics"] = "\"n\"";
         },
         "Buy oat milk/0, Call Bob/1", "", "", 0},
        {"removed there, changed here",
         [](World& w) {
             w.RemoveThere("t1");
             w.EditHere("t1", "Buy oat milk");
         },
         "Buy oat milk/0, Call Bob/1", "create t1", "Buy oat milk", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        World world;
        row.change(world);
        const SyncPlan plan = world.Run();
        ASSERT_TRUE(plan.ok) << plan.error;
        EXPECT_EQ(world.Tasks(), row.tasks);
        EXPECT_EQ(Ops(plan), row.ops);
        EXPECT_EQ(plan.conflicts, row.conflicts);
        if (*row.sentTitle != '\0') {
            ASSERT_FALSE(plan.ops.empty());
            EXPECT_NE(plan.ops[0].body.find(std::string("SUMMARY:") + row.sentTitle),
                      std::string::npos);
        }
    }
}

TEST(SyncEngine, AnEditRewritesOnlyWhatChanged) {
    for (const bool dueChanged : {false, true}) {
        World world;
        world.EditHere("t1", "Buy oat milk");
        world.Local("t1").HasDueDate = dueChanged ? 1 : 0;
        world.Local("t1").DueDate = 46000;
        const SyncPlan plan = world.Run();
        ASSERT_EQ(plan.ops.size(), 1u);
        const std::string& sent = plan.ops[0].body;
        EXPECT_NE(sent.find("X-OTHER-APP:keep me"), std::string::npos);
        EXPECT_NE(sent.find("CATEGORIES:Home"), std::string::npos);
        EXPECT_NE(sent.find("SEQUENCE:1"), std::string::npos);
        // A start at a moment does not go with a due day: it goes when the due day is set.
        EXPECT_EQ(sent.find("DTSTART") == std::string::npos, dueChanged);
        EXPECT_EQ(sent.find("DUE;VALUE=DATE:20251209") != std::string::npos, dueChanged);
    }
}

// Changes the edit time does not show, a server copy without category, and
// repeating tasks: what the first operation sends ("+" in its body, "-" not)
// and t1's rule here afterwards.
struct SentRow {
    const char* name;
    std::string extra; // the server copies' properties beside title and priority
    std::function<void(World&)> change;
    const char* ops;
    const char* body;
    const char* rule;
};

TEST(SyncEngine, SendsWhatChangedHereAndTakesInRules) {
    const std::string weekly = "DUE;VALUE=DATE:20260110\r\nRRULE:FREQ=WEEKLY\r\n";
    const std::string monthly = "DUE;VALUE=DATE:20260110\r\nRRULE:FREQ=MONTHLY\r\n";
    const auto rename = [](World& w) { w.store.Categories[0].Name = "House"; };
    const SentRow rows[] = {
        {"a category renamed here, title changed there", kHome,
         [&](World& w) {
             rename(w);
             w.EditThere("t1", "Buy soy milk");
         },
         "update t1 \"e2\", update t2 \"e1\"", "+CATEGORIES:House|+SUMMARY:Buy soy milk|-Home", ""},
        {"renamed here, the first of two there", "CATEGORIES:Home,Errands\r\n", rename,
         "update t1 \"e1\", update t2 \"e1\"",
         "+CATEGORIES:House\r\nX-QUILLNOTE-COLOR:3\r\nCATEGORIES:Errands", ""},
        {"none there, title edited here", "", [](World& w) { w.EditHere("t1", "Buy oat milk", 1); },
         "update t1 \"e1\"", "+SUMMARY:Buy oat milk|-CATEGORIES", ""},
        {"none there, the first category renamed", "", rename, "", "", ""},
        {"none there, moved to a category here", "",
         [](World& w) {
             AddCategory(w.store, {"Work", 1});
             w.Local("t1").CategoryIndex = 1;
         },
         "update t1 \"e1\"", "+CATEGORIES:Work", ""},
        {"a rule changed here", weekly, [](World& w) { w.Local("t1").RepeatRule = "FREQ=DAILY"; },
         "update t1 \"e1\"", "+RRULE:FREQ=DAILY|+DTSTART;VALUE=DATE:20260101|-WEEKLY",
         "FREQ=DAILY"},
        {"a rule changed there", weekly,
         [&](World& w) { w.EditThere("t1", "Buy milk", 5, monthly); }, "", "", "FREQ=MONTHLY"},
        {"ticked here: the same task, due a week on", weekly,
         [](World& w) { TickTaskDone(w.Local("t1"), 46032); }, "update t1 \"e1\"",
         "+DUE;VALUE=DATE:20260115|+RRULE:FREQ=WEEKLY|+DTSTART;VALUE=DATE:20260101|-COMPLETED",
         "FREQ=WEEKLY"},
    };
    for (const SentRow& row : rows) {
        SCOPED_TRACE(row.name);
        World world(row.extra);
        row.change(world);
        const SyncPlan plan = world.Run();
        EXPECT_EQ(Ops(plan), row.ops);
        const std::string body = plan.ops.empty() ? "" : plan.ops[0].body;
        for (std::string_view want = row.body; !want.empty();) {
            const std::string_view text = want.substr(1, want.find('|') - 1);
            EXPECT_EQ(body.find(text) != std::string::npos, want[0] == '+') << text;
            want.remove_prefix(std::min(want.size(), 1 + text.size() + 1));
        }
        EXPECT_EQ(world.Local("t1").RepeatRule, row.rule);
    }
}

// The run works on a copy; an edit made meanwhile in the same second is still
// a change to send, whatever the clock says.
TEST(SyncEngine, AnEditDuringTheRunIsNotTakenAsSynced) {
    World world;
    world.EditHere("t1", "Buy oat milk");
    TaskStore copy = world.store;
    const SyncPlan plan = ReconcileSync(copy, world.state, world.listing, world.texts, {});
    ASSERT_EQ(plan.ops.size(), 1u);
    world.Local("t1").Title = "Buy rice milk";
    RecordSyncOp(world.state, plan.ops[0], true, "\"e3\"");
    world.listing["/alice/tasks/t1.ics"] = "\"e3\"";
    const SyncPlan next = world.Run();
    EXPECT_EQ(Ops(next), "update t1 \"e3\"");
    EXPECT_NE(next.ops.at(0).body.find("SUMMARY:Buy rice milk"), std::string::npos);
}

TEST(SyncEngine, AConflictCopyStaysHereUntilTheUserEditsIt) {
    World world;
    world.EditHere("t1", "Buy oat milk");
    world.EditThere("t1", "Buy soy milk");
    world.Run();
    ASSERT_EQ(world.state.localOnly.size(), 1u);
    const std::string copy = world.state.localOnly.begin()->first;
    EXPECT_EQ(Ops(world.Run()), "update t1 \"e2\"");
    MarkChanged(world.Local(copy));
    EXPECT_EQ(Ops(world.Run()), "update t1 \"e2\", create " + copy);
    EXPECT_TRUE(world.state.localOnly.empty());
}

TEST(SyncEngine, ASyncThatWouldDeleteMostTasksChangesNothing) {
    World world;
    world.RemoveThere("t1");
    world.RemoveThere("t2");
    const TaskStore before = world.store;
    const SyncState stateBefore = world.state;
    const SyncPlan plan = world.Run();
    EXPECT_TRUE(plan.tooManyDeletions);
    EXPECT_EQ(world.store.Tasks, before.Tasks);
    EXPECT_EQ(world.state, stateBefore);
}

TEST(SyncEngine, AFailedSendIsDecidedAgainNextTime) {
    for (const bool sent : {false, true}) {
        World world;
        world.EditHere("t1", "Buy oat milk");
        const SyncPlan plan = world.Run();
        ASSERT_EQ(plan.ops.size(), 1u);
        RecordSyncOp(world.state, plan.ops[0], sent, "\"e3\"");
        if (sent) {
            world.listing["/alice/tasks/t1.ics"] = "\"e3\"";
        }
        EXPECT_EQ(Ops(world.Run()), sent ? "" : "update t1 \"e1\"");
    }
}

TEST(SyncState, ReadsBackWhatItWrote) {
    World world;
    world.state.items["t\t1"] = {"/a b\\.ics", "\"x\"", "line\r\nnext\\n", -5, "d", "C\tx", 2};
    world.state.localOnly["c1"] = -3;
    SyncState read;
    std::string error;
    ASSERT_TRUE(ReadSyncState(WriteSyncState(world.state), read, error)) << error;
    EXPECT_EQ(read, world.state);
    EXPECT_FALSE(ReadSyncState("quillnote-sync 1\nitem\tx\n", read, error));
}

} // namespace
} // namespace quill
