// The simulated instrument through the USB interface library's functions.
#include "CalibrationData.h"
#include "FpgaImage.h"
#include "UlmexSim.h"
#include "UsbInterface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <set>
#include <vector>

namespace {

constexpr int32_t kRunBit = 0x8000;
constexpr int32_t kRate1000 = 15 - 4;   // 1000 samples per second, counted from the fastest
constexpr int32_t kRate5M = 0;          // 5,000,000 samples per second
constexpr int32_t kDc1VPerDiv = 0x8000 | 3 | (3 << 7); // both channels 1000 mV/div, DC

std::string violations() {
    std::string all;
    for (int i = 0; i < UlmexSimViolationCount(); ++i)
        all += std::string(UlmexSimViolation(i)) + "\n";
    return all;
}

} // namespace

class SimTest : public ::testing::Test {
protected:
    void SetUp() override {
        UlmexSimReset();
        ASSERT_TRUE(resolver->load());
        ASSERT_TRUE(qrv::bindUsbFunctions(*resolver, usb));
    }
    void powerUp() {
        ASSERT_EQ(usb.USBInitDevice(), 0);
        usb.USBEnableExternalPower(1);
        const std::vector<uint8_t> image = qrv::unpackStoredFpgaImage();
        usb.USBConfigureFPGA(image.data(), static_cast<int32_t>(image.size()));
    }
    void serialWord(int32_t reg, uint32_t word) {
        usb.USBSingleWriteWithoutFlush(reg, static_cast<int32_t>(word & 0xFFFF));
        usb.USBSingleWriteWithoutFlush(reg + 1, static_cast<int32_t>(word >> 16));
        usb.USBFlushBuffer();
    }
    std::vector<uint16_t> readFifo() {
        std::vector<uint16_t> block(32768);
        usb.USBRollFIFORead(7, reinterpret_cast<uint8_t*>(block.data()), 65536);
        return block;
    }
    static size_t valid(const std::vector<uint16_t>& block) {
        return static_cast<size_t>(std::count_if(block.begin(), block.end(), [](uint16_t w) { return w != 0; }));
    }
    // Starts a measurement with both channels at 1 V/div DC and offset code 2048.
    void startAt(int32_t rate) {
        powerUp();
        UlmexSimUseVirtualClock(1);
        usb.USBSingleWrite(15, kDc1VPerDiv);
        usb.USBSingleWrite(12, 4095 - 2048);
        usb.USBSingleWrite(12, 0x8000 | (4095 - 2048));
        usb.USBSingleWrite(3, kRunBit | rate);
    }

    // The sample level of 0 V on a channel (0 = A) at 1 V/div, probe 1:1, offset code 2048.
    double zeroLevel(int channel = 0) {
        usb.USBInitDevice();
        std::array<qrv::TRangeRecord, qrv::kRangeCount> ranges = qrv::defaultRangeRecords();
        qrv::TOffsetCalibration offsets;
        qrv::ReadCalibration(usb.USBReadFromEEPROM, ranges, offsets);
        return offsets.offsetCodeToLevel(qrv::calibrationIndex(channel, 0, 6), 2048);
    }

    std::unique_ptr<qrv::UsbLibraryResolver> resolver = qrv::makeSharedLibraryResolver();
    qrv::TUsbFunctions usb;
};

TEST_F(SimTest, StatusBitsDropBrieflyAfterEachSerialWord) {
    EXPECT_EQ(usb.USBSingleRead(1), 0); // no FPGA yet
    powerUp();
    EXPECT_EQ(usb.USBSingleRead(1), 0xC00);
    serialWord(8, 0x1BAFF);
    EXPECT_EQ(usb.USBSingleRead(1), 0x800);
    EXPECT_EQ(usb.USBSingleRead(1), 0x800);
    EXPECT_EQ(usb.USBSingleRead(1), 0xC00);
    serialWord(10, 0xF01);
    EXPECT_EQ(usb.USBSingleRead(1), 0x400);
    EXPECT_EQ(violations(), "");

    serialWord(10, 0xFF120); // without waiting for 0x800
    ASSERT_EQ(UlmexSimViolationCount(), 1);
    EXPECT_STREQ(UlmexSimViolation(0), "serial word 0xFF120 sent to register 10 while its port was busy");
    EXPECT_EQ(UlmexSimSerialWordCount(10), 2);
    EXPECT_EQ(UlmexSimSerialWord(8, 0), 0x1BAFFu);
}

