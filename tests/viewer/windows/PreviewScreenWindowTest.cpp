#include "WindowRig.h"

#include "DataSource.h"
#include "OnOffButton.h"
#include "OpenControlVornRMPrv.h"
#include "PreviewScreenPelkRM.h"
#include "RollModeStream.h"
#include "UnitValueLabel.h"
#include "ViewBarVornPrv.h"

#include "ui_PreviewScreenRM.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QScreen>
#include <QLineEdit>
#include <QProgressBar>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
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

TEST(PreviewScreenWindow, ThreeStartsKeepTheWindowSizeAndATooLargeOneKeepsItsTitleBarOnTheScreen) {
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
    // The off-screen platform's screen is narrower than the window's minimum
    // with its frame: the frame starts at the screen's top-left corner, and
    // the height is held to the screen, frame included.
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect frame = rig.window->frameGeometry();
    ASSERT_GT(frame.width(), area.width());
    EXPECT_EQ(rig.window->width(), rig.window->minimumWidth());
    EXPECT_EQ(frame.topLeft(), area.topLeft());
    EXPECT_EQ(frame.bottom(), area.bottom());
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

// Columns of a picture that show a trace in channel A's or B's colour.
int traceColumns(const QImage& picture) {
    int columns = 0;
    for (int x = 0; x < picture.width(); ++x) {
        bool trace = false;
        for (int y = 0; y < picture.height(); ++y)
            trace = trace || picture.pixel(x, y) == qRgb(0, 128, 0) || picture.pixel(x, y) == qRgb(255, 255, 0);
        columns += trace;
    }
    return columns;
}

TEST(PreviewScreenWindow, AFailedOpenShowsNoFileAsAtStart) {
    WindowRig rig;
    writeRecording(rig.folder.file("run1.rmd"), 2'000'000);  // the quick bar's handle covers a part
    rig.start();
    TPreviewScreenRM& window = *rig.window;
    Ui::TPreviewScreenRM& f = window.Form();
    const QString title = window.windowTitle();
    const QImage display = window.MainDisplay().Picture().copy();
    const QImage time = f.TimeBar->Picture().copy();
    f.SaveFileEdit->setText("run1");
    QTest::keyClick(f.SaveFileEdit, Qt::Key_Return);
    QTest::mouseClick(f.OpenButton, Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return window.PreviewEngine().NewDataReady && f.ProgressLabel->MyString() == "Ready"; }));
    settle();
    ASSERT_NE(window.MainDisplay().Picture(), display);
    ASSERT_GT(traceColumns(f.QuickView->Picture()), 0);
    ASSERT_GT(traceColumns(f.BufferView->Picture()), 0);
    const std::vector<TUnitValueLabel*> voltages{f.ChannelAVoltage,    f.ChannelAbsolute1A, f.ChannelAbsolute2A,
                                                 f.ChannelBVoltage,    f.ChannelAbsolute1B, f.ChannelAbsolute2B};
    ASSERT_TRUE(waitUntil([&] {
        return std::any_of(voltages.begin(), voltages.end(), [](auto* label) { return label->MainValue() != 0; });
    }));

    rig.messages.clear();
    f.SaveFileEdit->setText(QString::fromStdString(rig.folder.file("missing.rmd")));
    QTest::keyClick(f.SaveFileEdit, Qt::Key_Return);
    settle();
    EXPECT_EQ(rig.messages.texts(), (std::vector<std::string>{"File does not exist"}));
    EXPECT_EQ(window.windowTitle(), title);
    EXPECT_EQ(window.MainDisplay().Picture(), display);
    EXPECT_EQ(f.TimeBar->Picture(), time);
    for (TViewBarVornPrv* bar : {static_cast<TViewBarVornPrv*>(f.QuickView), static_cast<TViewBarVornPrv*>(f.BufferView)}) {
        EXPECT_FALSE(bar->ViewReady());
        EXPECT_EQ(traceColumns(bar->Picture()), 0);
    }
    for (const TUnitValueLabel* label : voltages)
        EXPECT_EQ(label->MainValue(), 0) << label->objectName().toStdString();
    rig.stop();
}

TEST(PreviewScreenWindow, ClosingTheMainWindowClosesTheTimeRelationsWindow) {
    WindowRig rig;
    rig.start();
    rig.window->DataSource().Cursors().ShowCursorTimes();
    settle();
    const auto shownWindows = [] {
        int shown = 0;
        for (const QWidget* w : QApplication::topLevelWidgets())
            shown += w->isVisible();
        return shown;
    };
    ASSERT_EQ(shownWindows(), 2);
    rig.window->close();
    settle();
    EXPECT_EQ(shownWindows(), 0);  // so the program ends
    rig.stop();
}

TEST(PreviewScreenWindow, EveryProgressTextIsReadableWhole) {
    WindowRig rig;
    RollModeStream stream;
    stream.SamplesPerSecond(1000);
    stream.Samples(2000);
    stream.Raw({0, 2});  // a block length that fits nothing
    stream.Samples(2000);
    ASSERT_TRUE(stream.WriteFile(rig.folder.file("bad.rmd")));
    rig.start();
    Ui::TPreviewScreenRM& f = rig.window->Form();
    EXPECT_LE(f.ProgressLabel->geometry().right(), f.BufferingPanel->width() - 2);

    // Texts longer than the label, set by the worker, are its hint whole.
    f.SaveFileEdit->setText("bad");
    QTest::keyClick(f.SaveFileEdit, Qt::Key_Return);
    QTest::mouseClick(f.OpenButton, Qt::LeftButton);
    const QString damaged = "Ready (data file damaged: 1 damaged parameter blocks skipped)";
    EXPECT_TRUE(waitUntil([&] { return f.ProgressLabel->toolTip() == damaged; }));
    EXPECT_EQ(f.ProgressLabel->MyString(), damaged);

    // The note goes with the file.
    f.SaveFileEdit->setText(QString::fromStdString(rig.folder.file("missing.rmd")));
    QTest::keyClick(f.SaveFileEdit, Qt::Key_Return);
    settle();
    EXPECT_EQ(f.ProgressLabel->MyString(), "Ready");
    EXPECT_EQ(f.ProgressLabel->toolTip(), "Ready");
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
