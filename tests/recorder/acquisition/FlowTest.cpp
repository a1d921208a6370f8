#include "AcquisitionThreadRM.h"
#include "FakeDriver.h"
#include "MessageBoxes.h"
#include "ProcessingThreadRM.h"
#include "RecorderRig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <atomic>
#include <thread>

#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using Words = std::vector<uint16_t>;

bool lastBlockIs(const RecordingDisplay& display, const Words& block) {
    const Words words = display.words();
    return words.size() >= block.size() && Words(words.end() - static_cast<long>(block.size()), words.end()) == block;
}

// Demo mode: the driver library is not where the component looks.
class DemoFlowTest : public ::testing::Test {
protected:
    DemoFlowTest() {
        messages.setDefaultAnswer(rm::MsgResult::Yes);
        rig = std::make_unique<RecorderRig>("/nonexistent");
        rig->scope.SetSMPSetting(4);  // 1000/s
    }

    void startMeasurement() {
        rig->scope.SetMeasurementStarted(true);
        rig->settingsChanged();
    }

    rm::ScriptedMessages messages;
    std::unique_ptr<RecorderRig> rig;
};

TEST_F(DemoFlowTest, DefinedLengthMeasurementEndsWithTheStopBlockAndRedLamps) {
    rig->scope.Startup();
    EXPECT_TRUE(rig->driver.DemoMode());
    rig->scope.SetMeasurementDefined(true);
    rig->scope.SetMeasurementLength(1000);
    startMeasurement();
    ASSERT_TRUE(serveUntil([&] { return lastBlockIs(rig->ekg, {0, 4, 1, 0}); }));
    EXPECT_FALSE(rig->scope.MeasurementStarted());
    EXPECT_EQ(rig->noticesOf(TScopeNotifyCode::snSettingsChanged, ScopeGroup::FlowManager), 1);
    EXPECT_EQ(rig->armLed.colour, TAcquisitionThreadRM::kLampRed);
    EXPECT_EQ(rig->triggerLed.colour, TAcquisitionThreadRM::kLampRed);

    const StreamSummary stream = summarise(rig->ekg.words());
    ASSERT_TRUE(stream.wellFormed);
    const auto start = stream.findBlock(1);
    ASSERT_TRUE(start);
    EXPECT_EQ(stream.blocks[*start], (Words{0, 4, 1, 1}));
    for (uint16_t type = 2; type <= 12; ++type)
        EXPECT_EQ(stream.blocks[*start + type - 1][2], type);
    // The read that crosses the target stays whole.
    EXPECT_GE(stream.samples.size() + stream.overrunMarks, 1000u);
    EXPECT_LT(stream.samples.size(), 1000u + DemoSignalGenerator::kMaxBlockWords);
}

TEST_F(DemoFlowTest, StoppingTheProgramWritesTheRunningMeasurementsEnd) {
    const std::string path =
        (std::filesystem::temp_directory_path() / ("acq_stop_" + std::to_string(getpid()) + ".rmd")).string();
    std::filesystem::remove(path);
    rig->scope.Startup();
    rig->settingsChanged();  // the start-up batch of blocks goes out before saving starts
    ASSERT_TRUE(rig->startUpBlocksPassed());
    rig->scope.SetFileName(path);
    rig->scope.SetSavingActivated(true);
    startMeasurement();
    ASSERT_TRUE(serveUntil([&] { return summarise(rig->ekg.words()).samples.size() > 50; }));
    rig->shutdown();

    const StreamSummary file = summarise(readWords(path));
    ASSERT_TRUE(file.wellFormed);
    ASSERT_GE(file.blocks.size(), 13u);
    EXPECT_EQ(file.blockPositions[0], 0u);
    EXPECT_EQ(file.blocks.front(), (Words{0, 4, 1, 1}));
    EXPECT_EQ(file.blocks.back(), (Words{0, 4, 1, 0}));
    EXPECT_EQ(readWords(path).size() - 4, file.blockPositions.back());
    EXPECT_GT(file.samples.size(), 50u);
    std::filesystem::remove(path);
}

