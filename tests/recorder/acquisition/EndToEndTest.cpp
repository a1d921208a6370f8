// The engine with the real driver library and the simulated instrument (or
// without the driver library, in demo mode), saving to a data file.
#include "MessageBoxes.h"
#include "ProgramFolder.h"
#include "RecorderRig.h"
#include "UlmexSim.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include <unistd.h>

namespace {

using Words = std::vector<uint16_t>;

void simulatedSignals() {
    UlmexSimSetSignal(0, 0.0, 0.0, 0.0);
    UlmexSimSetSignal(1, 0.0, 1000.0, 5.0);  // 1000 mV at 1000 mV/div: 32 codes
}

class EndToEndTest : public ::testing::Test {
protected:
    EndToEndTest() {
        UlmexSimReset();
        simulatedSignals();
        std::filesystem::remove(path);
    }
    ~EndToEndTest() override { std::filesystem::remove(path); }

    void makeRig(const std::string& driverFolder) {
        rig = std::make_unique<RecorderRig>(driverFolder);
        rig->scope.SetVerticalLevelChannelA(2047);
        rig->scope.SetVerticalLevelChannelB(2047);
        rig->scope.SetSMPSetting(10);  // 100,000 samples per second
        rig->scope.Startup();
        // The blocks of the start-up go out before saving starts.
        rig->settingsChanged();
        ASSERT_TRUE(rig->startUpBlocksPassed());
        rig->scope.SetFileName(path);
        rig->scope.SetSavingActivated(true);
    }

    void startMeasurement(uint32_t definedLengthMs) {
        rig->scope.SetMeasurementDefined(definedLengthMs > 0);
        rig->scope.SetMeasurementLength(definedLengthMs);
        rig->scope.SetMeasurementStarted(true);
        rig->settingsChanged();
    }

    bool measurementEnded() {
        const Words words = rig->ekg.words();
        return !rig->scope.MeasurementStarted() && words.size() >= 4 &&
               Words(words.end() - 4, words.end()) == Words{0, 4, 1, 0};
    }

    // Start block and the eleven header blocks, sample words, the stop block last.
    StreamSummary checkedMeasurementFile() {
        rig->shutdown();
        const Words words = readWords(path);
        StreamSummary file = summarise(words);
        EXPECT_TRUE(file.wellFormed);
        if (file.blocks.size() < 13)
            return file;
        EXPECT_EQ(file.blocks[0], (Words{0, 4, 1, 1}));
        EXPECT_EQ(file.blockPositions[0], 0u);
        size_t position = 4;
        for (uint16_t type = 2; type <= 12; ++type) {
            EXPECT_EQ(file.blocks[type - 1][2], type);
            EXPECT_EQ(file.blockPositions[type - 1], position);
            position += file.blocks[type - 1].size();
        }
        EXPECT_EQ(file.blocks.back(), (Words{0, 4, 1, 0}));
        EXPECT_EQ(file.blockPositions.back(), words.size() - 4);
        return file;
    }

    rm::ScriptedMessages messages;
    // One file per test: ctest runs them side by side.
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("acq_" + std::to_string(getpid()) + "_" +
                               ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".rmd"))
                                 .string();
    std::unique_ptr<RecorderRig> rig;
};

TEST_F(EndToEndTest, TwoSecondsFromTheInstrumentReachTheFileWhole) {
    makeRig(rm::programFolder());
    ASSERT_TRUE(rig->driver.DeviceInitialized());
    ASSERT_TRUE(rig->driver.DeviceCalibrationOK());
    startMeasurement(2000);
    ASSERT_TRUE(serveUntil([&] { return measurementEnded(); }));
    const StreamSummary file = checkedMeasurementFile();

    // The whole target, and less than one more device block.
    EXPECT_GE(file.samples.size() + file.overrunMarks, 200000u);
    EXPECT_LT(file.samples.size(), 200000u + 32768u);
    EXPECT_EQ(file.overrunMarks, 0);
    ASSERT_GE(file.blocks.size(), 3u);

    // Channel A sits at its zero level; channel B swings 32 codes about its
    // own at 5 Hz.
    const int zeroA = file.blocks[1][4];
    const int zeroB = file.blocks[2][4];
    int lowB = 255, highB = 0, crossings = 0;
    bool above = false;
    for (size_t i = 0; i < file.samples.size(); ++i) {
        const int a = file.samples[i] & 0xFF;
        const int b = file.samples[i] >> 8;
        ASSERT_NEAR(a, zeroA, 1) << i;
        lowB = std::min(lowB, b);
        highB = std::max(highB, b);
        if (i == 0 || (above ? b < zeroB - 8 : b > zeroB + 8)) {
            crossings += i > 0;
            above = b > zeroB;
        }
    }
    EXPECT_NEAR(highB - zeroB, 32, 2);
    EXPECT_NEAR(zeroB - lowB, 32, 2);
    EXPECT_NEAR(crossings, 20, 2);
}

TEST_F(EndToEndTest, WithoutTheDriverLibraryTheDemoFillsTheFile) {
    messages.queueAnswer(rm::MsgResult::Yes);
    makeRig("/nonexistent");
    ASSERT_TRUE(rig->driver.DemoMode());
    rig->scope.SetAmplitudeA(1000);  // 1000 mV at 1000 mV/div: 31.875 codes
    rig->scope.SetPeriodA(200);
    rig->scope.SetAmplitudeB(0);
    startMeasurement(2000);
    ASSERT_TRUE(serveUntil([&] { return measurementEnded(); }));
    const StreamSummary file = checkedMeasurementFile();

    EXPECT_GE(file.samples.size() + file.overrunMarks, 200000u);
    EXPECT_LT(file.samples.size(), 200000u + 65535u);
    int lowA = 255, highA = 0;
    for (uint16_t word : file.samples) {
        lowA = std::min(lowA, word & 0xFF);
        highA = std::max(highA, word & 0xFF);
        ASSERT_EQ(word >> 8, 128);
    }
    EXPECT_EQ(lowA, 128 - 32);
    EXPECT_EQ(highA, 128 + 32);
}

TEST_F(EndToEndTest, LostDeviceTakesTheRecoveryRoadAndTheFileStaysWellFormed) {
    makeRig(rm::programFolder());
    ASSERT_TRUE(rig->driver.DeviceInitialized());
    // The instrument comes back healthy while the driver library is away.
    rig->scope.RegisterListener(98, &path, [](TScopeNotifyCode code, int&) {
        if (code == TScopeNotifyCode::snDeviceReinitialized) {
            UlmexSimReset();
            simulatedSignals();
        }
    });
    UlmexSimSetScenario(ULMEX_LOST_AFTER_READS, 20, ULMEX_LOST_CALLBACK | ULMEX_LOST_BLOCK);
    startMeasurement(0);
    ASSERT_TRUE(serveUntil([&] {
        return rig->noticesOf(TScopeNotifyCode::snDeviceReinitialized, ScopeGroup::FlowManager) == 1 &&
               measurementEnded();
    }));
    EXPECT_TRUE(rig->driver.DeviceInitialized());
    EXPECT_FALSE(rig->driver.USBFailed());
    rig->scope.UnregisterListener(&path);
    const StreamSummary file = checkedMeasurementFile();
    EXPECT_GT(file.samples.size(), 0u);
}

} // namespace
