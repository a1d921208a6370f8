#include "ParameterBlock.h"
#include "RateTables.h"
#include "SettingsLog.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<uint16_t> wordsOf(const TParameterBlock& block) {
    const auto w = block.words();
    return {w.begin(), w.end()};
}

using W = std::vector<uint16_t>;

TEST(ParameterBlock, GoldenWords) {
    EXPECT_EQ(wordsOf(TParameterBlock::measurementStarted(true)), (W{0, 4, 1, 1}));
    EXPECT_EQ(wordsOf(TParameterBlock::measurementStarted(false)), (W{0, 4, 1, 0}));
    EXPECT_EQ(wordsOf(TParameterBlock::samplesPerSecond(rm::kSamplesPerSecondTable[13])),
              (W{0, 5, 10, 0x4240, 0x000F}));
    EXPECT_EQ(wordsOf(TParameterBlock::verticalLevel(ScopeChannel::B, 3995, 0x1234567)),
              (W{0, 6, 3, 3995, 0x4567, 0}));
    EXPECT_EQ(wordsOf(TParameterBlock::sourceProbe(ScopeChannel::A, 2)), (W{0, 4, 4, 2}));
    EXPECT_EQ(wordsOf(TParameterBlock::sourceACDC(ScopeChannel::B, true)), (W{0, 4, 7, 1}));
    EXPECT_EQ(wordsOf(TParameterBlock::ground(ScopeChannel::A, false)), (W{0, 4, 8, 0}));
    EXPECT_EQ(wordsOf(TParameterBlock::deflection(ScopeChannel::B, 5000000)), (W{0, 5, 12, 0x4B40, 0x004C}));
}

TEST(SettingsLog, HoldsWholeBlocksOnlyAndEmptiesOnTake) {
    SettingsLog log;
    const auto level = TParameterBlock::verticalLevel(ScopeChannel::A, 1, 2);  // 6 words
    int appended = 0;
    while (log.append(level))
        ++appended;
    EXPECT_EQ(appended, SettingsLog::kCapacityWords / 6);  // 170 blocks, 1020 words
    EXPECT_EQ(log.wordCount(), 1020);
    EXPECT_FALSE(log.append(level));                                    // 6 words do not fit
    EXPECT_TRUE(log.append(TParameterBlock::samplesPerSecond(50)));     // 5 words fill it exactly
    EXPECT_FALSE(log.append(TParameterBlock::measurementStarted(false)));
    EXPECT_EQ(log.wordCount(), SettingsLog::kCapacityWords);

    std::vector<uint16_t> ring(SettingsLog::kCapacityWords + 1, 0xFFFF);
    EXPECT_EQ(log.take(ring.data()), SettingsLog::kCapacityWords);
    EXPECT_EQ(log.wordCount(), 0);
    EXPECT_EQ((W{ring.begin() + 1014, ring.end()}), (W{0, 6, 2, 1, 2, 0, 0, 5, 10, 50, 0, 0xFFFF}));
    EXPECT_EQ(log.take(ring.data()), 0);
}

} // namespace