TEST_F(SimTest, ProtocolViolationsAreListed) {
    usb.USBSingleWrite(3, 1);
    powerUp();
    usb.USBSingleWrite(5, 1);
    usb.USBSingleWrite(12, 0x12345);
    usb.USBSingleWriteWithoutFlush(8, 1);
    usb.USBFlushBuffer();
    std::vector<uint16_t> block(100);
    usb.USBRollFIFORead(3, reinterpret_cast<uint8_t*>(block.data()), 200);
    usb.USBReadFromEEPROM(5000);
    EXPECT_EQ(violations(), "register 3 written while the FPGA is not running\n"
                            "write to unknown register 5\n"
                            "value 74565 for register 12 is not 16 bits\n"
                            "half a serial word in register 8\n"
                            "USBRollFIFORead(3, 200)\n"
                            "EEPROM address 5000 does not exist\n");
    int reg = 0, value = 0, immediate = -1;
    ASSERT_EQ(UlmexSimTraceCount(), 4);
    ASSERT_EQ(UlmexSimTraceEntry(3, &reg, &value, &immediate), 1);
    EXPECT_EQ(reg, 8);
    EXPECT_EQ(immediate, 0);
    EXPECT_EQ(UlmexSimTraceEntry(4, &reg, &value, &immediate), 0);
}

TEST_F(SimTest, FpgaImageIsCheckedWhole) {
    std::vector<uint8_t> image = qrv::unpackStoredFpgaImage();
    ASSERT_EQ(image.size(), 595769u);
    EXPECT_TRUE(qrv::isValidFpgaImage(image.data(), image.size()));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(image.data())), qrv::kFpgaImageMagic);
    EXPECT_EQ(image, qrv::generateFpgaImage());

    usb.USBInitDevice();
    usb.USBEnableExternalPower(1);
    image[300000] ^= 1;
    usb.USBConfigureFPGA(image.data(), static_cast<int32_t>(image.size()));
    EXPECT_EQ(usb.USBSingleRead(1), 0);
    usb.USBConfigureFPGA(image.data(), 1000);
    EXPECT_EQ(violations(), "FPGA image with a wrong header or CRC\nFPGA image of 1000 bytes\n");
}

TEST_F(SimTest, EepromHoldsADistinctCalibrationForEveryElement) {
    usb.USBInitDevice();
    std::array<qrv::TRangeRecord, qrv::kRangeCount> ranges = qrv::defaultRangeRecords();
    qrv::TOffsetCalibration offsets;
    ASSERT_EQ(qrv::ReadCalibration(usb.USBReadFromEEPROM, ranges, offsets), qrv::CalibrationResult::Ok);
    std::set<int32_t> dacs;
    for (const auto& r : ranges)
        for (int c = 0; c < 2; ++c) {
            dacs.insert(r.UR[c]);
            dacs.insert(r.URD[c]);
        }
    EXPECT_EQ(dacs.size(), 36u);
    for (const auto* table : {&offsets.SH2048, &offsets.SHRPlus, &offsets.SHRMinus}) {
        EXPECT_EQ(std::set<double>(table->begin(), table->end()).size(), 36u);
        for (double v : *table)
            EXPECT_GT(v, 4.0);
    }

    UlmexSimSetScenario(ULMEX_BROKEN_PAGE, 0, 0);
    EXPECT_EQ(qrv::ReadCalibration(usb.USBReadFromEEPROM, ranges, offsets), qrv::CalibrationResult::PageBroken);
    UlmexSimSetScenario(ULMEX_BROKEN_EXTENSION, 0, 0);
    EXPECT_EQ(qrv::ReadCalibration(usb.USBReadFromEEPROM, ranges, offsets),
              qrv::CalibrationResult::ExtensionBroken);
    UlmexSimSetScenario(ULMEX_EXTENSION_TOO_SMALL, 0, 0);
    EXPECT_EQ(qrv::ReadCalibration(usb.USBReadFromEEPROM, ranges, offsets),
              qrv::CalibrationResult::ExtensionBroken);
    EXPECT_EQ(violations(), "");
}

