#include "WorkerThread.h"

#include "ThreadPriority.h"
#include "UiCall.h"

#include <pthread.h>
#include <time.h>

WorkerThread::~WorkerThread() { Stop(); }

void WorkerThread::Start() {
    thread_ = std::thread([this] {
        Execute();
        finished_ = true;
    });
}

void WorkerThread::WaitFor() {
    if (!thread_.joinable())
        return;
    if (rm::UiCall::onUiThread())
        rm::UiCall::waitServing([this] { return finished_.load(); });
    thread_.join();
}

void WorkerThread::Stop() {
    Terminate();
    WaitFor();
}

double WorkerThread::CpuSeconds() const {
    clockid_t clock;
    timespec used{};
    if (!thread_.joinable() || pthread_getcpuclockid(const_cast<std::thread&>(thread_).native_handle(), &clock) != 0 ||
        clock_gettime(clock, &used) != 0)
        return 0.0;
    return static_cast<double>(used.tv_sec) + static_cast<double>(used.tv_nsec) * 1e-9;
}

void WorkerThread::ApplyPriority() {
    const bool wanted = timeCritical_;
    if (wanted == appliedTimeCritical_)
        return;
    rm::setCurrentThreadTimeCritical(wanted);
    appliedTimeCritical_ = wanted;
}
