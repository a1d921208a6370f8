#include "DriverFixture.h"

#include <chrono>
#include <vector>

namespace {

// The record as the instrument's maker documents it, byte for byte.
std::vector<uint8_t> goldenRecord(int32_t modelValue, int32_t deviceId) {
    std::vector<uint8_t> bytes;
    const auto put32 = [&](int32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
    };
    const auto put16 = [&](uint16_t v) {
        bytes.push_back(static_cast<uint8_t>(v));
        bytes.push_back(static_cast<uint8_t>(v >> 8));
    };
    const int keys[9] = {10, 20, 50, 100, 200, 500, 1000, 2000, 5000};
    const uint16_t param0[9] = {18, 18, 2, 20, 20, 4, 28, 28, 12};
    put32(9);
    for (int r = 0; r < 9; ++r) {
        put32(keys[r]);
        for (int channel = 0; channel < 2; ++channel) {
            put16(param0[r]);
            put16(0);
            put16(0);
            put16((keys[r] == 10 || keys[r] == 100 || keys[r] == 1000) ? 1818 : 3636);
        }
    }
    bytes.resize(224, 0);
    put32(500);
    put32(50);
    put32(modelValue);
    put32(deviceId);
    return bytes;
}

std::vector<uint8_t> recordBytes(const TDeviceInfo& info) {
    const auto* p = reinterpret_cast<const uint8_t*>(&info);
    return std::vector<uint8_t>(p, p + sizeof info);
}

} // namespace

TEST_F(DriverTest, FillsTheRecordAndProgramsTheFrontEnd) {
    UlmexSimSetDeviceId(3);
    ASSERT_EQ(initialize(), InitOk);
    EXPECT_EQ(recordBytes(info), goldenRecord(8192, 3));
    EXPECT_TRUE(state().Ready);

    const uint32_t frontEnd[] = {0x1BAFF, 0x2007F, 0x3DB7F, 0xA007F, 0xBDB7F, 0xD7FFF, 0xE47FF, 0xFDB7F};
    ASSERT_EQ(UlmexSimSerialWordCount(8), 8);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(UlmexSimSerialWord(8, i), frontEnd[i]);
    ASSERT_EQ(UlmexSimSerialWordCount(10), 3);
    EXPECT_EQ(UlmexSimSerialWord(10, 0), 0xF01u);
    EXPECT_EQ(UlmexSimSerialWord(10, 1), 0xFF120u);
    EXPECT_EQ(UlmexSimSerialWord(10, 2), 0x44E202u);
    EXPECT_EQ(UlmexSimCallCount("USBCalibrateAD"), 1);
    EXPECT_EQ(UlmexSimCallCount("USBConfigureFPGA"), 1);
    EXPECT_EQ(UlmexSimViolationCount(), 0) << UlmexSimViolation(0);

    EXPECT_EQ(state().Register2, 0x24);
    EXPECT_EQ(state().RecordFree, 1);
    EXPECT_EQ(state().LastStatus, 0x11);
    // The calibration was read with every element in its place.
    EXPECT_EQ(state().Ranges[4].UR[0], 600 + 150 * 4);
    EXPECT_EQ(state().Ranges[4].UR[1], 600 + 150 * 4 + 7);
    EXPECT_EQ(state().Ranges[7].URD[1], 905 + 170 * 7 + 11);
    EXPECT_NEAR(state().Offsets.SH2048[qrv::calibrationIndex(1, 1, 5)], 120 + 5 + 0.25 + 0.5, 1e-3);
    EXPECT_NEAR(state().Offsets.SHRPlus[qrv::calibrationIndex(0, 1, 2)], 4.8 + 0.2 + 0.02, 1e-4);
    EXPECT_NEAR(state().Offsets.SHRMinus[qrv::calibrationIndex(1, 0, 8)], 4.5 + 0.96 + 0.03, 1e-4);
}

