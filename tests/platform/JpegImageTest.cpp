#include "JpegImage.h"

#include <QFile>

#include <gtest/gtest.h>

#include <random>

namespace {

QByteArray aboutPicture() {
    QFile file(QStringLiteral(RM_TEST_JPEG));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

TEST(JpegImageTest, DecodesOurPictureIntoRgb32) {
    const QImage image = rm::decodeJpeg(aboutPicture());
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(360, 210));
    EXPECT_EQ(image.format(), QImage::Format_RGB32);
    // The top is a light, nearly white panel.
    const QColor top = image.pixelColor(180, 2);
    EXPECT_GT(top.red(), 220);
    EXPECT_GT(top.blue(), 220);
}

TEST(JpegImageTest, CorruptCutAndForeignDataGiveANullImage) {
    const QByteArray picture = aboutPicture();
    EXPECT_TRUE(rm::decodeJpeg({}).isNull());
    EXPECT_TRUE(rm::decodeJpeg("not a picture").isNull());
    EXPECT_TRUE(rm::decodeJpeg(picture.left(picture.size() / 2)).isNull());
    EXPECT_TRUE(rm::decodeJpeg(picture.left(20)).isNull());

    // Damaged pictures never end the program; whatever decodes is whole.
    std::mt19937 random(15);
    for (int run = 0; run < 200; ++run) {
        QByteArray damaged = picture;
        const int flips = 1 + static_cast<int>(random() % 8);
        for (int i = 0; i < flips; ++i)
            damaged[static_cast<qsizetype>(random() % damaged.size())] ^= static_cast<char>(1 << (random() % 8));
        const QImage image = rm::decodeJpeg(damaged);
        if (!image.isNull()) {
            EXPECT_LE(image.width() * static_cast<qint64>(image.height()), 8192LL * 8192);
        }
    }
}

} // namespace
