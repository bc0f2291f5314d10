#include "save_worker.h"

#include <algorithm>
#include <atomic>
#include <iterator>
#include <system_error>
#include <utility>

namespace quill {

SaveWorker::SaveWorker(Writer writer, Finished finished)
    : writer_(std::move(writer)), finished_(std::move(finished)), thread_([this] { Run(); }) {}

SaveWorker::~SaveWorker() {
    {
        const std::lock_guard lock(helpMutex_);
        helpStopping_ = true;
    }
    helpWake_.notify_one();
    if (helper_.joinable())
        helper_.join();
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

namespace {

// Below this many tasks a copy takes about a millisecond and the helper is not asked.
constexpr size_t kHelpFrom = 20000;
// Tasks copied as one piece: the caller and the helper each take the next piece
// until none is left, so a helper that the system runs late takes few or none.
constexpr size_t kPiece = 4096;

// Copies tasks [from, to) to the end of `copy`, asking for the texts of the task a
// few places ahead while one is copied: fetching them is most of the cost.
void CopyTasks(const std::vector<TTASK_ITEM>& tasks, size_t from, size_t to,
               std::vector<TTASK_ITEM>& copy) {
    constexpr size_t kAhead = 8;
    constexpr size_t kLine = 64;
    constexpr size_t kAskedAtMost = 4 * kLine; // of each text
    copy.reserve(copy.size() + (to - from));
    for (size_t i = from; i < to; ++i) {
        if (i + kAhead < to) {
            const TTASK_ITEM& ahead = tasks[i + kAhead];
            for (const std::string* text : {&ahead.Title, &ahead.Description, &ahead.SoundFile,
                                            &ahead.Uid, &ahead.RepeatRule}) {
                const size_t asked = std::min(text->size(), kAskedAtMost);
                for (size_t offset = 0; offset < asked; offset += kLine) {
                    __builtin_prefetch(text->data() + offset);
                }
            }
        }
        copy.push_back(tasks[i]);
    }
}

} // namespace

// One copy shared by the caller and the helper. The store is read only for a
// piece taken before the last piece was, and the caller waits for every taken
// piece, so nothing reads the store once SubmitCopyOf returns.
struct SaveWorker::CopyJob {
    const std::vector<TTASK_ITEM>* tasks = nullptr;
    std::vector<std::vector<TTASK_ITEM>> pieces;
    std::atomic<size_t> next{0};
    size_t finished = 0; // pieces copied; under helpMutex_

    size_t CopyPieces() {
        size_t copied = 0;
        for (size_t piece = next++; piece < pieces.size(); piece = next++) {
            CopyTasks(*tasks, piece * kPiece, std::min(tasks->size(), (piece + 1) * kPiece),
                      pieces[piece]);
            ++copied;
        }
        return copied;
    }
};

void SaveWorker::Submit(TaskStore state) {
    Hand({std::move(state), {}});
}

void SaveWorker::SubmitCopyOf(const TaskStore& store) {
    Copy copy;
    copy.state.Categories = store.Categories;
    copy.state.VisibleTaskCount = store.VisibleTaskCount;
    copy.state.LastCategoryIndex = store.LastCategoryIndex;
    copy.state.EditedTaskCategory = store.EditedTaskCategory;
    const size_t n = store.Tasks.size();
    if (n < kHelpFrom) {
        CopyTasks(store.Tasks, 0, n, copy.state.Tasks);
        Hand(std::move(copy));
        return;
    }
    auto job = std::make_shared<CopyJob>();
    job->tasks = &store.Tasks;
    job->pieces.resize((n + kPiece - 1) / kPiece);
    {
        const std::lock_guard lock(helpMutex_);
        job_ = job;
        ++jobNumber_;
        if (!helper_.joinable()) {
            try {
                helper_ = std::thread([this] { Help(); });
            } catch (const std::system_error&) {
                // No thread to be had: this one copies every piece.
            }
        }
    }
    helpWake_.notify_one();
    const size_t copied = job->CopyPieces();
    {
        std::unique_lock lock(helpMutex_);
        job->finished += copied;
        helpDone_.wait(lock, [&] { return job->finished == job->pieces.size(); });
        job_.reset();
    }
    copy.rest = std::move(job->pieces);
    Hand(std::move(copy));
}

void SaveWorker::Help() {
    std::unique_lock lock(helpMutex_);
    uint64_t seen = 0;
    for (;;) {
        helpWake_.wait(lock, [&] { return helpStopping_ || (job_ && jobNumber_ != seen); });
        if (helpStopping_)
            return;
        seen = jobNumber_;
        const std::shared_ptr<CopyJob> job = job_;
        lock.unlock();
        const size_t copied = job->CopyPieces();
        lock.lock();
        job->finished += copied;
        helpDone_.notify_all();
    }
}

void SaveWorker::Hand(Copy copy) {
    {
        const std::lock_guard lock(mutex_);
        if (waiting_) {
            // Replaced unwritten; the worker frees it, not the caller.
            replaced_.push_back(std::move(*waiting_));
        }
        waiting_ = std::move(copy);
        ++submitted_;
    }
    wake_.notify_one();
}

void SaveWorker::Wait() {
    std::unique_lock lock(mutex_);
    done_.wait(lock, [this] { return doneState_ == submitted_; });
}

SaveResult SaveWorker::WaitForLast() {
    std::unique_lock lock(mutex_);
    done_.wait(lock, [this] { return doneState_ == submitted_; });
    failureUntold_ = false;
    return last_;
}

std::optional<std::string> SaveWorker::TakeFailure() {
    const std::lock_guard lock(mutex_);
    if (!failureUntold_)
        return std::nullopt;
    failureUntold_ = false;
    return last_.error;
}

void SaveWorker::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return waiting_.has_value() || stopping_; });
        if (!waiting_)
            return; // stopping, and everything handed over is written
        Copy copy = std::move(*waiting_);
        waiting_.reset();
        std::vector<Copy> replaced = std::move(replaced_);
        replaced_.clear();
        const uint64_t number = submitted_;
        lock.unlock();
        replaced.clear();
        size_t total = copy.state.Tasks.size();
        for (const std::vector<TTASK_ITEM>& piece : copy.rest)
            total += piece.size();
        copy.state.Tasks.reserve(total);
        for (std::vector<TTASK_ITEM>& piece : copy.rest) {
            copy.state.Tasks.insert(copy.state.Tasks.end(), std::make_move_iterator(piece.begin()),
                                    std::make_move_iterator(piece.end()));
            piece = {};
        }
        const SaveResult result = writer_(copy.state);
        copy = {}; // freed outside the lock: a Submit meanwhile does not wait for it
        lock.lock();
        last_ = result;
        doneState_ = number;
        failureUntold_ = !result.ok;
        done_.notify_all();
        if (finished_) {
            lock.unlock();
            finished_();
            lock.lock();
        }
    }
}

} // namespace quill
