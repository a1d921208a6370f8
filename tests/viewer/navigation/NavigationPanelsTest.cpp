#include "ChannelsControlsVornRMPrv.h"
#include "OnOffButton.h"
#include "SweepControlVornRMPrv.h"
#include "WidgetTestApp.h"
#include "ZoomControlsVornRMPrv.h"

#include <QPushButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace rm::viewer {
namespace {

// What the binders broadcast.
struct Heard : IEngineListener {
    explicit Heard(TPreviewEnginePelkRM& engine) : engine(engine) { engine.RegisterListener(kGroupAll, this); }
    void EngineNotify(int code, int group) override {
        if (code == enShutdown)
            engine.UnregisterListener(kGroupAll, this);
        else
            codes.push_back({code, group});
    }
    TPreviewEnginePelkRM& engine;
    std::vector<std::pair<int, int>> codes;
};

class Panels : public ::testing::Test {
protected:
    Panels() { widgetTestApp(); }
    void SetUp() override { engine.Startup(); }
    void TearDown() override { engine.Shutdown(); }
    // A file's index has loaded: the panels refresh.
    void fileOpened() {
        engine.NewFileOpened = true;
        engine.Notify(enFileNameChanged, kGroupOpenPanel);
    }

    TPreviewEnginePelkRM engine;
    Heard heard{engine};
};

class ZoomPanel : public Panels {
protected:
    void SetUp() override {
        zoom.SetIncreaseZoomButton(&plus);
        zoom.SetDecreaseZoomButton(&minus);
        zoom.SetZoomActiveButton(&onOff);
        zoom.SetPreviewEngine(&engine);
        Panels::SetUp();
        engine.SetActualPointsCount(800);
    }
    QPushButton plus{"+"}, minus{"-"};
    TOnOffButtonVorn onOff;
    TZoomControlsVornRMPrv zoom;
};

TEST_F(ZoomPanel, ButtonsWaitForAFile) {
    EXPECT_FALSE(plus.isEnabled());
    EXPECT_FALSE(minus.isEnabled());
    EXPECT_FALSE(onOff.isEnabled());
    EXPECT_EQ(onOff.text(), "1:1");
    EXPECT_TRUE(onOff.isChecked());
    fileOpened();
    EXPECT_TRUE(plus.isEnabled());
    EXPECT_TRUE(minus.isEnabled());
    EXPECT_TRUE(onOff.isEnabled());
}

TEST_F(ZoomPanel, PlusDoublesAndMinusHalvesWithinTheLimits) {
    fileOpened();
    minus.click();
    EXPECT_EQ(engine.SamplesPerPoint(), 1u);
    EXPECT_EQ(onOff.text(), "1:1");
    plus.click();
    EXPECT_EQ(onOff.text(), "2:1");
    EXPECT_EQ(engine.SamplesPerScreen(), 1600);
    EXPECT_EQ(heard.codes.back(), std::make_pair(int(enZoomChanged), kGroupZoomPanel));
    for (int i = 0; i < 20; ++i)
        plus.click();
    EXPECT_EQ(engine.SamplesPerPoint(), 0x20000u);
    EXPECT_EQ(onOff.text(), "131072:1");
    minus.click();
    EXPECT_EQ(onOff.text(), "65536:1");
}

TEST_F(ZoomPanel, SwitchingZoomOffShowsOneToOne) {
    fileOpened();
    plus.click();
    plus.click();
    onOff.click();
    EXPECT_FALSE(engine.ZoomActive());
    EXPECT_FALSE(onOff.isChecked());
    EXPECT_EQ(onOff.text(), "1:1");
    // While zoom is off "+" doubles the 1 the engine reads.
    plus.click();
    EXPECT_EQ(onOff.text(), "1:1");
    onOff.click();
    EXPECT_TRUE(onOff.isChecked());
    EXPECT_EQ(onOff.text(), "2:1");
    EXPECT_EQ(std::count(heard.codes.begin(), heard.codes.end(), std::make_pair(int(enZoomChanged), kGroupZoomPanel)),
              5);
}

class ChannelsPanel : public Panels {
protected:
    void SetUp() override {
        channels.SetChannelButtonA(&a);
        channels.SetChannelButtonB(&b);
        channels.SetChannelButtonC(&c);
        channels.SetChannelButtonD(&d);
        channels.SetPreviewEngine(&engine);
        Panels::SetUp();
    }
    TOnOffButtonVorn a, b, c, d;
    TChannelsControlsVornRMPrv channels;
};

TEST_F(ChannelsPanel, EachButtonTogglesItsChannel) {
    for (TOnOffButtonVorn* button : {&a, &b, &c, &d})
        EXPECT_FALSE(button->isEnabled());
    EXPECT_TRUE(a.isChecked());
    EXPECT_TRUE(b.isChecked());
    EXPECT_FALSE(c.isChecked());
    fileOpened();
    for (TOnOffButtonVorn* button : {&a, &b, &c, &d})
        EXPECT_TRUE(button->isEnabled());
    a.click();
    EXPECT_FALSE(engine.ChannelA);
    EXPECT_FALSE(a.isChecked());
    EXPECT_EQ(heard.codes.back(), std::make_pair(int(enChannelsChanged), kGroupChannelsPanel));
    d.click();
    EXPECT_TRUE(engine.ChannelD);
    EXPECT_TRUE(d.isChecked());
    a.click();
    EXPECT_TRUE(engine.ChannelA);
    EXPECT_TRUE(engine.ChannelB);
    EXPECT_FALSE(engine.ChannelC);
}

class SweepPanel : public Panels {
protected:
    void SetUp() override {
        sweep.SetMakeMinimumButton(&minimum);
        sweep.SetMakeMaximumButton(&maximum);
        sweep.SetMakeAvgButton(&average);
        sweep.SetSingleButton(&single);
        sweep.SetCalcButton(&calc);
        sweep.SetPreviewEngine(&engine);
        Panels::SetUp();
    }
    TOnOffButtonVorn minimum, maximum, average, single, calc;
    TSweepControlVornRMPrv sweep;
};

TEST_F(SweepPanel, TheMeanExcludesTheOthersAndOneIsAlwaysOn) {
    for (TOnOffButtonVorn* button : {&minimum, &maximum, &average, &single, &calc})
        EXPECT_FALSE(button->isEnabled());
    fileOpened();
    EXPECT_TRUE(average.isChecked());
    EXPECT_TRUE(calc.isChecked());
    maximum.click();
    minimum.click();
    EXPECT_TRUE(engine.MakeMaximum && engine.MakeMinimum);
    EXPECT_FALSE(engine.MakeAvg);
    EXPECT_FALSE(average.isChecked());
    minimum.click();
    maximum.click();  // maximum off while minimum and mean are off: the mean comes on
    EXPECT_FALSE(engine.MakeMaximum || engine.MakeMinimum);
    EXPECT_TRUE(engine.MakeAvg);
    EXPECT_TRUE(average.isChecked());
    maximum.click();
    average.click();
    EXPECT_TRUE(engine.MakeAvg);
    EXPECT_FALSE(engine.MakeMaximum);
    average.click();  // the mean stays on
    EXPECT_TRUE(average.isChecked());
    EXPECT_EQ(heard.codes.back(), std::make_pair(int(enSweepChanged), kGroupSweepPanel));
}

TEST_F(SweepPanel, SingleModeDisablesTheAggregationButtonsKeepingTheirStates) {
    fileOpened();
    maximum.click();
    minimum.click();
    single.click();
    EXPECT_TRUE(engine.SingleMode);
    EXPECT_TRUE(single.isChecked());
    EXPECT_FALSE(calc.isChecked());
    for (TOnOffButtonVorn* button : {&minimum, &maximum, &average})
        EXPECT_FALSE(button->isEnabled());
    EXPECT_TRUE(minimum.isChecked());
    EXPECT_TRUE(maximum.isChecked());
    EXPECT_FALSE(average.isChecked());
    EXPECT_TRUE(single.isEnabled() && calc.isEnabled());
    calc.click();
    EXPECT_FALSE(engine.SingleMode);
    EXPECT_TRUE(calc.isChecked());
    EXPECT_FALSE(single.isChecked());
    EXPECT_TRUE(minimum.isEnabled() && maximum.isEnabled() && average.isEnabled());
}

} // namespace
} // namespace rm::viewer
