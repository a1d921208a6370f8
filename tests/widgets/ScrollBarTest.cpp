#include "ScrollBarVorn.h"
#include "WidgetTestApp.h"

#include <QMouseEvent>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using Events = std::vector<std::pair<int, int>>;  // scroll code, position

class ScrollBar : public WidgetTest {
protected:
    ScrollBar() {
        bar.setRange(0, 16);
        bar.resize(170, 17);
        bar.show();
        QObject::connect(&bar, &TScrollBarVorn::OnScroll, [this](int code, int position) {
            events.emplace_back(code, position);
        });
    }

    void mouse(QEvent::Type type, QPoint at, Qt::MouseButtons held) {
        QMouseEvent event(type, QPointF(at), bar.mapToGlobal(QPointF(at)),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(&bar, &event);
    }

    TScrollBarVorn bar;
    Events events;
};

TEST_F(ScrollBar, StepsStartAtOneAndSettingTheValueTellsNothing) {
    EXPECT_EQ(bar.singleStep(), 1);
    EXPECT_EQ(bar.pageStep(), 1);
    bar.setValue(7);
    EXPECT_TRUE(events.empty());
}

TEST_F(ScrollBar, AKeyTellsItsStepWithTheNewPositionAndItsReleaseEndsTheScroll) {
    bar.setValue(5);
    QTest::keyPress(&bar, Qt::Key_Right);
    EXPECT_EQ(events, (Events{{TScrollBarVorn::LineDown, 6}}));
    QTest::keyRelease(&bar, Qt::Key_Right);
    EXPECT_EQ(events, (Events{{TScrollBarVorn::LineDown, 6}, {TScrollBarVorn::EndScroll, 6}}));

    events.clear();
    bar.setPageStep(5);
    QTest::keyClick(&bar, Qt::Key_PageDown);
    QTest::keyClick(&bar, Qt::Key_Home);
    EXPECT_EQ(events, (Events{{TScrollBarVorn::PageDown, 11},
                              {TScrollBarVorn::EndScroll, 11},
                              {TScrollBarVorn::Top, 0},
                              {TScrollBarVorn::EndScroll, 0}}));

    events.clear();
    QTest::keyClick(&bar, Qt::Key_Left);
    EXPECT_EQ(bar.value(), 0);  // already at the left end
    QTest::keyClick(&bar, Qt::Key_Right);
    EXPECT_EQ(bar.value(), 1);

    // A key that moves nothing ends no scroll.
    events.clear();
    QTest::keyClick(&bar, Qt::Key_A);
    EXPECT_TRUE(events.empty());
}

TEST_F(ScrollBar, DraggingTheThumbTracksAndTheReleaseGivesPositionThenEnd) {
    bar.setValue(8);
    const QPoint from = scrollBarThumb(bar).center();
    mouse(QEvent::MouseButtonPress, from, Qt::LeftButton);
    mouse(QEvent::MouseMove, from + QPoint(30, 0), Qt::LeftButton);
    mouse(QEvent::MouseMove, from + QPoint(60, 0), Qt::LeftButton);
    ASSERT_FALSE(events.empty());
    for (const auto& [code, position] : events)
        EXPECT_EQ(code, TScrollBarVorn::ThumbTrack);
    const int last = bar.value();
    EXPECT_GT(last, 8);
    EXPECT_EQ(events.back().second, last);

    events.clear();
    mouse(QEvent::MouseButtonRelease, from + QPoint(60, 0), Qt::NoButton);
    EXPECT_EQ(events, (Events{{TScrollBarVorn::ThumbPosition, last}, {TScrollBarVorn::EndScroll, last}}));
}

TEST_F(ScrollBar, APressOnTheTrackPagesUntilTheReleaseEndsIt) {
    bar.setValue(0);
    bar.setPageStep(5);
    mouse(QEvent::MouseButtonPress, QPoint(bar.width() - 25, 8), Qt::LeftButton);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front(), (std::pair<int, int>{TScrollBarVorn::PageDown, 5}));
    mouse(QEvent::MouseButtonRelease, QPoint(bar.width() - 25, 8), Qt::NoButton);
    EXPECT_EQ(events.back(), (std::pair<int, int>{TScrollBarVorn::EndScroll, bar.value()}));

    // A release with no scroll before it tells nothing.
    events.clear();
    mouse(QEvent::MouseButtonRelease, QPoint(bar.width() - 25, 8), Qt::NoButton);
    EXPECT_TRUE(events.empty());
}

TEST_F(ScrollBar, TheWheelDoesNothing) {
    bar.setValue(4);
    QWheelEvent wheel(QPointF(20, 8), bar.mapToGlobal(QPointF(20, 8)), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&bar, &wheel);
    EXPECT_EQ(bar.value(), 4);
    EXPECT_TRUE(events.empty());
}

} // namespace
