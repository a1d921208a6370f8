#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <list>
#include <mutex>
#include <thread>

namespace rm::viewer {

enum TJobKey : int { jkIndexBuild = 1, jkQuickView = 2, jkBufferView = 3, jkNormalView = 4 };

// The viewer's worker thread: runs queued jobs one at a time in queue order.
// Queuing a job drops the pending job of the same key, so a burst of requests
// costs one run per key after the job that is running. Jobs are never cut
// off from outside; a long job asks Terminated() between its chunks and ends
// early once termination was requested.
class TGeneralHandlingThread {
public:
    using Handler = std::function<void()>;

    // Starts the thread at once, at time-critical priority where the system allows.
    TGeneralHandlingThread();
    // Requests termination and waits without limit for the running job.
    ~TGeneralHandlingThread();
    TGeneralHandlingThread(const TGeneralHandlingThread&) = delete;
    TGeneralHandlingThread& operator=(const TGeneralHandlingThread&) = delete;

    // From any thread, also from a running job.
    void AddJob(TJobKey key, Handler handler);
    // Pending jobs are discarded; the running one finishes.
    void Terminate();
    bool Terminated() const;
    // No job is queued or running.
    bool Idle() const;
    // True when the thread's loop ended within `timeout`.
    bool WaitFor(std::chrono::milliseconds timeout);

private:
    struct TWorkerJob {
        TJobKey Key;
        Handler Run;
    };

    void Execute();

    mutable std::mutex queueLock_;  // JobQueueLock
    std::condition_variable changed_;
    std::list<TWorkerJob> queue_;
    bool terminated_ = false;
    bool finished_ = false;
    bool running_ = false;  // a job runs
    std::thread thread_;
};

} // namespace rm::viewer
