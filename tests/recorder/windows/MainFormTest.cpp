// The recorder's main window, off-screen in demo mode: caption, layout, menu
// commands, the restore request and the ways the window ends.
#include "WindowTestSupport.h"

#include "AcquisitionThreadRM.h"
#include "ShapeVorn.h"
#include "SplashScreenVorn.h"
#include "WidgetLinks.h"

#include <QAccessible>
#include <QEnterEvent>
#include <QFile>
#include <QLabel>
#include <QSignalSpy>

#include <algorithm>
#include <cstring>

namespace {

using Code = TScopeNotifyCode;

TEST(CaptionText, NamesDemoModeOrTheModel) {
    EXPECT_EQ(TMainForm::CaptionText(true, 2),
              QString("<-RUNNING IN DEMO MODE->") + QString(6, ' ') + "RadaDazi Kesto" + "X");
    EXPECT_EQ(TMainForm::CaptionText(false, 0), "RadaDazi Kesto1");
    EXPECT_EQ(TMainForm::CaptionText(false, 2), "RadaDazi Kesto3");
    EXPECT_EQ(TMainForm::CaptionText(false, 5), "RadaDazi Kesto6");
    // No model digit for an ID outside the table.
    EXPECT_EQ(TMainForm::CaptionText(false, 6), "RadaDazi Kesto");
    EXPECT_EQ(TMainForm::CaptionText(false, 7), "RadaDazi Kesto");
    EXPECT_EQ(TMainForm::CaptionText(false, -1), "RadaDazi Kesto");
}

TEST_F(WindowTest, CaptionFollowsTheDriverAndIsSetOnlyWhenItChanges) {
    form = std::make_unique<TMainForm>();
    EXPECT_EQ(form->windowTitle(), "Roll Mode");
    form->Driver().SetLibraryFolder(noDriverFolder());
    QSignalSpy titles(form.get(), &QWidget::windowTitleChanged);
    form->Scope().Startup();
    EXPECT_EQ(form->windowTitle(), TMainForm::CaptionText(true, 0));
    const int changes = titles.count();
    EXPECT_GE(changes, 1);
    form->Scope().Notify(Code::snSettingsChanged, 12);
    form->Scope().Notify(Code::snSettingsChanged, 12);
    EXPECT_EQ(titles.count(), changes);
}

TEST_F(WindowTest, DeviceIdIsReadFromTheDeviceRecord) {
    form = std::make_unique<TMainForm>();
    const int32_t id = 4;
    std::memcpy(form->Scope().DeviceInfo().data() + 236, &id, sizeof id);
    EXPECT_EQ(form->DeviceId(), 4);
}

TEST_F(WindowTest, HintsMenuCaptionsAndTextsComeFromTheTable) {
    TMainForm& window = startedDemoWindow();
    Ui::MainForm& u = window.Controls();
    EXPECT_EQ(u.TriggerAUnderOverButton->toolTip(), "Under/Over select");
    EXPECT_EQ(u.ContRecordButtonVorn1->toolTip(), "Mode continuos");
    EXPECT_EQ(u.SaveRecordLength->toolTip(), "Size of measurement record on disk");
    EXPECT_EQ(u.DisplayButtonVorn->text(), "Display  ");
    EXPECT_EQ(u.InactiveDispLabel->text(), "Display off");
    EXPECT_EQ(u.FileSizeLabel->text(), "Size:");
    EXPECT_EQ(u.VerticalShifts->title(), "Vertical");
    EXPECT_EQ(u.Exit1->text(), "E&xit");
    EXPECT_EQ(u.ThreadpriorityBoosted1->text(), "High priority");
}

// Every panel in place for a client size, none overlapping another.
void expectLayout(TMainForm& window, int width, int height) {
    window.resize(width, height);
    ASSERT_TRUE(processEventsUntil([&] { return window.size() == QSize(width, height); }));
    QApplication::processEvents();
    Ui::MainForm& u = window.Controls();
    const int clientWidth = u.ClientArea->width();
    const int clientHeight = u.ClientArea->height();
    const auto right = [](QWidget* w) { return w->geometry().right() + 1; };
    const auto bottom = [](QWidget* w) { return w->geometry().bottom() + 1; };

    // The bottom row centred, side by side, at the bottom of the client area.
    QWidget* const row[] = {u.SavePanel, u.TimeBasePanel, u.RecordPanel, u.TriggerPanel, u.ARMPanel};
    int rowWidth = 0;
    for (QWidget* panel : row)
        rowWidth += panel->width();
    EXPECT_EQ(u.SavePanel->x(), (clientWidth - rowWidth) / 2);
    EXPECT_GE(u.SavePanel->x(), 0);
    EXPECT_EQ(bottom(u.SavePanel), clientHeight);
    for (int i = 1; i < 5; ++i) {
        EXPECT_EQ(row[i]->x(), right(row[i - 1]));
        EXPECT_EQ(row[i]->y(), u.SavePanel->y());
    }
    EXPECT_EQ(bottom(u.SweepPanel), u.SavePanel->y());

    // Top row and right column.
    EXPECT_EQ(u.InfoPanelA->x(), right(u.Channels));
    EXPECT_EQ(u.InfoPanelB->x(), right(u.InfoPanelA) + 4);
    EXPECT_EQ(u.InfoPanelB->width(), u.InfoPanelA->width());
    EXPECT_LE(right(u.InfoPanelB), u.Source->x());
    EXPECT_EQ(right(u.Source), clientWidth);
    EXPECT_EQ(bottom(u.Density), u.TimeBasePanel->y());
    // The information panel's controls stay inside it.
    for (QWidget* control : u.InfoPanelA->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (control->isVisibleTo(u.InfoPanelA)) {
            EXPECT_GE(control->x(), 0) << control->objectName().toStdString();
        }

    // The displays between Mode and Source, from the top row to the bottom row.
    for (QWidget* display : {static_cast<QWidget*>(u.RollScreenShiftVornRM1),
                             static_cast<QWidget*>(u.RollScreenEKGVornRM1)}) {
        EXPECT_EQ(display->x(), u.Mode->width() + 1);
        EXPECT_EQ(right(display), u.Source->x() - 1);
        EXPECT_EQ(display->y(), u.InfoPanelA->height());
        EXPECT_EQ(bottom(display), u.TimeBasePanel->y());
    }

    // The up-buttons just below the title; the sliders fill the rest of the
    // vertical panel; their bars are 15 pixels shorter.
    const int titleBottom = u.VerticalShifts->contentsRect().top();
    EXPECT_GT(titleBottom, 10);
    for (QWidget* up : {u.SlideUpButtonA, u.SlideUpButtonB})
        EXPECT_EQ(up->y(), titleBottom);
    for (TVerticalSlideVorn* slide : {u.VerticalSlideA, u.VerticalSlideB}) {
        EXPECT_EQ(slide->height(),
                  u.VerticalShifts->height() - u.SlideDownButtonA->height() - u.SlideUpButtonA->height() - titleBottom);
        EXPECT_EQ(slide->BarHeight(), slide->height() - 15);
    }
    EXPECT_EQ(bottom(u.SlideDownButtonA), u.VerticalShifts->height());
    EXPECT_EQ(window.Scope().MaxChannelA(), u.VerticalSlideA->BarHeight());
    EXPECT_EQ(window.Scope().MaxChannelB(), u.VerticalSlideB->BarHeight());

    // No two panels of the client area overlap (the two displays share a place).
    std::vector<QWidget*> panels;
    for (QWidget* child : u.ClientArea->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child != u.RollScreenEKGVornRM1 && child != u.InactiveDispLabel)
            panels.push_back(child);
    for (size_t i = 0; i < panels.size(); ++i) {
        EXPECT_TRUE(u.ClientArea->rect().contains(panels[i]->geometry())) << panels[i]->objectName().toStdString();
        for (size_t j = i + 1; j < panels.size(); ++j)
            EXPECT_FALSE(panels[i]->geometry().intersects(panels[j]->geometry()))
                << panels[i]->objectName().toStdString() << " / " << panels[j]->objectName().toStdString();
    }
}

TEST_F(WindowTest, LayoutAtTheMinimumAndAtALargeSize) {
    TMainForm& window = startedDemoWindow();
    window.show();
    expectLayout(window, 800, 600);
    expectLayout(window, 1280, 1024);
    expectLayout(window, 824, 600);
}

TEST_F(WindowTest, HiddenWindowIsLaidOutBeforeTheStartUp) {
    form = std::make_unique<TMainForm>();
    Ui::MainForm& u = form->Controls();
    EXPECT_EQ(u.ClientArea->width(), TMainForm::kInitialWidth);
    EXPECT_GT(u.VerticalSlideA->BarHeight(), 150);
    EXPECT_EQ(u.VerticalSlideA->BarHeight(), u.VerticalSlideA->height() - 15);
    form->Driver().SetLibraryFolder(noDriverFolder());
    form->Scope().Startup();
    // The slide heights reach the scope with the start-up broadcasts.
    EXPECT_EQ(form->Scope().MaxChannelA(), u.VerticalSlideA->BarHeight());
}

TEST_F(WindowTest, RestoreDefaultsAsksFirst) {
    startedDemoWindow();
    recordNotices();
    messages.queueAnswer(rm::MsgResult::Cancel);
    form->Controls().Restoredefaults1->trigger();
    EXPECT_TRUE(notices.empty());
    messages.queueAnswer(rm::MsgResult::Ok);
    form->Controls().Restoredefaults1->trigger();
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_EQ(notices[0], std::make_pair(Code::snRestoreDefaults, 13));
    EXPECT_EQ(notices[1], std::make_pair(Code::snSettingsChanged, 13));
    EXPECT_EQ(messages.texts().back(), "Current settings will be lost. Continue?");
}

TEST_F(WindowTest, SettingsMenusBroadcast) {
    startedDemoWindow();
    recordNotices();
    form->Controls().Loadsettings1->trigger();
    form->Controls().Savesettings1->trigger();
    EXPECT_EQ(notices, (std::vector<std::pair<Code, int>>{
                           {Code::snLoadUserSettings, 13}, {Code::snSettingsChanged, 13}, {Code::snSaveUserSettings, 13}}));
}

TEST_F(WindowTest, ToolTipHelpAndHighPriorityInvertOnce) {
    TMainForm& window = startedDemoWindow();
    Ui::MainForm& u = window.Controls();
    const bool hints = window.Scope().ShowRirizHelp();
    const bool boost = window.Scope().BoostThread();
    EXPECT_EQ(u.ToolTipHelp1->isChecked(), hints);
    EXPECT_EQ(u.ThreadpriorityBoosted1->isChecked(), boost);

    u.ToolTipHelp1->trigger();
    EXPECT_EQ(window.Scope().ShowRirizHelp(), !hints);
    EXPECT_EQ(u.ToolTipHelp1->isChecked(), !hints);
    EXPECT_EQ(window.Hints().HintsShown(), !hints);

    u.ThreadpriorityBoosted1->trigger();
    EXPECT_EQ(window.Scope().BoostThread(), !boost);
    EXPECT_EQ(u.ThreadpriorityBoosted1->isChecked(), !boost);

    u.ToolTipHelp1->trigger();
    u.ThreadpriorityBoosted1->trigger();
    EXPECT_EQ(window.Scope().ShowRirizHelp(), hints);
    EXPECT_EQ(u.ToolTipHelp1->isChecked(), hints);
    EXPECT_EQ(window.Scope().BoostThread(), boost);
    EXPECT_EQ(u.ThreadpriorityBoosted1->isChecked(), boost);
}

TEST_F(WindowTest, ShellCommandsOfTheMenus) {
    TMainForm& window = startedDemoWindow();
    Ui::MainForm& u = window.Controls();
    u.Viewer1->trigger();
    u.Index1->trigger();
    u.NorvakWeb1->trigger();
    u.Support1->trigger();
    EXPECT_EQ(shell.startedPrograms(), (std::vector<QString>{"./PreviewVornRM"}));
    const auto urls = shell.openedUrls();
    ASSERT_EQ(urls.size(), 3u);
    EXPECT_EQ(urls[0], QUrl::fromLocalFile(QDir::current().filePath("Help/help.htm")));
    EXPECT_EQ(urls[1].host(), "www.example.com");
    EXPECT_EQ(urls[2].scheme(), "mailto");
    EXPECT_TRUE(urls[2].path().endsWith("@example.com"));
}

// With no program on the machine for them, the Help entries say so, naming
// the help page, the web page and the mail address.
TEST_F(WindowTest, HelpEntriesSayWhenNothingOpensThem) {
    TMainForm& window = startedDemoWindow();
    Ui::MainForm& u = window.Controls();
    messages.clear();
    shell.setOpensUrls(false);
    u.Index1->trigger();
    u.NorvakWeb1->trigger();
    u.Support1->trigger();
    const auto texts = messages.texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].rfind(QDir::current().filePath("Help/help.htm").toStdString() + " could not be opened", 0), 0u);
    EXPECT_EQ(texts[1].rfind("https://www.example.com/ could not be opened", 0), 0u);
    EXPECT_EQ(texts[2].rfind("support@example.com could not be opened", 0), 0u);
}

