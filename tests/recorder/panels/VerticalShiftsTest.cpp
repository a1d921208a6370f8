#include "ChannelIndicationButton.h"
#include "ScopeUnderTest.h"
#include "VerticalShiftsVornRM.h"
#include "VerticalSlide.h"
#include "WinColor.h"

#include <QMouseEvent>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using Code = TScopeNotifyCode;

constexpr int kTravel = 200;

class VerticalPanel : public WidgetTest {
protected:
    VerticalPanel() {
        for (TVerticalSlideVorn* slide : {&slideA, &slideB}) {
            slide->setBarHeight(kTravel);
            slide->resize(13, kTravel + 15);
        }
        for (TChannelIndicationButtonVorn* button : {&upA, &upB, &downA, &downB})
            button->resize(40, 22);
        timer.start(5);  // the panel takes the timer over and switches it off
        panel.SetSlideUpButtonA(&upA);
        panel.SetSlideUpButtonB(&upB);
        panel.SetSlideDownButtonA(&downA);
        panel.SetSlideDownButtonB(&downB);
        panel.SetVerticalSlideA(&slideA);
        panel.SetVerticalSlideB(&slideB);
        panel.SetTimer(&timer);
        panel.SetHeldButtonsQuery([this] { return held; });
        panel.SetVirtualScope(&bus.scope);
        bus.scope.Notify(Code::snStart, 255);
        bus.takeHeard();
    }

    TVirtualScopeVornRM& scope() { return bus.scope; }
    int levelA() { return scope().VerticalLevelChannelA(); }
    int barA() { return scope().ScaledLevelChannelA(); }

    void mouse(QWidget& widget, QEvent::Type type, int y, Qt::MouseButtons buttons = Qt::LeftButton) {
        const QPointF at(6, y);
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, widget.mapToGlobal(at), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(&widget, &event);
        held = type == QEvent::MouseButtonRelease ? Qt::NoButton : buttons;
    }
    void press(QWidget& widget, int y) { mouse(widget, QEvent::MouseButtonPress, y); }
    void move(QWidget& widget, int y) { mouse(widget, QEvent::MouseMove, y); }
    void release(QWidget& widget, int y) { mouse(widget, QEvent::MouseButtonRelease, y, Qt::NoButton); }
    void pressButton(QWidget& button) {
        QTest::mousePress(&button, Qt::LeftButton);
        held = Qt::LeftButton;
    }
    void releaseButton(QWidget& button) {
        QTest::mouseRelease(&button, Qt::LeftButton);
        held = Qt::NoButton;
    }
    void tick() { QMetaObject::invokeMethod(&timer, "timeout"); }

    ScopeUnderTest bus;
    TVerticalSlideVorn slideA, slideB;
    TChannelIndicationButtonVorn upA, upB, downA, downB;
    QTimer timer;
    Qt::MouseButtons held = Qt::NoButton;
    TVerticalShiftsVornRM panel;
};

TEST_F(VerticalPanel, RefreshGivesTheScopeTheTravelAndShowsPositionColourAndHint) {
    EXPECT_FALSE(timer.isActive());
    EXPECT_EQ(timer.interval(), 1000);
    EXPECT_EQ(scope().MaxChannelA(), kTravel);
    EXPECT_EQ(scope().MaxChannelB(), kTravel);
    EXPECT_EQ(slideA.BarPosition(), 1351 * kTravel / 4096);
    EXPECT_EQ(slideB.BarPosition(), 1433 * kTravel / 4096);
    EXPECT_EQ(slideA.BarColor(), rm::toQColor(0x40FF00));
    EXPECT_EQ(upA.ChannelColor(), rm::toQColor(0x40FF00));
    EXPECT_EQ(downB.ChannelColor(), rm::toQColor(0x00FFFF));
    EXPECT_EQ(slideA.toolTip(), "2744");
    EXPECT_EQ(slideB.toolTip(), "2662");

    // The levels the device sets back, a new window size and loaded
    // settings show too.
    scope().SetVerticalLevelChannelB(4000);
    scope().Notify(Code::snLevelsSetBack, 5);
    EXPECT_EQ(slideB.toolTip(), "95");
    slideA.setBarHeight(300);
    scope().Notify(Code::snMainWindowResized, 13);
    EXPECT_EQ(scope().MaxChannelA(), 300);
    EXPECT_EQ(slideA.BarPosition(), 1351 * 300 / 4096);
    scope().SetColorChannelA(0x0000FF);
    scope().Notify(Code::snLoadAutoSettings, 255);
    EXPECT_EQ(slideA.BarColor(), QColor(Qt::red));
    EXPECT_TRUE(bus.takeHeard().size() == 3);  // only the three broadcasts sent here
}

