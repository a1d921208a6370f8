#include "NavigationRig.h"

#include <QDialog>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace rm::viewer::test {
namespace {

constexpr int64_t kLongFile = 3'000'000;  // several main buffers
constexpr int64_t kShortFile = 200'000;   // less than one main buffer

int64_t roundHalfEvenOf(double v) { return static_cast<int64_t>(std::nearbyint(v)); }

// --- the views settle ---------------------------------------------------------------

class SettledViews : public ::testing::TestWithParam<int64_t> {};

TEST_P(SettledViews, NoMoveIsBroadcastAndNoViewIsRebuiltOnceTheViewsAreIn) {
    NavigationRig rig(GetParam());
    rig.open();
    const int jobs = rig.progress.jobs();
    const int views[] = {rig.log.of(enQuickViewReady), rig.log.of(enBufferViewReady), rig.log.of(enNormalViewReady)};
    spin(400);
    EXPECT_EQ(rig.log.of(enBufferMoved), 0);
    EXPECT_EQ(rig.log.of(enScreenMoved), 0);
    EXPECT_EQ(rig.progress.jobs(), jobs);
    EXPECT_EQ(rig.log.of(enQuickViewReady), views[0]);
    EXPECT_EQ(rig.log.of(enBufferViewReady), views[1]);
    EXPECT_EQ(rig.log.of(enNormalViewReady), views[2]);
    EXPECT_EQ(rig.engine.ScreenBeginning(), 0);

    EXPECT_TRUE(rig.quick.ViewReady());
    EXPECT_TRUE(rig.buffer.ViewReady());
    const int trough = rig.quick.PureBarWidth();
    ASSERT_EQ(trough, NavigationRig::kBarWidth - 20);
    const int64_t samples = rig.engine.FileRealSamplesCount;
    EXPECT_EQ(rig.quick.HandlePosition(), 10);
    EXPECT_EQ(rig.quick.HandleWidth(),
              std::min<int64_t>(trough, roundHalfEvenOf(double(trough) * 0x80000 / double(samples))));
    EXPECT_EQ(rig.buffer.HandlePosition(), 10);
    const int64_t span = std::min<int64_t>(samples, 0x80000);
    EXPECT_EQ(rig.buffer.HandleWidth(), roundHalfEvenOf(800.0 * trough / double(span)));
}

INSTANTIATE_TEST_SUITE_P(LongAndShortFiles, SettledViews, ::testing::Values(kLongFile, kShortFile));

TEST(ViewBars, TheEnvelopesShowTheFileInTheChannelColours) {
    NavigationRig rig(kLongFile);
    rig.open();
    const QImage picture = rig.quick.Picture();
    const QColor green = toQColor(rig.engine.ColorChannelA), yellow = toQColor(rig.engine.ColorChannelB);
    int a = 0, b = 0;
    for (int x = 100; x < 800; ++x)
        for (int y = 0; y < 50; ++y) {
            a += picture.pixelColor(x, y) == green;
            b += picture.pixelColor(x, y) == yellow;
        }
    EXPECT_GT(a, 700);
    EXPECT_GT(b, 700);
    // Nothing is drawn into the end zones but the arrows of the handle.
    EXPECT_EQ(picture.pixelColor(9, 2), toQColor(rig.engine.BackgroundColor));
    EXPECT_EQ(picture.pixelColor(2, 25), toQColor(TQuickBarVornPrv::clPurple));
    EXPECT_EQ(rig.buffer.Picture().pixelColor(NavigationRig::kBarWidth - 3, 25),
              toQColor(TBufferBarVornPrv::clMaroon));

    rig.engine.ChannelB = false;
    rig.engine.Notify(enChannelsChanged, kGroupChannelsPanel);
    QApplication::processEvents();
    b = 0;
    for (int x = 100; x < 800; ++x)
        for (int y = 0; y < 50; ++y)
            b += rig.quick.Picture().pixelColor(x, y) == yellow;
    EXPECT_EQ(b, 0);
}

TEST(ViewBars, TheBufferBarIsEmptyWithoutAHandleWhileAScreenHoldsMoreThanTheBuffer) {
    NavigationRig rig(kLongFile);
    rig.open();
    const QColor background = toQColor(rig.engine.BackgroundColor);
    const auto drawnInTheTrough = [&] {
        int drawn = 0;
        for (int x = 10; x < NavigationRig::kBarWidth - 10; ++x)
            for (int y = 0; y < 50; ++y)
                drawn += rig.buffer.Picture().pixelColor(x, y) != background;
        return drawn;
    };
    const auto zoom = [&](uint32_t samplesPerPoint) {
        rig.engine.SetSamplesPerPoint(samplesPerPoint);
        rig.engine.Notify(enZoomChanged, kGroupZoomPanel);
        rig.settle();
    };
    EXPECT_GT(drawnInTheTrough(), 1000);
    for (const uint32_t samplesPerPoint : {1024u, 0x20000u}) {
        zoom(samplesPerPoint);
        ASSERT_FALSE(rig.engine.BufferViewValid());
        EXPECT_EQ(drawnInTheTrough(), 0) << samplesPerPoint;
        // The end zones still step the screen: their arrows stay.
        EXPECT_EQ(rig.buffer.Picture().pixelColor(NavigationRig::kBarWidth - 3, 25),
                  toQColor(TBufferBarVornPrv::clMaroon));
    }
    zoom(1);
    ASSERT_TRUE(rig.engine.BufferViewValid());
    EXPECT_GT(drawnInTheTrough(), 1000);
}

// --- the handle ---------------------------------------------------------------------------

TEST(ViewBars, HandleIsKeptInTheTrough) {
    widgetTestApp();
    TQuickBarVornPrv bar;  // no engine: only the handle moves
    bar.resize(220, 50);
    bar.EngineNotify(enInitialize, kGroupAll);
    EXPECT_EQ(bar.PureBarWidth(), 200);
    EXPECT_EQ(bar.HandleWidth(), 20);
    bar.SetHandlePosition(100);
    bar.SetHandleWidth(500);  // wider than the trough: cut and put at its start
    EXPECT_EQ(bar.HandleWidth(), 200);
    EXPECT_EQ(bar.HandlePosition(), 10);
    bar.SetHandleWidth(40);
    bar.SetHandlePosition(1000);
    EXPECT_EQ(bar.HandlePosition(), 220 - 40 - 10);
    bar.SetHandlePosition(-1000);
    EXPECT_EQ(bar.HandlePosition(), 10);
}

// --- clicks, pages and auto-repeat -------------------------------------------------------------

TEST(ViewBars, QuickBarStepsInTheEndZonesAndPagesBesideTheHandle) {
    NavigationRig rig(kLongFile);
    rig.open();
    const int64_t buffer = 0x80000;
    click(rig.quick, NavigationRig::kBarWidth - 5);  // right end zone
    EXPECT_EQ(rig.engine.MainBufferPosition(), buffer);
    EXPECT_EQ(rig.log.of(enBufferMoved), 1);
    EXPECT_EQ(rig.log.senderOf(enBufferMoved), kGroupQuickBar);
    rig.settle();
    const int handle = rig.quick.HandlePosition();
    EXPECT_EQ(handle, roundHalfEvenOf(double(buffer) / rig.engine.FileRealSamplesCount * 800) + 10);

    click(rig.quick, handle + rig.quick.HandleWidth() + 50);  // between handle and right end
    EXPECT_EQ(rig.engine.MainBufferPosition(), buffer + buffer / 2);
    rig.settle();
    click(rig.quick, rig.quick.HandlePosition() - 20);  // between left end and handle
    EXPECT_EQ(rig.engine.MainBufferPosition(), buffer);
    rig.settle();
    click(rig.quick, 5);  // left end zone
    EXPECT_EQ(rig.engine.MainBufferPosition(), 0);
    rig.settle();
    click(rig.quick, 5);  // at the file start it stays
    EXPECT_EQ(rig.engine.MainBufferPosition(), 0);
    EXPECT_EQ(rig.log.of(enBufferMoved), 5);
    EXPECT_EQ(rig.log.of(enScreenMoved), 0);
}

TEST(ViewBars, BufferBarStepsAndPagesByScreens) {
    NavigationRig rig(kLongFile);
    rig.open();
    click(rig.buffer, NavigationRig::kBarWidth - 5);
    EXPECT_EQ(rig.engine.ScreenPosition(), 800);
    EXPECT_EQ(rig.log.of(enScreenMoved), 1);
    EXPECT_EQ(rig.log.senderOf(enScreenMoved), kGroupBufferBar);
    rig.settle();
    click(rig.buffer, 700);  // right of the handle: half a screen
    EXPECT_EQ(rig.engine.ScreenPosition(), 1200);
    rig.settle();
    click(rig.buffer, 5);
    EXPECT_EQ(rig.engine.ScreenPosition(), 400);
    rig.settle();
    EXPECT_EQ(rig.buffer.HandlePosition(), roundHalfEvenOf(400.0 * 800 / 0x80000) + 10);
    EXPECT_EQ(rig.log.of(enBufferMoved), 0);

    // A screen larger than the buffer: the end zones step the absolute
    // position by a screen.
    rig.engine.SetSamplesPerPoint(1024);
    rig.engine.Notify(enZoomChanged, kGroupZoomPanel);
    rig.settle();
    ASSERT_FALSE(rig.engine.BufferViewValid());
    ASSERT_EQ(rig.engine.ScreenBeginning(), 400);
    click(rig.buffer, NavigationRig::kBarWidth - 5);
    EXPECT_EQ(rig.engine.ScreenBeginning(), 400 + 1024 * 800);
    rig.settle();
    click(rig.buffer, 5);
    EXPECT_EQ(rig.engine.ScreenBeginning(), 400);
}

TEST(ViewBars, AutoRepeatRunsWhileHeldAndStopsOnReleaseHideAndModalBox) {
    NavigationRig rig(kLongFile);
    rig.open();
    sendMouse(rig.buffer, QEvent::MouseButtonPress, NavigationRig::kBarWidth - 5);
    EXPECT_EQ(rig.engine.ScreenPosition(), 800);
    EXPECT_TRUE(rig.bufferTimer.isActive());
    EXPECT_EQ(rig.bufferTimer.interval(), 500);
    EXPECT_TRUE(processEventsUntilMs([&] { return rig.engine.ScreenPosition() == 1600; }, 5000));
    sendMouse(rig.buffer, QEvent::MouseButtonRelease, NavigationRig::kBarWidth - 5);
    EXPECT_FALSE(rig.bufferTimer.isActive());

    sendMouse(rig.buffer, QEvent::MouseButtonPress, NavigationRig::kBarWidth - 5);
    EXPECT_TRUE(rig.bufferTimer.isActive());
    rig.buffer.hide();
    EXPECT_FALSE(rig.bufferTimer.isActive());
    rig.buffer.show();
    sendMouse(rig.buffer, QEvent::MouseButtonRelease, NavigationRig::kBarWidth - 5);

    sendMouse(rig.quick, QEvent::MouseButtonPress, NavigationRig::kBarWidth - 5);
    // Counted by its broadcasts: the buffer's position itself settles later,
    // when the worker has built the buffer view of the press's step.
    const int steps = rig.log.of(enBufferMoved);
    QDialog box;
    box.setModal(true);
    box.show();
    // The next tick of the timer finds the box and stops it without a step.
    EXPECT_TRUE(processEventsUntilMs([&] { return !rig.quickTimer.isActive(); }, 5000));
    EXPECT_EQ(rig.log.of(enBufferMoved), steps);
}

TEST(ViewBars, ARepeatTimerThatGoesBeforeTheBarIsLetGo) {
    NavigationRig rig(kShortFile);
    rig.open();
    auto timer = std::make_unique<QTimer>();
    rig.buffer.SetBarTimer(timer.get());
    sendMouse(rig.buffer, QEvent::MouseButtonPress, NavigationRig::kBarWidth - 5);
    EXPECT_TRUE(timer->isActive());
    timer.reset();
    EXPECT_EQ(rig.buffer.BarTimer(), nullptr);
    // Hiding and releasing stop the repeat; neither reaches the freed timer.
    rig.buffer.hide();
    sendMouse(rig.buffer, QEvent::MouseButtonRelease, NavigationRig::kBarWidth - 5);
    rig.buffer.show();
    // Without a timer a press still steps once.
    const int64_t before = rig.engine.ScreenPosition();
    click(rig.buffer, NavigationRig::kBarWidth - 5);
    EXPECT_NE(rig.engine.ScreenPosition(), before);
}

// --- drags ---------------------------------------------------------------------------------------

TEST(ViewBars, QuickBarDragMovesTheEngineOnceOnRelease) {
    NavigationRig rig(kLongFile);
    rig.open();
    const int grip = rig.quick.HandlePosition() + rig.quick.HandleWidth() / 2;
    sendMouse(rig.quick, QEvent::MouseButtonPress, grip);
    EXPECT_TRUE(rig.quick.Dragging());
    EXPECT_FALSE(rig.quickTimer.isActive());
    sendMouse(rig.quick, QEvent::MouseMove, grip + 100);
    sendMouse(rig.quick, QEvent::MouseMove, grip + 300);
    EXPECT_EQ(rig.quick.HandlePosition(), 310);
    EXPECT_EQ(rig.log.of(enBufferMoved), 0);
    EXPECT_EQ(rig.engine.MainBufferPosition(), 0);
    sendMouse(rig.quick, QEvent::MouseButtonRelease, grip + 300);
    EXPECT_EQ(rig.log.of(enBufferMoved), 1);
    const int64_t samples = rig.engine.FileRealSamplesCount;
    EXPECT_EQ(rig.engine.MainBufferPosition(), roundHalfEvenOf(300.0 * samples / 800));
    rig.settle();
    EXPECT_EQ(rig.quick.HandlePosition(), 310);

    // Dragged past the left end: the handle stops at the trough, the buffer at 0.
    sendMouse(rig.quick, QEvent::MouseButtonPress, 312);
    sendMouse(rig.quick, QEvent::MouseMove, -500);
    sendMouse(rig.quick, QEvent::MouseButtonRelease, -500);
    EXPECT_EQ(rig.quick.HandlePosition(), 10);
    EXPECT_EQ(rig.engine.MainBufferPosition(), 0);
    rig.settle();

    // Past the right end: the last buffer of the file.
    sendMouse(rig.quick, QEvent::MouseButtonPress, 12);
    sendMouse(rig.quick, QEvent::MouseMove, 5000);
    sendMouse(rig.quick, QEvent::MouseButtonRelease, 5000);
    EXPECT_EQ(rig.quick.HandlePosition(), NavigationRig::kBarWidth - 10 - rig.quick.HandleWidth());
    EXPECT_NEAR(double(rig.engine.MainBufferPosition()), double(samples - 0x80000), double(samples) / 800);
}

TEST(ViewBars, BufferBarDragMovesTheScreenOnEveryMove) {
    NavigationRig rig(kLongFile);
    rig.open();
    const int grip = rig.buffer.HandlePosition() + 1;
    sendMouse(rig.buffer, QEvent::MouseButtonPress, grip);
    ASSERT_TRUE(rig.buffer.Dragging());
    sendMouse(rig.buffer, QEvent::MouseMove, grip + 100);
    EXPECT_EQ(rig.log.of(enScreenMoved), 1);
    EXPECT_EQ(rig.engine.ScreenPosition(), roundHalfEvenOf(100.0 * 0x80000 / 800));
    sendMouse(rig.buffer, QEvent::MouseMove, grip + 200);
    EXPECT_EQ(rig.log.of(enScreenMoved), 2);
    EXPECT_EQ(rig.engine.ScreenPosition(), roundHalfEvenOf(200.0 * 0x80000 / 800));
    spin(300);  // views arriving meanwhile leave the handle under the mouse
    EXPECT_EQ(rig.buffer.HandlePosition(), 210);
    sendMouse(rig.buffer, QEvent::MouseMove, -300);  // left of the trough
    EXPECT_EQ(rig.buffer.HandlePosition(), 10);
    EXPECT_EQ(rig.engine.ScreenPosition(), 0);
    sendMouse(rig.buffer, QEvent::MouseButtonRelease, -300);
    rig.settle();
    EXPECT_EQ(rig.engine.ScreenBeginning(), 0);
    EXPECT_EQ(rig.log.of(enBufferMoved), 0);
}

// --- what has no divisor -----------------------------------------------------------------------------

TEST(ViewBars, CasesWithoutADivisorDrawWithoutFault) {
    widgetTestApp();
    TPreviewEnginePelkRM engine;  // not started: no main buffer yet
    TQuickBarVornPrv quick;
    TBufferBarVornPrv buffer;
    for (TViewBarVornPrv* bar : {static_cast<TViewBarVornPrv*>(&quick), static_cast<TViewBarVornPrv*>(&buffer)}) {
        bar->resize(300, 50);
        bar->SetPreviewEngine(&engine);
        bar->EngineNotify(enInitialize, kGroupAll);
        bar->Redraw();
        const QImage picture = bar->Picture();
        EXPECT_EQ(picture.size(), QSize(300, 50));
        // MainBufferSize 0: the background only.
        for (int x = 0; x < 300; x += 7)
            ASSERT_EQ(picture.pixelColor(x, 25), toQColor(engine.BackgroundColor)) << x;
        click(*bar, 5);
        click(*bar, 200);
    }
    // A main buffer, but no samples and no valid view.
    engine.MainBufferSize = 0x80000;
    engine.MainBufferRealSamples = 0x80000;
    engine.FileRealSamplesCount = 0;
    for (int code : {enQuickViewReady, enBufferViewReady, enNormalViewReady, enZoomChanged, enFormResized})
        for (TViewBarVornPrv* bar : {static_cast<TViewBarVornPrv*>(&quick), static_cast<TViewBarVornPrv*>(&buffer)})
            bar->EngineNotify(code, kGroupDataSource);
    EXPECT_EQ(quick.HandlePosition(), 10);
    EXPECT_EQ(quick.HandleWidth(), quick.PureBarWidth());
    EXPECT_EQ(buffer.HandlePosition(), 10);  // no file: the buffer bar's handle stays
    EXPECT_EQ(buffer.HandleWidth(), buffer.PureBarWidth() / 10);
    for (TViewBarVornPrv* bar : {static_cast<TViewBarVornPrv*>(&quick), static_cast<TViewBarVornPrv*>(&buffer)}) {
        click(*bar, 5);
        click(*bar, 295);
        click(*bar, 150);
        bar->resize(15, 50);  // narrower than its end zones
        bar->EngineNotify(enFormResized, kGroupAll);
        bar->EngineNotify(enNormalViewReady, kGroupDataSource);
        click(*bar, 7);
        bar->resize(0, 50);
        bar->Redraw();
    }
    EXPECT_EQ(engine.ScreenPosition(), 0);
}

// --- cursor and index marks -------------------------------------------------------------------------

TEST(ViewBars, CursorsGetMarksOnlyInsideTheSpan) {
    NavigationRig rig(kLongFile);
    rig.open();
    const int64_t samples = rig.engine.FileRealSamplesCount;
    const QImage before = rig.quick.Picture();
    addCursor(rig.source, 0, 0xFF66D9);
    addCursor(rig.source, 1, 0xFF66D9, ctScreen);  // screen cursors never get a mark
    rig.engine.Notify(enCursorsChanged, kGroupDisplay);
    QApplication::processEvents();
    EXPECT_EQ(rig.quick.Picture(), before);

    const int64_t at = samples * 3 / 4;
    addCursor(rig.source, at, 0xFF66D9);
    rig.engine.Notify(enCursorsChanged, kGroupDisplay);
    QApplication::processEvents();
    const int x = static_cast<int>(800 * at / samples + 10);
    for (int y = 0; y < 50; y += 5)
        EXPECT_EQ(rig.quick.Picture().pixelColor(x, y), toQColor(0xFF66D9)) << y;

    // The buffer bar's span starts at the main buffer.
    click(rig.quick, NavigationRig::kBarWidth - 5);
    rig.settle();
    const int64_t start = rig.engine.MainBufferPosition();
    ASSERT_GT(start, 0);
    const QImage bufferBefore = rig.buffer.Picture();
    addCursor(rig.source, start, 0x9240FF);
    rig.engine.Notify(enCursorsChanged, kGroupDisplay);
    QApplication::processEvents();
    EXPECT_EQ(rig.buffer.Picture(), bufferBefore);
    addCursor(rig.source, start + 0x40000, 0x9240FF);
    rig.engine.Notify(enCursorsChanged, kGroupDisplay);
    QApplication::processEvents();
    EXPECT_EQ(rig.buffer.Picture().pixelColor(410, 3), toQColor(0x9240FF));
}

TEST(ViewBars, IndexRecordsAreMarkedRed) {
    NavigationRig rig(kLongFile);
    rig.open();
    for (int step = 0; step < 2; ++step) {  // the handle out of the way
        click(rig.quick, NavigationRig::kBarWidth - 5);
        rig.settle();
    }
    // The overrun mark of the recording is an index record of its own.
    const int64_t samples = rig.engine.FileRealSamplesCount;
    const double ratio = double(samples) / 800;
    const int x = static_cast<int>(roundHalfEvenOf(double(rig.summary.overrunSample + 1) / ratio) + 9);
    const QColor red(255, 0, 0);
    bool found = false;
    for (int dx = -1; dx <= 1; ++dx)
        found = found || rig.quick.Picture().pixelColor(x + dx, 2) == red;
    EXPECT_TRUE(found) << x;
}

} // namespace
} // namespace rm::viewer::test
