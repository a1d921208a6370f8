#include "DisplayTestSupport.h"
#include "RollScreenShiftVornRM.h"

#include <QPainter>

#include <gtest/gtest.h>

using namespace displaytest;

namespace {

class ShiftDisplay : public DisplayTest<TRollScreenShiftVornRM, 200> {};

TEST_F(ShiftDisplay, ColumnsOfABlockLandAtTheRightEdge) {
    scope.SetDSPSetting(1);  // two samples per column
    feed({sample(10, 200), sample(40, 180), sample(100, 60), sample(100, 60)});
    QImage picture = display.Picture();
    const int x = kWidth - 2;
    // Min/max lines: channel A from code 40 (row 215) down to code 10 (row 245).
    EXPECT_EQ(countInColumn(picture, x, colorA), 31);
    EXPECT_EQ(picture.pixel(x, 215), colorA);
    EXPECT_EQ(picture.pixel(x, 245), colorA);
    EXPECT_EQ(countInColumn(picture, x, colorB), 21);  // rows 55 .. 75
    EXPECT_EQ(picture.pixel(x, 55), colorB);
    EXPECT_EQ(picture.pixel(kWidth - 1, 155), colorA);
    EXPECT_EQ(picture.pixel(kWidth - 1, 195), colorB);
    for (int left = 0; left < x; ++left)
        ASSERT_EQ(countInColumn(picture, left, background), 255) << left;

    // Dots: only the two ends of each range.
    scope.SetModeLine(false);
    picture = redrawn();
    EXPECT_EQ(countInColumn(picture, x, colorA), 2);
    EXPECT_EQ(picture.pixel(x, 245), colorA);

    // Single ring: the sample that completed each column.
    scope.SetSingleMode(true);
    picture = redrawn();
    EXPECT_EQ(picture.pixel(x, 215), colorA);
    EXPECT_EQ(picture.pixel(x, 75), colorB);
    EXPECT_EQ(picture.pixel(kWidth - 1, 155), colorA);
    EXPECT_EQ(countInColumn(picture, x, background), 253);

    // A hidden channel is not drawn.
    scope.SetStatusChannelB(false);
    picture = redrawn();
    EXPECT_EQ(countInColumn(picture, x, colorB), 0);
}

TEST_F(ShiftDisplay, MarkersAreFullHeightLines) {
    const Words record = {0, 5, 2, 0x0203, 0x0180};
    feed(Words{sample(50, 50), 1, sample(50, 50), 2, 2, sample(50, 50)} + record +
         Words{sample(50, 50), sample(7, 0)});
    const QImage picture = display.Picture();
    const QRgb red = rgb(0x0000FF);
    const QRgb olive = rgb(0x008080);
    EXPECT_EQ(countInColumn(picture, kWidth - 7, red), 255);    // overrun
    EXPECT_EQ(countInColumn(picture, kWidth - 5, olive), 255);  // not armed, once
    EXPECT_EQ(countInColumn(picture, kWidth - 3, red), 255);    // parameter record
    EXPECT_EQ(countInColumn(picture, kWidth - 4, red), 0);
    // A real sample with channel B code 0: its A pixel, no marker.
    EXPECT_EQ(countInColumn(picture, kWidth - 1, red), 0);
    EXPECT_EQ(picture.pixel(kWidth - 1, 248), colorA);
    EXPECT_EQ(redrawn(), picture);
}

TEST_F(ShiftDisplay, GridTravelsWithTheData) {
    const QRgb grid = showGridOnly();
    QImage picture = display.Picture();
    for (int x : {0, 50, 100, 150}) {
        EXPECT_EQ(picture.pixel(x, 0), grid) << x;
        EXPECT_EQ(picture.pixel(x, 2), grid) << x;
        EXPECT_EQ(picture.pixel(x, 1), background) << x;
    }
    EXPECT_EQ(picture.pixel(49, 0), background);
    EXPECT_EQ(picture.pixel(2, 224), grid);  // code 31
    EXPECT_EQ(picture.pixel(3, 224), background);
    EXPECT_EQ(picture.pixel(2, 32), grid);  // code 223

    feed(Words(7, sample(50, 50)));
    picture = display.Picture();
    for (int x : {43, 93, 143, 193})
        EXPECT_EQ(picture.pixel(x, 0), grid) << x;
    EXPECT_EQ(picture.pixel(0, 0), background);
    EXPECT_EQ(picture.pixel(50, 0), background);

    // One column per block: the grid rows follow on every second block.
    feed(Words(1, sample(50, 50)));
    EXPECT_EQ(display.Picture().pixel(kWidth - 2, 224), background);
    feed(Words(1, sample(50, 50)));
    picture = display.Picture();
    EXPECT_EQ(picture.pixel(kWidth - 2, 224), grid);
    EXPECT_EQ(picture.pixel(kWidth - 1, 224), background);

    // After 50 columns in all the lines stand where they started, and a full
    // redraw agrees.
    feed(Words(41, sample(50, 50)));
    picture = display.Picture();
    for (int x : {0, 50, 100, 150})
        EXPECT_EQ(picture.pixel(x, 0), grid) << x;
    const QImage again = redrawn();
    for (int x = 0; x < kWidth; ++x)
        ASSERT_EQ(again.pixel(x, 0), picture.pixel(x, 0)) << x;
}

TEST_F(ShiftDisplay, FullRedrawDrawsWhatTheAppendsDrew) {
    const Words stream = mixedStream(4000, 7);
    for (int perColumn : {1, 2}) {
        scope.SetDSPSetting(perColumn == 1 ? 0 : 1);
        for (const DrawingMode& mode : kDrawingModes) {
            SCOPED_TRACE(testing::Message() << mode << " per column " << perColumn);
            mode.applyTo(scope);
            display.ResizeBuffer();
            feedInBlocks(display, stream, 11);
            QImage appended = display.Picture();
            // The appends scroll columns into x = 0; a full redraw leaves it
            // to the background.
            EXPECT_LT(countInColumn(appended, 0, background), 255);
            QPainter(&appended).fillRect(0, 0, 1, appended.height(), QColor::fromRgb(background));
            // A line trace goes on across a marker in the appends and breaks
            // there in a full redraw: the marker's column and the one after
            // it differ on purpose.
            QImage full = redrawn();
            for (int x = 1; x + 1 < kWidth; ++x) {
                if (countInColumn(full, x, rgb(0x0000FF)) + countInColumn(full, x, rgb(0x008080)) < 250)
                    continue;
                for (QImage* picture : {&appended, &full})
                    QPainter(picture).fillRect(x, 0, 2, picture->height(), Qt::magenta);
                ++x;
            }
            EXPECT_EQ(full, appended);
        }
    }
}

// In single-ring line mode an append continues the trace from the marker's x
// at the level of the column before the marker; after a marker that ended
// the previous block it starts at the first new column's level. A full
// redraw breaks the trace at the marker.
TEST_F(ShiftDisplay, AppendContinuesTheTraceAcrossAMarker) {
    scope.SetSingleMode(true);
    scope.SetStatusChannelB(false);
    feed({sample(100, 100), 1, sample(150, 150)});
    QImage picture = display.Picture();
    const int marker = kWidth - 2;
    EXPECT_EQ(picture.pixel(marker, 155), colorA);  // the level before the marker, at its x
    EXPECT_EQ(picture.pixel(marker, 0), rgb(0x0000FF));
    EXPECT_GT(countInColumn(picture, kWidth - 1, colorA), 10);  // on its way up to code 150

    const QImage full = redrawn();
    EXPECT_EQ(countInColumn(full, marker, rgb(0x0000FF)), 255);
    EXPECT_EQ(countInColumn(full, kWidth - 1, colorA), 1);

    // The marker ends a block: the next block's trace starts at its own level.
    display.ClearScreen();
    feed({sample(100, 100), 1});
    feed({sample(150, 150), sample(150, 150)});
    picture = display.Picture();
    EXPECT_EQ(picture.pixel(kWidth - 3, 105), colorA);
    EXPECT_EQ(picture.pixel(kWidth - 3, 155), rgb(0x0000FF));
    EXPECT_EQ(countInColumn(picture, kWidth - 2, colorA), 1);
}

TEST_F(ShiftDisplay, FullRedrawLeavesTheLeftEdgeToTheGrid) {
    const QRgb grid = showGridOnly();
    scope.SetStatusChannelA(true);
    feed(Words(kWidth + 50, sample(100, 100)));
    ASSERT_EQ(display.Picture().pixel(0, 155), colorA);
    const QImage picture = redrawn();
    EXPECT_EQ(picture.pixel(0, 155), background);
    EXPECT_EQ(picture.pixel(1, 155), colorA);
    EXPECT_EQ(picture.pixel(kWidth - 1, 155), colorA);
    EXPECT_EQ(picture.pixel(0, 0), grid);
    EXPECT_EQ(picture.pixel(0, 224), grid);
}

TEST_F(ShiftDisplay, GroundLinesAtTheZeroLevels) {
    const auto inRow = [](const QImage& image, int y, QRgb color) {
        int n = 0;
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == color;
        return n;
    };
    const auto inPicture = [&](const QImage& image, QRgb color) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            n += inRow(image, y, color);
        return n;
    };
    scope.SetStatusChannelA(false);  // the lines, not the traces
    scope.SetStatusChannelB(false);
    scope.SetGroundA(true);
    scope.SetZeroChannelA(100);
    scope.SetGroundB(true);
    scope.SetZeroChannelB(60);
    EXPECT_EQ(inPicture(redrawn(), colorA), 0);  // no column yet
    feed(Words(30, sample(100, 60)));
    EXPECT_EQ(inPicture(display.Picture(), colorA), 0);  // full redraws only

