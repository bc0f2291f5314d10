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
