#include "ArmControlsVornRM.h"
#include "ChannelControlsVornRM.h"
#include "ScopeUnderTest.h"
#include "TriggerControlsVornRM.h"

#include <gtest/gtest.h>

namespace {

class ChannelPanel : public WidgetTest {
protected:
    ScopeUnderTest bus;
    TOnOffButtonVorn buttonA, buttonB;
    TChannelControlsVornRM panel;
};

TEST_F(ChannelPanel, ButtonsSwitchTheChannelsAndFollowTheScope) {
    panel.SetChannelButtonA(&buttonA);
    panel.SetChannelButtonB(&buttonB);
    panel.SetVirtualScope(&bus.scope);
    bus.scope.Notify(TScopeNotifyCode::snStart, ScopeGroup::All);
    EXPECT_TRUE(buttonA.isChecked());
    EXPECT_TRUE(buttonB.isChecked());
    bus.takeHeard();

    buttonB.click();
    EXPECT_FALSE(bus.scope.StatusChannelB());
    EXPECT_FALSE(buttonB.isChecked());
    EXPECT_TRUE(bus.scope.StatusChannelA());
    EXPECT_EQ(bus.takeHeard(), settingsChangedBy(ScopeGroup::ChannelPanel));

    bus.scope.SetStatusChannelA(false);
    bus.settingsChanged(ScopeGroup::Settings);
    EXPECT_FALSE(buttonA.isChecked());
}

class TriggerPanel : public WidgetTest {
protected:
    TriggerPanel() {
        panel.SetTriggerSourceA(&sourceA);
        panel.SetTriggerSourceB(&sourceB);
        panel.SetTrigUnderOverA(&underOverA);
        panel.SetTrigUnderOverB(&underOverB);
        panel.SetTrigRelation(&relation);
        panel.SetTriggerLevelEditA(&levelA);
        panel.SetTriggerLevelEditB(&levelB);
        panel.SetVirtualScope(&bus.scope);
        bus.settingsChanged();
        bus.takeHeard();
    }

    std::vector<QWidget*> startLocked() { return {&sourceA, &sourceB, &underOverA, &underOverB, &levelA, &levelB}; }

