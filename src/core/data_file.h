#pragma once
// "quillnote.dat": the binary file that holds every task and category.

#include "task_store.h"

#include <string>

namespace quill {

inline constexpr const char* kDataFileName = "quillnote.dat";

struct SaveResult {
    bool ok = true;
    // "Cannot create file "<path>". <system reason>" when ok is false.
    std::string error;
};

enum class LoadOutcome {
    NoFile,     // nothing there: an empty store, not an error
    Good,       // read completely
    Damaged,    // read what could be read; `problem` says what was wrong
    Unreadable, // exists but could not be opened: `error` holds the message
};

struct LoadResult {
    LoadOutcome outcome = LoadOutcome::NoFile;
    std::string problem;    // Damaged: what was wrong, in words a user can read
    std::string backupPath; // Damaged: where the original bytes were copied
    std::string error;      // Unreadable: "Cannot open file "<path>". <system reason>"
    int tasksRead = 0;
    int categoriesRead = 0;
};

// Writes the whole store to `path`, atomically: the old file stays as it was
// unless the new one was written and flushed completely.
SaveResult SaveTasks(const TaskStore& store, const std::string& path);

// Empties store.Tasks, appends the categories and tasks the file holds, and
// reports what it found. Categories are appended (the caller loads into an empty
// list). No invariant is repaired here: see RepairInvariants.
LoadResult LoadTasks(TaskStore& store, const std::string& path);

} // namespace quill
