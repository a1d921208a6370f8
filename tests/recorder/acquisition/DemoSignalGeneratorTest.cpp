#include "DemoSignalGenerator.h"
#include "RateTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

struct Clock {
    uint32_t now = 1000;
};

class DemoSignalGeneratorTest : public ::testing::Test {
protected:
    Clock clock;
    DemoSignalGenerator generator{[this] { return clock.now; }};
    std::vector<uint16_t> buffer = std::vector<uint16_t>(DemoSignalGenerator::kMaxBlockWords);
    DemoSignalGenerator::Channel a{1000, 3000, 0, 1000, 2048};
    DemoSignalGenerator::Channel b{2000, 2000, 0, 1000, 2048};

    int32_t generate(int32_t rate) {
        int32_t count = -1;
        EXPECT_EQ(generator.GenerateDemoData(buffer.data(), count, rate, a, b), 0x22);
        return count;
    }
};

TEST_F(DemoSignalGeneratorTest, ProducesWhatTheRateCallsForAndKeepsTheRemainder) {
    clock.now += 25;
    EXPECT_EQ(generate(1000), 25);
    EXPECT_EQ(generate(1000), 0);  // no time passed

    // 50 samples per second: 10 ms is not yet a sample, 20 ms is one.
    clock.now += 10;
    EXPECT_EQ(generate(50), 0);
    clock.now += 10;
    EXPECT_EQ(generate(50), 1);
    clock.now += 10;
    EXPECT_EQ(generate(50), 0);  // the clock advanced by 20 ms only
    clock.now += 10;
    EXPECT_EQ(generate(50), 1);
}

TEST_F(DemoSignalGeneratorTest, FallingBehindGivesOneOverrunMarkAndRestartsTheClock) {
    clock.now += 14;
    ASSERT_EQ(generate(5000000), 1);
    EXPECT_EQ(buffer[0], DemoSignalGenerator::kOverrunMark);
    clock.now += 1;
    EXPECT_EQ(generate(5000000), 5000);
}

TEST_F(DemoSignalGeneratorTest, FlatTraceSitsAtTheLevelOfTheOffsetCode) {
    a.amplitudeMv = b.amplitudeMv = 0;
    clock.now += 10;
    ASSERT_EQ(generate(1000), 10);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(buffer[i], 0x8080) << i;

    // Offset code 4095 - 100 centres the trace at 640 - 101 div 4 = 615: clamped.
    a.offsetCode = 3995;
    clock.now += 1;
    ASSERT_EQ(generate(1000), 1);
    EXPECT_EQ(buffer[0] & 0xFF, 255);
}

TEST_F(DemoSignalGeneratorTest, SineFollowsAmplitudeAndPeriodWithinTheByteRange) {
    // 255 codes span 8 divisions: 1000 mV at 1000 mV/div is 31.875 codes.
    a = {100, 1000, 0, 1000, 2048};
    clock.now += 100;  // one period at 1000/s = 100 samples
    ASSERT_EQ(generate(1000), 100);
    int lo = 255, hi = 0;
    for (int i = 0; i < 100; ++i) {
        lo = std::min(lo, buffer[i] & 0xFF);
        hi = std::max(hi, buffer[i] & 0xFF);
    }
    EXPECT_EQ(lo, 128 - 32);
    EXPECT_EQ(hi, 128 + 32);
    EXPECT_EQ(buffer[0] & 0xFF, 128);
    EXPECT_EQ(buffer[25] & 0xFF, 128 - 32);  // a quarter period: sin = 1, drawn downwards

    a.amplitudeMv = 1000000;
    b.noiseMv = 100000;
    clock.now += 100;
    ASSERT_EQ(generate(1000), 100);
    for (int i = 0; i < 100; ++i) {
        EXPECT_GE(buffer[i] & 0xFF, 1);
        EXPECT_GE(buffer[i] >> 8, 1);
    }
}

// The dialog asks the noise in millivolts: it spreads that far either way at
// the channel's deflection.
TEST_F(DemoSignalGeneratorTest, NoiseIsMillivoltsAtTheDeflection) {
    const auto spreadOfA = [this] {
        clock.now += 1000;
        EXPECT_EQ(generate(10000), 10000);
        const auto [lo, hi] = std::minmax_element(buffer.begin(), buffer.begin() + 10000,
                                                  [](uint16_t x, uint16_t y) { return (x & 0xFF) < (y & 0xFF); });
        return std::pair{*lo & 0xFF, *hi & 0xFF};
    };
    // 10 mV at 2 V/div is a sixth of a code (62.7 mV): the trace stays flat.
    a = {0, 0, 10, 2000, 2048};
    EXPECT_EQ(spreadOfA(), (std::pair{128, 128}));
    // 100 mV at 100 mV/div is 31.9 codes either way.
    a = {0, 0, 100, 100, 2048};
    EXPECT_EQ(spreadOfA(), (std::pair{128 - 32, 128 + 32}));
}

// Every rate of the table keeps time, however the calls fall: the samples
// produced are the rate times the time gone by.
TEST_F(DemoSignalGeneratorTest, EveryRateKeepsTime) {
    for (const int32_t rate : rm::kSamplesPerSecondTable) {
        SCOPED_TRACE(rate);
        generator.restartClock();
        int64_t produced = 0;
        for (uint32_t ms = 0; ms < 1000;) {
            const uint32_t step = 1 + ms % 3;  // calls 1, 2 or 3 ms apart
            clock.now += step;
            ms += step;
            produced += generate(rate);
            ASSERT_EQ(produced, int64_t{rate} * ms / 1000);
        }
    }
}

TEST_F(DemoSignalGeneratorTest, BadDialogValuesGiveAFlatTraceInsteadOfAFault) {
    a = {0, 3000, -7, 1000, 2048};
    b = {-300, 3000, 0, 0, 2048};
    clock.now += 10;
    ASSERT_EQ(generate(1000), 10);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(buffer[i] & 0xFF, 128);
        EXPECT_EQ(buffer[i] >> 8, 128);
    }
}

} // namespace
