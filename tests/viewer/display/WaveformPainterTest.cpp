#include "WaveformPainter.h"

#include "WinColor.h"

#include <gtest/gtest.h>

#include <QImage>

#include <vector>

namespace rm::viewer {
namespace {

constexpr TColor kGreen = 0x008000;
constexpr TColor kYellow = 0x00FFFF;
constexpr TColor kGray = 0x808080;

QImage blackPicture(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    return image;
}

bool is(const QImage& image, int x, int y, TColor color) { return image.pixel(x, y) == toQColor(color).rgb(); }

int countInColumn(const QImage& image, int x, TColor color) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        n += is(image, x, y, color);
    return n;
}

// A 255-row picture: sample code v lies on row 255 - v.
TEST(WaveformPainter, ALineSkipsPointsWithoutDataAndJoinsTheirNeighbours) {
    QImage image = blackPicture(3, 255);
    {
        TWaveformPainter painter(image, 1.0);
        const std::vector<uint8_t> codes = {100, 0, 120};
        painter.Trace(codes.data(), 3, kGreen);
    }
    EXPECT_TRUE(is(image, 0, 155, kGreen));
    EXPECT_GT(countInColumn(image, 1, kGreen), 0);  // the line from point 0 to point 2 crosses column 1
    for (int x = 0; x < 3; ++x)
        for (int y = 157; y < 255; ++y)
            ASSERT_FALSE(is(image, x, y, kGreen)) << x << "," << y;  // nothing towards code 0
}

TEST(WaveformPainter, ALineStartsAtItsFirstPointWithData) {
    QImage image = blackPicture(3, 255);
    {
        TWaveformPainter painter(image, 1.0);
        const std::vector<uint8_t> codes = {0, 100, 100};
        painter.Trace(codes.data(), 3, kGreen);
    }
    // Each line ends one row below its point and leaves out its end pixel,
    // as the Windows lines do: the first point, then the row below.
    EXPECT_EQ(countInColumn(image, 0, kGreen), 0);
    EXPECT_TRUE(is(image, 1, 155, kGreen));
    EXPECT_TRUE(is(image, 1, 156, kGreen));
    EXPECT_EQ(countInColumn(image, 1, kGreen), 2);  // no line up from the bottom edge
}

TEST(WaveformPainter, NoPointsDrawNothingAndOnePointDrawsItsBar) {
    QImage image = blackPicture(4, 255);
    const QImage before = image;
    const std::vector<uint8_t> max = {200}, min = {100};
    {
        TWaveformPainter painter(image, 1.0);
        painter.Trace(max.data(), 0, kGreen);
        painter.MinMaxBars({max.data(), min.data(), true, kGreen}, {max.data(), min.data(), false, kYellow}, 0);
    }
    EXPECT_EQ(image, before);
    {
        TWaveformPainter painter(image, 1.0);
        painter.MinMaxBars({max.data(), min.data(), true, kGreen}, {max.data(), min.data(), false, kYellow}, 1);
    }
    EXPECT_EQ(countInColumn(image, 0, kGreen), 101);  // rows 55 (code 200) to 155 (code 100)
    EXPECT_TRUE(is(image, 0, 55, kGreen));
    EXPECT_TRUE(is(image, 0, 155, kGreen));
}

TEST(WaveformPainter, MinMaxBarsJoinAndDropAColumnWithAZeroForBothChannels) {
    QImage image = blackPicture(4, 255);
    // Channel B has no data in point 1: columns 0 and 1 (which reach into
    // point 1) are left out for both channels; the last column is drawn.
    const std::vector<uint8_t> maxA = {150, 160, 170, 180}, minA = {140, 150, 160, 170};
    const std::vector<uint8_t> maxB = {60, 0, 60, 60}, minB = {50, 0, 50, 50};
    {
        TWaveformPainter painter(image, 1.0);
        painter.MinMaxBars({maxA.data(), minA.data(), true, kGreen}, {maxB.data(), minB.data(), true, kYellow}, 4);
    }
    EXPECT_EQ(countInColumn(image, 0, kGreen), 0);
    EXPECT_EQ(countInColumn(image, 1, kGreen), 0);
    EXPECT_EQ(countInColumn(image, 0, kYellow), 0);
    // Column 2 reaches up to point 3's minimum (170) and down to its own 160.
    EXPECT_TRUE(is(image, 2, 255 - 170, kGreen));
    EXPECT_TRUE(is(image, 2, 255 - 160, kGreen));
    EXPECT_EQ(countInColumn(image, 2, kGreen), 11);
    // The last column: from its maximum to its minimum.
    EXPECT_EQ(countInColumn(image, 3, kGreen), 11);
    EXPECT_EQ(countInColumn(image, 3, kYellow), 11);
}

TEST(WaveformPainter, TheGridIsDottedOnNineRowsAndEveryFiftyColumns) {
    QImage image = blackPicture(120, 241);
    {
        TWaveformPainter painter(image, 241 / 255.0);
        painter.DottedGrid(kGray);
    }
    for (int k = 0; k <= 8; ++k) {
        const int y = 30 * k;
        EXPECT_TRUE(is(image, 2, y, kGray)) << y;
        EXPECT_TRUE(is(image, 118, y, kGray)) << y;
        EXPECT_FALSE(is(image, 3, y, kGray)) << y;
        EXPECT_FALSE(is(image, 3, y + (k < 8 ? 1 : -1), kGray)) << y;
    }
    for (int x : {0, 50, 100}) {
        EXPECT_TRUE(is(image, x, 2, kGray));
        EXPECT_TRUE(is(image, x, 238, kGray));
        EXPECT_FALSE(is(image, x, 3, kGray));
    }
    EXPECT_FALSE(is(image, 51, 2, kGray));
}

TEST(WaveformPainter, AnXorCrossDrawnTwiceLeavesThePictureAsItWas) {
    QImage image = blackPicture(60, 60);
    {
        TWaveformPainter painter(image, 1.0);
        painter.Trace(std::vector<uint8_t>(60, 230).data(), 60, kGreen);
    }
    const QImage before = image;
    {
        TWaveformPainter painter(image, 1.0);
        painter.XorCross(30, 30, 0x0000FF);
    }
    EXPECT_NE(image, before);
    EXPECT_EQ(image.pixel(20, 30), qRgb(255, 0, 0));  // red on black
    EXPECT_EQ(image.pixel(20, 29), qRgb(255, 0, 0));  // two rows
    EXPECT_EQ(image.pixel(30, 20), qRgb(255, 0, 0));
    {
        TWaveformPainter painter(image, 1.0);
        painter.XorCross(30, 30, 0x0000FF);
    }
    EXPECT_EQ(image, before);
}

} // namespace
} // namespace rm::viewer
