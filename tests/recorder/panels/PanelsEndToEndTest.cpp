// The input, trigger, file and record panels driven through their controls,
// with the real driver library and the simulated instrument behind them.
#include "ChannelControlsVornRM.h"
#include "DensityControlsVornRM.h"
#include "MeasurementRecordControlsVornRM.h"
#include "MessageBoxes.h"
#include "OpenSaveControlsVornRM.h"
#include "ProgramFolder.h"
#include "RecorderRig.h"
#include "ScopeUnderTest.h"
#include "SettingsVornRM.h"
#include "SourceControlsVornRM.h"
#include "TempFolder.h"
#include "TriggerControlsVornRM.h"
#include "UlmexSim.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using Words = std::vector<uint16_t>;

// Serves the worker threads until the blocks of the last change have passed
// the display: words came and then none for 50 ms.
void letTheBlocksPass(RecorderRig& rig) {
    for (int quiet = 0, seen = -1, round = 0; quiet < 5 && round < 200; ++round) {
        const int now = rig.roll.blocks() + rig.ekg.blocks();
        quiet = now == seen ? quiet + 1 : 0;
        seen = now;
        serveUntil([] { return false; }, std::chrono::milliseconds(10));
    }
}

// Makes `folder` current for as long as it lives.
class InFolder {
public:
    explicit InFolder(const std::string& folder) : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~InFolder() { std::filesystem::current_path(previous_); }

private:
    std::filesystem::path previous_;
};

class PanelsEndToEnd : public WidgetTest {
protected:
    PanelsEndToEnd() {
        UlmexSimReset();
        UlmexSimSetSignal(0, 0.0, 500.0, 10.0);
        UlmexSimSetSignal(1, 0.0, 0.0, 0.0);
        rig = std::make_unique<RecorderRig>(rm::programFolder());

        channels.SetChannelButtonA(&channelA);
        channels.SetChannelButtonB(&channelB);
        ranges.SetDensityUpButtonA(&rangeUpA);
        sources.SetProbeButtonA(&probeA);
        trigger.SetTriggerLevelEditA(&triggerLevelA);
        file.SetSaveFileEdit(&fileName);
        file.SetSaveButton(&save);
        record.SetMeasurementStart(&start);
        record.SetMeasurementStop(&stop);
        for (TWrapperComponentVornRM* panel : std::initializer_list<TWrapperComponentVornRM*>{
                 &ranges, &sources, &channels, &file, &trigger, &record})
            panel->SetVirtualScope(&rig->scope);

        rig->scope.SetVerticalLevelChannelA(2047);
        rig->scope.SetVerticalLevelChannelB(2047);
        rig->scope.Startup();
        rig->settingsChanged();  // the start-up blocks wait for the first take
    }
    ~PanelsEndToEnd() override {
        rig.reset();
        std::filesystem::remove(path);
    }

    rm::ScriptedMessages messages;
    TempFolder work;
    const std::string path = work.file("panels.rmd");
    std::unique_ptr<RecorderRig> rig;

    TOnOffButtonVorn channelA, channelB, save, start, stop;
    TChannelIndicationButtonVorn rangeUpA, probeA;
    TVoltageValueEditVorn triggerLevelA;
    QLineEdit fileName;
    TChannelControlsVornRM channels;
    TDensityControlsVornRM ranges;
    TSourceControlsVornRM sources;
    TTriggerControlsVornRM trigger;
    TOpenSaveControlsVornRM file;
    TMeasurementRecordControlsVornRM record;

    void checkFileSwitchDuringAMeasurement(const std::string& next, const std::function<void()>& nameTheNextFile);
};

