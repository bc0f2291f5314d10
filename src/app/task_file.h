#pragma once
// The data file "quillnote.dat" as the main window uses it: loading at start-up,
// telling the user about a file that could not be read or was damaged, saving in
// the background after every change, and refusing every later save over a file
// that must not be replaced.

#include "core/data_file.h"
#include "core/task_store.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

namespace quill {

class SaveWorker;

// Runs a function for every event it gets: the deferred snapshot.
class EventRunner : public QObject {
public:
    std::function<void()> run;
    bool event(QEvent* event) override;
};

class TaskFile {
public:
    explicit TaskFile(QString path);
    // Writes a change still waiting for its copy, and waits for the save running.
    ~TaskFile();
    TaskFile(const TaskFile&) = delete;
    TaskFile& operator=(const TaskFile&) = delete;

    const QString& Path() const { return path_; }

    // Loads the file into `store` and remembers whether a later save may replace
    // it. Returns a message for the user, or an empty string when there is
    // nothing to tell (no file yet, or a good one).
    QString Load(TaskStore& store);

    // Saves `store` in the background and returns at once: the copy the worker
    // writes is taken once the events waiting now (the list's repaint among
    // them) have been handled, so the user sees the change first; saves asked
    // for before that copy share it. Throws AppError at once, without writing,
    // when the file found at start-up must be kept. A write that fails later is
    // told through the failure handler, once. `store` must outlive this object.
    void SaveInBackground(const TaskStore& store);

    // Writes the store and waits until it, and every save before it, is on disk
    // (closing, the system ending the program). Throws AppError with the save's
    // message when writing fails, and without writing when the file found at
    // start-up must be kept.
    void Save(const TaskStore& store);

    // Takes the copy now if one is due, then waits until every state handed
    // over is written (or has failed).
    void WaitForSaves();

    // Called on the user-interface thread with the message of a failed
    // background save (the message a save made in place would throw).
    void SetFailureHandler(std::function<void(const QString&)> handler) {
        failureHandler_ = std::move(handler);
    }

    // False once the file found at start-up was unreadable (or damaged with no
    // copy of its bytes): nothing is written over it in this run.
    bool SavingAllowed() const { return blockedReason_.isEmpty(); }
    const QString& BlockedReason() const { return blockedReason_; }

private:
    void ThrowIfBlocked() const;
    void Submit(const TaskStore& store);
    void SubmitDue();
    void TellFailure();

    QString path_;
    QString blockedReason_;
    std::function<void(const QString&)> failureHandler_;
    bool telling_ = false;           // a failure's message is on screen
    const TaskStore* due_ = nullptr; // a copy is to be taken of it
    // Where the worker's "written" news is delivered: the user-interface thread.
    QObject receiver_;
    EventRunner snapshot_;               // takes the copy a background save asked for
    std::unique_ptr<SaveWorker> worker_; // last: stopped before the rest goes
};

// The texts the user reads about the file found at start-up.
QString UnreadableFileMessage(const LoadResult& result);
QString DamagedFileMessage(const QString& path, const LoadResult& result);

} // namespace quill
