#include "MeasurementRecordControlsVornRM.h"
#include "MessageBoxes.h"
#include "ScopeUnderTest.h"

#include <gtest/gtest.h>

namespace {

class MeasurementPanel : public WidgetTest {
protected:
    MeasurementPanel() {
        panel.SetMeasurementStart(&start);
        panel.SetMeasurementStop(&stop);
        panel.SetRecordTriggered(&triggered);
        panel.SetRecordFree(&free);
        panel.SetRecordDefined(&defined);
        panel.SetRecordContinuos(&continuos);
        panel.SetRecordTimeLength(&length);
        panel.SetVirtualScope(&bus.scope);
        bus.settingsChanged();
        bus.takeHeard();
    }

    // Channel A (or B) both trigger and arm source with these conditions.
    void conditions(bool channelB, bool triggerUnder, double triggerLevel, bool armUnder, double armLevel) {
        TVirtualScopeVornRM& s = bus.scope;
        if (channelB) {
            s.SetTriggerSourceB(true), s.SetTriggerUnderB(triggerUnder), s.SetTriggerLevelB(triggerLevel);
            s.SetARMSourceB(true), s.SetARMUnderB(armUnder), s.SetARMLevelB(armLevel);
        } else {
            s.SetTriggerSourceA(true), s.SetTriggerUnderA(triggerUnder), s.SetTriggerLevelA(triggerLevel);
            s.SetARMSourceA(true), s.SetARMUnderA(armUnder), s.SetARMLevelA(armLevel);
        }
    }

    rm::ScriptedMessages messages;
    ScopeUnderTest bus;
    TOnOffButtonVorn start, stop, triggered, free, defined, continuos;
    TLongerTimeEditVornRM length;
    TMeasurementRecordControlsVornRM panel;
};

TEST_F(MeasurementPanel, ArmAndTriggerConflictTable) {
    struct Case {
        bool channelB, triggerUnder;
        double triggerLevel;
        bool armUnder;
        double armLevel;
        bool passes;
    };
    const Case cases[] = {
        {false, true, 1000, false, 1500, false},  // under 1000, arm over above it
        {false, true, 1000, false, 500, true},
        {false, true, 1000, false, 1000, true},   // equal levels never conflict
        {false, false, 1000, true, 500, false},   // over 1000, arm under below it
        {false, false, 1000, true, 1500, true},
        {false, true, 1000, true, 1500, true},    // both under
        {false, false, 1000, false, 500, true},   // both over
        {true, true, -200, false, 0, false},      // channel B alone
        {true, false, 0, true, -0.5, false},
    };
    for (const Case& c : cases) {
        bus.scope.SetTriggerSourceA(false), bus.scope.SetARMSourceA(false);
        bus.scope.SetTriggerSourceB(false), bus.scope.SetARMSourceB(false);
        conditions(c.channelB, c.triggerUnder, c.triggerLevel, c.armUnder, c.armLevel);
        EXPECT_EQ(TMeasurementRecordControlsVornRM::CheckArmTrigger(bus.scope), c.passes)
            << "B " << c.channelB << " trigger under " << c.triggerUnder << " at " << c.triggerLevel
            << ", arm under " << c.armUnder << " at " << c.armLevel;
    }
}

TEST_F(MeasurementPanel, NoConflictUnlessOneChannelIsBothSources) {
    conditions(false, true, 1000, false, 1500);
    bus.scope.SetARMSourceA(false);
    EXPECT_TRUE(TMeasurementRecordControlsVornRM::CheckArmTrigger(bus.scope));
    bus.scope.SetARMSourceB(true);  // arm on B, trigger on A
    EXPECT_TRUE(TMeasurementRecordControlsVornRM::CheckArmTrigger(bus.scope));
    bus.scope.SetARMSourceExternal(true);
    bus.scope.SetARMUnderExternal(false);
    EXPECT_TRUE(TMeasurementRecordControlsVornRM::CheckArmTrigger(bus.scope));
}

TEST_F(MeasurementPanel, ConflictRefusesTheStartWithTheBoxAndSetsStartUpAgain) {
    conditions(false, true, 1000, false, 1500);
    start.click();
    EXPECT_FALSE(bus.scope.MeasurementStarted());
    EXPECT_FALSE(start.isChecked());
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "Arm and Trigger settings conflict.");
    EXPECT_EQ(messages.shown()[0].buttons, rm::MsgButtons::Ok);
    EXPECT_EQ(messages.shown()[0].icon, rm::MsgIcon::Warning);
    EXPECT_EQ(bus.takeHeard(), settingsChangedBy(ScopeGroup::RecordPanel));

    bus.scope.SetARMLevelA(500);
    start.click();
    EXPECT_TRUE(bus.scope.MeasurementStarted());
    EXPECT_TRUE(start.isChecked());
    EXPECT_EQ(messages.shown().size(), 1u);
}

