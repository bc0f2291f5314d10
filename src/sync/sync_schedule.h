#pragma once
// When the program syncs on its own, and what it does with a finished run:
// plain decisions over times in milliseconds, apart from the timers.

#include "core/task_store.h"
#include "sync_state.h"

#include <cstdint>
#include <string>

namespace quill {

// How often to sync, as the Sync window offers it (the stored number).
enum class SyncInterval { OnEveryChange = 0, Every5 = 1, Every15 = 2, Every60 = 3, ByHand = 4 };

// A change is sent this long after the last one of a burst of edits...
constexpr int64_t kChangeSettleMs = 300;
// ...and no later than this after the first one, however long the burst.
constexpr int64_t kChangeLongestWaitMs = 30000;
// A run that was set aside (the tasks changed meanwhile, a window was waiting
// for an answer) goes again after this long.
constexpr int64_t kRetryMs = 2000;

// Minutes between syncs that pick up the server's changes: "on every change"
// also looks every 5 minutes; 0 for "only by hand".
int IntervalMinutes(SyncInterval interval);

struct ScheduleState {
    SyncInterval interval = SyncInterval::ByHand;
    bool ready = false; // an account and a password, and no answer awaited
    bool running = false;
    int64_t lastRunMs = -1;     // when the last run ended; -1: none yet
    int64_t firstChangeMs = -1; // the oldest change not yet synced; -1: none
    int64_t lastChangeMs = -1;  // the newest such change
    int64_t retryMs = -1;       // a set-aside run goes again then; -1: none
};

// Milliseconds from `nowMs` until the next sync is due (0: now); -1 when none
// is (not ready, a run going, or only by hand with nothing to retry).
int64_t MsUntilNextSync(const ScheduleState& state, int64_t nowMs);

// What to do with a run that has finished.
enum class FinishedRun {
    Keep,     // the store and state hold the server's changes: take them, save them
    SetAside, // the tasks changed meanwhile or a window waits for an answer: run again
    Nothing,  // it failed before deciding anything: both files stay as they were
};
FinishedRun DecideFinishedRun(bool reconciled, bool tasksChangedMeanwhile, bool windowWaiting);

// What a set-aside run did on the server that the next run must not misread.
// Its conflict copies hold the only copy of what the server had before the run
// wrote the local version over it: they join `live` (categories by name, added
// when missing) and `kept`'s list of copies. The links it made for tasks `live`
// still has and `kept` does not know (tasks it sent for the first time) join
// `kept`, so a task edited while it was being sent is not taken for a conflict.
// Nothing else is taken: a received change stays on the server for the next run.
struct AdoptedFromRun {
    int copies = 0;
    int links = 0;
    bool categoriesAdded = false;
};
AdoptedFromRun AdoptFromSetAsideRun(const TaskStore& runStore, const SyncState& runState,
                                    TaskStore& live, SyncState& kept);

// A number that changes whenever a task's value or identity, the tasks there
// are or the categories change, whatever order the list shows them in.
uint64_t StoreSignature(const TaskStore& store);

// "just now", "1 minute ago", "3 hours ago", "2 days ago".
std::string AgeText(int64_t seconds);

} // namespace quill