TEST_F(DemoFlowTest, TriggeredRecordingWithoutATriggerSourceReadsNothing) {
    rig->scope.SetRecordFree(false);
    rig->scope.SetRecordTriggered(true);
    rig->scope.Startup();
    startMeasurement();
    ASSERT_TRUE(serveUntil([&] { return summarise(rig->ekg.words()).findBlock(1).has_value(); }));
    serveUntil([] { return false; }, 200ms);
    EXPECT_TRUE(summarise(rig->ekg.words()).samples.empty());
}

TEST_F(DemoFlowTest, ASettingChangedWhileSettingsArePushedIsNotLost) {
    rig->scope.Startup();
    for (int i = 0; i < 400; ++i) {
        rig->scope.SetSourceProbeA(1 + i % 4);
        rig->settingsChanged();
        if (i % 16 == 0)
            std::this_thread::sleep_for(1ms);
    }
    rig->scope.SetSourceProbeA(3);
    rig->settingsChanged();
    auto lastProbeBlock = [&] {
        const StreamSummary s = summarise(rig->ekg.words());
        for (auto it = s.blocks.rbegin(); it != s.blocks.rend(); ++it)
            if ((*it)[2] == 4)
                return static_cast<int>((*it)[3]);
        return 0;
    };
    EXPECT_TRUE(serveUntil([&] { return lastProbeBlock() == 3 && !rig->flow.ScopeSettingsDirty(); }));
}

TEST_F(DemoFlowTest, FlowManagerPicksSwitchesAndHidesTheDisplays) {
    rig->scope.Startup();
    EXPECT_TRUE(rig->ekg.visible);  // the sweeping display is the default
    EXPECT_FALSE(rig->roll.visible);
    EXPECT_EQ(rig->roll.resizes, 1);
    EXPECT_EQ(rig->ekg.resizes, 1);
    EXPECT_EQ(rig->flow.ProcessingThread()->Display(), &rig->ekg);

    rig->scope.Notify(TScopeNotifyCode::snShowShiftDisplay, ScopeGroup::DisplayModePanel);
    EXPECT_TRUE(rig->roll.visible);
    EXPECT_FALSE(rig->ekg.visible);
    EXPECT_EQ(rig->flow.ProcessingThread()->Display(), &rig->roll);
    rig->scope.SetSourceProbeB(2);
    rig->settingsChanged();
    EXPECT_TRUE(serveUntil([&] { return rig->roll.blocks() > 0; }));

    rig->scope.SetDisplayActive(false);
    rig->settingsChanged();
    EXPECT_TRUE(rig->displayOff.visible);
    EXPECT_FALSE(rig->roll.visible);
    EXPECT_EQ(rig->roll.clears, 1);
    EXPECT_FALSE(rig->scope.ClearScreenRequested());
    rig->settingsChanged();
    EXPECT_EQ(rig->roll.clears, 1);

    rig->scope.SetDisplayActive(true);
    rig->settingsChanged();
    EXPECT_FALSE(rig->displayOff.visible);
    EXPECT_TRUE(rig->roll.visible);
}

TEST_F(DemoFlowTest, ShutdownStopsTheThreadsAndLeavesTheBus) {
    rig->scope.Startup();
    ASSERT_NE(rig->flow.AcquisitionThread(), nullptr);
    rig->shutdown();
    EXPECT_EQ(rig->flow.AcquisitionThread(), nullptr);
    EXPECT_EQ(rig->flow.ProcessingThread(), nullptr);
    EXPECT_EQ(rig->flow.VirtualScope(), nullptr);
    EXPECT_EQ(rig->scope.Listeners().ListenerCount(), 0);
}

// The stand-in driver library: what reaches the device.
class DeviceFlowTest : public ::testing::Test {
protected:
    DeviceFlowTest() { rig = std::make_unique<RecorderRig>(FakeDriver::folder()); }

    rm::ScriptedMessages messages;
    FakeDriver fake;
    std::unique_ptr<RecorderRig> rig;
};