TEST_F(PanelsEndToEnd, FileHoldsTheBlocksTheControlsImply) {
    ASSERT_TRUE(rig->driver.DeviceInitialized());
    ASSERT_TRUE(rig->startUpBlocksPassed());

    // The file first, then the settings, then one measurement.
    typeInto(fileName, QString::fromStdString(path));
    save.click();
    ASSERT_TRUE(rig->scope.IsFileOpen());

    rangeUpA.click();  // step 7 -> 8: 2000 mV/div
    letTheBlocksPass(*rig);
    probeA.click();    // 1:10: 20000 mV/div
    const int32_t levelBefore = rig->driver.TriggerLevelA();
    typeInto(triggerLevelA, "1.5");
    channelB.click();
    letTheBlocksPass(*rig);
    EXPECT_EQ(rig->scope.TriggerLevelA(), 1500);
    EXPECT_NE(rig->driver.TriggerLevelA(), levelBefore);
    EXPECT_FALSE(rig->driver.StatusChannelB());
    EXPECT_TRUE(rig->driver.StatusChannelA());

    start.click();
    ASSERT_TRUE(rig->scope.MeasurementStarted());
    EXPECT_FALSE(save.isEnabled());
    // Samples, not words: the blocks of the changes above are words too.
    ASSERT_TRUE(serveUntil([&] { return summarise(rig->ekg.words()).samples.size() > 20000; }));
    stop.click();
    ASSERT_TRUE(serveUntil([&] {
        const Words words = rig->ekg.words();
        return words.size() >= 4 && Words(words.end() - 4, words.end()) == Words{0, 4, 1, 0};
    }));
    EXPECT_TRUE(save.isEnabled());
    rig->shutdown();

    const Words words = readWords(path);
    const StreamSummary stream = summarise(words);
    ASSERT_TRUE(stream.wellFormed);
    ASSERT_FALSE(stream.blocks.empty());
    EXPECT_EQ(stream.blockPositions[0], 0u);  // saving began between measurements

    // Before the start: the probe and the two deflection changes of channel A.
    const std::optional<size_t> startAt = stream.findBlock(1);
    ASSERT_TRUE(startAt);
    std::vector<Words> before(stream.blocks.begin(), stream.blocks.begin() + static_cast<long>(*startAt));
    const auto has = [&](const Words& block) { return std::find(before.begin(), before.end(), block) != before.end(); };
    EXPECT_TRUE(has(Words{0, 5, 11, 2000, 0}));
    EXPECT_TRUE(has(Words{0, 4, 4, 2}));
    EXPECT_TRUE(has(Words{0, 5, 11, 20000, 0}));
    EXPECT_LT(std::find(before.begin(), before.end(), Words{0, 5, 11, 2000, 0}),
              std::find(before.begin(), before.end(), Words{0, 5, 11, 20000, 0}));
    for (const Words& block : before)
        EXPECT_NE(block[2], 5u) << "channel B's probe did not change";

    // The measurement: the start block, the whole header with what the
    // controls set, sample words only after it, the stop block last.
    ASSERT_EQ(stream.blocks[*startAt], (Words{0, 4, 1, 1}));
    ASSERT_GE(stream.blocks.size(), *startAt + 13);
    size_t position = stream.blockPositions[*startAt] + 4;
    for (uint16_t type = 2; type <= 12; ++type) {
        const Words& block = stream.blocks[*startAt + type - 1];
        EXPECT_EQ(block[2], type);
        EXPECT_EQ(stream.blockPositions[*startAt + type - 1], position);
        position += block.size();
    }
    EXPECT_EQ(stream.blocks[*startAt + 3], (Words{0, 4, 4, 2}));
    EXPECT_EQ(stream.blocks[*startAt + 4], (Words{0, 4, 5, 1}));
    EXPECT_EQ(stream.blocks[*startAt + 10], (Words{0, 5, 11, 20000, 0}));
    EXPECT_EQ(stream.blocks[*startAt + 11], (Words{0, 5, 12, 1000, 0}));
    EXPECT_TRUE(summarise(Words(words.begin(), words.begin() + static_cast<long>(position))).samples.empty());
    EXPECT_GT(stream.samples.size(), 20000u);
    EXPECT_EQ(stream.blocks.back(), (Words{0, 4, 1, 0}));
    EXPECT_EQ(stream.blockPositions.back(), words.size() - 4);
}

