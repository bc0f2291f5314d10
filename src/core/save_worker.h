#pragma once
// Writes the data file on a thread of its own, so a click never waits for the disk.
//
// The caller hands over a copy of the store as it stands (Submit); the worker
// turns it into the file's bytes and writes them with the atomic write (temporary
// file, flush, rename, folder flush). A copy handed over while a write runs waits
// in one slot, and a newer copy replaces an older one there: many changes during
// one write cost one more write, of the newest state. Writes run one after the
// other in the order they were handed over, so an older state never replaces a
// newer file. The copy is the caller's only cost (SubmitCopyOf): the texts it
// copies lie scattered over memory, so it asks for them ahead of time, and a
// helper thread copies pieces of a large store meanwhile.

#include "data_file.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace quill {

class SaveWorker {
public:
    // Writes one state; the real one is SaveTasks to the data file.
    using Writer = std::function<SaveResult(const TaskStore& state)>;
    // Runs on the worker's thread after every write, outside its lock.
    using Finished = std::function<void()>;

    explicit SaveWorker(Writer writer, Finished finished = {});
    // Writes what is still waiting, then stops.
    ~SaveWorker();
    SaveWorker(const SaveWorker&) = delete;
    SaveWorker& operator=(const SaveWorker&) = delete;

    // Hands over the newest state; returns at once.
    void Submit(TaskStore state);
    // Hands over a copy of `store` as it stands now; returns once the copy is
    // taken, and nothing reads `store` after that.
    void SubmitCopyOf(const TaskStore& store);
    // Waits until the newest state handed over has been written or has failed.
    void Wait();
    // Waits as Wait does and returns how that write went (ok when nothing was
    // ever handed over). Its failure counts as told: TakeFailure does not return
    // it again.
    SaveResult WaitForLast();
    // The message of the newest finished write when it failed and nobody has been
    // told yet; empty otherwise. A later successful write clears it.
    std::optional<std::string> TakeFailure();

private:
    void Run();

    Writer writer_;
    Finished finished_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    // A state handed over; the tasks of a copy made in pieces follow in `rest`,
    // joined on the worker's thread.
    struct Copy {
        TaskStore state;
        std::vector<std::vector<TTASK_ITEM>> rest;
    };
    struct CopyJob;
    void Hand(Copy copy);
    void Help();

    std::optional<Copy> waiting_;
    std::vector<Copy> replaced_; // states a newer one replaced, still to be freed
    uint64_t submitted_ = 0;     // states handed over
    uint64_t doneState_ = 0;     // the state the last finished write held
    SaveResult last_;
    bool failureUntold_ = false;
    bool stopping_ = false;
    // The helper that copies pieces of a large store (SubmitCopyOf).
    std::mutex helpMutex_;
    std::condition_variable helpWake_;
    std::condition_variable helpDone_;
    std::shared_ptr<CopyJob> job_;
    uint64_t jobNumber_ = 0;
    bool helpStopping_ = false;
    std::thread helper_; // started with the first large copy
    std::thread thread_; // last: starts once everything above exists
};

} // namespace quill
