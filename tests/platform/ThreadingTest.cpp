#include "AutoResetEvent.h"
#include "MessageBoxes.h"
#include "UiCall.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>

using namespace std::chrono_literals;

namespace {

TEST(AutoResetEvent, OneSetReleasesOneWait) {
    rm::AutoResetEvent event;
    EXPECT_FALSE(event.waitFor(10ms));
    event.set();
    event.set();  // not counted twice
    EXPECT_TRUE(event.waitFor(0ms));
    EXPECT_FALSE(event.waitFor(10ms));

    std::thread setter([&] {
        std::this_thread::sleep_for(20ms);
        event.set();
    });
    EXPECT_TRUE(event.waitFor(5s));
    setter.join();
}

TEST(UiCall, WorkerCallIsServedWhileTheUiThreadWaitsForIt) {
    int argc = 0;
    QCoreApplication app(argc, nullptr);
    std::atomic<bool> finished{false};
    std::thread::id ranOn;
    std::thread worker([&] {
        rm::UiCall::invoke([&] { ranOn = std::this_thread::get_id(); });
        finished = true;
    });
    // No event loop runs: a blocking queued call would hang here.
    rm::UiCall::waitServing([&] { return finished.load(); });
    worker.join();
    EXPECT_EQ(ranOn, std::this_thread::get_id());

    bool direct = false;
    rm::UiCall::invoke([&] { direct = true; });
    EXPECT_TRUE(direct);
}

// A call that throws on the user-interface thread, served by the waiting loop
// or by the event loop, releases its worker, which learns what went wrong; the
// user-interface thread goes on.
TEST(UiCall, ThrowingCallReleasesTheWorkerWithTheFailure) {
    int argc = 0;
    QCoreApplication app(argc, nullptr);
    for (const bool byEventLoop : {false, true}) {
        std::atomic<bool> finished{false};
        std::string failure;
        std::thread worker([&] {
            try {
                rm::UiCall::invoke([] { throw std::runtime_error("no device"); });
            } catch (const std::runtime_error& e) {
                failure = e.what();
            }
            finished = true;
        });
        if (byEventLoop) {
            while (!finished)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        } else {
            rm::UiCall::waitServing([&] { return finished.load(); });
        }
        worker.join();
        EXPECT_EQ(failure, "no device") << (byEventLoop ? "event loop" : "waiting loop");
    }
}

TEST(MessageBoxes, ScriptedAnswersAndRecordedTexts) {
    rm::ScriptedMessages script;
    script.queueAnswer(rm::MsgResult::No);
    EXPECT_EQ(rm::showMessage("Continue?", "", rm::MsgButtons::YesNo), rm::MsgResult::No);
    EXPECT_EQ(rm::showMessage("Again"), rm::MsgResult::Ok);
    std::thread([] { rm::showMessage("from a worker"); }).join();
    EXPECT_EQ(script.texts(), (std::vector<std::string>{"Continue?", "Again", "from a worker"}));
    EXPECT_EQ(script.shown()[0].buttons, rm::MsgButtons::YesNo);
}

} // namespace