// "Load saved" during a measurement names "sdata.rmd": the measurement goes
// on into the file the panel opened until its stop block, the next one goes
// to "sdata.rmd"; the two files hold every word the display received since
// saving began, in order, each once.
// A new file name given while a measurement is being saved (`nameTheNextFile`
// names `next`): the measurement ends in the open file, the next one fills
// the named file, and together they hold every word shown since saving began.
void PanelsEndToEnd::checkFileSwitchDuringAMeasurement(const std::string& next,
                                                       const std::function<void()>& nameTheNextFile) {
    ASSERT_TRUE(rig->driver.DeviceInitialized());
    ASSERT_TRUE(rig->startUpBlocksPassed());
    typeInto(fileName, QString::fromStdString(path));
    save.click();
    ASSERT_TRUE(rig->scope.IsFileOpen());
    const size_t shownBefore = rig->ekg.words().size();
    const auto measure = [&](size_t samples) {
        start.click();
        ASSERT_TRUE(rig->scope.MeasurementStarted());
        ASSERT_TRUE(serveUntil([&] { return summarise(rig->ekg.words()).samples.size() > samples; }));
    };
    const auto stopMeasuring = [&] {
        stop.click();
        ASSERT_TRUE(serveUntil([&] {
            const Words words = rig->ekg.words();
            return Words(words.end() - 4, words.end()) == Words{0, 4, 1, 0};
        }));
    };

    ASSERT_NO_FATAL_FAILURE(measure(5000));
    nameTheNextFile();
    EXPECT_EQ(rig->scope.GetFileName(), next);
    EXPECT_EQ(fileName.text().toStdString(), next);
    const size_t samplesAtTheName = summarise(rig->ekg.words()).samples.size();
    ASSERT_TRUE(serveUntil([&] { return summarise(rig->ekg.words()).samples.size() > samplesAtTheName + 5000; }));
    EXPECT_FALSE(std::filesystem::exists(next));
    ASSERT_NO_FATAL_FAILURE(stopMeasuring());
    ASSERT_NO_FATAL_FAILURE(measure(summarise(rig->ekg.words()).samples.size() + 5000));
    ASSERT_NO_FATAL_FAILURE(stopMeasuring());
    rig->shutdown();

    const Words first = readWords(path);
    const Words second = readWords(next);
    for (const Words* file : {&first, &second}) {
        const StreamSummary stream = summarise(*file);
        ASSERT_TRUE(stream.wellFormed);
        // One measurement each, from its start block to its stop block.
        const std::optional<size_t> startAt = stream.findBlock(1);
        ASSERT_TRUE(startAt);
        EXPECT_EQ(stream.blocks[*startAt], (Words{0, 4, 1, 1}));
        EXPECT_EQ(stream.blocks.back(), (Words{0, 4, 1, 0}));
        EXPECT_EQ(stream.blockPositions.back(), file->size() - 4);
        EXPECT_EQ(stream.findBlock(1, *startAt + 1), stream.blocks.size() - 1);
        EXPECT_TRUE(summarise(Words(file->begin(), file->begin() + static_cast<long>(stream.blockPositions[*startAt])))
                        .samples.empty());
    }
    EXPECT_GT(summarise(first).samples.size(), 10000u);
    EXPECT_GT(summarise(second).samples.size(), 5000u);
    const Words shown = rig->ekg.words();
    Words saved = first;
    saved.insert(saved.end(), second.begin(), second.end());
    EXPECT_TRUE(Words(shown.begin() + static_cast<long>(shownBefore), shown.end()) == saved)
        << "shown " << shown.size() - shownBefore << " words since saving began, saved " << saved.size();
}

TEST_F(PanelsEndToEnd, ALoadDuringAMeasurementSwitchesTheFileAtTheStop) {
    const InFolder folder(work.file(""));  // the settings load names "sdata.rmd" there
    TSettingsVornRM settings;
    settings.SetVirtualScope(&rig->scope);
    settings.SaveToFile(TSettingsVornRM::kUserFileName);
    checkFileSwitchDuringAMeasurement(TSettingsVornRM::kDataFileName, [&] {
        // The menu's "Load saved": code 9, then code 2.
        rig->scope.Notify(TScopeNotifyCode::snLoadUserSettings, ScopeGroup::MainWindow);
        rig->scope.Notify(TScopeNotifyCode::snSettingsChanged, ScopeGroup::MainWindow);
    });
    settings.SetVirtualScope(nullptr);
}

TEST_F(PanelsEndToEnd, ANameTypedDuringAMeasurementIsTheNextMeasurementsFile) {
    const std::string next = work.file("typed.rmd");
    checkFileSwitchDuringAMeasurement(next, [&] { typeInto(fileName, QString::fromStdString(next)); });
}

} // namespace
