#include "WindowRig.h"

#include "DataSource.h"
#include "OnOffButton.h"
#include "OpenControlVornRMPrv.h"
#include "PreviewScreenPelkRM.h"
#include "RollModeStream.h"
#include "UnitValueLabel.h"

#include "ui_PreviewScreenRM.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QScreen>
#include <QLineEdit>
#include <QProgressBar>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace rm::viewer::test {
namespace {

void writeRecording(const std::string& path, int64_t samples) {
    RollModeStream stream;
    stream.StartMeasurement({});
    stream.Samples(samples);
    stream.StopMeasurement();
    ASSERT_TRUE(stream.WriteFile(path));
}

TEST(PreviewScreenWindow, AFirstStartAsksForNothingButShowsTheMissingFileOnce) {
    WindowRig rig;
    rig.start();
    TPreviewScreenRM& window = *rig.window;
    EXPECT_EQ(rig.messages.texts(), (std::vector<std::string>{"File Preview.ini is missing"}));
    EXPECT_EQ(window.windowTitle(), "Norvak Roll mode viewer");
    EXPECT_EQ(window.size(), QSize(800, 592));  // the stored 0 x 0 held to the minimum
    Ui::TPreviewScreenRM& f = window.Form();
    EXPECT_FALSE(f.Print1->isEnabled());
    EXPECT_TRUE(f.ActivateGrid->isChecked());
    EXPECT_EQ(f.ChannelsPanel->title(), " Display ");
    EXPECT_EQ(f.BufferingPanel->title(), " Progress ");
    EXPECT_EQ(f.OpenFilePanel->title(), " Load ");
    EXPECT_EQ(f.VoltagesPanel->title(), " Cursors ");
    EXPECT_EQ(f.SweepPanel->title(), " DSP/SMP ");
    EXPECT_EQ(f.ZoomPanel->title(), "Zoom");
    EXPECT_EQ(f.FileSizeLabel->text(), "Size:");
    EXPECT_EQ(f.SaveFileBrowseButton->toolTip(), "Browse for data file");
    EXPECT_EQ(f.ChannelButtonD->toolTip(), "Activates/deactivates given channel");
    EXPECT_EQ(f.SweepAverage->toolTip(), "Selects Max/Min/Avg agregation mode");
    EXPECT_EQ(f.QuickView->toolTip(), "Screen buffer shift in file");
    EXPECT_EQ(f.ProgressLabel->MyString(), "Ready");
    EXPECT_EQ(f.SaveRecordLength->ControlType(), 3);
    rig.stop();
    std::ifstream ini(rig.folder.file("Preview.ini"), std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(ini), std::istreambuf_iterator<char>()};
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 24);
}

TEST(PreviewScreenWindow, TheLayoutStacksDisplayAndBarsAndCentresTheBottomRow) {
    WindowRig rig;
    rig.start();
    TPreviewScreenRM& window = *rig.window;
    Ui::TPreviewScreenRM& f = window.Form();
    window.resize(1000, 700);
    settle();
    const int clientWidth = f.centralwidget->width();
    const int clientHeight = f.centralwidget->height();
    EXPECT_EQ(f.PreviewScreenVornRM->geometry().top(), f.VoltagesPanel->height() + 1);
    EXPECT_EQ(f.PreviewScreenVornRM->width(), clientWidth);
    EXPECT_EQ(f.TimeBar->y(), f.PreviewScreenVornRM->geometry().bottom() + 2);
    EXPECT_EQ(f.BufferView->height(), 50);
    EXPECT_EQ(f.QuickView->geometry().bottom() + 1, clientHeight - f.ChannelsPanel->height());
    EXPECT_EQ(f.VoltagesPanel->x(), (clientWidth - f.VoltagesPanel->width()) / 2);
    const int rowWidth = f.OpenFilePanel->width() + f.ChannelsPanel->width() + f.SweepPanel->width() +
                         f.ZoomPanel->width() + f.BufferingPanel->width();
    EXPECT_EQ(f.OpenFilePanel->x(), (clientWidth - rowWidth) / 2);
    EXPECT_EQ(f.ChannelsPanel->x(), f.OpenFilePanel->geometry().right() + 1);
    EXPECT_EQ(f.SweepPanel->x(), f.ChannelsPanel->geometry().right() + 1);
    EXPECT_EQ(f.ZoomPanel->x(), f.SweepPanel->geometry().right() + 1);
    EXPECT_EQ(f.BufferingPanel->x(), f.ZoomPanel->geometry().right() + 1);
    EXPECT_EQ(f.BufferingPanel->y(), clientHeight - f.ChannelsPanel->height());
    EXPECT_EQ(window.PreviewEngine().MainScreenWidth, static_cast<uint32_t>(clientWidth));
    EXPECT_EQ(window.PreviewEngine().ActualPointsCount(), static_cast<uint32_t>(clientWidth));
    EXPECT_EQ(window.PreviewEngine().MainWindowWidth, 1000u);
    EXPECT_EQ(window.MainDisplay().Picture().size(), f.PreviewScreenVornRM->size());

    // Smaller than the controls need: the display keeps 255 rows.
    window.setMinimumSize(0, 0);
    window.resize(800, 300);
    settle();
    EXPECT_EQ(f.PreviewScreenVornRM->height(), 255);
    rig.stop();
}

