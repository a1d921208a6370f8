#include "FrontEnd.h"

#include <gtest/gtest.h>

using namespace qrv;

// Level conversions need no device.
class TriggerLevelsTest : public ::testing::Test {
protected:
    void SetUp() override {
        TChannelState& a = state.Channels[kChannelA];
        a.RangeKey = 1000;
        a.RangeIndex = 6;
        a.OffsetCode = 2048;
        state.Offsets.SH2048[calibrationIndex(kChannelA, 0, 6)] = 128;
    }
    TDriverState state;
    TUsbFunctions usb;
    TFrontEnd frontEnd{state, usb};
};

TEST_F(TriggerLevelsTest, LevelsBecomeSampleCodes) {
    state.Channels[kChannelA].TriggerLevel = 500;
    state.Channels[kChannelA].ArmLevel = -250;
    frontEnd.UpdateTriggerLevels();
    EXPECT_EQ(state.Channels[kChannelA].TriggerCode, 144); // 128 + 15.94
    EXPECT_EQ(state.Channels[kChannelA].ArmCode, 120);     // 128 - 7.97

    // The probe factor scales the step: 1:10 needs ten times the level.
    state.Channels[kChannelA].ProbeIndex = 1;
    state.Offsets.SH2048[calibrationIndex(kChannelA, 1, 6)] = 128;
    state.Channels[kChannelA].TriggerLevel = 5000;
    frontEnd.UpdateTriggerLevels();
    EXPECT_EQ(state.Channels[kChannelA].TriggerCode, 144);
}

TEST_F(TriggerLevelsTest, CodesBeyondTheScreenAreClamped) {
    state.Channels[kChannelA].TriggerLevel = 2000000000;
    state.Channels[kChannelA].ArmLevel = -2000000000;
    state.Channels[kChannelA].RangeKey = 10;
    state.Channels[kChannelA].RangeIndex = 0;
    state.Channels[kChannelB].TriggerLevel = 100; // channel B has no range yet: step 0
    state.Channels[kChannelB].TriggerCode = 55;
    frontEnd.UpdateTriggerLevels();
    EXPECT_EQ(state.Channels[kChannelA].TriggerCode, 256);
    EXPECT_EQ(state.Channels[kChannelA].ArmCode, -1);
    EXPECT_EQ(state.Channels[kChannelB].TriggerCode, 0);
}

TEST_F(TriggerLevelsTest, RangeRegisterFields) {
    state.Channels[kChannelA].RangeIndex = 4;
    state.Channels[kChannelA].DC = 1;
    state.Channels[kChannelB].RangeIndex = 0;
    state.Channels[kChannelB].DC = 0;
    EXPECT_EQ(frontEnd.ComposeRangeRegister(), 0x9209);
    state.Channels[kChannelA].DC = 0;
    state.Channels[kChannelB].RangeIndex = 8;
    state.Channels[kChannelB].DC = 1;
    EXPECT_EQ(frontEnd.ComposeRangeRegister(), 0x8000 | (19 << 7) | 0x20 | 9);
}
