#include "DisplayTestSupport.h"
#include "RollScreenEKGVornRM.h"

#include <QPainter>

#include <gtest/gtest.h>

using namespace displaytest;

namespace {

class EKGDisplay : public DisplayTest<TRollScreenEKGVornRM, 100> {
protected:
    // The picture without the cursor band, where the squares of earlier
    // blocks may linger until the sweep erases them.
    QImage withoutCursor(QImage picture) const {
        QPainter(&picture).fillRect(display.SweepX(), 0, 4, picture.height(), Qt::magenta);
        return picture;
    }

    const QRgb cursor = rgb(TRollScreenEKGVornRM::kCursorColor);
};

TEST_F(EKGDisplay, ColumnsFollowTheCursorWithSquaresAtTheNewestValue) {
    scope.SetModeLine(false);
    // Before the first column a full redraw shows no cursor.
    EXPECT_EQ(countInColumn(redrawn(), 0, cursor), 0);
    Words block;
    for (int i = 0; i < 10; ++i)
        block.push_back(sample(100 + i, 200));
    feed(block);
    const QImage picture = display.Picture();
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(picture.pixel(i, 155 - i), colorA) << i;
        EXPECT_EQ(picture.pixel(i, 55), colorB) << i;
    }
    EXPECT_EQ(display.SweepX(), 10);
    EXPECT_EQ(picture.pixel(10, 0), cursor);
    EXPECT_EQ(picture.pixel(10, 254), cursor);
    // Squares of 4 by 4 from the cursor on, rows v − 2 .. v + 1.
    const int v = 255 - 109;
    for (int x = 10; x < 14; ++x)
        for (int y = v - 2; y <= v + 1; ++y)
            EXPECT_EQ(picture.pixel(x, y), colorA) << x << "," << y;
    EXPECT_EQ(picture.pixel(11, v + 2), background);
    EXPECT_EQ(picture.pixel(12, 55), colorB);
    EXPECT_EQ(countInColumn(picture, 10, cursor), 255 - 8);
    EXPECT_EQ(countInColumn(picture, 14, background), 255);
}

TEST_F(EKGDisplay, TheSweepWrapsAtTheRightEdge) {
    scope.SetModeLine(false);
    // Positions 0 .. width: the column at x = width lies outside the bitmap.
    for (int i = 0; i < kWidth; ++i)
        feed({sample(50, 50)});
    EXPECT_EQ(display.SweepX(), kWidth);
    feed({sample(50, 50)});
    EXPECT_EQ(display.SweepX(), 0);

    // From 95, a block of 10 lands at 95 .. 100 and 0 .. 3; the erase at the
    // wrap reaches x = 100 − 95 + 10 (exclusive): the old columns from 15 on stay.
    display.ClearScreen();
    feed(Words(95, sample(50, 200)));
    feed(Words(95, sample(50, 200)));
    ASSERT_EQ(display.SweepX(), 89);
    feed(Words(6, sample(50, 200)));
    ASSERT_EQ(display.SweepX(), 95);
    feed(Words(10, sample(150, 200)));
    EXPECT_EQ(display.SweepX(), 4);
    const QImage picture = display.Picture();
    for (int x : {95, 99, 0, 3})
        EXPECT_EQ(picture.pixel(x, 105), colorA) << x;
    EXPECT_EQ(picture.pixel(4, 0), cursor);
    for (int x = 8; x < 15; ++x)
        ASSERT_EQ(picture.pixel(x, 205), background) << x;
    for (int x = 15; x < 95; ++x)
        ASSERT_EQ(picture.pixel(x, 205), colorA) << x;
}

// The grid of the part of a strip that wraps to the left edge is missing
// until the sweep passes it again or a full redraw comes.
TEST_F(EKGDisplay, GridOnTheWrappedPartOfAStripComesBackWithTheSweep) {
    const QRgb grid = showGridOnly();
    QImage picture = display.Picture();
    for (int x : {0, 50})
        EXPECT_EQ(picture.pixel(x, 0), grid) << x;
    EXPECT_EQ(picture.pixel(2, 224), grid);

    feed(Words(95, sample(50, 50)));
    feed(Words(10, sample(50, 50)));  // wraps: 95 .. 100, then 0 .. 3; erased up to 14
    picture = display.Picture();
    EXPECT_EQ(picture.pixel(0, 2), background);
    EXPECT_EQ(picture.pixel(2, 224), background);
    EXPECT_EQ(picture.pixel(12, 224), background);
    EXPECT_EQ(picture.pixel(96, 224), grid);
    EXPECT_EQ(picture.pixel(50, 0), grid);

    for (int i = 0; i < kWidth + 1; ++i)  // the sweep passes every x again
        feed({sample(50, 50)});
    ASSERT_EQ(display.SweepX(), 4);
    picture = display.Picture();
    EXPECT_EQ(picture.pixel(0, 2), grid);
    EXPECT_EQ(picture.pixel(12, 224), grid);
    feed(Words(10, sample(50, 50)));
    EXPECT_EQ(redrawn().pixel(2, 224), grid);
}

