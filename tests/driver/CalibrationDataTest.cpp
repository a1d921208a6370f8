#include "CalibrationData.h"
#include "EEPROMSerDes.h"
#include "InputRanges.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace qrv;

namespace {

std::array<uint8_t, 256> gPage;
int32_t readPage(int32_t address) { return gPage[address - kPageAddress]; }

} // namespace

TEST(CalibrationPage, ChecksumCoversAllButItsGapAndItself) {
    gPage.fill(0);
    TDeviceEEPROM page;
    page.Load(&readPage);
    EXPECT_EQ(pageChecksum(page.GetPointer(0)), 30980u);
    EXPECT_NE(pageChecksum(page.GetPointer(0)), page.GetLongBE(kChecksumOffset)); // all zero: broken

    for (int i = 0; i < 252; ++i)
        gPage[i] = static_cast<uint8_t>(i * 7 + 3);
    const uint32_t sum = pageChecksum(gPage.data());
    for (int i = 160; i < 164; ++i)
        gPage[i] ^= 0xFF;
    EXPECT_EQ(pageChecksum(gPage.data()), sum);
    gPage[159] ^= 1;
    EXPECT_NE(pageChecksum(gPage.data()), sum);

    gPage[167] = 0x00;
    gPage[168] = 0x01;
    gPage[169] = 0x02;
    gPage[170] = 0x03;
    page.Load(&readPage);
    EXPECT_EQ(page.GetLongBE(167), 66051u);
}

TEST(CalibrationPage, TypeStringsDescribeTheRecords) {
    const TEEPROMSerDes main(mainRecordTypes());
    EXPECT_EQ(main.BitSize(), 660);
    EXPECT_EQ(mainRecordTypes().rfind("UR[0][0]:uint(12);UR[1][0]:uint(12);UR[0][1]:uint(12);", 0), 0u);
    EXPECT_NE(mainRecordTypes().find("UR[1][8]:uint(12);CR1GHZ[0]:psreal(10,5);CR1GHZ[1]:psreal(10,5);URD[0][0]"),
              std::string::npos);
    EXPECT_NE(mainRecordTypes().find("TR[0][0][0]:pureal(8,5);TR[1][0][0]:pureal(8,5);TR[0][1][0]:pureal(8,5);"),
              std::string::npos);
    EXPECT_TRUE(mainRecordTypes().ends_with(";EXTENSION_SIZE:uint(10);EXTENSION_SUM:uint(32);"));

    const TEEPROMSerDes extension(extensionTypes());
    EXPECT_EQ(extension.BitSize(), 1728);
    EXPECT_EQ(extensionTypes().rfind("SH2048[0][0][0]:pureal(8,10);SH2048[0][0][1]:pureal(8,10);", 0), 0u);
    // g outermost, then c, then r.
    EXPECT_NE(extensionTypes().find("SH2048[0][0][8]:pureal(8,10);SH2048[1][0][0]"), std::string::npos);
    EXPECT_NE(extensionTypes().find("SH2048[1][0][8]:pureal(8,10);SH2048[0][1][0]"), std::string::npos);
    EXPECT_NE(extensionTypes().find("SH2048[1][1][8]:pureal(8,10);SHR+[0][0][0]:real40_65(15);"), std::string::npos);
    EXPECT_EQ(extensionTypes().back(), ';');
}

TEST(OffsetConversion, FollowsTheTwoSlopes) {
    TOffsetCalibration cal;
    const int k = calibrationIndex(1, 2, 4); // channel B, probe 1:100, key 200
    EXPECT_EQ(k, 18 + 9 + 4);
    cal.SH2048[k] = 127.6;
    cal.SHRPlus[k] = 5.0;
    cal.SHRMinus[k] = 4.0;
    EXPECT_DOUBLE_EQ(cal.offsetCodeToLevel(k, 2048), 127.6);
    EXPECT_DOUBLE_EQ(cal.offsetCodeToLevel(k, 2548), 227.6);
    EXPECT_DOUBLE_EQ(cal.offsetCodeToLevel(k, 2047), 127.35);
    EXPECT_EQ(cal.levelToOffsetCode(k, 227.6), 2548);
    EXPECT_EQ(cal.levelToOffsetCode(k, 27.6), 1648);
    EXPECT_EQ(cal.levelToOffsetCode(k, 1000), 4095); // clamped
    EXPECT_EQ(cal.levelToOffsetCode(k, -1000), 0);
}

TEST(OffsetConversion, EmptyOrBrokenTablesStayFinite) {
    TOffsetCalibration zero;
    EXPECT_EQ(zero.offsetCodeToLevel(0, 4095), 0.0);
    EXPECT_EQ(zero.offsetCodeToLevel(0, 0), 0.0);
    EXPECT_EQ(zero.levelToOffsetCode(0, 128), 2048);

    TOffsetCalibration broken;
    broken.SH2048[3] = std::numeric_limits<double>::quiet_NaN();
    broken.SHRPlus[3] = std::numeric_limits<double>::infinity();
    broken.SHRMinus[3] = std::numeric_limits<double>::quiet_NaN();
    EXPECT_TRUE(std::isfinite(broken.offsetCodeToLevel(3, 4000)));
    EXPECT_TRUE(std::isfinite(broken.offsetCodeToLevel(3, 10)));
    const int32_t code = broken.levelToOffsetCode(3, 200);
    EXPECT_GE(code, 0);
    EXPECT_LE(code, 4095);
}