TEST_F(WindowTest, ExitAsksAndClosesOnYesOnly) {
    TMainForm& window = startedDemoWindow();
    window.show();
    messages.queueAnswer(rm::MsgResult::No);
    window.Controls().Exit1->trigger();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.ShutdownRuns(), 0);
    messages.queueAnswer(rm::MsgResult::Yes);
    window.Controls().Exit1->trigger();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.ShutdownRuns(), 1);
    EXPECT_EQ(messages.texts().back(), "Exit program?");
}

TEST_F(WindowTest, RestoreRequestUnminimisesAShownWindowOnly) {
    form = std::make_unique<TMainForm>();
    form->RestoreRequest();  // during the start-up: the window stays hidden
    EXPECT_FALSE(form->isVisible());
    form->Driver().SetLibraryFolder(noDriverFolder());
    form->Scope().Startup();
    form->show();
    form->showMinimized();
    ASSERT_TRUE(processEventsUntil([&] { return form->isMinimized(); }));
    form->RestoreRequest();
    EXPECT_TRUE(processEventsUntil([&] { return !form->isMinimized(); }));
    EXPECT_TRUE(form->isVisible());
}

TEST_F(WindowTest, ClosingTwiceShutsDownOnceAndStopsTheThreads) {
    TMainForm& window = startedDemoWindow();
    recordNotices();
    window.show();
    EXPECT_NE(window.FlowManager().AcquisitionThread(), nullptr);
    window.close();
    window.close();
    EXPECT_EQ(window.ShutdownRuns(), 1);
    EXPECT_EQ(std::count(notices.begin(), notices.end(), std::make_pair(Code::snShutdown, 255)), 1);
    EXPECT_EQ(window.FlowManager().AcquisitionThread(), nullptr);
    EXPECT_EQ(window.FlowManager().ProcessingThread(), nullptr);
    EXPECT_EQ(window.Scope().Listeners().ListenerCount(), 0);
    // Resizing while ending broadcasts nothing.
    notices.clear();
    window.FormResize();
    EXPECT_TRUE(notices.empty());
}