    QImage picture = redrawn();
    EXPECT_EQ(inRow(picture, 155, colorA), kWidth / 2);  // dotted, from x = 0
    EXPECT_EQ(picture.pixel(0, 155), colorA);
    EXPECT_EQ(picture.pixel(1, 155), background);
    EXPECT_EQ(inRow(picture, 195, colorB), kWidth / 2);

    // A zero level beyond the codes lies off the screen.
    for (int zero : {300, 256, -20, 0}) {
        scope.SetZeroChannelB(zero);
        EXPECT_EQ(inPicture(redrawn(), colorB), 0) << zero;
    }

    // None while a measurement runs, nor for a channel that is not grounded.
    scope.SetMeasurementStarted(true);
    EXPECT_EQ(inPicture(redrawn(), colorA), 0);
    scope.SetMeasurementStarted(false);
    scope.SetGroundA(false);
    EXPECT_EQ(inPicture(redrawn(), colorA), 0);
}

TEST_F(ShiftDisplay, LongBlocksOnAWideDisplay) {
    display.resize(2500, 255);
    scope.SetSMPSetting(6);  // ten samples per column
    display.ResizeBuffer();
    // 3000 overrun columns and two sample columns: more than the ring holds.
    Words block(3000, 1);
    block = block + Words(10, sample(100, 20)) + Words(10, sample(200, 20));
    feed(block);
    const QImage picture = display.Picture();
    const QRgb red = rgb(0x0000FF);
    EXPECT_EQ(picture.pixel(2499, 55), colorA);
    EXPECT_EQ(picture.pixel(2498, 155), colorA);
    EXPECT_EQ(picture.pixel(2498, 235), colorB);
    EXPECT_EQ(countInColumn(picture, 2497, red), 255);
    // The ring holds the newest 2048 columns; further left stays empty.
    EXPECT_EQ(countInColumn(picture, 2500 - 2048, red), 255);
    EXPECT_EQ(countInColumn(picture, 2500 - 2049, background), 255);
    EXPECT_EQ(redrawn(), picture);
}

TEST_F(ShiftDisplay, NothingChangesWhileTheDisplayIsOff) {
    feed(Words(20, sample(100, 100)));
    const QImage before = display.Picture();
    scope.SetDisplayActive(false);
    feed(Words(20, sample(200, 200)));
    EXPECT_EQ(display.Picture(), before);
    // A full redraw while off leaves the picture too.
    EXPECT_EQ(redrawn(), before);
    scope.SetDisplayActive(true);
    EXPECT_EQ(redrawn(), before);
}

} // namespace
