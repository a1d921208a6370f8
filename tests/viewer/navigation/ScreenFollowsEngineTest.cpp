// A seeded random run of user actions on a recording longer than four main
// buffers: after each action the screen's first sample (the engine's
// ScreenBeginning) lies inside the file, the normal view is built from the
// samples there, and once the views are in nothing is rebuilt.
#include "NavigationRig.h"

#include "OnOffButton.h"
#include "PreviewScreenMouse.h"
#include "PreviewScreenPelkRM.h"
#include "RollModeStream.h"
#include "ZoomControlsVornRMPrv.h"

#include <QPushButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <random>

namespace rm::viewer::test {
namespace {

constexpr int64_t kSamples = 3'000'000;  // more than four main buffers
constexpr int kDisplayHeight = 255;

// Channel A of sample n reads (n / 100 mod 255) + 1, so a point tells where
// it starts; a suppressed-sample mark every 100,000 samples.
uint8_t codeA(int64_t n) { return static_cast<uint8_t>((n / 100) % 255 + 1); }

void writeNumberedRecording(const std::string& path) {
    RollModeStream s;
    s.SamplesPerSecond(1000000);
    for (int64_t n = 0; n < kSamples; ++n) {
        if (n % 100000 == 0)
            s.Marker(2);
        s.Sample(static_cast<uint16_t>(0x8000 | codeA(n)));
    }
    ASSERT_TRUE(s.WriteFile(path));
}

// The views the user's actions ask for, and whether the worker is at it.
class Requests {
public:
    explicit Requests(const BusLog& log) : log_(log) {}
    int count() const {
        return log_.of(enFormResized) + log_.of(enZoomChanged) + log_.of(enScreenMoved) + log_.of(enBufferMoved);
    }
    int rebuilt() const {
        return log_.of(enQuickViewReady) + log_.of(enBufferViewReady) + log_.of(enNormalViewReady);
    }

private:
    const BusLog& log_;
};

class ScreenFollowsEngine : public ::testing::Test {
protected:
    ScreenFollowsEngine() {
        writeNumberedRecording(rig.path);
        display.resize(NavigationRig::kScreenPoints, kDisplayHeight);
        display.SetDataModule(&rig.source);
        display.SetPreviewEngine(&rig.engine);
        display.show();
        zoom.SetIncreaseZoomButton(&plus);
        zoom.SetDecreaseZoomButton(&minus);
        zoom.SetZoomActiveButton(&onOff);
        zoom.SetPreviewEngine(&rig.engine);
        rig.engine.MainScreenHeight = kDisplayHeight;
        display.ResizeBitmap();
    }

    // As the main window does when the display gets a new width.
    void resize(int width) {
        display.resize(width, kDisplayHeight);
        rig.engine.SetActualPointsCount(static_cast<uint32_t>(width));
        rig.engine.MainScreenWidth = static_cast<uint32_t>(width);
        rig.engine.Notify(enFormResized, kGroupAll);
    }
    void drag(QWidget& widget, int from, int to) {
        sendMouse(widget, QEvent::MouseButtonPress, from);
        sendMouse(widget, QEvent::MouseMove, to);
        sendMouse(widget, QEvent::MouseButtonRelease, to);
    }
    // Until the views an action asked for are in and the bus is quiet.
    void settle(int requestsBefore, int normalViewsBefore) {
        if (requests.count() > requestsBefore) {
            ASSERT_TRUE(processEventsUntilMs([&] { return rig.log.of(enNormalViewReady) > normalViewsBefore; }, 20000));
        }
        ASSERT_TRUE(processEventsUntilMs(
            [&] { return rig.source.WorkerIdle() && rig.log.quietFor() > std::chrono::milliseconds(20); }, 20000));
        QApplication::processEvents();
    }
    void expectScreenOnTheEngine() {
        const TPreviewEnginePelkRM& engine = rig.engine;
        const int64_t first = engine.ScreenBeginning();
        ASSERT_GE(first, 0);
        ASSERT_LE(first + engine.SamplesPerScreen(), std::max<int64_t>(kSamples, engine.SamplesPerScreen()));
        if (first + engine.SamplesPerScreen() <= kSamples) {
            ASSERT_EQ(engine.PreviewValidSamplesCount, engine.SamplesPerScreen());
        }
        const int64_t perPoint = engine.SamplesPerPoint();
        uint8_t max = 0;
        for (int64_t n = first; n < std::min(first + perPoint, kSamples); ++n)
            max = std::max(max, codeA(n));
        std::lock_guard lock(rig.source.ViewLock(TViewKind::Normal));
        const TViewPoints& view = rig.source.View(TViewKind::Normal);
        ASSERT_EQ(view.StartSample, first);
        ASSERT_GT(view.Points, 0);
        ASSERT_EQ(view.MaxA[0], max);
    }