TEST_F(VerticalPanel, OneClickMovesOneLevelAndRecordsIt) {
    QTest::mouseClick(&upA, Qt::LeftButton);
    EXPECT_EQ(levelA(), 1350);
    QTest::mouseClick(&downB, Qt::LeftButton);
    EXPECT_EQ(scope().VerticalLevelChannelB(), 1434);
    EXPECT_FALSE(timer.isActive());
    EXPECT_TRUE(scope().SettingsToFile());
    EXPECT_EQ(slideA.toolTip(), "2745");
    // Press, release and click each tell the others.
    EXPECT_EQ(bus.takeHeard(), settingsChangedBy(ScopeGroup::VerticalShiftPanel, 6));
}

TEST_F(VerticalPanel, HoldingAButtonAddsOneStepPerTickWithoutRecordingUntilRelease) {
    pressButton(downA);
    EXPECT_EQ(levelA(), 1351);  // the press alone does not move
    EXPECT_TRUE(timer.isActive());
    EXPECT_FALSE(scope().SettingsToFile());
    tick();
    EXPECT_EQ(levelA(), 1352);
    tick();
    EXPECT_EQ(levelA(), 1353);
    EXPECT_FALSE(scope().SettingsToFile());
    releaseButton(downA);
    EXPECT_EQ(levelA(), 1354);  // and the click one more
    EXPECT_FALSE(timer.isActive());
    EXPECT_TRUE(scope().SettingsToFile());
}

TEST_F(VerticalPanel, APressOnTheTrackPagesByFiveAndRepeats) {
    press(slideA, barA() + 30);
    EXPECT_EQ(levelA(), 1356);
    EXPECT_TRUE(timer.isActive());
    tick();
    EXPECT_EQ(levelA(), 1361);
    release(slideA, barA() + 30);
    EXPECT_FALSE(timer.isActive());
    EXPECT_TRUE(scope().SettingsToFile());
    EXPECT_EQ(levelA(), 1361);  // a click on the slider only tells

    press(slideB, 0);
    EXPECT_EQ(scope().VerticalLevelChannelB(), 1428);
    tick();
    EXPECT_EQ(scope().VerticalLevelChannelB(), 1423);
    release(slideB, 0);
    EXPECT_EQ(levelA(), 1361);
}

TEST_F(VerticalPanel, WithinNinePixelsThePressGrabsTheBarAndTenPixelsAwayItPages) {
    for (int offset : {9, -9, 0}) {
        press(slideA, barA() + offset);
        EXPECT_EQ(levelA(), 1351) << offset;
        EXPECT_FALSE(timer.isActive()) << offset;
        EXPECT_FALSE(scope().SettingsToFile());
        release(slideA, barA() + offset);
        EXPECT_TRUE(scope().SettingsToFile()) << "also when nothing moved";
    }
    press(slideA, barA() + 10);
    EXPECT_EQ(levelA(), 1356);
    EXPECT_TRUE(timer.isActive());
    release(slideA, 0);
    press(slideA, barA() - 10);
    EXPECT_EQ(levelA(), 1351);
    tick();
    EXPECT_EQ(levelA(), 1346);  // the step of this press, not of the last one
    release(slideA, 0);
}

