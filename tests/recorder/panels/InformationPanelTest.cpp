#include "InformationPanelVornRM.h"
#include "ScopeUnderTest.h"
#include "UnitValueText.h"

#include <gtest/gtest.h>

namespace {

// Both channels' panels, as the main window wires them.
class InformationPanels : public WidgetTest {
protected:
    InformationPanels() {
        for (TUnitValueLabel* label : {&densityA, &densityB})
            label->setControlType(rm::kUnitDeflection);
        for (TUnitValueLabel* label : {&levelA, &levelB})
            label->setControlType(rm::kUnitVoltage);
        panelA.SetProbeA(&probeA);
        panelA.SetDensityA(&densityA);
        panelA.SetAcdcA(&acdcA);
        panelA.SetTriggerLevelVoltageA(&levelA);
        panelA.SetChannelColorA(&swatchA);
        panelB.SetProbeB(&probeB);
        panelB.SetDensityB(&densityB);
        panelB.SetAcdcB(&acdcB);
        panelB.SetTriggerLevelVoltageB(&levelB);
        panelB.SetChannelColorB(&swatchB);
        panelA.SetVirtualScope(&bus.scope);
        panelB.SetVirtualScope(&bus.scope);
    }

    static QColor swatchColor(const QWidget& swatch) { return swatch.palette().color(QPalette::Window); }

    ScopeUnderTest bus;
    QLabel probeA, probeB, acdcA, acdcB;
    TUnitValueLabel densityA, densityB, levelA, levelB;
    QWidget swatchA, swatchB;
    TInformationPanelAVornRM panelA;
    TInformationPanelBVornRM panelB;
};

TEST_F(InformationPanels, ShowTheChannelsInputAtStart) {
    bus.scope.SetSourceProbeA(2);
    bus.scope.SetDensityChannelA(5);  // 200 mV/div at 1:1
    bus.scope.SetSourceACDC_B(false);
    bus.scope.Notify(TScopeNotifyCode::snStart, ScopeGroup::All);

    EXPECT_EQ(probeA.text(), "  1:10");
    EXPECT_EQ(densityA.MyString(), "2V/d");
    EXPECT_EQ(acdcA.text(), "DC");
    EXPECT_EQ(levelA.MyString(), "200mV");
    EXPECT_EQ(probeB.text(), "    1:1");
    EXPECT_EQ(densityB.MyString(), "1V/d");
    EXPECT_EQ(acdcB.text(), "AC");
    EXPECT_EQ(levelB.MyString(), "2V");
    EXPECT_EQ(bus.takeHeard(), (Heard{{TScopeNotifyCode::snStart, ScopeGroup::All}}));  // the panels only display
}

TEST_F(InformationPanels, ChannelOffEmptiesItsTextsButKeepsTheTriggerLevel) {
    bus.settingsChanged();
    bus.scope.SetStatusChannelB(false);
    bus.scope.SetTriggerLevelB(-1500);
    bus.settingsChanged(ScopeGroup::ChannelPanel);
    EXPECT_EQ(probeB.text(), "");
    EXPECT_EQ(densityB.MyString(), "");
    EXPECT_EQ(acdcB.text(), "");
    EXPECT_EQ(levelB.MyString(), "2V");
    EXPECT_EQ(densityA.MyString(), "1V/d");  // channel A untouched

    bus.scope.SetStatusChannelB(true);
    bus.settingsChanged(ScopeGroup::ChannelPanel);
    EXPECT_EQ(probeB.text(), "    1:1");
    EXPECT_EQ(densityB.MyString(), "1V/d");
    EXPECT_EQ(acdcB.text(), "DC");
    EXPECT_EQ(levelB.MyString(), "-1.5V");
}

TEST_F(InformationPanels, SwatchesFollowTheColoursWhateverTheChannelState) {
    bus.scope.SetStatusChannelA(false);
    bus.scope.SetColorChannelA(0x0000FF);
    bus.scope.SetColorChannelB(0xFF0000);
    bus.settingsChanged(ScopeGroup::TimeBasePanel);
    EXPECT_EQ(swatchColor(swatchA), QColor(Qt::red));
    EXPECT_EQ(swatchColor(swatchB), QColor(Qt::blue));
}

TEST_F(InformationPanels, ProbeOutsideItsRangeShowsNoRatio) {
    bus.scope.SetSourceProbeA(0);
    bus.settingsChanged();
    EXPECT_EQ(probeA.text(), "");
}

} // namespace