    NavigationRig rig{1};  // the recording is written anew above
    Requests requests{rig.log};
    TPreviewScreenPelkRM display;
    TPreviewScreenMouse mouse{display, rig.engine, rig.source};
    QPushButton plus{"+"}, minus{"-"};
    TOnOffButtonVorn onOff;
    TZoomControlsVornRMPrv zoom;
};

TEST_F(ScreenFollowsEngine, ThroughAThousandRandomUserActions) {
    rig.open();
    constexpr unsigned kSeed = 20261209;
    std::mt19937 random(kSeed);
    const auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const int bar = NavigationRig::kBarWidth;
    const std::vector<std::pair<const char*, std::function<void()>>> actions = {
        {"zoom out (+)", [&] { plus.click(); }},
        {"zoom in (-)", [&] { minus.click(); }},
        {"zoom off or on", [&] { onOff.click(); }},
        {"resize", [&] {
             const int widths[] = {640, 800, 1023, 1024, 1040, 1300};
             resize(widths[below(6)]);
         }},
        {"pan", [&] {
             const int from = below(display.width()), to = below(display.width());
             drag(display, from, to);
         }},
        {"pan far", [&] {
             const bool left = below(2) == 0;
             for (int i = 0; i < 1 + below(20); ++i)
                 drag(display, left ? 5 : display.width() - 5, left ? display.width() - 5 : 5);
         }},
        {"quick bar step", [&] { click(rig.quick, below(2) == 0 ? 5 : bar - 5); }},
        {"buffer bar step", [&] { click(rig.buffer, below(2) == 0 ? 5 : bar - 5); }},
        {"quick bar click", [&] { click(rig.quick, 10 + below(bar - 20)); }},
        {"buffer bar click", [&] { click(rig.buffer, 10 + below(bar - 20)); }},
        {"quick bar drag", [&] {
             drag(rig.quick, rig.quick.HandlePosition() + rig.quick.HandleWidth() / 2, below(bar));
         }},
        {"buffer bar drag", [&] {
             drag(rig.buffer, rig.buffer.HandlePosition() + rig.buffer.HandleWidth() / 2, below(bar));
         }},
    };
    for (int step = 0; step < 1000; ++step) {
        const auto& [name, act] = actions[static_cast<size_t>(below(static_cast<int>(actions.size())))];
        SCOPED_TRACE(::testing::Message() << "seed " << kSeed << ", step " << step << ": " << name << " at "
                                          << rig.engine.SamplesPerPoint() << ":1, " << rig.engine.MainScreenWidth
                                          << " columns");
        const int requestsBefore = requests.count();
        const int normalViewsBefore = rig.log.of(enNormalViewReady);
        act();
        settle(requestsBefore, normalViewsBefore);
        expectScreenOnTheEngine();
        if (HasFatalFailure())
            return;
        if (step % 100 == 99) {
            const int jobs = rig.progress.jobs(), rebuilt = requests.rebuilt(), asked = requests.count();
            spin(200);
            ASSERT_EQ(rig.progress.jobs(), jobs);
            ASSERT_EQ(requests.rebuilt(), rebuilt);
            ASSERT_EQ(requests.count(), asked);
        }
    }
}

} // namespace
} // namespace rm::viewer::test
