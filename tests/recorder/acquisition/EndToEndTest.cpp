// The engine with the real driver library and the simulated instrument (or
// without the driver library, in demo mode), saving to a data file.
#include "MessageBoxes.h"
#include "ProgramFolder.h"
#include "RateTables.h"
#include "RecorderRig.h"
#include "UlmexSim.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <tuple>
#include <filesystem>

#include <unistd.h>

namespace {

using Words = std::vector<uint16_t>;

void simulatedSignals() {
    UlmexSimSetSignal(0, 0.0, 0.0, 0.0);
    UlmexSimSetSignal(1, 0.0, 1000.0, 5.0);  // 1000 mV at 1000 mV/div: 32 codes
}

// The scripted answers, and what the instrument does while a box is open (a
// user plugging it in again before answering, say).
class DeviceDialogs : public rm::ScriptedMessages {
public:
    rm::MsgResult show(const std::string& text, const std::string& caption, rm::MsgButtons buttons,
                       rm::MsgIcon icon) override {
        if (whileShown)
            whileShown();
        return ScriptedMessages::show(text, caption, buttons, icon);
    }
    std::function<void()> whileShown;
};

// While the driver library is away the instrument stays away: the retry
// finds no device.
void instrumentStaysAwayAtTheRetry(TVirtualScopeVornRM& scope, const void* owner) {
    scope.RegisterListener(98, owner, [](TScopeNotifyCode code, int&) {
        if (code == TScopeNotifyCode::snDeviceReinitialized) {
            UlmexSimReset();
            UlmexSimSetScenario(ULMEX_NOT_PRESENT, 0, 0);
        }
    });
}

void loseTheInstrumentAfter20Reads() {
    UlmexSimSetScenario(ULMEX_LOST_AFTER_READS, 20, ULMEX_LOST_CALLBACK | ULMEX_LOST_BLOCK);
}

class EndToEndTest : public ::testing::Test {
protected:
    EndToEndTest() {
        UlmexSimReset();
        simulatedSignals();
        std::filesystem::remove(path);
    }
    ~EndToEndTest() override { std::filesystem::remove(path); }

