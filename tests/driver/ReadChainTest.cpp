#include "ReadChain.h"

#include "QuorvRMDrv.h"

#include <gtest/gtest.h>

#include <deque>
#include <vector>

using namespace qrv;

namespace {

// The raw blocks the fake roll FIFO hands out, one per read.
std::deque<std::vector<uint16_t>> gBlocks;

int32_t fakeRollFifoRead(int32_t, uint8_t* buffer, int32_t length) {
    auto* words = reinterpret_cast<uint16_t*>(buffer);
    std::fill(words, words + length / 2, 0);
    if (!gBlocks.empty()) {
        std::copy(gBlocks.front().begin(), gBlocks.front().end(), words);
        gBlocks.pop_front();
    }
    return 1;
}

uint16_t word(uint8_t a, uint8_t b) { return static_cast<uint16_t>(a | (b << 8)); }

} // namespace

class ReadChainTest : public ::testing::Test {
protected:
    void SetUp() override {
        gBlocks.clear();
        usb.USBRollFIFORead = &fakeRollFifoRead;
        state.DeviceStateByte = &lost;
        state.RecordFree = 1;
        state.LastStatus = kStatusWaiting;
        chain.Reset();
    }
    // Queues `raw` (the rest of the block is 0x0000) and reads one block.
    uint8_t read(const std::vector<uint16_t>& raw) {
        gBlocks.push_back(raw);
        int32_t count = -1;
        const uint8_t status = chain.Read(buffer.data(), count);
        words.assign(buffer.begin(), buffer.begin() + count);
        return status;
    }
    // The first block after a start gives up its first word.
    void skipFirstBlock() { read({}); }

    TDriverState state;
    TUsbFunctions usb;
    TReadChain chain{state, usb};
    uint8_t lost = 0;
    std::vector<uint16_t> buffer = std::vector<uint16_t>(kRawBlockWords);
    std::vector<uint16_t> words;
};

TEST_F(ReadChainTest, CompactsAndDropsTheFirstWordAfterEachStart) {
    EXPECT_EQ(read({0x1234, 0, 0x0001, 0, 0x5678, 0x0002}), 0x22);
    EXPECT_EQ(words, (std::vector<uint16_t>{0x0001, 0x5678, 0x0002}));
    EXPECT_EQ(read({0x1111, 0, 0x2222}), 0x22);
    EXPECT_EQ(words, (std::vector<uint16_t>{0x1111, 0x2222}));

    chain.RestartReadStage(); // a stop
    EXPECT_EQ(read({}), 0x22); // nothing to drop: the count stays 0
    EXPECT_TRUE(words.empty());
    EXPECT_EQ(read({0x3333, 0x4444}), 0x22);
    EXPECT_EQ(words, (std::vector<uint16_t>{0x3333, 0x4444}));
}

TEST_F(ReadChainTest, TriggerSearchDiscardsUntilItFiresThenPassesAll) {
    state.RecordFree = 0;
    state.TriggerFlags = kTriggerSourceA;
    state.Channels[kChannelA].TriggerCode = 128;
    chain.SelectFilterStage();
    skipFirstBlock();

    std::vector<uint16_t> quiet(kRawBlockWords, word(128, 40));
    EXPECT_EQ(read(quiet), 0x11);
    EXPECT_TRUE(words.empty());

    std::vector<uint16_t> edge(kRawBlockWords, word(120, 40));
    edge[500] = word(129, 41);
    edge[501] = 0;
    edge[502] = word(50, 42);
    EXPECT_EQ(read(edge), 0x22);
    ASSERT_EQ(words.size(), static_cast<size_t>(kRawBlockWords - 500 - 1));
    EXPECT_EQ(words[0], word(129, 41));
    EXPECT_EQ(words[1], word(50, 42));
    EXPECT_EQ(state.TriggerFound, 1);

    EXPECT_EQ(read({word(1, 1), word(2, 2)}), 0x22); // compaction from now on
    EXPECT_EQ(words.size(), 2u);
}

TEST_F(ReadChainTest, TriggerUnderFiresStrictlyBelow) {
    state.RecordFree = 0;
    state.TriggerFlags = kTriggerSourceB | kTriggerUnderB;
    state.Channels[kChannelB].TriggerCode = 60;
    chain.SelectFilterStage();
    skipFirstBlock();
    EXPECT_EQ(read({word(1, 60), word(1, 61)}), 0x11);
    EXPECT_EQ(read({word(1, 60), word(1, 59), word(2, 70)}), 0x22);
    EXPECT_EQ(words, (std::vector<uint16_t>{word(1, 59), word(2, 70)}));
}

