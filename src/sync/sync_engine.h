#pragma once
// The decisions of a sync, apart from the network: given the store, what the
// last sync left (SyncState) and the server's listing, which copies to fetch;
// given those copies, what changes here and what to send. Never decides by
// clocks: a side changed a task when its ETag (server) or what it holds (here)
// differs from the last sync's. Plain C++ over core and calendar.

#include "core/task_store.h"
#include "sync_state.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace quill {

// The server's listing of the task list: ETag by href.
using ServerListing = std::map<std::string, std::string>;
// Calendar text by href, as fetched.
using ServerTexts = std::map<std::string, std::string>;

// The hrefs whose text the sync needs: new on the server or changed there.
std::vector<std::string> HrefsToFetch(const SyncState& state, const ServerListing& listing);

struct SyncOp {
    enum class Kind { Create, Update, Delete };
    Kind kind = Kind::Create;
    std::string uid;
    std::string href;
    std::string etag; // Update and Delete: the ETag the server must still have
    std::string body; // Create and Update: the calendar text to send
    // Create and Update: what both sides hold once the body arrived (RecordSyncOp
    // adds the href, the ETag and the body).
    SyncedItem agreed;
};

struct SyncPlan {
    bool ok = true;
    std::string error;             // when not ok: why nothing was changed
    bool tooManyDeletions = false; // not ok because of the deletion limit
    std::vector<SyncOp> ops;
    int received = 0;                    // tasks added or changed here from the server
    int deletedHere = 0;                 // tasks removed here because the server removed them
    int conflicts = 0;                   // conflict copies added
    std::vector<std::string> unreadable; // server copies left alone: they cannot be read
};

struct SyncOptions {
    int64_t now = 0;    // seconds since 1970 UTC: DTSTAMP of what is sent
    double today = 0.0; // for the overdue marks of tasks received
    // A run that would delete more than a quarter of the synced tasks (here or
    // on the server) stops unless this is set.
    bool allowManyDeletions = false;
};

// Brings the server's changes into `store` and `state` and lists what to send.
// The three-way rule per field against the last-synced text: a field changed
// on one side takes that side; changed alike on both is no conflict; changed
// differently keeps the local value and adds the server's version as a
// conflict copy (local only). An edit beats a delete on either side. A server
// copy missing from `texts` or unreadable is left alone (listed in
// `unreadable`). Not ok, with store and state untouched, when the run would
// delete too much.
SyncPlan ReconcileSync(TaskStore& store, SyncState& state, const ServerListing& listing,
                       const ServerTexts& texts, const SyncOptions& options);

// Records a sent operation: on success the server's new ETag (empty when it did
// not say: the next sync fetches the copy again) and the text sent become the
// last-synced state; a failed operation leaves the state as it was, so the
// next sync decides again.
void RecordSyncOp(SyncState& state, const SyncOp& op, bool ok, const std::string& newEtag);

// The title a conflict copy gets.
std::string ConflictCopyTitle(const std::string& title);

} // namespace quill