// The cursor squares stand at the newest column's values also when that
// column is a marker.
TEST_F(EKGDisplay, SquaresAlsoAfterAMarkerColumn) {
    scope.SetModeLine(false);
    feed({sample(100, 200), 1});
    const QImage picture = display.Picture();
    ASSERT_EQ(display.SweepX(), 2);
    int squarePixels = 0;
    for (int x = 3; x < 6; ++x)
        for (int y = 0; y < 255; ++y)
            squarePixels += picture.pixel(x, y) == colorA || picture.pixel(x, y) == colorB;
    EXPECT_GT(squarePixels, 0);
}

TEST_F(EKGDisplay, FullRedrawDrawsWhatTheAppendsDrew) {
    const Words stream = mixedStream(950, 3);  // several sweeps of 101 positions
    for (const DrawingMode& mode : kDrawingModes) {
        SCOPED_TRACE(testing::Message() << mode);
        mode.applyTo(scope);
        display.ResizeBuffer();
        feedInBlocks(display, stream, 5);
        // The erase at a wrap clears old columns beyond the wrapped ones until
        // the sweep draws there again: let it pass that stretch.
        while (display.SweepX() < 80)
            feed({sample(120, 90)});
        const int sweep = display.SweepX();
        const QImage appended = withoutCursor(display.Picture());
        const QImage full = redrawn();
        EXPECT_EQ(display.SweepX(), sweep);
        EXPECT_EQ(withoutCursor(full), appended);
        EXPECT_EQ(countInColumn(full, sweep, cursor), 255);
    }
}

TEST_F(EKGDisplay, ShrinkingWindowKeepsTheCursorInside) {
    display.resize(300, 255);
    display.ResizeBuffer();
    scope.SetModeLine(false);
    feed(Words(280, sample(50, 200)));
    feed({sample(150, 200)});
    ASSERT_EQ(display.SweepX(), 281);
    display.resize(150, 255);
    EXPECT_EQ(display.SweepX(), 150);
    QImage picture = display.Picture();
    EXPECT_EQ(picture.width(), 150);
    EXPECT_EQ(picture.pixel(149, 105), colorA);  // the newest column, left of the cursor
    EXPECT_EQ(picture.pixel(0, 205), colorA);
    feed(Words(3, sample(50, 200)));
    EXPECT_EQ(display.SweepX(), 2);
    picture = display.Picture();
    EXPECT_EQ(picture.pixel(1, 205), colorA);
    EXPECT_EQ(picture.pixel(2, 0), cursor);
}

TEST_F(EKGDisplay, LongBlocksOnAWideDisplay) {
    display.resize(2500, 255);
    scope.SetSMPSetting(6);  // ten samples per column
    display.ResizeBuffer();
    scope.SetModeLine(false);
    // 3000 overrun columns and two sample columns: more than the ring holds.
    feed(Words(3000, 1) + Words(20, sample(100, 20)));
    EXPECT_EQ(display.SweepX(), 3002 % 2501);
    const QImage picture = display.Picture();
    const int newest = display.SweepX() - 1;
    EXPECT_EQ(picture.pixel(newest, 155), colorA);
    EXPECT_EQ(countInColumn(picture, newest - 2, rgb(0x0000FF)), 255);
    // The ring holds the newest 2048 columns; the rest of the sweep stays empty.
    const int oldest = (display.SweepX() - 2048 + 2501) % 2501;
    EXPECT_EQ(countInColumn(picture, oldest, rgb(0x0000FF)), 255);
    EXPECT_EQ(countInColumn(picture, oldest - 1, background), 255);
    EXPECT_EQ(withoutCursor(redrawn()), withoutCursor(picture));
}

TEST_F(EKGDisplay, NothingChangesWhileTheDisplayIsOff) {
    feed(Words(20, sample(100, 100)));
    const QImage before = display.Picture();
    scope.SetDisplayActive(false);
    feed(Words(20, sample(200, 200)));
    EXPECT_EQ(display.SweepX(), 20);
    EXPECT_EQ(display.Picture(), before);
}

} // namespace
