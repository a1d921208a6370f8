#pragma once

#include <atomic>
#include <thread>

// A worker thread of the recorder: started by its owner, told to terminate,
// and waited for on the user-interface thread in a way that keeps serving the
// synchronous calls the worker makes meanwhile, so a stop never deadlocks.
// A derived class starts it at the end of its constructor and calls Stop() in
// its destructor.
class WorkerThread {
public:
    WorkerThread() = default;
    virtual ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    void Terminate() { terminated_ = true; }
    bool Terminated() const { return terminated_; }
    // Waits until the thread has ended, serving synchronous calls onto the
    // user-interface thread while it waits there.
    void WaitFor();
    // Terminate, then WaitFor.
    void Stop();

    // Processor time the thread has used so far, in seconds; 0 before it started
    // and after it was waited for.
    double CpuSeconds() const;

    // Time-critical or normal priority; the thread applies it at its next pass.
    void SetTimeCritical(bool timeCritical) { timeCritical_ = timeCritical; }

protected:
    void Start();
    virtual void Execute() = 0;
    // Called by Execute at every pass.
    void ApplyPriority();

private:
    std::thread thread_;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> finished_{false};
    std::atomic<bool> timeCritical_{false};
    bool appliedTimeCritical_ = false;  // the thread's own
};