TEST_F(DeviceFlowTest, StartSendsEverySettingAndTheLevelsFollowARangeChange) {
    fake.state().offsetAnswer = 2000;  // where the device puts the level for the range
    rig->scope.Startup();
    EXPECT_EQ(fake.state().initCalls, 1);
    EXPECT_TRUE(rig->driver.DeviceInitialized());
    EXPECT_TRUE(messages.texts().empty());
    EXPECT_FALSE(fake.callsOf(SMPSetting).empty());
    ASSERT_FALSE(fake.callsOf(VerticalLevelChannelB).empty());
    EXPECT_EQ(fake.callsOf(VerticalLevelChannelB).front().value, 4095 - 1433);
    EXPECT_EQ(fake.callsOf(VerticalLevelChannelB).back().value, 2000);

    // The panels hear of it once the log went into the ring.
    rig->settingsChanged();
    ASSERT_TRUE(serveUntil([&] {
        return rig->noticesOf(TScopeNotifyCode::snLevelsSetBack, ScopeGroup::FlowManager) == 1;
    }));
    EXPECT_EQ(rig->scope.VerticalLevelChannelB(), 4095 - 2000);
    EXPECT_TRUE(serveUntil([&] { return rig->displayHasWords(); }));
}

TEST_F(DeviceFlowTest, UsbFailureReleasesReinitialisesAndResendsEverySetting) {
    rig->scope.Startup();
    rig->settingsChanged();
    ASSERT_TRUE(rig->startUpBlocksPassed());
    const int before = rig->ekg.blocks();
    fake.forgetCalls();

    std::atomic_ref<uint8_t>(*fake.state().usbFailed).store(1);  // as the driver library does
    ASSERT_TRUE(serveUntil([&] {
        return rig->noticesOf(TScopeNotifyCode::snDeviceReinitialized, ScopeGroup::FlowManager) == 1 &&
               rig->ekg.blocks() > before;
    }));
    EXPECT_EQ(fake.state().initCalls, 2);
    EXPECT_TRUE(rig->driver.LibraryLoaded());
    for (int32_t code : {RecordFree, TriggerSourceA, TriggerSourceB, TriggerLevelA, TriggerLevelB, TriggerUnderA,
                         TriggerUnderB, TriggerRelation, ARMSourceA, ARMSourceB, ARMSourceExternal, ARMLevelA,
                         ARMLevelB, ARMUnderA, ARMUnderB, ARMUnderExternal, SMPSetting, SourceProbeA, SourceProbeB,
                         VerticalLevelChannelA, VerticalLevelChannelB, DensityChannelA, DensityChannelB,
                         SourceACDC_A, SourceACDC_B, GroundA, GroundB})
        EXPECT_FALSE(fake.callsOf(code).empty()) << code;
    // The blocks of the forced push reach the stream with the next take.
    const StreamSummary stream = summarise(rig->ekg.words());
    EXPECT_TRUE(stream.wellFormed);
    EXPECT_EQ(stream.blocks.back()[2], 9);
}

TEST_F(DeviceFlowTest, EndingTheProgramInARecoveryDialogLetsNoDemoSamplesIntoTheMeasurement) {
    fake.state().blockWords = 64;  // each 0x8181
    fake.state().blockStatus = 0x22;
    fake.state().initResults[1] = InitDeviceNotPresent;  // the device stays away after the failure
    fake.state().initResultCount = 2;
    messages.queueAnswer(rm::MsgResult::Cancel);
    rig->scope.Startup();
    rig->scope.SetMeasurementStarted(true);
    rig->settingsChanged();
    ASSERT_TRUE(serveUntil([&] { return !summarise(rig->ekg.words()).samples.empty(); }));

    std::atomic_ref<uint8_t>(*fake.state().usbFailed).store(1);  // as the driver library does
    ASSERT_TRUE(serveUntil([&] { return rig->driver.TerminateApplication(); }));
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Device not present. Retry?"});
    EXPECT_EQ(rig->terminateRequests, 1);
    serveUntil([] { return false; }, 200ms);
    const StreamSummary stream = summarise(rig->ekg.words());
    for (uint16_t word : stream.samples)
        ASSERT_EQ(word, 0x8181);
    EXPECT_EQ(stream.blocks.back(), (Words{0, 4, 1, 0}));  // the measurement is closed in the file
}

