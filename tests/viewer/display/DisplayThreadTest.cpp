// The display while the worker publishes normal views and a thread keeps
// announcing them, and the user-interface thread resizes and redraws.
#include "DisplayRig.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace rm::viewer::test {
namespace {

TEST(DisplayThreads, NormalViewsArrivingDuringResizesAndRedrawsAreReadWhole) {
    DisplayRig rig(400, 241);
    RollModeStream stream;
    stream.StartMeasurement({});
    stream.Samples(300000);
    ASSERT_TRUE(rig.open(stream));

    // The announcer keeps a few announcements queued for the display and no
    // more: an unbounded flood would only pile redraws up in the event queue.
    NormalViewCounter handled;
    rig.engine.RegisterListener(kGroupAll, &handled, TListenerThread::UserInterface);
    std::atomic<int> announced{0};
    std::atomic<bool> stop{false};
    std::thread announcer([&] {
        while (!stop) {
            if (announced - handled.count < 3) {
                ++announced;
                rig.engine.Notify(enNormalViewReady, kGroupDataSource);
            }
            std::this_thread::sleep_for(std::chrono::microseconds(300));
        }
    });
    // Rounds until the budget is spent; the first ones always run.
    QElapsedTimer budget;
    budget.start();
    int rounds = 0;
    for (; rounds < 60 && (rounds < 8 || budget.elapsed() < 4000); ++rounds) {
        rig.resize(300 + (rounds % 7) * 40, 200 + (rounds % 5) * 30);  // the worker rebuilds the normal view
        rig.engine.SetScreenPosition(rounds * 1000);
        rig.engine.Notify(enScreenMoved, kGroupDisplay);
        rig.display.RedrawAll();
        rig.display.repaint();
        settle(5);
    }
    stop = true;
    announcer.join();
    settle(100);
    rig.engine.UnregisterListener(kGroupAll, &handled);
    EXPECT_GT(handled.count, rounds);  // the display drew while the views changed
    EXPECT_EQ(rig.display.Picture().size(), rig.display.size());
}

} // namespace
} // namespace rm::viewer::test
