#include "save_worker.h"

#include <utility>

namespace quill {

SaveWorker::SaveWorker(Writer writer, Finished finished)
    : writer_(std::move(writer)), finished_(std::move(finished)), thread_([this] { Run(); }) {}

SaveWorker::~SaveWorker() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void SaveWorker::Submit(TaskStore state) {
    {
        const std::lock_guard lock(mutex_);
        waiting_ = std::move(state);
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
        const TaskStore state = std::move(*waiting_);
        waiting_.reset();
        const uint64_t number = submitted_;
        lock.unlock();
        const SaveResult result = writer_(state);
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