TEST_F(VerticalPanel, DraggingTheBarFollowsTheMouseWithinTheTravelUpToLevelZero) {
    press(slideA, barA() + 2);
    move(slideA, 100);
    EXPECT_EQ(levelA(), 100 * 4095 / kTravel);
    EXPECT_EQ(slideA.BarPosition(), barA());
    EXPECT_FALSE(scope().SettingsToFile());
    move(slideA, kTravel);
    EXPECT_EQ(levelA(), 4095);
    move(slideA, kTravel + 1);  // beyond the end: the last accepted position stays
    EXPECT_EQ(levelA(), 4095);
    move(slideA, 0);
    EXPECT_EQ(levelA(), 0);
    move(slideA, -3);
    EXPECT_EQ(levelA(), 0);
    EXPECT_EQ(slideA.BarPosition(), 0);
    release(slideA, -3);
    EXPECT_TRUE(scope().SettingsToFile());

    // Moving on after the release drags nothing.
    bus.takeHeard();
    move(slideA, 50);
    EXPECT_EQ(levelA(), 0);
    EXPECT_TRUE(bus.takeHeard().empty());

    QTest::mouseClick(&upA, Qt::LeftButton);
    EXPECT_EQ(levelA(), 0);
    QTest::mouseClick(&downA, Qt::LeftButton);
    EXPECT_EQ(levelA(), 1);
    QTest::mouseClick(&upA, Qt::LeftButton);
    EXPECT_EQ(levelA(), 1);
}

TEST_F(VerticalPanel, OnlyTheGrabbedSlideDrags) {
    press(slideA, barA() + 40);  // a page, no grab
    const int paged = levelA();
    move(slideA, 20);
    EXPECT_EQ(levelA(), paged);
    release(slideA, 20);

    press(slideB, scope().ScaledLevelChannelB());
    bus.takeHeard();
    move(slideA, 20);  // moves over the other slide
    EXPECT_EQ(levelA(), paged);
    EXPECT_TRUE(bus.takeHeard().empty());
    move(slideB, 20);
    EXPECT_EQ(scope().VerticalLevelChannelB(), 20 * 4095 / kTravel);
    release(slideB, 20);
}

TEST_F(VerticalPanel, PagesAndStepsStopAtTheEndsOfTheLevelRange) {
    scope().SetVerticalLevelChannelA(3);
    bus.settingsChanged();
    press(slideA, barA() - 12);
    EXPECT_EQ(levelA(), 3);
    release(slideA, 0);

    scope().SetVerticalLevelChannelA(4093);
    bus.settingsChanged();
    press(slideA, barA() + 12);
    EXPECT_EQ(levelA(), 4093);
    tick();
    EXPECT_EQ(levelA(), 4093);
    release(slideA, 0);

    scope().SetVerticalLevelChannelA(1);
    bus.settingsChanged();
    QTest::mouseClick(&upA, Qt::LeftButton);
    EXPECT_EQ(levelA(), 1);
}

TEST_F(VerticalPanel, ATickWithNoButtonHeldEndsThePressInsteadOfRunningOn) {
    // The release went elsewhere, say to a message box.
    pressButton(downA);
    held = Qt::NoButton;
    bus.takeHeard();
    tick();
    EXPECT_EQ(levelA(), 1351);
    EXPECT_FALSE(timer.isActive());
    EXPECT_TRUE(scope().SettingsToFile());
    EXPECT_EQ(bus.takeHeard(), settingsChangedBy(ScopeGroup::VerticalShiftPanel));

    // A grabbed bar lets go at the next move with no button held.
    press(slideA, barA());
    move(slideA, 30);
    const int dragged = levelA();
    mouse(slideA, QEvent::MouseMove, 60, Qt::NoButton);
    EXPECT_EQ(levelA(), dragged);
    EXPECT_TRUE(scope().SettingsToFile());
    move(slideA, 90);
    EXPECT_EQ(levelA(), dragged);
}

TEST_F(VerticalPanel, ARightButtonPressDoesNothing) {
    QTest::mousePress(&slideA, Qt::RightButton, {}, QPoint(6, barA() + 30));
    EXPECT_EQ(levelA(), 1351);
    EXPECT_FALSE(timer.isActive());
    EXPECT_TRUE(scope().SettingsToFile());
    QTest::mouseRelease(&slideA, Qt::RightButton, {}, QPoint(6, barA() + 30));
}

} // namespace