TEST_F(WindowTest, DestroyingWithoutACloseShutsDown) {
    startedDemoWindow();
    recordNotices();
    form->show();
    form.reset();
    EXPECT_EQ(std::count(notices.begin(), notices.end(), std::make_pair(Code::snShutdown, 255)), 1);
    // The settings were saved by the shutdown.
    EXPECT_TRUE(QFile::exists(QString::fromStdString(file("RadaDazi.ini"))));
}

TEST_F(WindowTest, DestroyingAWindowThatNeverStarted) {
    form = std::make_unique<TMainForm>();
    form.reset();
}

TEST_F(WindowTest, EndingTheProgramInTheDriverQuestion) {
    form = std::make_unique<TMainForm>();
    form->Driver().SetLibraryFolder(noDriverFolder());
    messages.setDefaultAnswer(rm::MsgResult::No);  // "Driver ... not present. Continue?" No
    form->Scope().Startup();
    EXPECT_TRUE(form->TerminationRequested());
    // No quit was queued: nothing ends the application behind the start-up's back.
    QApplication::processEvents();
    form->close();
    EXPECT_EQ(form->ShutdownRuns(), 1);
    EXPECT_EQ(form->FlowManager().AcquisitionThread(), nullptr);
}

TEST_F(WindowTest, LampsAreRedCirclesAndDisplayOffIsHiddenAtStart) {
    form = std::make_unique<TMainForm>();
    Ui::MainForm& u = form->Controls();
    for (TShapeVorn* lamp : {u.ArmLED, u.TriggerLED}) {
        EXPECT_TRUE(lamp->Circle());
        EXPECT_EQ(lamp->BrushColor(), QColor(Qt::red));
    }
    EXPECT_FALSE(u.ChannelColorA->Circle());
    EXPECT_FALSE(u.InactiveDispLabel->isVisibleTo(u.ClientArea));
}

