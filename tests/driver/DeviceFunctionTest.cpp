#include "DriverFixture.h"

#include <cmath>
#include <vector>

namespace {

int countSerialWords(int port, uint32_t word) {
    int n = 0;
    for (int i = 0; i < UlmexSimSerialWordCount(port); ++i)
        n += UlmexSimSerialWord(port, i) == word;
    return n;
}

} // namespace

// Not ready: nothing happens, only a sample read learns that no word came; a
// level's result stays as the caller left it (it keeps its zero level).
TEST_F(DriverTest, NotReadyAnswersTwoAndWritesOnlyTheSampleCount) {
    EXPECT_EQ(call(USBFailedAddress, reinterpret_cast<intptr_t>(&deviceLost)), 0);
    for (int code : {DensityChannelA, DensityChannelB, VerticalLevelChannelA, VerticalLevelChannelB, SampleData,
                     DeviceSerialNumber}) {
        std::vector<uint16_t> block(kSampleBlockWords);
        int32_t result = 77;
        EXPECT_EQ(call(code, 100, &result, block.data()), kDriverNotReady) << code;
        EXPECT_EQ(result, code == SampleData ? 0 : 77) << code;
    }
    EXPECT_EQ(call(SMPSetting, 3), kDriverNotReady);
    EXPECT_EQ(UlmexSimTraceCount(), 0);
}

TEST_F(DriverTest, OnlyTheLowByteOfTheCodeCounts) {
    initializeOk();
    int32_t result = 77;
    std::vector<uint16_t> block(kSampleBlockWords, 0xABCD);
    EXPECT_EQ(call(0x10E, 0, &result, block.data()), 0); // code 14, nothing running
    EXPECT_EQ(result, 0);
    for (int code : {36, 255, 18, 23, 0}) {
        result = 77;
        EXPECT_EQ(call(code, 1, &result), 0);
        EXPECT_EQ(result, 77);
    }
    EXPECT_EQ(UlmexSimTraceCount(), 0);

    uint8_t version[2] = {0, 0};
    call(DeviceDriverVersion, 0, nullptr, nullptr, version);
    EXPECT_EQ(version[0], 1);
    EXPECT_EQ(version[1], 1);
    call(USBDriverVersion, 0, nullptr, nullptr, version);
    EXPECT_EQ(version[0], 3);
    EXPECT_EQ(version[1], 2);
    EXPECT_EQ(resultOf(DeviceSerialNumber, 0), 0);
}

TEST_F(DriverTest, RangeAndCouplingRegister) {
    initializeOk();
    call(SourceACDC_A, 1);
    call(SourceACDC_B, 0);
    call(DensityChannelA, 200);
    call(DensityChannelB, 10);
    EXPECT_EQ(UlmexSimRegister(15), 0x9209);
    call(SourceACDC_B, 0x100); // only the low byte is the flag
    EXPECT_EQ(UlmexSimRegister(15), 0x9209);
    EXPECT_EQ(UlmexSimViolationCount(), 0) << UlmexSimViolation(0);
}

TEST_F(DriverTest, RangeDacWordIsSentOnlyWhenItChanges) {
    UlmexSimSetRangeDacs(0, 4, 1000, 1200);
    initializeOk();
    call(DensityChannelA, 200);
    EXPECT_EQ(countSerialWords(8, 0xBF47F), 1); // UR 1000 for probe 1:1
    call(SourceProbeA, 2);
    call(SourceProbeA, 3);
    EXPECT_EQ(countSerialWords(8, 0xB587F), 1);
    EXPECT_EQ(state().Channels[0].ProbeIndex, 2);

    // Not a probe: nothing changes.
    UlmexSimClearTrace();
    call(SourceProbeA, 0);
    call(SourceProbeA, 5);
    EXPECT_EQ(state().Channels[0].ProbeIndex, 2);
    EXPECT_EQ(UlmexSimTraceCount(), 0);
}

TEST_F(DriverTest, UnknownRangeKeyChangesNoRegisterButScalesLevels) {
    initializeOk();
    call(DensityChannelA, 200);
    call(VerticalLevelChannelA, 2500);
    const int32_t offsetAt200 = resultOf(DensityChannelA, 200);
    UlmexSimClearTrace();
    EXPECT_EQ(resultOf(DensityChannelA, 30), offsetAt200);
    EXPECT_EQ(UlmexSimTraceCount(), 0);
    EXPECT_EQ(state().Channels[0].RangeKey, 30);
    EXPECT_EQ(state().Channels[0].RangeIndex, 4);
}

TEST_F(DriverTest, ArmExternalRegister) {
    initializeOk();
    call(ARMSourceExternal, 1);
    call(ARMUnderExternal, 1);
    EXPECT_EQ(UlmexSimRegister(2), 0x24);
    call(ARMSourceExternal, 0);
    EXPECT_EQ(UlmexSimRegister(2), 0x20);
}

TEST_F(DriverTest, RateAndRunBits) {
    initializeOk();
    call(SMPSetting, 0x8003); // the rate cannot start a measurement
    EXPECT_EQ(UlmexSimRegister(3), 3);
    call(MeasurementStarted, 1);
    call(SMPSetting, 5);
    EXPECT_EQ(UlmexSimRegister(3), 0x8005);
    EXPECT_EQ(UlmexSimCallCount("USBCalibrateAD"), 1);
    call(MeasurementStarted, 0);
    EXPECT_EQ(UlmexSimRegister(3), 5);
}

