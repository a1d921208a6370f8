#include "WorkerThread.h"

#include "ThreadPriority.h"
#include "UiCall.h"

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

void WorkerThread::ApplyPriority() {
    const bool wanted = timeCritical_;
    if (wanted == appliedTimeCritical_)
        return;
    rm::setCurrentThreadTimeCritical(wanted);
    appliedTimeCritical_ = wanted;
}
