#include "ChannelIndicationButton.h"
#include "OnOffButton.h"
#include "VerticalSlide.h"
#include "WidgetTestApp.h"

#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class ButtonsAndSlide : public WidgetTest {};

void sendMouse(QWidget& widget, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, QPoint at) {
    QMouseEvent event(type, QPointF(at), widget.mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

TEST_F(ButtonsAndSlide, OnOffButtonTogglesAndShowsItsLamp) {
    TOnOffButtonVorn button;
    button.setText("On");
    button.resize(60, 22);
    int clicks = 0;
    QObject::connect(&button, &TOnOffButtonVorn::OnClick, [&] { ++clicks; });

    const QImage strip(":/widgets/IDB_BUTTONS_ONOFF");
    ASSERT_EQ(strip.size(), QSize(40, 10));
    // The lamp's middle, where each state has its own colour.
    const auto lampShown = [&](int shift) {
        const int x = button.width() - 2 - TOnOffButtonVorn::kGlyphMargin - TOnOffButtonVorn::kGlyphSize + shift;
        const int y = 2 + (button.height() - 4 - TOnOffButtonVorn::kGlyphSize) / 2 + shift;
        return rendered(button).pixel(x + 6, y + 6);
    };
    const auto lampOf = [&](int state) { return strip.pixel(state * 10 + 6, 6) | 0xFF000000u; };

    EXPECT_EQ(button.glyphState(), TOnOffButtonVorn::GlyphUp);
    EXPECT_EQ(lampShown(0), lampOf(TOnOffButtonVorn::GlyphUp));

    QTest::mousePress(&button, Qt::LeftButton);
    EXPECT_EQ(button.glyphState(), TOnOffButtonVorn::GlyphPressed);
    EXPECT_EQ(lampShown(1), lampOf(TOnOffButtonVorn::GlyphPressed));
    QTest::mouseRelease(&button, Qt::LeftButton);
    EXPECT_TRUE(button.isChecked());
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(button.glyphState(), TOnOffButtonVorn::GlyphDown);
    EXPECT_EQ(lampShown(1), lampOf(TOnOffButtonVorn::GlyphDown));

    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_FALSE(button.isChecked());
    EXPECT_EQ(clicks, 2);

    button.setEnabled(false);
    EXPECT_EQ(button.glyphState(), TOnOffButtonVorn::GlyphDisabled);
    EXPECT_EQ(lampShown(0), lampOf(TOnOffButtonVorn::GlyphDisabled));
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicks, 2);
}

TEST_F(ButtonsAndSlide, ChannelMarkFollowsTheDownState) {
    TChannelIndicationButtonVorn button;
    button.resize(40, 22);
    button.setChannelColor(Qt::red);
    QImage image = rendered(button);
    EXPECT_EQ(image.pixel(27, 11), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(26, 10), qRgb(0, 0, 0));  // outline in the pen
    EXPECT_EQ(image.pixel(31, 12), qRgb(0, 0, 0));
    EXPECT_EQ(button.markRect(), QRect(26, 10, 6, 3));

    button.setCheckable(true);
    button.setChecked(true);
    image = rendered(button);
    EXPECT_EQ(button.ButtonDown(), 1);
    EXPECT_EQ(button.markRect(), QRect(27, 11, 6, 3));
    EXPECT_EQ(image.pixel(28, 12), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(27, 11), qRgb(0, 0, 0));

    // A flat button keeps the offset it is given, whatever its state.
    button.setAutoRaise(true);
    button.setChecked(false);
    rendered(button);
    EXPECT_EQ(button.ButtonDown(), 1);
    EXPECT_EQ(button.markRect(), QRect(27, 11, 6, 3));
    button.setButtonDown(0);
    button.setChecked(true);
    EXPECT_EQ(rendered(button).pixel(27, 11), qRgb(255, 0, 0));
    EXPECT_EQ(button.ButtonDown(), 0);
}

TEST_F(ButtonsAndSlide, ChannelColourChangesOnlyTheMark) {
    TChannelIndicationButtonVorn button;
    button.setText("Set");
    button.resize(48, 24);
    button.setChannelColor(QColor(0, 128, 0));
    const QImage before = rendered(button);
    button.setChannelColor(QColor(0, 0, 255));
    const QImage after = rendered(button);
    int changed = 0;
    for (int y = 0; y < before.height(); ++y)
        for (int x = 0; x < before.width(); ++x)
            if (before.pixel(x, y) != after.pixel(x, y)) {
                ++changed;
                EXPECT_TRUE(QRect(27, 11, 4, 1).contains(x, y)) << x << "," << y;
            }
    EXPECT_EQ(changed, 4);
}

// The captions of the panels, leading blanks and all, keep clear of the mark
// and inside the face: left of the mark's right edge and on the bevel the
// button looks as it does without a caption, up and down.
TEST_F(ButtonsAndSlide, ChannelCaptionStaysRightOfTheMark) {
    for (const char* caption : {"    1:1", "  1:10", "1:100", "1:1000", "    DC", "    AC", "    GND", "    +"}) {
        for (bool down : {false, true}) {
            TChannelIndicationButtonVorn bare, captioned;
            for (TChannelIndicationButtonVorn* button : {&bare, &captioned}) {
                button->resize(70, 24);
                button->setCheckable(true);
                button->setChecked(down);
                button->setChannelColor(Qt::red);
            }
            captioned.setText(caption);
            const QImage without = rendered(bare);
            const QImage with = rendered(captioned);
            const int markRight = captioned.markRect().right();
            int captionPixels = 0;
            for (int y = 0; y < with.height(); ++y)
                for (int x = 0; x < with.width(); ++x) {
                    if (with.pixel(x, y) == without.pixel(x, y))
                        continue;
                    ++captionPixels;
                    EXPECT_GT(x, markRight + 1) << caption << " down " << down << " at " << x << "," << y;
                    EXPECT_LT(x, 68 + down) << caption << " down " << down << " at " << x << "," << y;
                }
            EXPECT_GT(captionPixels, 10) << caption;
        }
    }
}

TEST_F(ButtonsAndSlide, ChannelButtonTellsReleaseBeforeClick) {
    TChannelIndicationButtonVorn button;
    button.resize(40, 22);
    std::vector<std::string> events;
    QObject::connect(&button, &TChannelIndicationButtonVorn::OnMouseDown,
                     [&](Qt::MouseButton b, Qt::KeyboardModifiers, QPoint at) {
                         events.push_back("down " + std::to_string(b) + " " + std::to_string(at.y()));
                     });
    QObject::connect(&button, &TChannelIndicationButtonVorn::OnMouseUp,
                     [&](Qt::MouseButton, Qt::KeyboardModifiers, QPoint) { events.push_back("up"); });
    QObject::connect(&button, &TChannelIndicationButtonVorn::OnClick, [&] { events.push_back("click"); });
    QTest::mouseClick(&button, Qt::LeftButton, Qt::NoModifier, QPoint(5, 7));
    EXPECT_EQ(events, (std::vector<std::string>{"down 1 7", "up", "click"}));
}

class Slide : public ButtonsAndSlide {
protected:
    void SetUp() override {
        form.setAutoFillBackground(true);
        QPalette p = form.palette();
        p.setColor(QPalette::Window, kBackground);
        form.setPalette(p);
        form.resize(40, 140);
        slide = new TVerticalSlideVorn(&form);
        slide->setGeometry(kAt.x(), kAt.y(), 15, 120);
        slide->setBarWidth(15);
        slide->setBarHeight(100);
        slide->setBarColor(kGreen);
        slide->setBarPosition(20);
    }

    // A pixel of the slide, in its own coordinates.
    QRgb at(const QImage& image, int x, int y) const { return image.pixel(kAt.x() + x, kAt.y() + y); }

    static constexpr QRgb kBackground = 0xFFC8C8C8;
    static constexpr QRgb kGreen = 0xFF00A000;
    static constexpr QRgb kBlack = 0xFF000000;
    static constexpr QPoint kAt{5, 5};
    QWidget form;
    TVerticalSlideVorn* slide = nullptr;
};

TEST_F(Slide, DrawsTrackAndBar) {
    const QImage image = rendered(form);
    // Track: outline columns 5 and 8 from row 0 to 105, filled between.
    for (int y : {0, 50, 105}) {
        EXPECT_EQ(at(image, 5, y), kBlack) << y;
        EXPECT_EQ(at(image, 8, y), kBlack) << y;
    }
    EXPECT_EQ(at(image, 6, 50), kGreen);
    EXPECT_EQ(at(image, 7, 50), kGreen);
    EXPECT_EQ(at(image, 4, 50), kBackground);
    EXPECT_EQ(at(image, 9, 50), kBackground);
    EXPECT_EQ(at(image, 7, 106), kBackground);
    // Bar: outline rows 20 and 25 from column 2 to 12, a mark on row 23.
    EXPECT_EQ(at(image, 2, 20), kBlack);
    EXPECT_EQ(at(image, 12, 25), kBlack);
    EXPECT_EQ(at(image, 13, 22), kBackground);
    EXPECT_EQ(at(image, 3, 21), kGreen);
    EXPECT_EQ(at(image, 11, 24), kGreen);
    EXPECT_EQ(at(image, 5, 23), kBlack);
    EXPECT_EQ(at(image, 8, 23), kBlack);
    EXPECT_EQ(at(image, 9, 23), kGreen);  // the line leaves out its end
    EXPECT_EQ(at(image, 4, 22), kGreen);
}

TEST_F(Slide, MovedBarLeavesNoTrace) {
    const QImage before = rendered(form);
    slide->setBarPosition(60);
    const QImage after = rendered(form);
    for (int y = 20; y < 26; ++y)
        for (int x = 0; x < 15; ++x) {
            const bool track = x >= 5 && x <= 8;
            if (!track)
                EXPECT_EQ(at(after, x, y), kBackground) << x << "," << y;
            else
                EXPECT_EQ(at(after, x, y), at(before, x, 50)) << x << "," << y;
        }
    EXPECT_EQ(at(after, 2, 60), kBlack);
    EXPECT_EQ(at(after, 3, 61), kGreen);
}

TEST_F(Slide, MouseEventsCarryPositions) {
    std::vector<std::string> events;
    const auto record = [&](const char* what, QPoint p) {
        events.push_back(std::string(what) + " " + std::to_string(p.y()));
    };
    QObject::connect(slide, &TVerticalSlideVorn::OnMouseDown,
                     [&](Qt::MouseButton, Qt::KeyboardModifiers, QPoint p) { record("down", p); });
    QObject::connect(slide, &TVerticalSlideVorn::OnMouseMove,
                     [&](Qt::MouseButtons b, Qt::KeyboardModifiers, QPoint p) {
                         record(b & Qt::LeftButton ? "drag" : "move", p);
                     });
    QObject::connect(slide, &TVerticalSlideVorn::OnMouseUp,
                     [&](Qt::MouseButton, Qt::KeyboardModifiers, QPoint p) { record("up", p); });
    QObject::connect(slide, &TVerticalSlideVorn::OnClick, [&] { events.push_back("click"); });

    sendMouse(*slide, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, {7, 10});
    sendMouse(*slide, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {7, 22});
    sendMouse(*slide, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, {7, 40});
    sendMouse(*slide, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {7, 41});
    EXPECT_EQ(events, (std::vector<std::string>{"move 10", "down 22", "drag 40", "click", "up 41"}));

    // Dragged out of the control: positions beyond it, and no click.
    events.clear();
    sendMouse(*slide, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {7, 22});
    sendMouse(*slide, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, {7, -15});
    sendMouse(*slide, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {7, 300});
    EXPECT_EQ(events, (std::vector<std::string>{"down 22", "drag -15", "up 300"}));
}

} // namespace