TEST_F(DriverTest, SecondInitialisationRunsTheWholeSequenceAgain) {
    ASSERT_EQ(initialize(), InitOk);
    std::memset(&info, 0xEE, sizeof info);
    UlmexSimSetDeviceId(4);
    ASSERT_EQ(initialize(), InitOk);
    EXPECT_EQ(recordBytes(info), goldenRecord(4096, 4));
    EXPECT_EQ(UlmexSimCallCount("USBInitDevice"), 2);
    EXPECT_EQ(UlmexSimSerialWordCount(8), 16);
}

TEST_F(DriverTest, UnknownDeviceIdentifierHasNoModelValue) {
    UlmexSimSetScenario(ULMEX_UNKNOWN_DEVICE_ID, 0, 0);
    ASSERT_EQ(initialize(), InitOk);
    EXPECT_EQ(info.ModelValue, 0);
    EXPECT_EQ(info.DeviceID, 7);
}

// Each failure, with the caller's record left exactly as it was.
struct FailureCase {
    int scenario;
    int32_t result;
    bool ready;
};

class DriverFailureTest : public DriverTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(DriverFailureTest, LeavesTheRecordUntouched) {
    const FailureCase c = GetParam();
    UlmexSimSetScenario(c.scenario, 0, 0);
    std::memset(&info, 0x5A, sizeof info);
    const std::vector<uint8_t> before = recordBytes(info);
    EXPECT_EQ(initialize(), c.result);
    EXPECT_EQ(recordBytes(info), before);
    EXPECT_EQ(state().Ready, c.ready);
    EXPECT_EQ(call(DeviceDriverVersion), c.ready ? 0 : kDriverNotReady);
}

INSTANTIATE_TEST_SUITE_P(Scenarios, DriverFailureTest,
                         ::testing::Values(FailureCase{ULMEX_NOT_PRESENT, InitDeviceNotPresent, false},
                                           FailureCase{ULMEX_NOT_POWERED, InitNotPowered, false},
                                           FailureCase{ULMEX_SERIAL_STUCK, InitDeviceFailed, true},
                                           FailureCase{ULMEX_FPGA_REJECTED, InitDeviceFailed, true}),
                         [](const ::testing::TestParamInfo<FailureCase>& p) {
                             return "Scenario" + std::to_string(p.param.scenario);
                         });

