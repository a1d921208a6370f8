#include "GeneralHandlingThread.h"

#include "ThreadPriority.h"

namespace rm::viewer {

TGeneralHandlingThread::TGeneralHandlingThread() : thread_([this] { Execute(); }) {}

TGeneralHandlingThread::~TGeneralHandlingThread() {
    Terminate();
    thread_.join();
}

void TGeneralHandlingThread::AddJob(TJobKey key, Handler handler) {
    {
        std::lock_guard lock(queueLock_);
        queue_.remove_if([key](const TWorkerJob& job) { return job.Key == key; });
        queue_.push_back({key, std::move(handler)});
    }
    changed_.notify_all();
}

void TGeneralHandlingThread::Terminate() {
    {
        std::lock_guard lock(queueLock_);
        terminated_ = true;
        queue_.clear();
    }
    changed_.notify_all();
}

bool TGeneralHandlingThread::Terminated() const {
    std::lock_guard lock(queueLock_);
    return terminated_;
}

bool TGeneralHandlingThread::Idle() const {
    std::lock_guard lock(queueLock_);
    return queue_.empty() && !running_;
}

bool TGeneralHandlingThread::WaitFor(std::chrono::milliseconds timeout) {
    std::unique_lock lock(queueLock_);
    return changed_.wait_for(lock, timeout, [this] { return finished_; });
}

void TGeneralHandlingThread::Execute() {
    setCurrentThreadTimeCritical(true);
    std::unique_lock lock(queueLock_);
    for (;;) {
        changed_.wait(lock, [this] { return terminated_ || !queue_.empty(); });
        if (terminated_)
            break;
        TWorkerJob job = std::move(queue_.front());
        queue_.pop_front();
        running_ = true;
        lock.unlock();
        job.Run();
        job.Run = nullptr;  // the handler's captures go before the lock is taken again
        lock.lock();
        running_ = false;
    }
    finished_ = true;
    lock.unlock();
    changed_.notify_all();
}

} // namespace rm::viewer