    // SMPSetting 10: 100,000 samples per second.
    void makeRig(const std::string& driverFolder, int smpSetting = 10) {
        rig = std::make_unique<RecorderRig>(driverFolder);
        rig->scope.SetVerticalLevelChannelA(2047);
        rig->scope.SetVerticalLevelChannelB(2047);
        rig->scope.SetSMPSetting(smpSetting);
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

    DeviceDialogs messages;
    // One file per test: ctest runs them side by side.
    static std::string testFileName() {
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '_');  // a parameterised test's index
        return "acq_" + std::to_string(getpid()) + "_" + name + ".rmd";
    }
    const std::string path = (std::filesystem::temp_directory_path() / testFileName()).string();
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

// A defined length counts in milliseconds: the measurement holds the samples
// of that time at the rate, and of the last device block only what crosses it.
class DefinedLengthTest : public EndToEndTest,
                          public ::testing::WithParamInterface<std::tuple<int, uint32_t>> {};

TEST_P(DefinedLengthTest, RecordsTheSamplesOfItsMilliseconds) {
    const auto [smpSetting, milliseconds] = GetParam();
    makeRig(rm::programFolder(), smpSetting);
    ASSERT_TRUE(rig->driver.DeviceInitialized());
    startMeasurement(milliseconds);
    ASSERT_TRUE(serveUntil([&] { return measurementEnded(); }));
    const StreamSummary file = checkedMeasurementFile();

    const int64_t target = int64_t{rm::kSamplesPerSecondTable[smpSetting]} * milliseconds / 1000;
    const auto words = static_cast<int64_t>(file.samples.size()) + file.overrunMarks;
    EXPECT_GE(words, target);
    EXPECT_LT(words, target + kSampleBlockWords);
}

INSTANTIATE_TEST_SUITE_P(AtTwoRates, DefinedLengthTest,
                         ::testing::Combine(::testing::Values(10, 15),  // 100,000 and 5,000,000 per second
                                            ::testing::Values(2500u, 900u, 1u)));

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

// The instrument is lost during a saved measurement and plugged in again
// before the user answers "Retry?" with Yes: the measurement goes on. The
// file holds its start and header, the samples before the loss, the
// recovery's parameter blocks, the samples after it and its stop block.
TEST_F(EndToEndTest, ALostInstrumentFoundAgainAtTheRetryGoesOnRecording) {
    makeRig(rm::programFolder());
    ASSERT_TRUE(rig->driver.DeviceInitialized());
    instrumentStaysAwayAtTheRetry(rig->scope, &path);
    messages.whileShown = [] {
        UlmexSimReset();
        simulatedSignals();
    };
    messages.queueAnswer(rm::MsgResult::Yes);
    loseTheInstrumentAfter20Reads();
    startMeasurement(0);
    ASSERT_TRUE(serveUntil([&] {
        return rig->noticesOf(TScopeNotifyCode::snDeviceReinitialized, ScopeGroup::FlowManager) == 1 &&
               rig->driver.DeviceInitialized() && UlmexSimGeneratedWordsRead() > 50000;
    }));
    EXPECT_TRUE(rig->scope.MeasurementStarted());
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Device not present. Retry?"});
    rig->scope.UnregisterListener(&path);
    rig->scope.SetMeasurementStarted(false);
    rig->settingsChanged();
    ASSERT_TRUE(serveUntil([&] { return measurementEnded(); }));
    const StreamSummary file = checkedMeasurementFile();

    ASSERT_GT(file.blocks.size(), 13u);  // start, header, the recovery's blocks, stop
    const size_t headerEnd = file.blockPositions[11] + file.blocks[11].size();
    const size_t firstRecovery = file.blockPositions[12];
    const size_t lastRecovery = file.blocks.size() - 2;
    const size_t recoveryEnd = file.blockPositions[lastRecovery] + file.blocks[lastRecovery].size();
    EXPECT_GT(firstRecovery, headerEnd);                               // samples before the loss
    EXPECT_GT(file.blockPositions.back(), recoveryEnd + 10000);        // and after the recovery
    EXPECT_EQ(file.findBlock(1, 1), file.blocks.size() - 1);           // one measurement, whole
    EXPECT_TRUE(file.findBlock(10, 12).has_value());                   // the rate sent again
}

// "Device not present. Retry?" answered No: the measurement ends with its
// stop block right after the instrument's last samples, the user is told,
// and the demo mode that follows adds no sample to the file.
TEST_F(EndToEndTest, ALostInstrumentNotFoundAgainEndsTheMeasurementBeforeTheDemo) {
    makeRig(rm::programFolder());
    ASSERT_TRUE(rig->driver.DeviceInitialized());
    instrumentStaysAwayAtTheRetry(rig->scope, &path);
    messages.queueAnswer(rm::MsgResult::No);
    loseTheInstrumentAfter20Reads();
    startMeasurement(0);
    ASSERT_TRUE(serveUntil([&] {
        QCoreApplication::processEvents();  // the second box is queued for this thread
        return messages.texts().size() == 2;
    }));
    EXPECT_EQ(messages.texts(), (std::vector<std::string>{"Device not present. Retry?",
                                                          "The device was lost: the measurement has ended."}));
    EXPECT_TRUE(rig->driver.DemoMode());
    EXPECT_FALSE(rig->scope.MeasurementStarted());
    serveUntil([] { return false; }, std::chrono::milliseconds(300));  // the demo runs
    rig->scope.UnregisterListener(&path);
    rig->shutdown();

    const Words words = readWords(path);
    const StreamSummary file = summarise(words);
    ASSERT_TRUE(file.wellFormed);
    ASSERT_GE(file.blocks.size(), 13u);
    EXPECT_EQ(file.blocks[0], (Words{0, 4, 1, 1}));
    const auto stop = file.findBlock(1, 1);
    ASSERT_TRUE(stop);
    EXPECT_EQ(file.blocks[*stop], (Words{0, 4, 1, 0}));
    EXPECT_GT(file.samples.size(), 0u);
    EXPECT_TRUE(summarise(Words(words.begin() + static_cast<long>(file.blockPositions[*stop]), words.end()))
                    .samples.empty());
}

// The deflection block after a probe change carries the probe: the viewer
// scales what follows by it.
TEST_F(EndToEndTest, ProbeChangeIsFollowedByTheDeflectionIncludingTheProbe) {
    makeRig(rm::programFolder());
    ASSERT_TRUE(rig->driver.DeviceInitialized());
    rig->scope.SetSourceProbeA(2);
    rig->settingsChanged();
    ASSERT_TRUE(serveUntil([&] { return summarise(rig->ekg.words()).findBlock(11).has_value(); }));
    rig->shutdown();

    const StreamSummary file = summarise(readWords(path));
    ASSERT_TRUE(file.wellFormed);
    const auto probe = file.findBlock(4);
    ASSERT_TRUE(probe);
    EXPECT_EQ(file.blocks[*probe], (Words{0, 4, 4, 2}));
    const auto deflection = file.findBlock(11, *probe);
    ASSERT_TRUE(deflection);
    EXPECT_EQ(*deflection, *probe + 1);
    EXPECT_EQ(file.blocks[*deflection], (Words{0, 5, 11, 10000, 0}));  // 1000 mV/div x 10
}

// A device loss and its recovery leave the vertical levels where they were:
// in the scope, and in every level block of the file.
TEST_F(EndToEndTest, RecoveryKeepsTheOffsetsAndZeroLevels) {
    makeRig(rm::programFolder());
    ASSERT_TRUE(rig->driver.DeviceInitialized());
    const int levelA = rig->scope.VerticalLevelChannelA(), levelB = rig->scope.VerticalLevelChannelB();
    const int zeroA = rig->scope.ZeroChannelA(), zeroB = rig->scope.ZeroChannelB();
    rig->scope.RegisterListener(98, &path, [](TScopeNotifyCode code, int&) {
        if (code == TScopeNotifyCode::snDeviceReinitialized) {
            UlmexSimReset();
            simulatedSignals();
        }
    });
    loseTheInstrumentAfter20Reads();
    startMeasurement(0);
    ASSERT_TRUE(serveUntil([&] {
        return rig->noticesOf(TScopeNotifyCode::snDeviceReinitialized, ScopeGroup::FlowManager) == 1 &&
               UlmexSimGeneratedWordsRead() > 10000;
    }));
    rig->scope.SetMeasurementStarted(false);
    rig->settingsChanged();
    ASSERT_TRUE(serveUntil([&] { return measurementEnded(); }));
    rig->scope.UnregisterListener(&path);
    EXPECT_EQ(rig->scope.VerticalLevelChannelA(), levelA);
    EXPECT_EQ(rig->scope.VerticalLevelChannelB(), levelB);
    EXPECT_EQ(rig->scope.ZeroChannelA(), zeroA);
    EXPECT_EQ(rig->scope.ZeroChannelB(), zeroB);
    rig->shutdown();

    const StreamSummary file = summarise(readWords(path));
    ASSERT_TRUE(file.wellFormed);
    int levelBlocks = 0;
    for (const Words& block : file.blocks) {
        if (block[2] == 2 || block[2] == 3) {
            const bool a = block[2] == 2;
            EXPECT_EQ(block[3], 4095 - (a ? levelA : levelB));
            EXPECT_EQ(static_cast<int16_t>(block[4]), a ? zeroA : zeroB);
            ++levelBlocks;
        }
    }
    EXPECT_GE(levelBlocks, 4);  // the header's and the recovery's
}

// A demo recording carries the zero level the demo draws 0 V at, a negative
// one (0 V below the screen) as 16-bit two's complement.
TEST_F(EndToEndTest, DemoRecordingCarriesTheDemosZeroLevels) {
    messages.queueAnswer(rm::MsgResult::Yes);
    makeRig("/nonexistent");
    ASSERT_TRUE(rig->driver.DemoMode());
    rig->scope.SetVerticalLevelChannelB(3000);
    rig->scope.SetAmplitudeA(0);
    rig->scope.SetAmplitudeB(0);
    rig->settingsChanged();
    ASSERT_TRUE(serveUntil([&] { return rig->scope.ZeroChannelB() == -110; }));
    startMeasurement(1000);
    ASSERT_TRUE(serveUntil([&] { return measurementEnded(); }));
    const StreamSummary file = checkedMeasurementFile();
    ASSERT_GE(file.blocks.size(), 3u);
    EXPECT_EQ(file.blocks[1], (Words{0, 6, 2, 2048, 128, 0}));
    EXPECT_EQ(file.blocks[2], (Words{0, 6, 3, 1095, 0xFF92, 0}));  // -110
    ASSERT_FALSE(file.samples.empty());
    for (uint16_t word : file.samples)
        ASSERT_EQ(word & 0xFF, 128);
}

// With 0 V above the screen on A and below it on B the device's zero levels
// lie outside 0..255, and the file holds them as they are.
TEST_F(EndToEndTest, ZeroLevelsOffTheScreenReachTheFileAsTheyAre) {
    makeRig(rm::programFolder());
    ASSERT_TRUE(rig->driver.DeviceInitialized());
    rig->scope.SetVerticalLevelChannelA(1);
    rig->scope.SetVerticalLevelChannelB(4095);
    rig->settingsChanged();
    ASSERT_TRUE(serveUntil([&] { return rig->scope.ZeroChannelA() > 255 && rig->scope.ZeroChannelB() < 0; }));
    startMeasurement(1000);
    ASSERT_TRUE(serveUntil([&] { return measurementEnded(); }));
    const int zeroA = rig->scope.ZeroChannelA(), zeroB = rig->scope.ZeroChannelB();
    const StreamSummary file = checkedMeasurementFile();
    ASSERT_GE(file.blocks.size(), 3u);
    EXPECT_EQ(file.blocks[1][3], 4094);
    EXPECT_EQ(static_cast<int16_t>(file.blocks[1][4]), zeroA);
    EXPECT_EQ(file.blocks[2][3], 0);
    EXPECT_EQ(static_cast<int16_t>(file.blocks[2][4]), zeroB);
}

} // namespace
