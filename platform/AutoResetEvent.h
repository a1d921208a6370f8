#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace rm {

// An event that releases one waiter per set() and then resets itself; a set()
// with nobody waiting is remembered until the next wait.
class AutoResetEvent {
public:
    void set();
    void wait();
    // True when the event was set within `timeout`; false on time-out.
    bool waitFor(std::chrono::milliseconds timeout);

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool signalled_ = false;
};

} // namespace rm
