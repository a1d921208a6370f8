#include "DensityControlsVornRM.h"
#include "ScopeUnderTest.h"
#include "SourceControlsVornRM.h"
#include "WinColor.h"

#include <gtest/gtest.h>

namespace {

class SourcePanel : public WidgetTest {
protected:
    SourcePanel() {
        panel.SetACDCButtonA(&acdcA);
        panel.SetACDCButtonB(&acdcB);
        panel.SetProbeButtonA(&probeA);
        panel.SetProbeButtonB(&probeB);
        panel.SetGroundA(&groundA);
        panel.SetGroundB(&groundB);
        panel.SetVirtualScope(&bus.scope);
        bus.settingsChanged();
        bus.takeHeard();
    }

    ScopeUnderTest bus;
    TChannelIndicationButtonVorn acdcA, acdcB, probeA, probeB, groundA, groundB;
    TSourceControlsVornRM panel;
};

TEST_F(SourcePanel, FourProbeClicksStepThroughTheRatiosAndBack) {
    EXPECT_EQ(probeA.text(), "    1:1");
    const char* captions[] = {"  1:10", "1:100", "1:1000", "    1:1"};
    for (int click = 0; click < 4; ++click) {
        probeA.click();
        EXPECT_EQ(bus.scope.SourceProbeA(), (click + 1) % 4 + 1);
        EXPECT_EQ(probeA.text(), captions[click]);
        EXPECT_EQ(bus.takeHeard(), settingsChangedBy(ScopeGroup::SourcePanel));
    }
    EXPECT_EQ(bus.scope.SourceProbeB(), 1);
    probeB.click();
    EXPECT_EQ(bus.scope.SourceProbeB(), 2);
    EXPECT_EQ(probeB.text(), "  1:10");
}

TEST_F(SourcePanel, ProbeOutsideItsRangeGivesAnEmptyCaption) {
    bus.scope.SetSourceProbeB(7);
    bus.settingsChanged();
    EXPECT_EQ(probeB.text(), "");
    EXPECT_EQ(probeA.text(), "    1:1");
}

TEST_F(SourcePanel, CouplingTogglesAndFollowsALoadWhileGroundKeepsItsClick) {
    EXPECT_TRUE(acdcA.isChecked());  // DC at start
    acdcA.click();
    EXPECT_FALSE(bus.scope.SourceACDC_A());
    EXPECT_FALSE(acdcA.isChecked());
    EXPECT_TRUE(bus.scope.SourceACDC_B());

    groundB.click();
    EXPECT_TRUE(bus.scope.GroundB());
    EXPECT_TRUE(groundB.isChecked());
    EXPECT_EQ(bus.takeHeard(), settingsChangedBy(ScopeGroup::SourcePanel, 2));

    // A settings load (defaults restored): coupling follows, ground does not.
    bus.scope.SetSourceACDC_A(true);
    bus.scope.SetSourceACDC_B(false);
    bus.scope.SetGroundB(false);
    bus.scope.SetGroundA(true);
    bus.settingsChanged(ScopeGroup::Settings);
    EXPECT_TRUE(acdcA.isChecked());
    EXPECT_FALSE(acdcB.isChecked());
    EXPECT_TRUE(groundB.isChecked());
    EXPECT_FALSE(groundA.isChecked());

    groundB.click();  // up again
    EXPECT_FALSE(bus.scope.GroundB());
}

TEST_F(SourcePanel, ButtonsWearTheirChannelsColour) {
    bus.scope.SetColorChannelA(0x0000FF);
    bus.scope.SetColorChannelB(0xFF0000);
    bus.settingsChanged(ScopeGroup::TimeBasePanel);
    for (auto* button : {&acdcA, &probeA, &groundA})
        EXPECT_EQ(button->ChannelColor(), QColor(Qt::red));
    for (auto* button : {&acdcB, &probeB, &groundB})
        EXPECT_EQ(button->ChannelColor(), QColor(Qt::blue));
}

class RangePanel : public WidgetTest {
protected:
    RangePanel() {
        panel.SetDensityUpButtonA(&upA);
        panel.SetDensityUpButtonB(&upB);
        panel.SetDensityDownButtonA(&downA);
        panel.SetDensityDownButtonB(&downB);
        panel.SetVirtualScope(&bus.scope);
        bus.takeHeard();
    }

    ScopeUnderTest bus;
    TChannelIndicationButtonVorn upA, upB, downA, downB;
    TDensityControlsVornRM panel;
};

TEST_F(RangePanel, StepsStayInRangeAndEveryClickIsAnnounced) {
    bus.scope.SetDensityChannelA(8);
    upA.click();
    EXPECT_EQ(bus.scope.DensityChannelA(), 9);
    upA.click();
    EXPECT_EQ(bus.scope.DensityChannelA(), 9);
    EXPECT_EQ(bus.takeHeard(), settingsChangedBy(ScopeGroup::RangePanel, 2));

    bus.scope.SetDensityChannelB(2);
    downB.click();
    downB.click();
    EXPECT_EQ(bus.scope.DensityChannelB(), 1);
    EXPECT_EQ(bus.takeHeard(), settingsChangedBy(ScopeGroup::RangePanel, 2));

    downA.click();
    upB.click();
    EXPECT_EQ(bus.scope.DensityChannelA(), 8);
    EXPECT_EQ(bus.scope.DensityChannelB(), 2);
}

TEST_F(RangePanel, ColoursFollowEachRefresh) {
    bus.scope.SetColorChannelB(0x00FF00);
    bus.settingsChanged();
    EXPECT_EQ(upB.ChannelColor(), QColor(Qt::green));
    EXPECT_EQ(downB.ChannelColor(), QColor(Qt::green));
    EXPECT_EQ(upA.ChannelColor(), rm::toQColor(0x40FF00));
}

TEST_F(RangePanel, ReplacedButtonNoLongerReachesTheBinder) {
    TChannelIndicationButtonVorn other;
    panel.SetDensityUpButtonA(&other);
    const int before = bus.scope.DensityChannelA();
    upA.click();
    EXPECT_EQ(bus.scope.DensityChannelA(), before);
    EXPECT_TRUE(bus.takeHeard().empty());
    other.click();
    EXPECT_EQ(bus.scope.DensityChannelA(), before + 1);
}

} // namespace
