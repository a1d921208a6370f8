#include "DisplayRig.h"

#include "WaveformPainter.h"
#include "WinColor.h"

#include <gtest/gtest.h>

namespace rm::viewer::test {
namespace {

const QRgb kRed = qRgb(255, 0, 0);

bool is(const QImage& image, int x, int y, TColor color) { return image.pixel(x, y) == toQColor(color).rgb(); }

bool columnIs(const QImage& image, int x, QRgb color) {
    for (int y = 0; y < image.height(); ++y)
        if (image.pixel(x, y) != color)
            return false;
    return true;
}

// The picture with both crosses XOR-composed onto it where the display has them.
QImage withCrosses(const QImage& picture, const TPreviewScreenPelkRM& display) {
    QImage expected = picture.copy();
    TWaveformPainter painter(expected, display.VoltScale());
    painter.XorCross(display.Cross1().x(), display.Cross1().y(), 0x0000FF);
    painter.XorCross(display.Cross2().x(), display.Cross2().y(), 0xFF0000);
    return expected;
}

RollModeStream::Settings settings() { return {}; }

TEST(PreviewScreen, WithoutANormalViewARedrawLeavesBackgroundAndGridAndNoCrosses) {
    DisplayRig rig(400, 241);
    const QImage before = rig.display.Picture().copy();
    EXPECT_EQ(before.size(), QSize(400, 241));
    EXPECT_TRUE(is(before, 0, 30, clGray));
    EXPECT_TRUE(is(before, 1, 31, clBlack));
    rig.display.RedrawAll();
    EXPECT_EQ(rig.display.Picture(), before);
    EXPECT_EQ(rig.display.ShownPicture(), before);  // no crosses without data
}

TEST(PreviewScreen, BothTracesAreDrawnAtTheirCodesAndAChannelSwitchedOffIsNot) {
    DisplayRig rig(400, 255);  // one row per code
    RollModeStream stream;
    stream.StartMeasurement(settings());
    constantSamples(stream, 2000, 200, 50);
    ASSERT_TRUE(rig.open(stream));
    const QImage& picture = rig.display.Picture();
    for (int x = 1; x < 399; ++x) {
        ASSERT_TRUE(is(picture, x, 255 - 200 + 1, clGreen)) << x;
        ASSERT_TRUE(is(picture, x, 255 - 50 + 1, clYellow)) << x;
    }
    rig.engine.ChannelB = false;
    rig.engine.Notify(enChannelsChanged, kGroupChannelsPanel);
    for (int x = 1; x < 399; ++x)
        ASSERT_FALSE(is(rig.display.Picture(), x, 255 - 50 + 1, clYellow)) << x;
}

TEST(PreviewScreen, IndexRecordsOnTheScreenGetRedLinesAndOnesFarBeforeItNone) {
    DisplayRig rig(400, 241);
    RollModeStream stream;
    stream.StartMeasurement(settings());
    constantSamples(stream, 100, 150, 150);
    stream.Marker(1);  // overrun after sample 99
    constantSamples(stream, 70000, 150, 150);
    ASSERT_TRUE(rig.open(stream));
    // The first sample after the record is sample 100, in column 100; the
    // measurement's own header before sample 0 gives no line.
    EXPECT_TRUE(columnIs(rig.display.Picture(), 100, kRed));
    EXPECT_FALSE(columnIs(rig.display.Picture(), 0, kRed));
    EXPECT_FALSE(columnIs(rig.display.Picture(), 99, kRed));

    // 65,236 columns after the record: a 16-bit column would wrap to 300.
    rig.engine.SetScreenPosition(100 + 65536 - 300);
    ASSERT_TRUE(rig.request(enScreenMoved));
    ASSERT_EQ(rig.engine.ScreenBeginning(), 100 + 65536 - 300);
    for (int x = 0; x < 400; ++x)
        ASSERT_FALSE(columnIs(rig.display.Picture(), x, kRed)) << x;

    // At 100 samples per point the record after sample 99 (its first sample
    // after counted from 1: 101) is marked in column round(101 / 100) - 1.
    rig.engine.SetSamplesPerPoint(100);
    rig.engine.SetScreenPosition(0);
    ASSERT_TRUE(rig.request(enZoomChanged));
    EXPECT_TRUE(columnIs(rig.display.Picture(), 0, kRed));
    EXPECT_FALSE(columnIs(rig.display.Picture(), 1, kRed));
}

TEST(PreviewScreen, CursorLinesStandOnTheirColumnsButNotOnTheScreensFirstSample) {
    DisplayRig rig(400, 241);
    RollModeStream stream;
    stream.StartMeasurement(settings());
    constantSamples(stream, 1000, 150, 150);
    ASSERT_TRUE(rig.open(stream));
    constexpr TColor cyan = 0xFFFF00;
    constexpr TColor orange = 0x0080FF;
    rig.source.Cursors().AddCursorObject({ctWaveform, orange, 0, 0, true, "C1"});
    rig.source.Cursors().AddCursorObject({ctWaveform, cyan, 1, 1, true, "C2"});
    rig.source.Cursors().AddCursorObject({ctScreen, orange, 5, 5, true, "C3"});
    rig.display.RedrawAll();
    EXPECT_TRUE(columnIs(rig.display.Picture(), 1, toQColor(cyan).rgb()));
    EXPECT_FALSE(is(rig.display.Picture(), 0, 10, orange));
    EXPECT_FALSE(is(rig.display.Picture(), 5, 10, orange));  // screen cursors draw no line
}

TEST(PreviewScreen, CrossesAreComposedSoTogglesAndRepaintsLeaveNothingBehind) {
    DisplayRig rig(400, 241);
    RollModeStream stream;
    stream.StartMeasurement(settings());
    constantSamples(stream, 1000, 150, 100);
    ASSERT_TRUE(rig.open(stream));
    TPreviewScreenPelkRM& display = rig.display;
    const QImage shown = display.ShownPicture().copy();
    EXPECT_EQ(shown, withCrosses(display.Picture(), display));
    EXPECT_NE(shown, display.Picture());

    // A code 26 without a change keeps the crosses as they are.
    rig.engine.Notify(enVoltageCursorsToggled, kGroupVoltagesPanel);
    EXPECT_EQ(display.ShownPicture(), shown);
    // Off and on again: the picture as it was.
    rig.engine.VoltageCursorsActive = false;
    rig.engine.Notify(enVoltageCursorsToggled, kGroupVoltagesPanel);
    EXPECT_EQ(display.ShownPicture(), display.Picture());
    rig.engine.VoltageCursorsActive = true;
    rig.engine.Notify(enVoltageCursorsToggled, kGroupVoltagesPanel);
    EXPECT_EQ(display.ShownPicture(), shown);

    // A cursor added and repainted shows what a full redraw shows.
    rig.source.Cursors().AddCursorObject({ctWaveform, 0x00FF00, 100, 100, true, "C1"});
    display.RepaintCursors();
    const QImage repainted = display.ShownPicture().copy();
    EXPECT_EQ(repainted, withCrosses(display.Picture(), display));
    display.RedrawAll();
    EXPECT_EQ(display.ShownPicture(), repainted);

    // A cross moved leaves nothing where it stood.
    display.SetCross1({200, 120});
    EXPECT_EQ(display.ShownPicture(), withCrosses(display.Picture(), display));
}

TEST(PreviewScreen, AResizeRescalesTheCrossesAndAfterwardsShowsNoneWithoutData) {
    DisplayRig rig(400, 241);
    EXPECT_EQ(rig.display.Cross1(), QPoint(100, 80));
    EXPECT_EQ(rig.display.Cross2(), QPoint(100, 180));
    rig.resize(90, 482);
    EXPECT_EQ(rig.display.Cross1(), QPoint(60, 160));
    EXPECT_EQ(rig.display.Cross2(), QPoint(60, 360));
    EXPECT_EQ(rig.display.Picture().size(), QSize(90, 482));
    EXPECT_EQ(rig.display.ShownPicture(), rig.display.Picture());
}

TEST(PreviewScreen, APictureForPrintIsBlackOnWhiteAndChangesNothingOnScreen) {
    DisplayRig rig(400, 255);
    RollModeStream stream;
    stream.StartMeasurement(settings());
    constantSamples(stream, 2000, 200, 50);
    ASSERT_TRUE(rig.open(stream));
    const QImage screen = rig.display.ShownPicture().copy();
    const QImage print = rig.display.PaintForPrint(800, 510);
    ASSERT_EQ(print.size(), QSize(800, 510));
    // Stretched twice both ways: screen row r is print rows 2r and 2r + 1.
    EXPECT_EQ(print.pixel(401, 2 * (255 - 200 + 1)), qRgb(0, 0, 0));
    EXPECT_EQ(print.pixel(401, 2 * (255 - 50 + 1)), qRgb(0, 0, 0));
    EXPECT_EQ(print.pixel(403, 21), qRgb(255, 255, 255));
    EXPECT_EQ(print.pixel(1, 21), qRgb(0, 0, 0));  // the solid edge line of the grid
    EXPECT_EQ(rig.engine.ColorChannelA, clGreen);
    EXPECT_EQ(rig.engine.ColorChannelB, clYellow);
    EXPECT_EQ(rig.engine.BackgroundColor, clBlack);
    EXPECT_EQ(rig.engine.GridColor, clGray);
    EXPECT_EQ(rig.display.ShownPicture(), screen);
}

TEST(PreviewScreen, TheCrossesReadTheVoltagesAndSamplesUnderThem) {
    DisplayRig rig(400, 255);
    RollModeStream stream;
    stream.StartMeasurement(settings());
    constantSamples(stream, 2000, 200, 50);
    ASSERT_TRUE(rig.open(stream));
    rig.display.SetCross1({100, 55});   // code 200
    rig.display.SetCross2({250, 155});  // code 100
    rig.display.UpdateVoltageCursorValues();
    const auto calibration = rig.index.GetCalibrationAt(100);
    ASSERT_TRUE(calibration.has_value());
    const auto volts = [](double code, uint16_t zero, uint32_t deflection) {
        return (code - zero) * deflection / 32;
    };
    EXPECT_DOUBLE_EQ(rig.engine.VoltageCursor1ChannelA,
                     volts(200, calibration->ChannelAZeroPosition, calibration->ChannelADensity));
    EXPECT_DOUBLE_EQ(rig.engine.VoltageCursor2ChannelB,
                     volts(100, calibration->ChannelBZeroPosition, calibration->ChannelBDensity));
    EXPECT_DOUBLE_EQ(rig.engine.VoltageCursor1ChannelA, (200.0 - 128) * 1000 / 32);
    EXPECT_EQ(rig.engine.AbsoluteScreenCursor, 100);
    EXPECT_EQ(rig.engine.RelativeScreenCursor, 250);
}

TEST(PreviewScreen, AFileOfOneSampleDrawsOnePointInEveryMode) {
    DisplayRig rig(400, 255);
    RollModeStream stream;
    stream.StartMeasurement(settings());
    constantSamples(stream, 1, 200, 50);
    ASSERT_TRUE(rig.open(stream));
    rig.engine.MakeAvg = false;
    rig.engine.MakeMaximum = true;
    rig.engine.MakeMinimum = true;
    rig.display.RedrawAll();
    EXPECT_TRUE(is(rig.display.Picture(), 0, 55, clGreen));
    EXPECT_TRUE(is(rig.display.Picture(), 0, 205, clYellow));
    EXPECT_FALSE(is(rig.display.Picture(), 1, 55, clGreen));
    rig.engine.SingleMode = true;
    rig.display.RedrawAll();
    EXPECT_TRUE(is(rig.display.Picture(), 0, 55, clGreen));
}

} // namespace
} // namespace rm::viewer::test
