#include "NavigationRig.h"

#include <gtest/gtest.h>

namespace rm::viewer::test {
namespace {

constexpr int64_t kFile = 3'000'000;

// Pixels of a text region in a strong red or blue.
int countColoured(const QImage& picture, QRect region, bool red) {
    int n = 0;
    for (int x = region.left(); x <= region.right(); ++x)
        for (int y = region.top(); y <= region.bottom(); ++y) {
            const QColor c = picture.pixelColor(x, y);
            const int strong = red ? c.red() : c.blue();
            n += strong > 150 && c.green() < 80 && (red ? c.blue() : c.red()) < 80;
        }
    return n;
}

const QRect kStartText(20, 3, 180, 16);

TEST(TimeBar, WithoutAnIndexShowsQuestionMarksAndNoArrows) {
    NavigationRig rig(kFile);  // not opened
    addCursor(rig.source, 5000, 0x00FF00);
    rig.timeBar.Redraw();
    EXPECT_EQ(rig.timeBar.accessibleName(), "?   tdiv = ?   t = ?");
    EXPECT_FALSE(rig.timeBar.ArrowCursorAt(NavigationRig::kBarWidth - 5));
    EXPECT_FALSE(rig.timeBar.ArrowCursorAt(560));
    const QImage picture = rig.timeBar.Picture();
    const QColor yellow(255, 255, 0);
    EXPECT_EQ(picture.pixelColor(5, 0), yellow);
    EXPECT_EQ(picture.pixelColor(0, 5), yellow);
    EXPECT_EQ(picture.pixelColor(7, 7), yellow);
    EXPECT_EQ(picture.pixelColor(NavigationRig::kBarWidth - 5, 12), QColor(Qt::black));

    rig.engine.VoltageCursorsActive = false;
    rig.engine.Notify(enVoltageCursorsToggled, kGroupVoltagesPanel);
    QApplication::processEvents();
    EXPECT_EQ(rig.timeBar.accessibleName(), "?   tdiv = ?   t = N/A");
    EXPECT_EQ(rig.timeBar.Picture().pixelColor(404, 15), QColor(0, 0, 255));
}

TEST(TimeBar, ShowsTheScreenStartAndTheTimePerDivision) {
    NavigationRig rig(kFile);
    rig.open();
    // 100000 samples per second at the start: 50 points of one sample.
    const std::string division = TPreviewEnginePelkRM::MillisecondsToText(0.5) + "/div";
    EXPECT_EQ(rig.timeBar.accessibleName().toStdString(), "0s   tdiv = " + division + "   t = 0s");
    EXPECT_GT(countColoured(rig.timeBar.Picture(), kStartText, false), 10);
    rig.engine.SetScreenPosition(100000);
    rig.engine.Notify(enScreenMoved, kGroupDisplay);
    rig.settle();
    EXPECT_EQ(rig.timeBar.accessibleName().toStdString(),
              TPreviewEnginePelkRM::MillisecondsToText(1000) + "   tdiv = " + division + "   t = 0s");
}

class TimeBarArrows : public ::testing::Test {
protected:
    void SetUp() override {
        rig.open();
        samples = rig.engine.FileRealSamplesCount;
        middle = addCursor(rig.source, samples / 2, 0xFFFFFF);
        rig.timeBar.CentreCursor(middle);
        rig.settle();
        ASSERT_EQ(rig.engine.ScreenBeginning(), samples / 2 - 400);
        first = addCursor(rig.source, 1000, 0x0000FF);
        third = addCursor(rig.source, 3000, 0x00FF00);
        second = addCursor(rig.source, 2000, 0xFF0000);
        rig.engine.Notify(enCursorsChanged, kGroupDisplay);
        QApplication::processEvents();
    }
    NavigationRig rig{kFile};
    int64_t samples = 0;
    int middle = 0, first = 0, second = 0, third = 0;
};

TEST_F(TimeBarArrows, LeftArrowsAreHitByTheirSlots) {
    EXPECT_EQ(rig.timeBar.ArrowCursorAt(531), first);
    EXPECT_EQ(rig.timeBar.ArrowCursorAt(549), first);
    EXPECT_EQ(rig.timeBar.ArrowCursorAt(569), first);
    EXPECT_FALSE(rig.timeBar.ArrowCursorAt(530));
    EXPECT_EQ(rig.timeBar.ArrowCursorAt(570), second);
    EXPECT_EQ(rig.timeBar.ArrowCursorAt(609), third);
    EXPECT_FALSE(rig.timeBar.ArrowCursorAt(610));
    EXPECT_EQ(rig.timeBar.Picture().pixelColor(560, 12), toQColor(0x0000FF));
    EXPECT_EQ(rig.timeBar.Picture().pixelColor(580, 12), toQColor(0xFF0000));

    // A wide bar: slot 256 is no arrow (it is not counted modulo 256).
    rig.timeBar.resize(6000, 25);
    rig.timeBar.Redraw();
    EXPECT_FALSE(rig.timeBar.ArrowCursorAt(550 + 256 * 20 + 5));
    EXPECT_EQ(rig.timeBar.ArrowCursorAt(555), first);
}

TEST_F(TimeBarArrows, ClickingAnArrowCentresItsCursor) {
    const int moves = rig.log.of(enBufferMoved);
    click(rig.timeBar, 575);
    EXPECT_EQ(rig.log.of(enBufferMoved), moves + 1);
    EXPECT_EQ(rig.log.senderOf(enBufferMoved), kGroupNone);
    rig.settle();
    EXPECT_EQ(rig.engine.ScreenBeginning(), 2000 - 400);
    // The cursor at the middle of the file now lies after the screen.
    EXPECT_EQ(rig.timeBar.ArrowCursorAt(NavigationRig::kBarWidth - 5), middle);
    click(rig.timeBar, NavigationRig::kBarWidth - 5);
    rig.settle();
    EXPECT_EQ(rig.engine.ScreenBeginning(), samples / 2 - 400);
    click(rig.timeBar, 400);  // no arrow: nothing moves
    EXPECT_EQ(rig.log.of(enBufferMoved), moves + 2);
}

TEST_F(TimeBarArrows, OverlappingArrowsGiveTheOneDrawnLast) {
    const int after1 = addCursor(rig.source, samples - 3000, 0x00FFFF);
    addCursor(rig.source, samples - 2000, 0xFFFF00);
    addCursor(rig.source, samples - 1000, 0xFF00FF);
    rig.timeBar.resize(620, 25);  // right arrows at 560, 580, 600 over the left ones
    rig.timeBar.Redraw();
    EXPECT_EQ(rig.timeBar.ArrowCursorAt(565), after1);
    EXPECT_EQ(rig.timeBar.Picture().pixelColor(562, 12), toQColor(0x00FFFF));
    EXPECT_EQ(rig.timeBar.ArrowCursorAt(555), first);  // left of every right arrow
}

TEST_F(TimeBarArrows, CentringNearTheFileStartGivesZero) {
    const int near = addCursor(rig.source, 100, 0x00FF00);
    rig.timeBar.CentreCursor(near);
    EXPECT_EQ(rig.engine.MainBufferPosition(), 0);
    EXPECT_EQ(rig.engine.ScreenPosition(), 0);
    rig.settle();
    EXPECT_EQ(rig.engine.ScreenBeginning(), 0);

    // A screen wider than the main buffer: the screen position is absolute.
    rig.engine.SetSamplesPerPoint(1024);
    rig.engine.Notify(enZoomChanged, kGroupZoomPanel);
    rig.settle();
    ASSERT_FALSE(rig.engine.BufferViewValid());
    rig.timeBar.CentreCursor(near);
    EXPECT_EQ(rig.engine.ScreenPosition(), 0);
    rig.timeBar.CentreCursor(middle);
    EXPECT_EQ(rig.engine.ScreenPosition(), samples / 2 - rig.engine.SamplesPerScreen() / 2);
}

TEST(TimeBar, ATimeOverAnOverrunIsRedAndMarkedInTheHint) {
    NavigationRig rig(kFile);
    rig.open();
    const int64_t overrun = rig.summary.overrunSample;
    const int before = addCursor(rig.source, overrun - 5000, 0x00FF00);
    const int after = addCursor(rig.source, overrun + 5000, 0xFF0000);
    rig.engine.Notify(enCursorsChanged, kGroupDisplay);
    QApplication::processEvents();
    const int w = NavigationRig::kBarWidth;
    ASSERT_EQ(rig.timeBar.ArrowCursorAt(w - 30), before);
    ASSERT_EQ(rig.timeBar.ArrowCursorAt(w - 10), after);
    const QString clean = rig.timeBar.HintAt(w - 30);
    const QString marked = rig.timeBar.HintAt(w - 10);
    EXPECT_TRUE(clean.startsWith("C1\nt: ")) << clean.toStdString();
    EXPECT_TRUE(clean.contains("\ndt: -")) << clean.toStdString();
    EXPECT_FALSE(clean.contains('!')) << clean.toStdString();
    EXPECT_EQ(marked.count('!'), 2) << marked.toStdString();

    sendMouse(rig.timeBar, QEvent::MouseMove, w - 10);
    EXPECT_EQ(rig.timeBar.toolTip(), marked);
    sendMouse(rig.timeBar, QEvent::MouseMove, 300);
    EXPECT_TRUE(rig.timeBar.toolTip().isEmpty());

    rig.engine.VoltageCursorsActive = false;
    EXPECT_FALSE(rig.timeBar.HintAt(w - 10).contains("dt: "));
    EXPECT_EQ(rig.timeBar.HintAt(w - 10).count('!'), 1);
    rig.engine.IgnoreOverrun = true;  // then a span over an overrun is exact
    EXPECT_EQ(rig.timeBar.HintAt(w - 10).count('!'), 0);
    rig.engine.IgnoreOverrun = false;

    EXPECT_EQ(countColoured(rig.timeBar.Picture(), kStartText, true), 0);
    rig.timeBar.CentreCursor(after);
    rig.settle();
    EXPECT_GT(countColoured(rig.timeBar.Picture(), kStartText, true), 10);
    EXPECT_EQ(countColoured(rig.timeBar.Picture(), kStartText, false), 0);
}

} // namespace
} // namespace rm::viewer::test