// The device comes back: the fresh driver hears code 32 again once every
// other setting is in place, and the measurement goes on.
TEST_F(DeviceFlowTest, AfterASuccessfulRetryTheMeasurementGoesOn) {
    fake.state().blockWords = 64;
    fake.state().blockStatus = 0x22;
    rig->scope.Startup();
    rig->scope.SetMeasurementStarted(true);
    rig->settingsChanged();
    ASSERT_TRUE(serveUntil([&] { return !summarise(rig->ekg.words()).samples.empty(); }));
    fake.forgetCalls();

    std::atomic_ref<uint8_t>(*fake.state().usbFailed).store(1);
    ASSERT_TRUE(serveUntil([&] {
        return rig->noticesOf(TScopeNotifyCode::snDeviceReinitialized, ScopeGroup::FlowManager) == 1 &&
               !fake.callsOf(MeasurementStarted).empty();
    }));
    EXPECT_EQ(fake.callsOf(MeasurementStarted).front().value, 1);
    // After the forced push, whose last call is the ground of channel B.
    const std::vector<FakeDriverCall> calls = fake.calls();
    const auto started = std::find_if(calls.begin(), calls.end(), [](auto& c) { return c.code == MeasurementStarted; });
    const auto ground = std::find_if(calls.begin(), calls.end(), [](auto& c) { return c.code == GroundB; });
    EXPECT_LT(ground, started);
    const size_t before = rig->ekg.words().size();
    ASSERT_TRUE(serveUntil([&] { return rig->ekg.words().size() > before + 256; }));
    EXPECT_TRUE(rig->scope.MeasurementStarted());
    const StreamSummary stream = summarise(rig->ekg.words());
    const auto start = stream.findBlock(1);
    ASSERT_TRUE(start);
    EXPECT_EQ(stream.findBlock(1, *start + 1), std::nullopt);  // no stop, no second start
    EXPECT_TRUE(messages.texts().empty());
}

// A defined length goes on counting across the recovery: the words before
// the loss count too, so the measurement is not longer than asked.
TEST_F(DeviceFlowTest, ADefinedLengthCountsTheWordsBeforeTheLoss) {
    fake.state().blockWords = 64;
    fake.state().blockStatus = 0x22;
    rig->scope.SetSMPSetting(4);  // 1000/s: 20 s are 20,000 words
    rig->scope.Startup();
    rig->scope.SetMeasurementDefined(true);
    rig->scope.SetMeasurementLength(20000);
    rig->scope.SetMeasurementStarted(true);
    rig->settingsChanged();
    ASSERT_TRUE(serveUntil([&] { return summarise(rig->ekg.words()).samples.size() > 2000; }));
    std::atomic_ref<uint8_t>(*fake.state().usbFailed).store(1);
    ASSERT_TRUE(serveUntil([&] { return !rig->scope.MeasurementStarted(); }));
    ASSERT_TRUE(serveUntil([&] { return lastBlockIs(rig->ekg, {0, 4, 1, 0}); }));
    const size_t samples = summarise(rig->ekg.words()).samples.size();
    EXPECT_GE(samples, 20000u);
    EXPECT_LT(samples, 20000u + 64u);  // only the read that crosses the target goes beyond it
}