TEST(PreviewScreenWindow, ThreeStartsKeepTheWindowSizeAndATooLargeOneIsHeldToTheScreen) {
    WindowRig rig;
    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
    const QSize chosen(std::min(screen.width(), 820), std::min(screen.height(), 655));
    rig.start();
    rig.window->resize(chosen);
    settle();
    rig.stop();
    for (int run = 0; run < 3; ++run) {
        rig.start();
        EXPECT_EQ(rig.window->size(), chosen) << run;
        rig.stop();
    }
    rig.start();
    rig.window->PreviewEngine().MainWindowWidth = static_cast<uint32_t>(screen.width() + 300);
    rig.window->PreviewEngine().MainWindowHeight = static_cast<uint32_t>(screen.height() + 300);
    rig.window->PreviewEngine().Notify(enInitialize, kGroupAll);
    settle();
    EXPECT_EQ(rig.window->size(), screen);
    rig.stop();
}

TEST(PreviewScreenWindow, OpeningAFileTitlesTheWindowAndDrawsItsViews) {
    WindowRig rig;
    writeRecording(rig.folder.file("run1.rmd"), 300000);
    rig.start();
    TPreviewScreenRM& window = *rig.window;
    Ui::TPreviewScreenRM& f = window.Form();
    f.SaveFileEdit->setText("run1");
    QTest::keyClick(f.SaveFileEdit, Qt::Key_Return);
    EXPECT_EQ(window.windowTitle(), "Norvak Roll mode viewer       run1.rmd");
    EXPECT_GT(f.SaveRecordLength->MainValue(), 600000);
    EXPECT_FALSE(f.Print1->isEnabled());
    QTest::mouseClick(f.OpenButton, Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return window.PreviewEngine().NewDataReady && f.ProgressLabel->MyString() == "Ready"; }));
    settle();
    EXPECT_TRUE(f.Print1->isEnabled());
    EXPECT_EQ(f.Gauge1->value(), 100);
    // Green and yellow traces on black.
    const QImage& picture = window.MainDisplay().Picture();
    int green = 0, yellow = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            green += picture.pixel(x, y) == qRgb(0, 128, 0);
            yellow += picture.pixel(x, y) == qRgb(255, 255, 0);
        }
    EXPECT_GT(green, picture.width() / 2);
    EXPECT_GT(yellow, picture.width() / 2);

    // Show grid: off, then on again.
    const QImage withGrid = picture.copy();
    f.ActivateGrid->trigger();
    settle();
    EXPECT_FALSE(window.PreviewEngine().GridActive);
    EXPECT_FALSE(f.ActivateGrid->isChecked());
    EXPECT_NE(window.MainDisplay().Picture(), withGrid);
    f.ActivateGrid->trigger();
    settle();
    EXPECT_EQ(window.MainDisplay().Picture(), withGrid);
    rig.stop();
}

TEST(PreviewScreenWindow, ExitAsksAndNoKeepsTheViewerRunning) {
    WindowRig rig;
    rig.start();
    rig.messages.clear();
    rig.messages.queueAnswer(MsgResult::No);
    rig.window->Form().Exit1->trigger();
    settle();
    EXPECT_EQ(rig.messages.texts(), (std::vector<std::string>{"Exit program?"}));
    EXPECT_TRUE(rig.window->isVisible());
    EXPECT_FALSE(rig.window->PreviewEngine().ShuttingDown());
    rig.messages.queueAnswer(MsgResult::Yes);
    rig.window->Form().Exit1->trigger();
    settle();
    EXPECT_FALSE(rig.window->isVisible());
    EXPECT_TRUE(rig.window->PreviewEngine().ShuttingDown());
    rig.window.reset();
}

} // namespace
} // namespace rm::viewer::test
