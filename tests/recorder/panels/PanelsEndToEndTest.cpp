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
#include "SourceControlsVornRM.h"
#include "TempFolder.h"
#include "TriggerControlsVornRM.h"
#include "UlmexSim.h"

#include <gtest/gtest.h>

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
    EXPECT_FALSE(fileName.isEnabled());
    ASSERT_TRUE(serveUntil([&] { return rig->ekg.words().size() > 20000; }));
    stop.click();
    ASSERT_TRUE(serveUntil([&] {
        const Words words = rig->ekg.words();
        return words.size() >= 4 && Words(words.end() - 4, words.end()) == Words{0, 4, 1, 0};
    }));
    EXPECT_TRUE(fileName.isEnabled());
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

} // namespace
