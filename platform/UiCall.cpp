#include "UiCall.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>

namespace rm::UiCall {

namespace {

struct Call {
    std::function<void()> work;
    bool done = false;
    std::exception_ptr failure;  // what the work threw, handed to the waiting worker
};

struct Queue {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::shared_ptr<Call>> pending;
};

Queue& queue() {
    static Queue q;
    return q;
}

} // namespace

bool onUiThread() {
    const auto* app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

void servePending() {
    auto& q = queue();
    for (;;) {
        std::shared_ptr<Call> call;
        {
            std::lock_guard lock(q.mutex);
            if (q.pending.empty())
                return;
            call = q.pending.front();
            q.pending.pop_front();
        }
        std::exception_ptr failure;
        try {
            call->work();
        } catch (...) {
            failure = std::current_exception();
        }
        {
            std::lock_guard lock(q.mutex);
            call->failure = failure;
            call->done = true;
        }
        q.changed.notify_all();
    }
}

void invoke(const std::function<void()>& work) {
    if (onUiThread()) {
        work();
        return;
    }
    auto& q = queue();
    auto call = std::make_shared<Call>();
    call->work = work;
    {
        std::lock_guard lock(q.mutex);
        q.pending.push_back(call);
    }
    q.changed.notify_all();  // wakes a user-interface thread in waitServing
    QMetaObject::invokeMethod(QCoreApplication::instance(), [] { servePending(); }, Qt::QueuedConnection);
    std::unique_lock lock(q.mutex);
    q.changed.wait(lock, [&] { return call->done; });
    if (call->failure)
        std::rethrow_exception(call->failure);
}

void waitServing(const std::function<bool()>& done, std::chrono::milliseconds poll) {
    auto& q = queue();
    for (;;) {
        servePending();
        if (done())
            return;
        std::unique_lock lock(q.mutex);
        q.changed.wait_for(lock, poll, [&] { return !q.pending.empty(); });
    }
}

} // namespace rm::UiCall