// "Device not present. Retry?" answered No: the measurement ends with its
// stop block after the device's last sample, the user is told, and the
// demo that follows records nothing into it.
TEST_F(DeviceFlowTest, ADeviceLostForGoodEndsTheMeasurementBeforeTheDemoStarts) {
    fake.state().blockWords = 64;  // each 0x8181
    fake.state().blockStatus = 0x22;
    fake.state().initResults[1] = InitDeviceNotPresent;
    fake.state().initResultCount = 2;
    messages.queueAnswer(rm::MsgResult::No);
    rig->scope.Startup();
    rig->scope.SetMeasurementStarted(true);
    rig->settingsChanged();
    ASSERT_TRUE(serveUntil([&] { return !summarise(rig->ekg.words()).samples.empty(); }));

    std::atomic_ref<uint8_t>(*fake.state().usbFailed).store(1);
    // The second box is queued for the user-interface thread.
    ASSERT_TRUE(serveUntil([&] {
        QCoreApplication::processEvents();
        return messages.texts().size() == 2;
    }));
    EXPECT_EQ(messages.texts(), (std::vector<std::string>{"Device not present. Retry?",
                                                          "The device was lost: the measurement has ended."}));
    EXPECT_TRUE(rig->driver.DemoMode());
    EXPECT_FALSE(rig->scope.MeasurementStarted());
    EXPECT_GE(rig->noticesOf(TScopeNotifyCode::snSettingsChanged, ScopeGroup::FlowManager), 1);
    EXPECT_EQ(rig->armLed.colour, TAcquisitionThreadRM::kLampRed);
    serveUntil([] { return false; }, 200ms);

    const Words words = rig->ekg.words();
    const StreamSummary stream = summarise(words);
    ASSERT_TRUE(stream.wellFormed);
    const auto start = stream.findBlock(1);
    ASSERT_TRUE(start);
    const auto stop = stream.findBlock(1, *start + 1);
    ASSERT_TRUE(stop);
    EXPECT_EQ(stream.blocks[*stop], (Words{0, 4, 1, 0}));
    const StreamSummary after = summarise(Words(words.begin() + static_cast<long>(stream.blockPositions[*stop]), words.end()));
    EXPECT_TRUE(after.samples.empty());
    for (uint16_t word : stream.samples)
        ASSERT_EQ(word, 0x8181);
}

// The program ends while a recovery waits for this thread: the stop serves
// the waiting call, but no recovery step runs any more (no broadcast, no
// library loaded again, no device dialog).
TEST_F(DeviceFlowTest, ShutdownDuringARecoveryRunsNoRecoveryStep) {
    fake.state().initResults[1] = InitDeviceNotPresent;
    fake.state().initResultCount = 2;
    rig->scope.Startup();
    std::atomic_ref<uint8_t>(*fake.state().usbFailed).store(1);  // as the driver library does
    std::this_thread::sleep_for(100ms);  // the thread now waits for its first step
    rig->shutdown();  // returns although the thread may be waiting on this thread
    EXPECT_FALSE(rig->driver.LibraryLoaded());
    EXPECT_EQ(fake.state().initCalls, 1);
    EXPECT_TRUE(messages.texts().empty());
    EXPECT_EQ(rig->noticesOf(TScopeNotifyCode::snDeviceReinitialized, ScopeGroup::FlowManager), 0);
}

// After a recovery the fresh driver first hears the channels' ranges, so the
// levels of the forced push are converted in the right range.
TEST_F(DeviceFlowTest, RecoveryGivesTheRangesBeforeTheLevels) {
    rig->scope.Startup();
    rig->settingsChanged();
    ASSERT_TRUE(rig->startUpBlocksPassed());
    fake.forgetCalls();
    std::atomic_ref<uint8_t>(*fake.state().usbFailed).store(1);
    ASSERT_TRUE(serveUntil([&] {
        return rig->noticesOf(TScopeNotifyCode::snDeviceReinitialized, ScopeGroup::FlowManager) == 1 &&
               !fake.callsOf(GroundB).empty();
    }));
    std::vector<int32_t> order;
    for (int i = 0; i < fake.state().callCount; ++i) {
        const int32_t code = fake.state().calls[i].code;
        if (code == DensityChannelA || code == VerticalLevelChannelA)
            order.push_back(code);
    }
    ASSERT_GE(order.size(), 2u);
    EXPECT_EQ(order[0], DensityChannelA);
    EXPECT_EQ(order[1], VerticalLevelChannelA);
}

} // namespace