TEST_F(DriverTest, NotPoweredIsReportedOnlyAfterPowerUpAndHalfASecond) {
    UlmexSimSetScenario(ULMEX_NOT_POWERED, 0, 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(initialize(), InitNotPowered);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_EQ(UlmexSimCallCount("USBEnableExternalPower"), 1);
    EXPECT_EQ(UlmexSimCallCount("USBGetPowerState"), 1);
}

// Broken calibration data: the device is used uncalibrated. It is ready, the
// record names it, and a measurement records.
class BrokenCalibrationTest : public DriverTest, public ::testing::WithParamInterface<int> {};

TEST_P(BrokenCalibrationTest, DeviceIsUsedUncalibratedAndNamed) {
    UlmexSimSetScenario(GetParam(), 0, 0);
    UlmexSimUseVirtualClock(1);
    std::memset(&info, 0x5A, sizeof info);
    ASSERT_EQ(initialize(), InitBrokenCalibration);
    EXPECT_EQ(recordBytes(info), goldenRecord(8192, 1));
    EXPECT_TRUE(state().Ready);
    EXPECT_EQ(UlmexSimSerialWordCount(10), 3); // the front end was programmed
    for (int k = 0; k < qrv::kCalibrationTableSize; ++k)
        ASSERT_EQ(state().Offsets.SHRPlus[k], 0.0) << k;

    EXPECT_EQ(call(DensityChannelA, 1000), 0);
    EXPECT_EQ(call(SMPSetting, 15 - 4), 0); // 1000 samples per second
    EXPECT_EQ(call(MeasurementStarted, 1), 0);
    std::vector<uint16_t> block(kSampleBlockWords);
    int32_t count = -1;
    UlmexSimAdvanceClock(0.1);
    EXPECT_EQ(call(SampleData, 0, &count, block.data()), 0x22);
    EXPECT_EQ(count, 99); // the first word after the start is dropped
    EXPECT_EQ(UlmexSimViolationCount(), 0) << UlmexSimViolation(0);
}

TEST_F(DriverTest, BrokenPageUsesTheDefaultRangeDacs) {
    ASSERT_EQ(initialize(), InitOk); // a calibrated connection first
    UlmexSimSetScenario(ULMEX_BROKEN_PAGE, 0, 0);
    ASSERT_EQ(initialize(), InitBrokenCalibration);
    for (const qrv::TRangeRecord& record : state().Ranges) {
        EXPECT_EQ(record.UR, (std::array<int32_t, 2>{299, 299}));
        EXPECT_EQ(record.URD, (std::array<int32_t, 2>{299, 299}));
    }
    EXPECT_EQ(state().Offsets.SH2048[5], 0.0);
}

INSTANTIATE_TEST_SUITE_P(Scenarios, BrokenCalibrationTest,
                         ::testing::Values(ULMEX_BROKEN_PAGE, ULMEX_BROKEN_EXTENSION, ULMEX_EXTENSION_TOO_SMALL),
                         [](const ::testing::TestParamInfo<int>& p) { return "Scenario" + std::to_string(p.param); });

// Without a valid extension block the device is still usable: the read chain
// and front end are set up, and the offset tables stay zero.
TEST_F(DriverTest, BrokenExtensionStillSetsUpTheConnection) {
    UlmexSimSetScenario(ULMEX_BROKEN_EXTENSION, 0, 0);
    ASSERT_EQ(initialize(), InitBrokenCalibration);
    EXPECT_EQ(UlmexSimSerialWordCount(8), 8);
    EXPECT_EQ(UlmexSimSerialWordCount(10), 3);
    EXPECT_EQ(state().Offsets.SH2048[5], 0.0);
    EXPECT_EQ(state().Ranges[3].URD[0], 905 + 170 * 3); // the page was read

    EXPECT_EQ(resultOf(VerticalLevelChannelA, 4095), 0);
    EXPECT_EQ(resultOf(DensityChannelA, 1000), 2048);
    std::vector<uint16_t> block(kSampleBlockWords);
    call(MeasurementStarted, 1);
    int32_t count = -1;
    EXPECT_EQ(call(SampleData, 0, &count, block.data()), 0x22);
    EXPECT_GE(count, 0);
}

TEST_F(DriverTest, ExtensionTooSmallUnpacksNothing) {
    UlmexSimSetScenario(ULMEX_EXTENSION_TOO_SMALL, 0, 0);
    ASSERT_EQ(initialize(), InitBrokenCalibration);
    for (int k = 0; k < qrv::kCalibrationTableSize; ++k)
        EXPECT_EQ(state().Offsets.SHRPlus[k], 0.0);
}

TEST_F(DriverTest, SerialPortStuckLaterMarksTheDeviceLost) {
    UlmexSimSetScenario(ULMEX_SERIAL_STUCK, 11, 0); // after the start-up words
    initializeOk();
    EXPECT_EQ(deviceLost, 0);
    call(DensityChannelA, 200); // wants to send a range DAC word
    EXPECT_EQ(deviceLost, 1);
}

// ---- binding the USB interface library ----

namespace {

// Finds the simulator's functions but can leave one out, and notes the order.
class RecordingResolver : public qrv::UsbLibraryResolver {
public:
    RecordingResolver(bool present, std::string missing, std::vector<std::string>& looked)
        : present_(present), missing_(std::move(missing)), looked_(looked) {}
    bool load() override { return present_ && real_->load(); }
    void* lookup(const char* name) override {
        looked_.push_back(name);
        return name == missing_ ? nullptr : real_->lookup(name);
    }
    bool release() override { return real_->release(); }
    // What the next load finds.
    void change(bool present, std::string missing) {
        present_ = present;
        missing_ = std::move(missing);
    }

private:
    std::unique_ptr<qrv::UsbLibraryResolver> real_ = qrv::makeSharedLibraryResolver();
    bool present_;
    std::string missing_;
    std::vector<std::string>& looked_;
};

} // namespace

TEST(DriverBinding, AbsentLibraryGivesOneAndDoesNothingElse) {
    UlmexSimReset();
    std::vector<std::string> looked;
    qrv::TDriver driver(std::make_unique<RecordingResolver>(false, "", looked));
    TDeviceInfo info;
    std::memset(&info, 0x33, sizeof info);
    EXPECT_EQ(driver.InitializeDevice(&info), InitUsbLibraryMissing);
    EXPECT_TRUE(looked.empty());
    EXPECT_EQ(reinterpret_cast<uint8_t*>(&info)[100], 0x33);
    EXPECT_EQ(driver.DeInitializeDevice(), 0);
}

TEST(DriverBinding, EveryMissingFunctionGivesSevenBeforeAnyDeviceCall) {
    for (int missing = 0; missing < qrv::kUsbFunctionCount; ++missing) {
        UlmexSimReset();
        std::vector<std::string> looked;
        qrv::TDriver driver(
            std::make_unique<RecordingResolver>(true, qrv::kUsbFunctionNames[missing], looked));
        TDeviceInfo info;
        std::memset(&info, 0x44, sizeof info);
        EXPECT_EQ(driver.InitializeDevice(&info), InitUsbFunctionMissing) << qrv::kUsbFunctionNames[missing];
        ASSERT_EQ(looked.size(), static_cast<size_t>(missing + 1));
        for (int i = 0; i <= missing; ++i)
            EXPECT_EQ(looked[i], qrv::kUsbFunctionNames[i]);
        for (const char* name : qrv::kUsbFunctionNames)
            EXPECT_EQ(UlmexSimCallCount(name), 0) << name;
        EXPECT_EQ(reinterpret_cast<uint8_t*>(&info)[0], 0x44);
    }
    const std::vector<std::string> expected = {
        "USBInitDevice", "USBFlushBuffer", "USBConfigureFPGA", "USBSingleRead", "USBSingleWriteWithoutFlush",
        "USBSingleWrite", "USBFIFORead", "USBRollFIFORead", "USBFIFOWrite", "USBWriteToEEPROM",
        "USBReadFromEEPROM", "USBGetDeviceID", "USBSetCallBackFunction", "DeviceReady", "GetDriverVersion",
        "USBCalibrateAD", "USBEnableExternalPower", "USBGetPowerState"};
    EXPECT_EQ(std::vector<std::string>(std::begin(qrv::kUsbFunctionNames), std::end(qrv::kUsbFunctionNames)),
              expected);
}

// A reload that fails keeps nothing of the library loaded before, and no
// call reaches a function that is not bound.
TEST(DriverBinding, AFailedReloadLeavesTheDeviceUnreachable) {
    UlmexSimReset();
    std::vector<std::string> looked;
    auto owned = std::make_unique<RecordingResolver>(true, "", looked);
    RecordingResolver& resolver = *owned;
    qrv::TDriver driver(std::move(owned));
    TDeviceInfo info;
    ASSERT_EQ(driver.InitializeDevice(&info), InitOk);
    const auto levelResult = [&driver](int32_t& result) {
        result = 77;
        return driver.DeviceFunction(VerticalLevelChannelA, nullptr, nullptr, 2000, &result);
    };
    int32_t result = 0;
    ASSERT_EQ(levelResult(result), 0);

    resolver.change(false, "");
    EXPECT_EQ(driver.InitializeDevice(&info), InitUsbLibraryMissing);
    EXPECT_EQ(levelResult(result), kDriverNotReady);
    EXPECT_EQ(result, 77);  // no answer: the caller keeps its zero level
    EXPECT_EQ(driver.DeInitializeDevice(), 0); // nothing is loaded any more

    resolver.change(true, "USBGetPowerState");
    EXPECT_EQ(driver.InitializeDevice(&info), InitUsbFunctionMissing);
    EXPECT_EQ(levelResult(result), kDriverNotReady);
    EXPECT_EQ(driver.DeInitializeDevice(), 1);

    resolver.change(true, "");
    ASSERT_EQ(driver.InitializeDevice(&info), InitOk);
    EXPECT_EQ(levelResult(result), 0);
    EXPECT_EQ(driver.DeInitializeDevice(), 1);
    EXPECT_EQ(levelResult(result), kDriverNotReady);
    EXPECT_EQ(result, 77);
}