// While the pointer rests on a live reading it holds its value, in bold.
TEST_F(WindowTest, LiveReadingsHoldTheirValueUnderThePointer) {
    form = std::make_unique<TMainForm>();
    Ui::MainForm& u = form->Controls();
    for (TUnitValueLabel* reading : {u.TimeVoltageA, u.TimeVoltageB}) {
        reading->setMainValue(1500);
        QApplication::processEvents();
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
        QApplication::sendEvent(reading, &enter);
        reading->setMainValue(2000);
        EXPECT_TRUE(reading->isHovered()) << reading->objectName().toStdString();
        EXPECT_TRUE(reading->isHeld());
        EXPECT_EQ(reading->MyString(), "1.5V");
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(reading, &leave);
        reading->setMainValue(2500);
        EXPECT_EQ(reading->MyString(), "2.5V");
    }
}

QString spokenName(QWidget* widget) {
    return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
}

// Controls that show no text are read by what a user would call them, not by
// the title of the group they sit in.
TEST_F(WindowTest, ControlsWithoutTextAreNamedForScreenReaders) {
    form = std::make_unique<TMainForm>();
    Ui::MainForm& u = form->Controls();
    const std::pair<QWidget*, const char*> expected[] = {
        {u.GridBrightness, "Adjust grid brightness"},
        {u.SmpScrollBar, "Set sampling rate"},
        {u.DSPScrollBar, "Set display rate"},
        {u.SaveFileEdit, "Data file"},
        {u.SaveFileBrowseButton, "Browse for data file"},
        {u.LongerTimeEditVornRM1, "Length:"},
        {u.SweepMinimum, "Display minimums"},
        {u.SweepMaximum, "Display maximums"},
        {u.SweepAverage, "Display averages"},
        {u.SlideUpButtonA, "Shift up trace A"},
        {u.SlideUpButtonB, "Shift up trace B"},
        {u.SlideDownButtonA, "Shift down trace A"},
        {u.SlideDownButtonB, "Shift down trace B"},
        {u.VerticalSlideA, "Position of trace A"},
        {u.VerticalSlideB, "Position of trace B"},
        {u.TriggerAVoltageValueEditVorn1, "Trigger threshold channel A"},
        {u.TriggerBVoltageValueEditVorn1, "Trigger threshold channel B"},
        {u.ArmAVoltageValueEditVorn1, "Arm threshold channel A"},
        {u.ArmBVoltageValueEditVorn1, "Arm threshold channel B"},
        {u.TriggerLED, "Trigger: stopped"},
        {u.ArmLED, "Arm: stopped"},
    };
    for (const auto& [widget, name] : expected)
        EXPECT_EQ(spokenName(widget).toStdString(), name) << widget->objectName().toStdString();
}

