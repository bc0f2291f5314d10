#pragma once
// The data file "quillnote.dat" as the main window uses it: loading at start-up,
// telling the user about a file that could not be read or was damaged, and
// refusing every later save over a file that must not be replaced.

#include "core/data_file.h"
#include "core/task_store.h"

#include <QString>

namespace quill {

class TaskFile {
public:
    explicit TaskFile(QString path) : path_(std::move(path)) {}

    const QString& Path() const { return path_; }

    // Loads the file into `store` and remembers whether a later save may replace
    // it. Returns a message for the user, or an empty string when there is
    // nothing to tell (no file yet, or a good one).
    QString Load(TaskStore& store);

    // Writes the store. Throws AppError with the save's message when writing
    // fails, and without writing when the file found at start-up must be kept.
    void Save(const TaskStore& store) const;

    // False once the file found at start-up was unreadable (or damaged with no
    // copy of its bytes): nothing is written over it in this run.
    bool SavingAllowed() const { return blockedReason_.isEmpty(); }
    const QString& BlockedReason() const { return blockedReason_; }

private:
    QString path_;
    QString blockedReason_;
};

// The texts the user reads about the file found at start-up.
QString UnreadableFileMessage(const LoadResult& result);
QString DamagedFileMessage(const QString& path, const LoadResult& result);

} // namespace quill