TEST_F(SimTest, FifoFollowsTheClockAtTheSelectedRate) {
    startAt(kRate1000);
    EXPECT_EQ(valid(readFifo()), 0u);
    UlmexSimAdvanceClock(0.25);
    EXPECT_EQ(valid(readFifo()), 250u);
    UlmexSimAdvanceClock(0.0105);
    EXPECT_EQ(valid(readFifo()), 10u);
    usb.USBSingleWrite(3, kRunBit | (kRate1000 - 1)); // 2500 per second from here
    UlmexSimAdvanceClock(0.1);
    EXPECT_EQ(valid(readFifo()), 250u);
    usb.USBSingleWrite(3, kRate1000 - 1); // stop
    UlmexSimAdvanceClock(1);
    EXPECT_EQ(valid(readFifo()), 0u);
    EXPECT_EQ(violations(), "");
}

// The signal's time runs on over the samples lost, on a signal made sample
// by sample (A) and on one copied from whole periods (B).
TEST_F(SimTest, OverflowLeavesOneMark) {
    const double zeroA = zeroLevel(0), zeroB = zeroLevel(1);
    const double step = 1000 * 8.0 / 255;
    UlmexSimSetSignal(0, 0, 3000, 1);
    UlmexSimSetSignal(1, 0, 3000, 50);
    startAt(kRate5M);
    UlmexSimAdvanceClock(0.1); // 500,000 samples: more than the FIFO holds
    size_t total = 0;
    for (int i = 0; i < 9; ++i)
        total += valid(readFifo());
    EXPECT_EQ(total, 262144u);
    UlmexSimAdvanceClock(0.001);
    const std::vector<uint16_t> block = readFifo();
    EXPECT_EQ(block[0], 0x0001);
    EXPECT_EQ(valid(block), 5001u);
    EXPECT_EQ(std::count(block.begin(), block.end(), 0x0001), 1);
    for (int k = 0; k < 5000; k += 250) {
        const double t = 0.1 + k / 5e6;
        ASSERT_NEAR(block[1 + k] & 0xFF, zeroA + 3000 * std::sin(2 * std::numbers::pi * t) / step, 1.0) << k;
        ASSERT_NEAR(block[1 + k] >> 8, zeroB + 3000 * std::sin(2 * std::numbers::pi * 50 * t) / step, 1.0) << k;
    }
}

TEST_F(SimTest, SignalBecomesCodesThroughTheCalibration) {
    const double zeroA = zeroLevel();
    const double step = 1000 * 8.0 / 255;

    UlmexSimSetSignal(0, 1000, 0, 0);
    UlmexSimSetSignal(1, 100000, 0, 0); // far off the screen
    startAt(kRate1000);
    UlmexSimAdvanceClock(0.01);
    std::vector<uint16_t> block = readFifo();
    EXPECT_EQ(block[0] & 0xFF, std::nearbyint(zeroA + 1000 / step));
    EXPECT_EQ(block[0] >> 8, 254);

    UlmexSimSetSignal(1, -100000, 0, 0);
    usb.USBSingleWrite(15, kDc1VPerDiv | 0x20); // channel A AC: the offset goes
    UlmexSimAdvanceClock(0.01);
    block = readFifo();
    EXPECT_EQ(block[0] >> 8, 1);
    EXPECT_NEAR(block[9] & 0xFF, zeroA, 1.0);
}

TEST_F(SimTest, SignalTimeRunsOnAcrossARateChange) {
    const double zeroA = zeroLevel();
    const double step = 1000 * 8.0 / 255;
    UlmexSimSetSignal(0, 0, 3000, 1);
    startAt(kRate1000);
    UlmexSimAdvanceClock(0.25);
    ASSERT_EQ(valid(readFifo()), 250u);
    usb.USBSingleWrite(3, kRunBit | (kRate1000 - 1)); // 2500 per second from here
    UlmexSimAdvanceClock(0.1);
    const std::vector<uint16_t> block = readFifo();
    ASSERT_EQ(valid(block), 250u);
    for (int k = 0; k < 250; ++k) {
        const double t = 0.25 + k / 2500.0;
        ASSERT_NEAR(block[k] & 0xFF, zeroA + 3000 * std::sin(2 * std::numbers::pi * t) / step, 1.0) << k;
    }
}

