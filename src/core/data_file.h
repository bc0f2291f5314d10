#pragma once
// "quillnote.dat": the binary file that holds every task and category.

#include "task_store.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quill {

inline constexpr const char* kDataFileName = "quillnote.dat";

// The one-byte tags that start each field of the file (docs/data-file.md). The
// header and the tasks have tags of their own; the same end mark closes both.
enum class HeaderTag : uint8_t {
    FormatMarker = 0x00, // then 32-bit 1, 32-bit 25
    Signature = 0x01,    // then the string "Quillnote"
    Category = 0x04,     // then 32-bit 4, the colour index and the name
    End = 0xFF,
};

// A task's fields, in the order they are written.
enum class TaskTag : uint8_t {
    Priority = 0x00,
    Title = 0x01,
    Description = 0x02,
    DueDate = 0x03,
    ReminderDate = 0x04,
    ReminderTime = 0x05,
    SoundFile = 0x06,
    NotOverdue = 0x07,
    PlaySound = 0x08,
    ReminderOn = 0x09,
    HasDueDate = 0x0A,
    Done = 0x0B,
    CategoryIndex = 0x0C,
    // The task's identity, after the thirteen fields above and written only when
    // known; readers that do not know these tags pass over them.
    Uid = 0x40,          // string
    Created = 0x41,      // 8 bytes: signed seconds since 1970-01-01 UTC
    LastModified = 0x42, // 8 bytes, as Created
    // How the task repeats, written only for a task with a rule: readers that do
    // not know these tags pass over them and read the same thirteen fields.
    RepeatRule = 0x50, // string: an iCalendar RRULE value
    RepeatFrom = 0x51, // 8 bytes: the date the rule counts from, as DueDate
    End = 0xFF,
};

// "<directory>/quillnote.dat"; the program passes the executable's directory.
inline std::string DataFilePathIn(const std::string& directory) {
    if (directory.empty()) {
        return kDataFileName;
    }
    return directory.back() == '/' ? directory + kDataFileName : directory + "/" + kDataFileName;
}

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
    int uidsGiven = 0; // tasks that had no Uid in the file
    // Damaged: why no copy could be made (backupPath is then empty).
    std::string backupError;
};

// Whether a later save may replace the file LoadTasks looked at. False for a file
// that exists but could not be read, and for a damaged file whose original bytes
// could not be copied aside: saving over either would destroy the user's data.
inline bool MaySaveOver(const LoadResult& result) {
    return result.outcome == LoadOutcome::NoFile || result.outcome == LoadOutcome::Good ||
           (result.outcome == LoadOutcome::Damaged && !result.backupPath.empty());
}

// Writes the whole store to `path`, atomically: the old file stays as it was
// unless the new one was written and flushed completely.
SaveResult SaveTasks(const TaskStore& store, const std::string& path);

// Empties store.Tasks, appends the categories and tasks the file holds, and
// reports what it found. Categories are appended (the caller loads into an empty
// list). No invariant is repaired here: see RepairInvariants. Every task read
// without a Uid gets one (GiveMissingUids), kept by the next save.
// A damaged file is first copied, byte for byte, to "<path>.damaged-YYYYMMDD-HHMMSS"
// (local time of the process clock; "-2", "-3"... appended when that name exists),
// so the original bytes survive the next save.
LoadResult LoadTasks(TaskStore& store, const std::string& path);

// --- The pieces LoadTasks and SaveTasks are made of, for tools and tests. ---

// The exact bytes SaveTasks writes for `store`.
std::vector<uint8_t> SerializeTasks(const TaskStore& store);

struct ParseResult {
    bool damaged = false;
    std::string problem; // what was wrong, when damaged
    int tasksRead = 0;
    int categoriesRead = 0;
};

// Reads the file's bytes the way LoadTasks does: empties store.Tasks, appends the
// categories and tasks found; never reads outside `bytes`. No file access.
ParseResult ParseTasks(std::string_view bytes, TaskStore& store);

enum class ReadStatus { Ok, NoFile, Failed };

struct FileContents {
    ReadStatus status = ReadStatus::NoFile;
    std::string bytes;
    std::string error; // Failed: "Cannot open file "<path>". <system reason>"
};

// Reads a whole file; a missing file is NoFile, any other failure Failed.
FileContents ReadWholeFile(const std::string& path);

// Writes `bytes` to `path` atomically: a temporary file in the same directory,
// flushed to disk, then renamed over `path`. On failure `path` is untouched.
SaveResult WriteFileAtomically(const std::string& path, std::string_view bytes);

} // namespace quill
