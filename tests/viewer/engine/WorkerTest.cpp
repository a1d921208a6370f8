#include "GeneralHandlingThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace rm::viewer {
namespace {

using namespace std::chrono_literals;

// Holds the worker inside a job until released.
struct Gate {
    void wait() {
        std::unique_lock lock(m);
        entered = true;
        cv.notify_all();
        cv.wait(lock, [this] { return open; });
    }
    void waitEntered() {
        std::unique_lock lock(m);
        cv.wait(lock, [this] { return entered; });
    }
    void release() {
        std::lock_guard lock(m);
        open = true;
        cv.notify_all();
    }
    std::mutex m;
    std::condition_variable cv;
    bool entered = false, open = false;
};

struct Ran {
    void add(int what) {
        std::lock_guard lock(m);
        order.push_back(what);
    }
    std::vector<int> get() {
        std::lock_guard lock(m);
        return order;
    }
    std::mutex m;
    std::vector<int> order;
};

TEST(Worker, APendingJobIsReplacedByTheNewestOfItsKey) {
    Gate gate;
    Ran ran;
    {
        TGeneralHandlingThread worker;
        worker.AddJob(jkIndexBuild, [&] { gate.wait(); });
        gate.waitEntered();
        worker.AddJob(jkNormalView, [&] { ran.add(41); });
        worker.AddJob(jkBufferView, [&] { ran.add(3); });
        worker.AddJob(jkNormalView, [&] { ran.add(42); });
        gate.release();
        worker.AddJob(jkQuickView, [&] { ran.add(2); });  // marks the end
        for (int i = 0; i < 500 && ran.get().size() < 3; ++i)
            std::this_thread::sleep_for(2ms);
    }
    EXPECT_EQ(ran.get(), (std::vector<int>{3, 42, 2}));
}

TEST(Worker, AJobOfTheRunningKeyRunsAgainAndTheWorkerIsIdleOnlyAfterTheLast) {
    Gate gate;
    Ran ran;
    TGeneralHandlingThread worker;
    EXPECT_TRUE(worker.Idle());
    worker.AddJob(jkNormalView, [&] {
        gate.wait();
        ran.add(1);
    });
    gate.waitEntered();
    EXPECT_FALSE(worker.Idle());
    worker.AddJob(jkNormalView, [&] { ran.add(2); });
    gate.release();
    for (int i = 0; i < 500 && !(ran.get().size() == 2 && worker.Idle()); ++i)
        std::this_thread::sleep_for(2ms);
    EXPECT_EQ(ran.get(), (std::vector<int>{1, 2}));
    EXPECT_TRUE(worker.Idle());
}

TEST(Worker, TerminationWhileIdleEndsAtOnce) {
    TGeneralHandlingThread worker;
    std::this_thread::sleep_for(20ms);
    worker.Terminate();
    EXPECT_TRUE(worker.WaitFor(250ms));
}

TEST(Worker, ALongJobSeesTheTerminationAndPendingJobsAreDiscarded) {
    std::atomic<bool> sawTermination{false}, pendingRan{false};
    Gate gate;
    TGeneralHandlingThread worker;
    worker.AddJob(jkIndexBuild, [&] {
        gate.wait();
        while (!worker.Terminated())
            std::this_thread::sleep_for(1ms);  // a chunk at a time
        sawTermination = true;
    });
    worker.AddJob(jkQuickView, [&] { pendingRan = true; });
    gate.waitEntered();
    gate.release();
    worker.Terminate();
    EXPECT_TRUE(worker.WaitFor(2s));
    EXPECT_TRUE(sawTermination);
    EXPECT_FALSE(pendingRan);
}

} // namespace
} // namespace rm::viewer