// A triangle rises from -amplitude to +amplitude over half a period; noise
// scatters the codes by no more than its millivolts.
TEST_F(SimTest, TriangleAndNoiseAreSelectable) {
    const double zeroA = zeroLevel();
    const double step = 1000 * 8.0 / 255;
    UlmexSimSetSignal(0, 0, 2000, 1);
    UlmexSimSetWaveform(0, ULMEX_TRIANGLE, 0);
    UlmexSimSetSignal(1, 0, 0, 0);
    UlmexSimSetWaveform(1, ULMEX_SINE, 200);
    startAt(kRate1000);
    UlmexSimAdvanceClock(1);
    const std::vector<uint16_t> block = readFifo();
    ASSERT_EQ(valid(block), 1000u);
    std::set<int> codesB;
    for (int k = 0; k < 1000; ++k) {
        const double f = k / 1000.0;
        const double wave = f < 0.5 ? 4 * f - 1 : 3 - 4 * f;
        ASSERT_NEAR(block[k] & 0xFF, zeroA + 2000 * wave / step, 1.0) << k;
        ASSERT_NEAR(block[k] >> 8, zeroA, 200 / step + 1) << k;
        codesB.insert(block[k] >> 8);
    }
    EXPECT_GE(codesB.size(), 8u);  // about 13 codes of spread
}

TEST_F(SimTest, AcCouplingPassesAlternatingSignals) {
    UlmexSimSetSignal(0, 2000, 1500, 50);
    startAt(kRate1000);
    usb.USBSingleWrite(15, kDc1VPerDiv | 0x20);
    UlmexSimAdvanceClock(1);
    const std::vector<uint16_t> block = readFifo();
    ASSERT_EQ(valid(block), 1000u);
    const auto [low, high] = std::minmax_element(block.begin() + 500, block.begin() + 1000,
                                                 [](uint16_t a, uint16_t b) { return (a & 0xFF) < (b & 0xFF); });
    const double swing = ((*high & 0xFF) - (*low & 0xFF)) * (1000 * 8.0 / 255);
    EXPECT_NEAR(swing, 3000, 200); // 50 Hz is far above the cut-off
    const double middle = ((*high & 0xFF) + (*low & 0xFF)) / 2.0;
    EXPECT_LT(middle, 140); // the 2 V offset (64 codes) is gone
}

TEST_F(SimTest, ScriptedWordsComeBackVerbatim) {
    powerUp();
    std::vector<uint16_t> script(40000, 0x1234);
    script[0] = 0;
    script[32768] = 0xFFFF;
    UlmexSimScriptWords(script.data(), static_cast<int>(script.size()));
    std::vector<uint16_t> first = readFifo();
    EXPECT_EQ(first, std::vector<uint16_t>(script.begin(), script.begin() + 32768));
    std::vector<uint16_t> second = readFifo();
    EXPECT_EQ(second[0], 0xFFFF);
    EXPECT_EQ(valid(second), 40000u - 32768u);
    EXPECT_EQ(valid(readFifo()), 0u);
}

namespace {
int gCallbackState = -1;
int gCallbackCalls = 0;
void recordState(int32_t state) {
    gCallbackState = state;
    ++gCallbackCalls;
}
} // namespace

TEST_F(SimTest, LostDeviceAfterSomeReads) {
    UlmexSimSetScenario(ULMEX_LOST_AFTER_READS, 2, ULMEX_LOST_BLOCK | ULMEX_LOST_CALLBACK);
    usb.USBSetCallBackFunction(&recordState);
    powerUp();
    readFifo();
    readFifo();
    EXPECT_EQ(gCallbackCalls, 0);
    EXPECT_EQ(usb.DeviceReady(), 1);
    std::vector<uint16_t> block = readFifo();
    EXPECT_TRUE(std::all_of(block.begin(), block.end(), [](uint16_t w) { return w == 0xFFFF; }));
    readFifo();
    EXPECT_EQ(gCallbackCalls, 1);
    EXPECT_EQ(gCallbackState, 0);
    EXPECT_EQ(usb.DeviceReady(), 0);
}
