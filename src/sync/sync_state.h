#pragma once
// What the last sync with the server left behind, per data file: the account's
// task list, and for every task it holds the server's copy of (by Uid) where
// that copy lives, its ETag, its text, and the task's change time when they
// last agreed. Kept in a small file beside the data file ("<data file>.sync"),
// written only after the data file was saved, so the two never disagree about
// what was sent. Plain C++, no Qt.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace quill {

struct SyncedItem {
    std::string href;           // the server's path of the resource
    std::string etag;           // as the server sent it, quotes included
    std::string baseIcs;        // the calendar text both sides last agreed on
    int64_t syncedModified = 0; // the task's LastModified when they agreed
    // What this side held when they agreed, so that a change here is seen by
    // what changed, not by the clock (two edits can fall in the same second, a
    // renamed category changes no task): a digest of the merged fields but the
    // category (empty: unknown, from an older state file), and the category as
    // the server names it, empty when its copy has none. A task without one
    // there shows here in some category all the same; while it stays in the
    // category at `categoryIndex` that category stands for none (-1: it doesn't).
    std::string digest;
    std::string category;
    int32_t categoryIndex = -1;

    bool operator==(const SyncedItem&) const = default;
};

struct SyncState {
    std::string collectionUrl; // the task list, e.g. "http://host/alice/tasks/"
    std::string user;
    // The server's sync token for the listing the items agree with; empty when
    // the next sync must list everything.
    std::string syncToken;
    std::map<std::string, SyncedItem> items; // by task Uid
    // Conflict copies, by Uid, with their change time when made: they stay
    // here, unsent, until the user edits one, which makes it a task like any.
    std::map<std::string, int64_t> localOnly;

    bool operator==(const SyncState&) const = default;
};

// "<dataFile>.sync".
std::string SyncStatePathFor(const std::string& dataFile);

std::string WriteSyncState(const SyncState& state);

// False, with `error`, when `text` is not a sync state this program wrote.
bool ReadSyncState(std::string_view text, SyncState& state, std::string& error);

// Reads the state kept for `dataFile`; a missing file is an empty state (no
// sync yet). False, with `error`, when it exists but cannot be read.
bool LoadSyncState(const std::string& dataFile, SyncState& state, bool& found, std::string& error);

// Writes the state for `dataFile`, atomically. False, with `error`, on failure.
bool SaveSyncState(const std::string& dataFile, const SyncState& state, std::string& error);

} // namespace quill
