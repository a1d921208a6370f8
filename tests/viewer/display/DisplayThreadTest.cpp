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

    std::atomic<bool> stop{false};
    std::thread announcer([&] {
        while (!stop) {
            rig.engine.Notify(enNormalViewReady, kGroupDataSource);
            std::this_thread::sleep_for(std::chrono::microseconds(300));
        }
    });
    for (int round = 0; round < 60; ++round) {
        rig.resize(300 + (round % 7) * 40, 200 + (round % 5) * 30);  // the worker rebuilds the normal view
        rig.engine.SetScreenPosition(round * 1000);
        rig.engine.Notify(enScreenMoved, kGroupDisplay);
        rig.display.RedrawAll();
        rig.display.repaint();
        settle(5);
    }
    stop = true;
    announcer.join();
    settle(100);
    EXPECT_EQ(rig.display.Picture().size(), rig.display.size());
}

} // namespace
} // namespace rm::viewer::test
