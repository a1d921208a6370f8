#include "WinColor.h"
#include "WinLine.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

int litPixels(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) != qRgb(0, 0, 0);
    return n;
}

QImage drawn(int x1, int y1, int x2, int y2) {
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    p.setPen(Qt::white);
    rm::drawWinLine(p, x1, y1, x2, y2);
    return image;
}

TEST(WinLine, LeavesOutTheEndPixel) {
    EXPECT_EQ(litPixels(drawn(2, 2, 2, 2)), 0);
    const QImage vertical = drawn(3, 1, 3, 6);
    EXPECT_EQ(litPixels(vertical), 5);
    EXPECT_EQ(vertical.pixel(3, 1), qRgb(255, 255, 255));
    EXPECT_EQ(vertical.pixel(3, 6), qRgb(0, 0, 0));
    const QImage upward = drawn(5, 9, 5, 4);
    EXPECT_EQ(litPixels(upward), 5);
    EXPECT_EQ(upward.pixel(5, 4), qRgb(0, 0, 0));
    const QImage diagonal = drawn(0, 0, 4, 4);
    EXPECT_EQ(litPixels(diagonal), 4);
    EXPECT_EQ(diagonal.pixel(3, 3), qRgb(255, 255, 255));
    EXPECT_EQ(diagonal.pixel(4, 4), qRgb(0, 0, 0));
    EXPECT_EQ(litPixels(drawn(0, 0, 10, 3)), 10);
}

TEST(WinColor, RedIsTheLowByte) {
    EXPECT_EQ(rm::toQColor(0x40FF00), QColor(0x00, 0xFF, 0x40));
    EXPECT_EQ(rm::toQColor(0x0000FF), QColor(Qt::red));
    EXPECT_EQ(rm::toWinColor(QColor(1, 2, 3)), 0x030201u);
    EXPECT_EQ(rm::toWinColor(rm::toQColor(0x123456)), 0x123456u);
}

} // namespace
