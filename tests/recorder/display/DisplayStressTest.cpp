#include "DisplayTestSupport.h"
#include "RollScreenEKGVornRM.h"
#include "RollScreenShiftVornRM.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace displaytest;

namespace {

// The processing thread feeds blocks while the user-interface thread resizes,
// clears, redraws, changes drawing settings and paints.
template <typename Display>
void feedWhileTheUserInterfaceWorks() {
    app();
    TVirtualScopeVornRM scope;
    setUpScope(scope);
    scope.SetGrid(true);
    Display display;
    display.SetVirtualScope(&scope);
    display.resize(300, 200);
    display.show();
    display.ResizeBuffer();

    const Words stream = mixedStream(20000, 1);
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (uint32_t round = 0; round < 8; ++round)
            feedInBlocks(display, stream, round);
        done = true;
    });
    for (int step = 0; !done; ++step) {
        switch (step % 7) {
        case 0: display.resize(120 + (step * 37) % 400, 80 + (step * 13) % 200); break;
        case 1: display.ClearScreen(); break;
        case 2: display.ScopeNotify(TScopeNotifyCode::snSettingsChanged); break;
        case 3: scope.SetSingleMode(!scope.SingleMode()); break;
        case 4: scope.SetModeLine(!scope.ModeLine()); break;
        case 5: display.ScopeNotify(TScopeNotifyCode::snMainWindowResized); break;
        case 6: if (step % 5 == 0) display.ResizeBuffer(); break;
        }
        display.repaint();
        QCoreApplication::processEvents();
    }
    worker.join();
    QCoreApplication::processEvents();
    display.ScopeNotify(TScopeNotifyCode::snSettingsChanged);
    EXPECT_EQ(display.Picture().size(), display.size());
}

TEST(DisplayThreads, ShiftDisplayFedWhileTheUserInterfaceWorks) {
    feedWhileTheUserInterfaceWorks<TRollScreenShiftVornRM>();
}

TEST(DisplayThreads, EKGDisplayFedWhileTheUserInterfaceWorks) {
    feedWhileTheUserInterfaceWorks<TRollScreenEKGVornRM>();
}

} // namespace