TEST_F(DriverTest, OffsetRegisterAndZeroLevel) {
    initializeOk();
    call(DensityChannelA, 1000);
    const int32_t zero = resultOf(VerticalLevelChannelA, 4095);
    EXPECT_EQ(UlmexSimRegister(12), 0);
    // Far above the screen: the true sample code of 0 V, not a screen edge.
    EXPECT_EQ(zero, static_cast<int32_t>(std::nearbyint(
                        state().Offsets.offsetCodeToLevel(qrv::calibrationIndex(0, 0, 6), 4095))));
    EXPECT_GT(zero, 255);
    call(VerticalLevelChannelB, 0);
    EXPECT_EQ(UlmexSimRegister(12), 0x8FFF);

    const int32_t mid = resultOf(VerticalLevelChannelA, 2048);
    EXPECT_EQ(mid, static_cast<int32_t>(std::nearbyint(state().Offsets.SH2048[qrv::calibrationIndex(0, 0, 6)])));
    call(VerticalLevelChannelA, 9999);
    EXPECT_EQ(UlmexSimRegister(12), 0);
    EXPECT_EQ(state().Channels[0].OffsetCode, 4095);
    call(VerticalLevelChannelA, -3);
    EXPECT_EQ(UlmexSimRegister(12), 4095);

    // The zero level survives a range change: the offset code returned keeps it.
    call(VerticalLevelChannelA, 2300);
    const int32_t before = state().Channels[0].ZeroLevel;
    const int32_t offset = resultOf(DensityChannelA, 50);
    EXPECT_NEAR(resultOf(VerticalLevelChannelA, offset), before, 1);
}

TEST_F(DriverTest, LostDeviceKeepsTheCallersZeroLevel) {
    initializeOk();
    UlmexSimReportDeviceState(0);
    EXPECT_EQ(deviceLost, 1);
    UlmexSimReportDeviceState(1); // a "present" report does not hide the loss
    EXPECT_EQ(deviceLost, 1);
    EXPECT_EQ(resultOf(VerticalLevelChannelB, 1000), -12345);
    EXPECT_EQ(UlmexSimRegister(12), 0x8000 | (4095 - 1000));
}

TEST_F(DriverTest, BlockOfFFFFMarksTheDeviceLost) {
    UlmexSimSetScenario(ULMEX_LOST_AFTER_READS, 2, ULMEX_LOST_BLOCK);
    UlmexSimUseVirtualClock(1);
    initializeOk();
    call(SMPSetting, 15 - 4);
    call(MeasurementStarted, 1);
    std::vector<uint16_t> block(kSampleBlockWords);
    int32_t count = 0;
    for (int i = 0; i < 2; ++i) {
        UlmexSimAdvanceClock(0.1);
        call(SampleData, 0, &count, block.data());
        EXPECT_GT(count, 0);
    }
    EXPECT_EQ(deviceLost, 0);
    UlmexSimAdvanceClock(0.1);
    EXPECT_EQ(call(SampleData, 0, &count, block.data()), 0x22);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(deviceLost, 1);
}

// Channel B at the bottom of its range gives sample pairs, never words that
// read as marks or parameter blocks in the data file; the device's marks pass.
TEST_F(DriverTest, ChannelBCodeZeroReadsAsOne) {
    initializeOk();
    call(MeasurementStarted, 1);
    std::vector<uint16_t> block(kSampleBlockWords);
    int32_t count = 0;
    const auto readScript = [&](std::vector<uint16_t> script) {
        UlmexSimScriptWords(script.data(), static_cast<int>(script.size()));
        call(SampleData, 0, &count, block.data());
        return std::vector<uint16_t>(block.begin(), block.begin() + count);
    };
    readScript({0x4242}); // the first word after a start is dropped
    EXPECT_EQ(readScript({0x0035, 0x0001, 0, 0x0002, 0x00FF, 0x0003, 0x1234, 0x0100}),
              (std::vector<uint16_t>{0x0135, 0x0001, 0x0002, 0x01FF, 0x0103, 0x1234, 0x0100}));

    // Channel A grounded with its zero level at code 0, over B codes of 0.
    call(VerticalLevelChannelA, 0);
    ASSERT_LE(state().Channels[0].ZeroLevel, 0);
    call(GroundA, 1);
    EXPECT_EQ(readScript({0x0035, 0x0001, 0x0002, 0x7F35}),
              (std::vector<uint16_t>{0x0100, 0x0001, 0x0002, 0x7F00}));
}

TEST_F(DriverTest, CallbackReportsALossDuringReading) {
    UlmexSimSetScenario(ULMEX_LOST_AFTER_READS, 0, ULMEX_LOST_CALLBACK);
    initializeOk();
    call(MeasurementStarted, 1);
    std::vector<uint16_t> block(kSampleBlockWords);
    int32_t count = -1;
    call(SampleData, 0, &count, block.data());
    EXPECT_EQ(count, 0);
    EXPECT_EQ(deviceLost, 1);
}

TEST_F(DriverTest, UnloadingStopsTheCallback) {
    initializeOk();
    EXPECT_EQ(driver.DeInitializeDevice(), 1);
    EXPECT_EQ(driver.DeInitializeDevice(), 0);
    UlmexSimReportDeviceState(0);
    EXPECT_EQ(deviceLost, 0);
}