TEST_F(WindowTest, LampsNameTheStateTheirColourShows) {
    TShapeVorn shape;
    shape.setBrushColor(Qt::red);
    ShapeLamp lamp(shape, {"Arm: stopped", "Arm: waiting", "Arm: armed"});
    EXPECT_EQ(spokenName(&shape), "Arm: stopped");
    lamp.SetLampColor(TAcquisitionThreadRM::kLampYellow);
    EXPECT_EQ(spokenName(&shape), "Arm: waiting");
    lamp.SetLampColor(TAcquisitionThreadRM::kLampGreen);
    EXPECT_EQ(spokenName(&shape), "Arm: armed");
    EXPECT_EQ(shape.BrushColor(), QColor(0, 0x80, 0));
    lamp.SetLampColor(TAcquisitionThreadRM::kLampRed);
    EXPECT_EQ(spokenName(&shape), "Arm: stopped");
}

// ---- Splash ----------------------------------------------------------------

TEST_F(WindowTest, SplashShowsOurPictureAndTheStatusLine) {
    TSplashScreenVorn splash;
    EXPECT_EQ(splash.size(), QSize(390, 265));
    EXPECT_EQ(splash.windowTitle(), "Tarsel series scope");
    EXPECT_FALSE(splash.windowFlags() & Qt::WindowStaysOnTopHint);
    ASSERT_FALSE(splash.SplashBackground()->pixmap().isNull());
    EXPECT_EQ(splash.SplashBackground()->pixmap().size(), QSize(390, 265));
    splash.show();
    splash.SetStatus("Device initialization");
    QLabel* status = splash.SplashStatusLabel();
    EXPECT_EQ(status->text(), "Device initialization");
    EXPECT_EQ(status->width(), 390);
    EXPECT_EQ(status->palette().color(QPalette::Window), QColor(0x28, 0x16, 0x6F));
    EXPECT_EQ(status->palette().color(QPalette::WindowText), QColor(Qt::white));
}

TEST_F(WindowTest, CorruptSplashPictureShowsThePlainSplash) {
    QByteArray picture = TSplashScreenVorn::defaultPicture();
    ASSERT_GT(picture.size(), 1000);
    picture.truncate(picture.size() / 3);
    picture[picture.size() / 2] = 'x';
    TSplashScreenVorn cut(picture);
    EXPECT_TRUE(cut.SplashBackground()->pixmap().isNull());
    TSplashScreenVorn garbage(QByteArray("not a picture"));
    EXPECT_TRUE(garbage.SplashBackground()->pixmap().isNull());
    garbage.show();
    garbage.SetStatus("Application environment initialization");
    EXPECT_EQ(garbage.SplashStatusLabel()->text(), "Application environment initialization");
}

} // namespace
