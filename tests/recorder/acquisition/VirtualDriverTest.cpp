#include "FakeDriver.h"
#include "MessageBoxes.h"
#include "VirtualDriverVornRM.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <thread>
#include <vector>

namespace {

using Words = std::vector<uint16_t>;

class VirtualDriverTest : public ::testing::Test {
protected:
    VirtualDriverTest() {
        driver.SetLibraryFolder(FakeDriver::folder());
        driver.SetTerminateHandler([this] { ++terminateRequests; });
        driver.SetDeviceInfo(deviceInfo.data());
    }

    Words takeLog() {
        Words words(TVirtualDriverVornRM::kSettingsLogWords);
        int32_t count = 0;
        driver.TakeSettingsLog(words.data(), count);
        words.resize(count);
        return words;
    }

    void initialise() {
        driver.InitializeDriver();
        ASSERT_TRUE(driver.DeviceInitialized());
        fake.forgetCalls();
    }

    rm::ScriptedMessages messages;
    FakeDriver fake;
    std::array<uint8_t, 240> deviceInfo{};
    TVirtualDriverVornRM driver;
    int terminateRequests = 0;
};

TEST_F(VirtualDriverTest, MissingLibraryAsksAndRunsTheDemoOrEnds) {
    driver.SetLibraryFolder("/nonexistent");
    messages.queueAnswer(rm::MsgResult::Yes);
    driver.InitializeDriver();
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Driver QuorvRMDrv.Dll not present. Continue?"});
    EXPECT_EQ(messages.shown()[0].buttons, rm::MsgButtons::YesNo);
    EXPECT_TRUE(driver.DemoMode());
    EXPECT_FALSE(driver.DeviceInitialized());
    EXPECT_EQ(driver.DeviceSerialNumber(), "N/A");
    EXPECT_FALSE(driver.TerminateApplication());

    messages.queueAnswer(rm::MsgResult::No);
    driver.InitializeDriver();
    EXPECT_TRUE(driver.TerminateApplication());
    EXPECT_EQ(terminateRequests, 1);
}

TEST_F(VirtualDriverTest, SuccessfulInitialisationReadsVersionsSerialAndInfo) {
    fake.state().deviceId = 3;
    fake.state().serialNumber = 4711;
    initialise();
    EXPECT_TRUE(driver.DeviceCalibrationOK());
    EXPECT_FALSE(driver.DemoMode());
    EXPECT_EQ(driver.DeviceDriverVersion(), "1.1");
    EXPECT_EQ(driver.USBDriverVersion(), "2.05");
    EXPECT_EQ(driver.DeviceSerialNumber(), "00004711");
    EXPECT_EQ(deviceInfo[236], 3);
    EXPECT_EQ(deviceInfo[0], 9);
    // The device-state byte is registered before the device is initialised.
    EXPECT_NE(fake.state().usbFailed, nullptr);
    EXPECT_TRUE(messages.texts().empty());

    *fake.state().usbFailed = 1;
    EXPECT_TRUE(driver.USBFailed());
    driver.ReleaseLibrary();
    EXPECT_FALSE(driver.LibraryLoaded());
    driver.InitializeDriver();
    EXPECT_FALSE(driver.USBFailed());
}

TEST_F(VirtualDriverTest, InitialisationResultsGiveTheirDialogs) {
    struct Case {
        int32_t result;
        rm::MsgResult answer;
        const char* text;
        bool demo, initialised, calibrated, terminate;
    };
    const Case cases[] = {
        {1, rm::MsgResult::Ok, "The ulmex drivers are not installed", true, false, false, false},
        {7, rm::MsgResult::Ok, "USB driver is missing some function. Please install newest USB driver", true, false,
         false, false},
        {5, rm::MsgResult::Ok, "Broken calibration data. Please contact the manufacturer.", false, true, false, false},
        {3, rm::MsgResult::No, "Device not present. Retry?", true, false, false, false},
        {4, rm::MsgResult::No, "Device initialization failed. Retry?", true, false, false, false},
        {8, rm::MsgResult::Cancel,
         "Device is present, but not powered. Please power the device to start the application. Retry?", false, false,
         false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.result);
        deviceInfo.fill(0xEE);
        fake.state().initCalls = 0;
        fake.state().initResults[0] = c.result;
        fake.state().initResultCount = 1;
        messages.clear();
        messages.queueAnswer(c.answer);
        driver.InitializeDriver();
        EXPECT_EQ(messages.texts(), std::vector<std::string>{c.text});
        EXPECT_EQ(driver.DemoMode(), c.demo);
        EXPECT_EQ(driver.DeviceInitialized(), c.initialised);
        EXPECT_EQ(driver.DeviceCalibrationOK(), c.calibrated);
        EXPECT_EQ(driver.TerminateApplication(), c.terminate);
        // Filled when the device is used, if uncalibrated; else left untouched.
        EXPECT_EQ(deviceInfo[0], c.initialised ? 9 : 0xEE);
        if (c.initialised) {
            EXPECT_EQ(driver.DeviceDriverVersion(), "1.1");
        }
        driver.ReleaseLibrary();
    }
}

TEST_F(VirtualDriverTest, RetryCallsTheDeviceAgain) {
    fake.state().initResults[0] = 3;
    fake.state().initResults[1] = 8;
    fake.state().initResultCount = 2;
    messages.queueAnswer(rm::MsgResult::Yes);
    messages.queueAnswer(rm::MsgResult::Yes);
    driver.InitializeDriver();
    EXPECT_EQ(fake.state().initCalls, 3);
    EXPECT_TRUE(driver.DeviceInitialized());
    EXPECT_EQ(messages.texts().size(), 2u);
}

TEST_F(VirtualDriverTest, SettingsReachTheDeviceOnlyWhenChangedOrForced) {
    initialise();
    driver.SetSourceProbeA(2);
    EXPECT_EQ(takeLog(), (Words{0, 4, 4, 2}));
    ASSERT_EQ(fake.callsOf(SourceProbeA).size(), 1u);
    EXPECT_EQ(fake.callsOf(SourceProbeA)[0].value, 2);

    fake.forgetCalls();
    driver.SetSourceProbeA(2);
    driver.SetTriggerLevelA(199.6);
    driver.SetTriggerLevelA(200.4);  // the same whole millivolts
    EXPECT_TRUE(takeLog().empty());
    ASSERT_EQ(fake.calls().size(), 1u);
    EXPECT_EQ(fake.calls()[0].code, TriggerLevelA);
    EXPECT_EQ(fake.calls()[0].value, 200);

    fake.forgetCalls();
    driver.SetForceSettings(true);
    driver.SetSourceProbeA(2);
    driver.SetGroundB(false);
    driver.SetRecordFree(false);
    EXPECT_EQ(takeLog(), (Words{0, 4, 4, 2, 0, 4, 9, 0}));
    EXPECT_EQ(fake.calls().size(), 3u);
    EXPECT_TRUE(driver.RecordTriggered());
}

// Without a device (the demo) the settings are stored and logged only; a
// range change still records its deflection, so demo recordings scale right.
TEST_F(VirtualDriverTest, WithoutADeviceSettingsAreStoredAndLoggedOnly) {
    driver.SetSourceACDC_B(true);
    driver.SetSourceProbeA(1);
    driver.SetDensityChannelA(5);
    driver.SetSMPSetting(13);
    EXPECT_EQ(takeLog(), (Words{0, 4, 7, 1, 0, 4, 4, 1, 0, 5, 11, 200, 0, 0, 5, 10, 0x4240, 0x000F}));
    EXPECT_EQ(fake.calls().size(), 0u);
    EXPECT_EQ(driver.DensityChannelA(), 5);
}

TEST_F(VirtualDriverTest, VerticalLevelIsSentAsOffsetCodeAndTakesTheZeroLevel) {
    initialise();
    driver.SetVerticalLevelChannelA(100);
    EXPECT_EQ(driver.VerticalLevelChannelA(), 3995);
    ASSERT_EQ(fake.callsOf(VerticalLevelChannelA).size(), 1u);
    EXPECT_EQ(fake.callsOf(VerticalLevelChannelA)[0].value, 3995);
    EXPECT_EQ(driver.ZeroChannelA(), 128);
    EXPECT_TRUE(takeLog().empty());  // SettingsToFile is off

    // While SettingsToFile is set the block is written at every push; a device
    // that was just lost answers nothing and the zero level stays.
    fake.state().zeroAnswer = -1;
    driver.SetSettingsToFile(true);
    driver.SetVerticalLevelChannelA(100);
    EXPECT_EQ(driver.ZeroChannelA(), 128);
    EXPECT_EQ(takeLog(), (Words{0, 6, 2, 3995, 128, 0}));
}

TEST_F(VirtualDriverTest, RangeChangeWithCalibrationSetsTheLevelBack) {
    initialise();
    driver.SetSourceProbeB(4);
    takeLog();
    fake.forgetCalls();
    fake.state().offsetAnswer = 1000;
    fake.state().zeroAnswer = 77;
    driver.SetDensityChannelB(9);
    EXPECT_EQ(driver.Deflection(200), 5000000);
    ASSERT_EQ(fake.callsOf(DensityChannelB).size(), 1u);
    EXPECT_EQ(fake.callsOf(DensityChannelB)[0].value, 5000);
    EXPECT_EQ(driver.VerticalLevelChannelB(), 1000);
    EXPECT_TRUE(driver.SetBackRequested());
    EXPECT_FALSE(driver.SettingsToFile());
    // 5,000,000 = 0x004C4B40, low word first.
    EXPECT_EQ(takeLog(), (Words{0, 6, 3, 1000, 77, 0, 0, 5, 12, 0x4B40, 0x004C}));
}

// The deflection includes the probe: after a probe change the density's
// place in the push writes it anew, once, without asking the device again.
TEST_F(VirtualDriverTest, ProbeChangeWritesTheDeflectionAtTheDensitysPlace) {
    initialise();
    driver.SetSourceProbeA(1);
    driver.SetDensityChannelA(7);
    takeLog();
    fake.forgetCalls();

    driver.SetSourceProbeA(2);
    driver.SetVerticalLevelChannelA(2047);
    driver.SetDensityChannelA(7);
    EXPECT_EQ(takeLog(), (Words{0, 4, 4, 2, 0, 5, 11, 10000, 0}));
    EXPECT_TRUE(fake.callsOf(DensityChannelA).empty());
    driver.SetDensityChannelA(7);
    EXPECT_TRUE(takeLog().empty());

    // A forced push writes the deflection once, after the level set-back.
    driver.SetForceSettings(true);
    driver.SetSourceProbeA(3);
    driver.SetDensityChannelA(7);
    const Words log = takeLog();
    std::vector<uint16_t> types;
    for (size_t i = 0; i < log.size(); i += log[i + 1])
        types.push_back(log[i + 2]);
    EXPECT_EQ(types, (std::vector<uint16_t>{4, 2, 11}));
    EXPECT_EQ(Words(log.end() - 5, log.end()), (Words{0, 5, 11, 0x86A0, 0x0001}));  // 100,000
}

// The demo draws 0 V at 640 - (4096 - offset code) div 4: that is the zero
// position it records, off the screen too (a negative one as 16-bit two's
// complement).
TEST_F(VirtualDriverTest, DemoRecordsTheZeroLevelItsTraceIsDrawnAt) {
    driver.SetSettingsToFile(true);
    driver.SetVerticalLevelChannelA(2047);
    driver.SetVerticalLevelChannelB(3000);
    EXPECT_EQ(driver.ZeroChannelA(), 128);
    EXPECT_EQ(driver.ZeroChannelB(), -110);
    EXPECT_EQ(takeLog(), (Words{0, 6, 2, 2048, 128, 0, 0, 6, 3, 1095, 0xFF92, 0}));

    driver.SetSMPSetting(4);
    driver.SetMeasurementStarted(true);
    std::vector<uint16_t> buffer(DemoSignalGenerator::kMaxBlockWords);
    int32_t count = 0;
    for (int i = 0; i < 100 && count == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        driver.ReadData(buffer.data(), count);
    }
    ASSERT_GT(count, 0);
    EXPECT_EQ(buffer[0] & 0xFF, 128);  // no amplitude, no noise: the trace at its zero
    EXPECT_EQ(buffer[0] >> 8, 1);      // 0 V below the screen: the bottom code
}

TEST_F(VirtualDriverTest, MeasurementStartWritesTheHeaderOnceAndStopWritesTheStopBlock) {
    initialise();
    driver.SetSMPSetting(13);
    driver.SetDensityChannelA(7);
    driver.SetSourceProbeA(1);
    driver.SetSourceProbeB(1);
    takeLog();
    fake.forgetCalls();

    driver.SetMeasurementStarted(true);
    const Words log = takeLog();
    ASSERT_EQ(log.size(), 55u);
    EXPECT_EQ(Words(log.begin(), log.begin() + 4), (Words{0, 4, 1, 1}));
    std::vector<uint16_t> types;
    for (size_t i = 4; i < log.size(); i += log[i + 1]) {
        EXPECT_EQ(log[i], 0);
        types.push_back(log[i + 2]);
    }
    EXPECT_EQ(types, (std::vector<uint16_t>{2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    EXPECT_EQ(Words(log.begin() + 40, log.begin() + 45), (Words{0, 5, 10, 0x4240, 0x000F}));
    EXPECT_EQ(Words(log.begin() + 45, log.begin() + 50), (Words{0, 5, 11, 1000, 0}));
    ASSERT_EQ(fake.callsOf(MeasurementStarted).size(), 1u);
    EXPECT_EQ(fake.callsOf(MeasurementStarted)[0].value, 1);

    driver.SetForceSettings(true);
    driver.SetMeasurementStarted(true);  // forcing does not repeat the start
    EXPECT_TRUE(takeLog().empty());
    driver.SetMeasurementStarted(false);
    EXPECT_EQ(takeLog(), (Words{0, 4, 1, 0}));
}

TEST_F(VirtualDriverTest, DefinedLengthTargetCountsMillisecondsAndFollowsTheRate) {
    driver.SetSMPSetting(4);  // 1000/s
    driver.SetMeasurementLength(1500);
    EXPECT_EQ(driver.TargetSampleCount(), 1500);
    driver.SetSampleCounter(400);
    driver.SetSMPSetting(5);  // 2500/s
    EXPECT_EQ(driver.SampleCounter(), 1000);
    EXPECT_EQ(driver.TargetSampleCount(), 3750);
    driver.SetMeasurementLength(1);  // 2.5 samples: whole ones only
    EXPECT_EQ(driver.TargetSampleCount(), 2);

    for (const auto& [index, rate] : {std::pair{10, 100000LL}, std::pair{15, 5000000LL}}) {
        driver.SetSMPSetting(index);
        for (const uint32_t ms : {2500u, 900u, 1u}) {
            driver.SetMeasurementLength(ms);
            EXPECT_EQ(driver.TargetSampleCount(), rate * ms / 1000) << rate << " " << ms;
        }
    }

    // Far beyond 32 bits: 4,294,967,295 ms at 5,000,000/s.
    driver.SetMeasurementLength(0xFFFFFFFFu);
    EXPECT_EQ(driver.TargetSampleCount(), 4294967295LL * 5000LL);
    driver.SetSampleCounter(4294967LL * 5000000LL);
    driver.SetSMPSetting(0);
    EXPECT_EQ(driver.SampleCounter(), 4294967LL * 50LL);
    EXPECT_EQ(driver.TargetSampleCount(), 4294967295LL * 50LL / 1000LL);
}

TEST_F(VirtualDriverTest, ReadDataComesFromTheDeviceOrTheDemo) {
    std::vector<uint16_t> buffer(DemoSignalGenerator::kMaxBlockWords);
    int32_t count = -1;
    EXPECT_EQ(driver.ReadData(buffer.data(), count), DemoSignalGenerator::kStatus);  // no device yet

    initialise();
    fake.state().blockWords = 300;
    fake.state().blockStatus = 0x21;
    EXPECT_EQ(driver.ReadData(buffer.data(), count), 0x21);
    EXPECT_EQ(count, 300);
    EXPECT_EQ(buffer[299], 0x8181);

    driver.ReleaseLibrary();
    EXPECT_EQ(driver.ReadData(buffer.data(), count), DemoSignalGenerator::kStatus);
}

TEST_F(VirtualDriverTest, SettingsLogNeverHoldsATornBlock) {
    for (int i = 0; i < 300; ++i)
        driver.SetGroundA(i % 2 == 0);
    const Words log = takeLog();
    EXPECT_EQ(log.size() % 4, 0u);
    EXPECT_LE(log.size(), static_cast<size_t>(TVirtualDriverVornRM::kSettingsLogWords));
}

} // namespace
