// The main window on a screen larger than its minimum size (1280 x 1024,
// framed windows): a stored size larger than the screen is held to it with
// the frame included.
#include "WindowRig.h"

#include "ui_PreviewScreenRM.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QScreen>

#include <gtest/gtest.h>

#include <fstream>

namespace rm::viewer::test {
namespace {

// Before the application exists: the off-screen platform with the large screen.
const bool kLargeScreen = [] {
    return qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + RM_LARGE_SCREEN_CONFIG);
}();

void storeWindowSize(const WindowRig& rig, int width, int height) {
    std::ofstream(rig.folder.file("Preview.ini"), std::ios::binary)
        << "MainWindowWidth: " << width << "\r\nMainWindowHeight: " << height << "\r\n";
}

// The lower edge of the bottom panel row, in screen coordinates.
int panelRowBottom(TPreviewScreenRM& window) {
    const QWidget& row = *window.Form().ChannelsPanel;
    return row.mapToGlobal(QPoint(0, row.height() - 1)).y();
}

TEST(WindowOnScreen, AStoredSizeLargerThanTheScreenKeepsTheWholeWindowOnIt) {
    ASSERT_TRUE(kLargeScreen);
    WindowRig rig;
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_EQ(area.size(), QSize(1280, 1024));
    storeWindowSize(rig, 3000, 2500);
    rig.start();
    TPreviewScreenRM& window = *rig.window;
    const QRect frame = window.frameGeometry();
    ASSERT_NE(frame, window.geometry()) << "framed";
    EXPECT_TRUE(area.contains(frame)) << frame.x() << "," << frame.y() << " " << frame.width() << "x"
                                      << frame.height();
    EXPECT_EQ(frame.size(), area.size()) << "as large as the screen allows";
    EXPECT_LE(panelRowBottom(window), area.bottom());
    rig.stop();

    // What was stored (the window's own measure) comes back the same.
    rig.start();
    EXPECT_EQ(rig.window->frameGeometry(), frame);
    rig.stop();
}

TEST(WindowOnScreen, AStoredSizeThatFitsIsKeptAndTheWindowCentred) {
    WindowRig rig;
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    storeWindowSize(rig, 900, 700);
    rig.start();
    EXPECT_EQ(rig.window->size(), QSize(900, 700));
    const QRect frame = rig.window->frameGeometry();
    EXPECT_TRUE(area.contains(frame));
    EXPECT_LE(std::abs(frame.center().x() - area.center().x()), 1);
    EXPECT_LE(std::abs(frame.center().y() - area.center().y()), 1);
    rig.stop();
}

} // namespace
} // namespace rm::viewer::test