TEST_F(MeasurementPanel, StartAndStopOnlyActInTheirState) {
    stop.click();  // nothing runs
    EXPECT_FALSE(bus.scope.MeasurementStarted());
    EXPECT_FALSE(stop.isChecked());
    start.click();
    start.click();  // running: changes nothing, the button stays down
    EXPECT_TRUE(bus.scope.MeasurementStarted());
    EXPECT_TRUE(start.isChecked());
    stop.click();
    EXPECT_FALSE(bus.scope.MeasurementStarted());
    EXPECT_FALSE(start.isChecked());
    EXPECT_FALSE(stop.isChecked());
    EXPECT_EQ(bus.takeHeard(), settingsChangedBy(ScopeGroup::RecordPanel, 4));
}

TEST_F(MeasurementPanel, ModeButtonsLeaveExactlyOneModeSet) {
    EXPECT_TRUE(continuos.isChecked());
    EXPECT_FALSE(defined.isChecked());
    EXPECT_FALSE(length.isEnabled());
    defined.click();
    EXPECT_TRUE(bus.scope.MeasurementDefined());
    EXPECT_TRUE(defined.isChecked() && !continuos.isChecked() && length.isEnabled());
    defined.click();  // again: stays defined
    EXPECT_TRUE(bus.scope.MeasurementDefined());
    EXPECT_TRUE(defined.isChecked());
    continuos.click();
    EXPECT_FALSE(bus.scope.MeasurementDefined());
    EXPECT_TRUE(continuos.isChecked() && !defined.isChecked() && !length.isEnabled());

    EXPECT_TRUE(free.isChecked());
    triggered.click();
    EXPECT_TRUE(bus.scope.RecordTriggered());
    EXPECT_FALSE(bus.scope.RecordFree());
    EXPECT_TRUE(triggered.isChecked() && !free.isChecked());
    triggered.click();
    EXPECT_FALSE(bus.scope.RecordTriggered());
    EXPECT_TRUE(bus.scope.RecordFree());
    free.click();
    EXPECT_FALSE(bus.scope.RecordFree());
    EXPECT_TRUE(bus.scope.RecordTriggered());
    EXPECT_TRUE(triggered.isChecked() && !free.isChecked());
    EXPECT_EQ(bus.takeHeard(), settingsChangedBy(ScopeGroup::RecordPanel, 6));
}

TEST_F(MeasurementPanel, LengthIsTakenToTheNearestMillisecond) {
    defined.click();
    EXPECT_EQ(length.text(), "5s");
    typeInto(length, "1.5005s");  // seconds count to whole milliseconds already
    EXPECT_EQ(bus.scope.MeasurementLength(), 1500u);
    for (const auto& [ms, expected] : {std::pair{1500.5, 1500u}, {1501.5, 1502u}, {0.4, 0u}}) {
        length.setTimeValue(ms);
        QTest::keyClick(&length, Qt::Key_Return);
        EXPECT_EQ(bus.scope.MeasurementLength(), expected) << ms;
    }
    typeInto(length, "1h30m");
    EXPECT_EQ(bus.scope.MeasurementLength(), 5400000u);
    EXPECT_EQ(length.text(), "1h30m");
}

TEST_F(MeasurementPanel, LengthOutsideTheUnsignedRangeIsRefused) {
    defined.click();
    typeInto(length, "2s");
    bus.takeHeard();

    typeInto(length, "-1s");  // does not read
    EXPECT_EQ(bus.scope.MeasurementLength(), 2000u);
    EXPECT_EQ(length.text(), "2s");  // shown again
    typeInto(length, "1194h");  // 4,298,400,000 ms: more than 32 bits hold
    EXPECT_EQ(bus.scope.MeasurementLength(), 2000u);
    EXPECT_EQ(length.text(), "2s");
    length.setTimeValue(-1);
    QTest::keyClick(&length, Qt::Key_Return);
    EXPECT_EQ(bus.scope.MeasurementLength(), 2000u);
    EXPECT_EQ(bus.takeHeard(), settingsChangedBy(ScopeGroup::RecordPanel, 3));

    typeInto(length, "1193h");
    EXPECT_EQ(bus.scope.MeasurementLength(), 4294800000u);
}

TEST_F(MeasurementPanel, OnlyTheLengthIsDisabledDuringAMeasurement) {
    defined.click();
    start.click();
    EXPECT_FALSE(length.isEnabled());
    for (QWidget* control : std::initializer_list<QWidget*>{&start, &stop, &triggered, &free, &defined, &continuos})
        EXPECT_TRUE(control->isEnabled());
    bus.scope.SetDataAcquisitionStatus(0);  // the device ended it
    bus.settingsChanged(ScopeGroup::FlowManager);
    EXPECT_TRUE(length.isEnabled());
    EXPECT_FALSE(start.isChecked());
}

} // namespace