    ScopeUnderTest bus;
    TOnOffButtonVorn sourceA, sourceB;
    QToolButton underOverA, underOverB, relation;
    TVoltageValueEditVorn levelA, levelB;
    TTriggerControlsVornRM panel;
};

TEST_F(TriggerPanel, ClicksToggleTheirSettingAndCaptionsFollow) {
    EXPECT_EQ(underOverA.text(), ">");
    EXPECT_EQ(relation.text(), "OR");
    EXPECT_EQ(levelA.text(), "200m");
    EXPECT_EQ(levelB.text(), "2");

    underOverA.click();
    EXPECT_TRUE(bus.scope.TriggerUnderA());
    EXPECT_EQ(underOverA.text(), "<");
    EXPECT_EQ(underOverB.text(), ">");
    sourceB.click();
    EXPECT_TRUE(bus.scope.TriggerSourceB());
    EXPECT_TRUE(sourceB.isChecked());
    EXPECT_EQ(bus.takeHeard(), settingsChangedBy(ScopeGroup::TriggerPanel, 2));
}

TEST_F(TriggerPanel, RelationOnlyWithBothSources) {
    EXPECT_FALSE(relation.isEnabled());
    sourceA.click();
    EXPECT_FALSE(relation.isEnabled());
    sourceB.click();
    EXPECT_TRUE(relation.isEnabled());
    relation.click();
    EXPECT_TRUE(bus.scope.TriggerRelation());
    EXPECT_EQ(relation.text(), "AND");

    sourceA.click();  // one source left: disabled, still showing AND
    EXPECT_FALSE(relation.isEnabled());
    EXPECT_EQ(relation.text(), "AND");
}

TEST_F(TriggerPanel, DisabledDuringAMeasurement) {
    sourceA.click();
    sourceB.click();
    bus.scope.SetMeasurementStarted(true);
    bus.settingsChanged(ScopeGroup::RecordPanel);
    for (QWidget* control : startLocked())
        EXPECT_FALSE(control->isEnabled()) << control->metaObject()->className();
    EXPECT_FALSE(relation.isEnabled());

    bus.scope.SetMeasurementStarted(false);
    bus.settingsChanged(ScopeGroup::FlowManager);  // the device ended it
    for (QWidget* control : startLocked())
        EXPECT_TRUE(control->isEnabled());
    EXPECT_TRUE(relation.isEnabled());
}

TEST_F(TriggerPanel, LevelsAreTakenOnEnterInMillivolts) {
    typeInto(levelA, "2");
    EXPECT_EQ(bus.scope.TriggerLevelA(), 2000);
    typeInto(levelB, "250m");
    EXPECT_EQ(bus.scope.TriggerLevelB(), 250);
    EXPECT_EQ(levelB.text(), "250m");
    EXPECT_EQ(bus.takeHeard(), settingsChangedBy(ScopeGroup::TriggerPanel, 2));

    // Other keys only colour the text.
    typeInto(levelA, "3", Qt::Key_Tab);
    EXPECT_EQ(bus.scope.TriggerLevelA(), 2000);
    EXPECT_TRUE(bus.takeHeard().empty());
}

TEST_F(TriggerPanel, EnterAfterAFailedCommitWritesTheUnchangedValue) {
    typeInto(levelA, "1.5");
    bus.takeHeard();
    typeInto(levelA, "m");  // does not read
    EXPECT_EQ(bus.scope.TriggerLevelA(), 1500);
    EXPECT_EQ(bus.takeHeard(), settingsChangedBy(ScopeGroup::TriggerPanel));
    EXPECT_EQ(levelA.text(), "1.5");                  // the refresh put the level back
    EXPECT_EQ(textColor(levelA), QColor(Qt::blue));  // not taken
}

TEST_F(TriggerPanel, UnsentRefreshCodeIsHandled) {
    bus.scope.SetTriggerUnderB(true);
    bus.scope.Notify(TScopeNotifyCode::snRefreshTriggerPanels, ScopeGroup::All);
    EXPECT_EQ(underOverB.text(), "<");
    bus.scope.SetTriggerUnderB(false);
    bus.scope.Notify(TScopeNotifyCode::snRefreshFilePanel, ScopeGroup::All);
    EXPECT_EQ(underOverB.text(), "<");
}

class ArmPanel : public WidgetTest {
protected:
    ArmPanel() {
        panel.SetArmSourceA(&sourceA);
        panel.SetArmSourceB(&sourceB);
        panel.SetExternalSource(&external);
        panel.SetTrigUnderOverA(&underOverA);
        panel.SetTrigUnderOverB(&underOverB);
        panel.SetTrigUnderOverExternal(&underOverExternal);
        panel.SetArmLevelEditA(&levelA);
        panel.SetArmLevelEditB(&levelB);
        panel.SetVirtualScope(&bus.scope);
        bus.settingsChanged();
        bus.takeHeard();
    }

    ScopeUnderTest bus;
    TOnOffButtonVorn sourceA, sourceB, external;
    QToolButton underOverA, underOverB, underOverExternal;
    TVoltageValueEditVorn levelA, levelB;
    TArmControlsVornRM panel;
};

TEST_F(ArmPanel, ClicksToggleTheirSettingAndCaptionsFollow) {
    EXPECT_EQ(underOverExternal.text(), "1");
    EXPECT_EQ(underOverB.text(), ">");
    underOverExternal.click();
    EXPECT_TRUE(bus.scope.ARMUnderExternal());
    EXPECT_EQ(underOverExternal.text(), "0");
    underOverB.click();
    EXPECT_EQ(underOverB.text(), "<");
    external.click();
    EXPECT_TRUE(bus.scope.ARMSourceExternal());
    EXPECT_TRUE(external.isChecked());
    sourceA.click();
    EXPECT_TRUE(bus.scope.ARMSourceA());
    EXPECT_FALSE(bus.scope.ARMSourceB());
    EXPECT_EQ(bus.takeHeard(), settingsChangedBy(ScopeGroup::ArmPanel, 4));

    typeInto(levelB, "-0.5");
    EXPECT_EQ(bus.scope.ARMLevelB(), -500);
    EXPECT_EQ(bus.takeHeard(), settingsChangedBy(ScopeGroup::ArmPanel));
}

TEST_F(ArmPanel, StaysUsableDuringAMeasurement) {
    bus.scope.SetMeasurementStarted(true);
    bus.settingsChanged(ScopeGroup::RecordPanel);
    for (QWidget* control : std::initializer_list<QWidget*>{&sourceA, &sourceB, &external, &underOverA, &underOverB,
                                                            &underOverExternal, &levelA, &levelB})
        EXPECT_TRUE(control->isEnabled());
    typeInto(levelA, "250m");
    EXPECT_EQ(bus.scope.ARMLevelA(), 250);
}

} // namespace
