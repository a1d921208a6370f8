#include "ModeDisplayVornRM.h"
#include "OnOffButton.h"
#include "ScopeUnderTest.h"
#include "ScrollBarVorn.h"
#include "SweepControlsVornRM.h"
#include "TimeBaseControlsVornRM.h"
#include "UnitValueLabel.h"
#include "UnitValueText.h"

#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Code = TScopeNotifyCode;

void sendMouse(QWidget& widget, QEvent::Type type, Qt::MouseButtons held, QPoint at) {
    QMouseEvent event(type, QPointF(at), widget.mapToGlobal(QPointF(at)),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

// The three display panels on their controls, linked in the main window's
// order, each control set up as the window's form gives it.
class DisplayPanels : public WidgetTest {
protected:
    DisplayPanels() {
        gridBar.setRange(25, 100);
        gridBar.setPageStep(5);
        smpBar.setRange(0, 15);
        dspBar.setRange(0, 16);
        dspBar.setPageStep(5);
        for (TScrollBarVorn* bar : {&gridBar, &smpBar, &dspBar})
            bar->resize(170, 17);
        smpLabel.setControlType(rm::kUnitSampleRate);
        dspLabel.setControlType(rm::kUnitTimePerDivision);
        columnLabel.setControlType(rm::kUnitSamples);
        hzLabel.setControlType(rm::kUnitFrequencyPerDivision);

        mode.SetGridScroll(&gridBar);
        mode.SetGridButton(&gridButton);
        mode.SetBeamFinder(&beamButton);
        mode.SetLineModeDisplay(&lineButton);
        mode.SetEKGModeDisplay(&rewButton);
        mode.SetRadaDaziDisplay(&rollButton);
        mode.SetDisplayButton(&displayButton);
        sweep.SetClearScreenButton(&clearScreen);
        sweep.SetMakeMinimumButton(&sweepMinimum);
        sweep.SetMakeMaximumButton(&sweepMaximum);
        sweep.SetMakeAvgButton(&sweepAverage);
        sweep.SetSingleButton(&singleButton);
        sweep.SetCalcButton(&calcButton);
        timeBase.SetSMPScrollBar(&smpBar);
        timeBase.SetDSPScrollBar(&dspBar);
        timeBase.SetSMPRatio(&smpLabel);
        timeBase.SetDSPRatio(&dspLabel);
        timeBase.SetDSP_SMPRatio(&columnLabel);
        timeBase.SetDSPRatioHz(&hzLabel);
        mode.SetVirtualScope(&bus.scope);
        sweep.SetVirtualScope(&bus.scope);
        timeBase.SetVirtualScope(&bus.scope);
        bus.scope.Notify(Code::snStart, 255);
        bus.takeHeard();
    }

    TVirtualScopeVornRM& scope() { return bus.scope; }

    // Drags the bar's thumb by `dx` pixels without letting it go.
    void dragThumb(TScrollBarVorn& bar, int dx) {
        bar.show();
        const QPoint from = scrollBarThumb(bar).center();
        sendMouse(bar, QEvent::MouseButtonPress, Qt::LeftButton, from);
        for (int step = 1; step <= 4; ++step)
            sendMouse(bar, QEvent::MouseMove, Qt::LeftButton, from + QPoint(dx * step / 4, 0));
        dragEnd_ = from + QPoint(dx, 0);
    }
    void releaseThumb(TScrollBarVorn& bar) { sendMouse(bar, QEvent::MouseButtonRelease, Qt::NoButton, dragEnd_); }

    ScopeUnderTest bus;
    TScrollBarVorn gridBar, smpBar, dspBar;
    TOnOffButtonVorn gridButton, beamButton, lineButton, rewButton, rollButton, displayButton;
    TOnOffButtonVorn clearScreen, sweepMinimum, sweepMaximum, sweepAverage, singleButton, calcButton;
    TUnitValueLabel smpLabel, dspLabel, columnLabel, hzLabel;
    TModeDisplayVornRM mode;
    TSweepControlsVornRM sweep;
    TTimeBaseControlsVornRM timeBase;
    QPoint dragEnd_;
};

TEST_F(DisplayPanels, StartFillsEveryControlFromTheScope) {
    EXPECT_EQ(gridBar.value(), 72);
    EXPECT_TRUE(gridBar.isEnabled());
    EXPECT_TRUE(gridButton.isChecked());
    EXPECT_TRUE(displayButton.isChecked());
    EXPECT_FALSE(beamButton.isChecked());
    EXPECT_TRUE(lineButton.isChecked());
    EXPECT_TRUE(rewButton.isChecked());
    EXPECT_FALSE(rollButton.isChecked());

    EXPECT_TRUE(sweepMinimum.isChecked());
    EXPECT_TRUE(sweepMaximum.isChecked());
    EXPECT_FALSE(sweepAverage.isChecked());
    EXPECT_FALSE(singleButton.isChecked());
    EXPECT_TRUE(calcButton.isChecked());
    // The glyph buttons carry their pictures.
    EXPECT_EQ(sweepMinimum.glyphSize(), QSize(17, 11));
    EXPECT_EQ(sweepAverage.glyphSize(), QSize(17, 11));
    EXPECT_EQ(clearScreen.glyphSize(), QSize(10, 10));  // the lamp

    EXPECT_EQ(smpBar.value(), 10);
    EXPECT_EQ(dspBar.value(), 16 - 3);
    EXPECT_EQ(smpLabel.MyString(), "100kS/s");
    EXPECT_EQ(dspLabel.MyString(), "1s/d");
}

// Whether the button shows a pixel of `rgb` anywhere.
bool shows(TOnOffButtonVorn& button, QRgb rgb) {
    const QImage image = rendered(button);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == (rgb & 0xFFFFFF))
                return true;
    return false;
}

TEST_F(DisplayPanels, TheGlyphButtonsLightTheirLineWhenDown) {
    const QRgb lineUp = qRgb(0, 70, 0), lineDown = qRgb(0, 215, 0), lineDisabled = qRgb(150, 150, 150);
    for (TOnOffButtonVorn* button : {&sweepMinimum, &sweepMaximum, &sweepAverage})
        button->resize(26, 22);
    EXPECT_TRUE(shows(sweepMinimum, lineDown));
    EXPECT_FALSE(shows(sweepMinimum, lineUp));
    EXPECT_TRUE(shows(sweepAverage, lineUp));
    EXPECT_FALSE(shows(sweepAverage, lineDown));
    singleButton.click();
    EXPECT_TRUE(shows(sweepMaximum, lineDisabled));
    EXPECT_FALSE(shows(sweepMaximum, lineDown));
}

TEST_F(DisplayPanels, ModeButtonsToggleTheirSettingAndBroadcastAsTheModePanel) {
    gridButton.click();
    EXPECT_FALSE(scope().Grid());
    EXPECT_FALSE(gridButton.isChecked());
    beamButton.click();
    EXPECT_TRUE(scope().ModeBF());
    EXPECT_TRUE(beamButton.isChecked());
    lineButton.click();
    EXPECT_FALSE(scope().ModeLine());
    EXPECT_EQ(bus.takeHeard(), settingsChangedBy(ScopeGroup::DisplayModePanel, 3));

    // Display off also asks for a clear screen; on again leaves that request alone.
    displayButton.click();
    EXPECT_FALSE(scope().DisplayActive());
    EXPECT_TRUE(scope().ClearScreenRequested());
    EXPECT_FALSE(displayButton.isChecked());
    displayButton.click();
    EXPECT_TRUE(scope().DisplayActive());
    EXPECT_TRUE(displayButton.isChecked());
    EXPECT_EQ(bus.takeHeard(), settingsChangedBy(ScopeGroup::DisplayModePanel, 2));
}

TEST_F(DisplayPanels, RewAndRollSwitchTheDisplayWithTheirOwnCodeOnlyAndStayAPair) {
    rollButton.click();
    EXPECT_FALSE(scope().ModeEKG());
    EXPECT_TRUE(rollButton.isChecked());
    EXPECT_FALSE(rewButton.isChecked());
    EXPECT_EQ(bus.takeHeard(), (Heard{{Code::snShowShiftDisplay, ScopeGroup::DisplayModePanel}}));

    // A second click on the button that is down leaves it down.
    rollButton.click();
    EXPECT_TRUE(rollButton.isChecked());
    EXPECT_FALSE(scope().ModeEKG());
    EXPECT_EQ(bus.takeHeard(), (Heard{{Code::snShowShiftDisplay, ScopeGroup::DisplayModePanel}}));

    rewButton.click();
    EXPECT_TRUE(scope().ModeEKG());
    EXPECT_TRUE(rewButton.isChecked());
    EXPECT_FALSE(rollButton.isChecked());
    EXPECT_EQ(bus.takeHeard(), (Heard{{Code::snShowEKGDisplay, ScopeGroup::DisplayModePanel}}));
}

TEST_F(DisplayPanels, EveryBrightnessScrollEventSetsTheGridAtOnce) {
    QTest::keyClick(&gridBar, Qt::Key_Right);  // a line step, then the end of scroll
    EXPECT_EQ(scope().GridBrightness(), 73);
    EXPECT_EQ(scope().RealGridColor(), TVirtualScopeVornRM::ScaleColor(0xFFFFFF, 0.73));
    const Heard twice(2, {Code::snGridBrightnessChanged, ScopeGroup::DisplayModePanel});
    EXPECT_EQ(bus.takeHeard(), twice);

    // The thumb's movement counts before the release.
    dragThumb(gridBar, -40);
    EXPECT_LT(scope().GridBrightness(), 73);
    EXPECT_EQ(scope().GridBrightness(), gridBar.value());
    releaseThumb(gridBar);
    EXPECT_EQ(scope().GridBrightness(), gridBar.value());

    // The wheel does nothing.
    const int before = scope().GridBrightness();
    bus.takeHeard();
    QWheelEvent wheel(QPointF(10, 8), gridBar.mapToGlobal(QPointF(10, 8)), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&gridBar, &wheel);
    EXPECT_EQ(scope().GridBrightness(), before);
    EXPECT_TRUE(bus.takeHeard().empty());
}

TEST_F(DisplayPanels, TheGridBarIsDisabledWhileAMeasurementRuns) {
    scope().SetMeasurementStarted(true);
    bus.settingsChanged();
    EXPECT_FALSE(gridBar.isEnabled());
    scope().SetMeasurementStarted(false);
    bus.settingsChanged();
    EXPECT_TRUE(gridBar.isEnabled());
}

TEST_F(DisplayPanels, SweepButtonsKeepAtLeastOneOfMinimumMaximumAndAverage) {
    // Only the minimum on: clicking it leaves nothing, so averages take over.
    scope().SetMakeMaximum(false);
    bus.settingsChanged();
    bus.takeHeard();
    sweepMinimum.click();
    EXPECT_FALSE(scope().MakeMinimum());
    EXPECT_FALSE(scope().MakeMaximum());
    EXPECT_TRUE(scope().MakeAvg());
    EXPECT_TRUE(sweepAverage.isChecked());
    EXPECT_FALSE(sweepMinimum.isChecked());
    EXPECT_EQ(bus.takeHeard(), settingsChangedBy(ScopeGroup::SweepPanel));

    // Minimum and maximum together clear the average; the average clears both.
    sweepMinimum.click();
    sweepMaximum.click();
    EXPECT_TRUE(scope().MakeMinimum());
    EXPECT_TRUE(scope().MakeMaximum());
    EXPECT_FALSE(scope().MakeAvg());
    sweepAverage.click();
    EXPECT_TRUE(scope().MakeAvg());
    EXPECT_FALSE(scope().MakeMinimum());
    EXPECT_FALSE(scope().MakeMaximum());
    EXPECT_TRUE(sweepAverage.isChecked());
    EXPECT_FALSE(sweepMaximum.isChecked());

    // Clicking the average again keeps it down.
    sweepAverage.click();
    EXPECT_TRUE(sweepAverage.isChecked());
    EXPECT_TRUE(scope().MakeAvg());
}

TEST_F(DisplayPanels, SingleSamplesDisableTheCalculatedChoicesAndCalcBringsThemBack) {
    singleButton.click();
    EXPECT_TRUE(scope().SingleMode());
    EXPECT_TRUE(singleButton.isChecked());
    EXPECT_FALSE(calcButton.isChecked());
    EXPECT_FALSE(sweepMinimum.isEnabled());
    EXPECT_FALSE(sweepMaximum.isEnabled());
    EXPECT_FALSE(sweepAverage.isEnabled());
    // The minimum and maximum stay chosen for when calculation comes back.
    EXPECT_TRUE(sweepMinimum.isChecked());

    calcButton.click();
    EXPECT_FALSE(scope().SingleMode());
    EXPECT_TRUE(calcButton.isChecked());
    EXPECT_TRUE(sweepMinimum.isEnabled());
    EXPECT_TRUE(sweepAverage.isEnabled());
    EXPECT_EQ(bus.takeHeard(), settingsChangedBy(ScopeGroup::SweepPanel, 2));
}

TEST_F(DisplayPanels, ClearScreenAsksForAClearAndPopsUpAgain) {
    clearScreen.click();
    EXPECT_TRUE(scope().ClearScreenRequested());
    EXPECT_FALSE(clearScreen.isChecked());
    EXPECT_EQ(bus.takeHeard(), settingsChangedBy(ScopeGroup::SweepPanel));
}

TEST_F(DisplayPanels, TheTimeBaseBarActsOnReleaseOnlyCountingFromTheRight) {
    dragThumb(dspBar, -60);
    const int position = dspBar.value();
    ASSERT_LT(position, 13);
    EXPECT_EQ(scope().DSPSetting(), 3);
    EXPECT_EQ(dspLabel.MyString(), "1s/d");
    EXPECT_TRUE(bus.takeHeard().empty());

    releaseThumb(dspBar);
    EXPECT_EQ(scope().DSPSetting(), 16 - position);
    EXPECT_EQ(dspBar.value(), position);
    EXPECT_EQ(bus.takeHeard(), settingsChangedBy(ScopeGroup::TimeBasePanel));

    // The keys act on their release as well.
    QTest::keyPress(&dspBar, Qt::Key_Home);
    EXPECT_EQ(scope().DSPSetting(), 16 - position);
    QTest::keyRelease(&dspBar, Qt::Key_Home);
    EXPECT_EQ(scope().DSPSetting(), 16);  // leftmost: 20000 s per division
    EXPECT_EQ(dspLabel.MyString(), "5h 33min 20s/d");
}

TEST_F(DisplayPanels, TheFastestTimeBaseRaisesASlowRateAndTheRateBarFollows) {
    scope().SetSMPSetting(1);
    bus.settingsChanged();
    EXPECT_EQ(smpBar.value(), 1);
    bus.takeHeard();

    QTest::keyClick(&dspBar, Qt::Key_End);  // rightmost: 0.1 s per division
    EXPECT_EQ(scope().DSPSetting(), 0);
    EXPECT_EQ(scope().SMPSetting(), 3);
    EXPECT_EQ(smpBar.value(), 3);
    EXPECT_EQ(bus.takeHeard(), settingsChangedBy(ScopeGroup::TimeBasePanel));

    EXPECT_EQ(smpLabel.MyString(), "500S/s");
    EXPECT_EQ(dspLabel.MyString(), "0.1s/d");
    EXPECT_EQ(columnLabel.MyString(), "1S");
    EXPECT_EQ(hzLabel.MyString(), "10Hz/d");

    // And the rate bar moves the time base the other way.
    QTest::keyClick(&smpBar, Qt::Key_Home);
    EXPECT_EQ(scope().SMPSetting(), 0);
    EXPECT_EQ(scope().DSPSetting(), 3);
    EXPECT_EQ(dspBar.value(), 13);
}

TEST_F(DisplayPanels, ARefreshNeverBroadcastsNorReachesAHandler) {
    // Listening ahead of the panels, this re-enables delivery during every
    // settings broadcast, so whatever a panel sent from its refresh would be
    // heard.
    struct Primer {} primer;
    scope().UnregisterListener(&mode);
    scope().UnregisterListener(&sweep);
    scope().UnregisterListener(&timeBase);
    scope().RegisterListener(98, &primer, [this](Code code, int&) {
        if (code == Code::snSettingsChanged)
            scope().Notify(Code::snRefreshFilePanel, 98);
    });
    mode.SetVirtualScope(&scope());
    sweep.SetVirtualScope(&scope());
    timeBase.SetVirtualScope(&scope());

    // Every control changes in the refresh.
    scope().SetGrid(false);
    scope().SetGridBrightness(40);
    scope().SetModeEKG(false);
    scope().SetSingleMode(true);
    scope().SetMakeAvg(true);
    scope().SetSMPSetting(2);
    scope().SetDSPSetting(9);
    scope().SetMeasurementStarted(true);
    bus.settingsChanged(255);
    EXPECT_EQ(bus.takeHeard(), settingsChangedBy(255));
    EXPECT_EQ(gridBar.value(), 40);
    EXPECT_TRUE(rollButton.isChecked());
    EXPECT_EQ(smpBar.value(), 2);
    EXPECT_EQ(dspBar.value(), 7);
    // Nothing the refresh did reached the scope either.
    EXPECT_EQ(scope().DSPSetting(), 9);
    EXPECT_EQ(scope().GridBrightness(), 40);
    scope().UnregisterListener(&primer);
}

} // namespace