TEST_F(ReadChainTest, AndRelationNeedsBothOnTheSameWord) {
    state.RecordFree = 0;
    state.TriggerFlags = kTriggerSourceA | kTriggerSourceB;
    state.TriggerRelation = 1;
    state.Channels[kChannelA].TriggerCode = 100;
    state.Channels[kChannelB].TriggerCode = 100;
    chain.SelectFilterStage();
    skipFirstBlock();
    EXPECT_EQ(read({word(101, 50), word(50, 101), 0x0001, 0x0002}), 0x11);
    EXPECT_TRUE(words.empty());
    EXPECT_EQ(read({word(50, 101), word(101, 101), word(3, 3)}), 0x22);
    EXPECT_EQ(words, (std::vector<uint16_t>{word(101, 101), word(3, 3)}));

    // OR: either suffices.
    state.TriggerRelation = 0;
    chain.ResetTrigger();
    chain.SelectFilterStage();
    EXPECT_EQ(read({word(50, 50), word(50, 101)}), 0x22);
    EXPECT_EQ(words, (std::vector<uint16_t>{word(50, 101)}));
}

TEST_F(ReadChainTest, ArmWindowKeepsTheTimeSlotOfFailedSamples) {
    state.ArmFlags = kArmSourceA;
    state.Channels[kChannelA].ArmCode = 100;
    chain.SelectFilterStage();
    skipFirstBlock();
    EXPECT_EQ(read({word(99, 7), 0, word(100, 8), 0x0001}), 0x22);
    EXPECT_EQ(words, (std::vector<uint16_t>{0x0002, word(100, 8), 0x0001}));
    EXPECT_EQ(read({word(100, 8), word(99, 9)}), 0x11); // ends not armed
    EXPECT_EQ(read({}), 0x11);                            // nothing kept: the last status
    EXPECT_TRUE(words.empty());

    state.ArmFlags = kArmSourceB | kArmUnderB;
    state.Channels[kChannelB].ArmCode = 20;
    EXPECT_EQ(read({word(1, 21), word(1, 20)}), 0x22);
    EXPECT_EQ(words, (std::vector<uint16_t>{0x0002, word(1, 20)}));
}

TEST_F(ReadChainTest, ArmAndTriggerCombineTheirStatus) {
    state.RecordFree = 0;
    state.ArmFlags = kArmSourceA;
    state.Channels[kChannelA].ArmCode = 100;
    state.TriggerFlags = kTriggerSourceA;
    state.Channels[kChannelA].TriggerCode = 150;
    chain.SelectFilterStage();
    skipFirstBlock();
    EXPECT_EQ(read({word(120, 1), word(130, 1)}), 0x21); // armed, trigger waiting
    EXPECT_TRUE(words.empty());
    EXPECT_EQ(read({word(140, 1), word(160, 2), word(50, 3)}), 0x12); // fired, ends not armed
    EXPECT_EQ(words, (std::vector<uint16_t>{word(160, 2), 0x0002}));
    EXPECT_EQ(read({word(50, 3), word(101, 3)}), 0x22); // the trigger is not searched again
    EXPECT_EQ(words, (std::vector<uint16_t>{0x0002, word(101, 3)}));
}

TEST_F(ReadChainTest, TailOfFFFFMeansTheDeviceIsLost) {
    skipFirstBlock();
    std::vector<uint16_t> raw(kRawBlockWords, 0x1234);
    std::fill(raw.end() - 127, raw.end(), 0xFFFF);
    EXPECT_EQ(read(raw), 0x22);
    EXPECT_EQ(lost, 0);
    std::fill(raw.end() - 128, raw.end(), 0xFFFF);
    EXPECT_EQ(read(raw), 0x22);
    EXPECT_TRUE(words.empty());
    EXPECT_EQ(lost, 1);
}

TEST_F(ReadChainTest, GroundOverridesSparMarkersAndParameterStarts) {
    state.Channels[kChannelA].Ground = 1;
    state.Channels[kChannelA].ZeroLevel = 128;
    chain.SelectReadEntry();
    skipFirstBlock();
    EXPECT_EQ(read({word(3, 4), 0x0001, word(5, 6), 0x0002}), 0x22);
    EXPECT_EQ(words, (std::vector<uint16_t>{word(0x80, 4), 0x0001, word(0x80, 6), 0x0002}));

    state.Channels[kChannelB].Ground = 1;
    state.Channels[kChannelB].ZeroLevel = 0; // would make the high byte 0
    chain.SelectReadEntry();
    EXPECT_EQ(read({word(3, 4), 0x0002}), 0x22);
    EXPECT_EQ(words, (std::vector<uint16_t>{word(0x80, 1), 0x0002}));

    // Zero levels off the screen read as the nearest screen edge.
    state.Channels[kChannelA].ZeroLevel = 505;
    state.Channels[kChannelB].ZeroLevel = -264;
    EXPECT_EQ(read({word(3, 4)}), 0x22);
    EXPECT_EQ(words, (std::vector<uint16_t>{word(255, 1)}));

    state.Channels[kChannelA].Ground = 0;
    state.Channels[kChannelB].Ground = 0;
    chain.SelectReadEntry();
    EXPECT_EQ(read({word(3, 4)}), 0x22);
    EXPECT_EQ(words, (std::vector<uint16_t>{word(3, 4)}));
}
