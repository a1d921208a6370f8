#include "MainForm.h"

#include "DesktopLink.h"
#include "MessageBoxes.h"
#include "QuorvRMDrv.h"
#include "RecorderDialogs.h"
#include "ShellSeams.h"
#include "dialogs/DialogStrings.h"
#include "recorder/RecorderStrings.h"
#include "ui_MainForm.h"

#include <QCloseEvent>
#include <QDir>
#include <QLayout>
#include <QUrl>

#include <array>
#include <clocale>
#include <cstddef>
#include <cstring>

namespace {

namespace S = RecorderStrings;

QString text(const char* value) { return QString::fromUtf8(value); }

// Model digits of the device IDs 0..5.
constexpr std::array<int32_t, 6> kModelDigits = {1, 2, 3, 4, 5, 6};

constexpr int kControlGroup = ScopeGroup::MainWindow;

int right(const QWidget* w) { return w->x() + w->width(); }
int bottom(const QWidget* w) { return w->y() + w->height(); }

} // namespace

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent), ui_(std::make_unique<Ui::MainForm>()) {
    ui_->setupUi(this);
    resize(kInitialWidth, kInitialHeight);
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    infoPanelWidth_ = ui_->InfoPanelA->width();
    repeatTimer_.setInterval(1000);
    CreateEngine();
    CreatePanelBinders();
    FormCreate();
    ConnectMenus();
    LayoutControls();
}

TMainForm::~TMainForm() {
    ending_ = true;
    FormClose();
    binders_.clear();
    // The widgets go before the engine objects; nothing calls them any more.
    scope_.SetFileSizeLabel(nullptr);
    scope_.SetActualVoltageA(nullptr);
    scope_.SetActualVoltageB(nullptr);
    delete takeCentralWidget();
}

// ---- Composition -------------------------------------------------------------

void TMainForm::CreateEngine() {
    driver_.SetTerminateHandler([this] { RequestTermination(); });
    scope_.SetVirtualDriver(&driver_);

    fileSizeLink_.emplace(*ui_->SaveRecordLength);
    voltageALink_.emplace(*ui_->TimeVoltageA);
    voltageBLink_.emplace(*ui_->TimeVoltageB);
    scope_.SetFileSizeLabel(&*fileSizeLink_);
    scope_.SetActualVoltageA(&*voltageALink_);
    scope_.SetActualVoltageB(&*voltageBLink_);

    ring_.SetControlGroup(ScopeGroup::DataSource);
    ring_.SetVirtualScope(&scope_);

    ui_->RollScreenShiftVornRM1->SetControlGroup(ScopeGroup::ShiftDisplay);
    ui_->RollScreenShiftVornRM1->SetVirtualScope(&scope_);
    ui_->RollScreenEKGVornRM1->SetControlGroup(ScopeGroup::SweepingDisplay);
    ui_->RollScreenEKGVornRM1->SetVirtualScope(&scope_);

    settings_.SetVirtualScope(&scope_);

    armLamp_.emplace(*ui_->ArmLED, LampStateNames{S::NameArmLampStopped, S::NameArmLampWaiting,
                                                   S::NameArmLampSatisfied});
    triggerLamp_.emplace(*ui_->TriggerLED, LampStateNames{S::NameTriggerLampStopped, S::NameTriggerLampWaiting,
                                                           S::NameTriggerLampSatisfied});
    displayOff_.emplace(*ui_->InactiveDispLabel);
    flow_.SetDataSourceInstance(&ring_);
    flow_.SetRollScreen(ui_->RollScreenShiftVornRM1);
    flow_.SetEKGScreen(ui_->RollScreenEKGVornRM1);
    flow_.SetArmLED(&*armLamp_);
    flow_.SetTriggerLED(&*triggerLamp_);
    flow_.SetLinkToDispInactiveCaption(&*displayOff_);
    flow_.SetControlGroup(ScopeGroup::FlowManager);
    flow_.SetVirtualScope(&scope_);
}

void TMainForm::FormCreate() {
    // 1. Numbers are written with "." whatever the locale.
    std::setlocale(LC_NUMERIC, "C");

    // 2. Hints.
    Ui::MainForm& u = *ui_;
    const std::pair<QWidget*, const char*> hints[] = {
        {u.ChannelButtonA, S::HintChannelButtonA},
        {u.ChannelButtonB, S::HintChannelButtonB},
        {u.BeamButton, S::HintBeamButton},
        {u.LineButton, S::HintLineButton},
        {u.RewButtonVorn1, S::HintRewButton},
        {u.RollButtonVorn2, S::HintRollButton},
        {u.ACDCButtonA, S::HintACDCButtonA},
        {u.ACDCButtonB, S::HintACDCButtonB},
        {u.ProbeButtonA, S::HintProbeButtonA},
        {u.ProbeButtonB, S::HintProbeButtonB},
        {u.SweepMinimum, S::HintSweepMinimum},
        {u.SweepMaximum, S::HintSweepMaximum},
        {u.SweepAverage, S::HintSweepAverage},
        {u.SlideUpButtonA, S::HintSlideUpButtonA},
        {u.SlideUpButtonB, S::HintSlideUpButtonB},
        {u.SlideDownButtonA, S::HintSlideDownButtonA},
        {u.SlideDownButtonB, S::HintSlideDownButtonB},
        {u.DensityDownButtonA, S::HintDensityDownButtonA},
        {u.DensityDownButtonB, S::HintDensityDownButtonB},
        {u.DensityUpButtonA, S::HintDensityUpButtonA},
        {u.DensityUpButtonB, S::HintDensityUpButtonB},
        {u.SaveFileBrowseButton, S::HintSaveFileBrowseButton},
        {u.GridBrightness, S::HintGridBrightness},
        {u.GridButtonVorn3, S::HintGridButton},
        {u.SmpScrollBar, S::HintSmpScrollBar},
        {u.DSPScrollBar, S::HintDSPScrollBar},
        {u.GNDButtonA, S::HintGNDButtonA},
        {u.GNDButtonB, S::HintGNDButtonB},
        {u.TriggerAButtonVorn1, S::HintTriggerAButton},
        {u.TriggerBButtonVorn1, S::HintTriggerBButton},
        {u.TriggerAUnderOverButton, S::HintTriggerUnderOver},
        {u.TriggerBUnderOverButton, S::HintTriggerUnderOver},
        {u.TriggerAVoltageValueEditVorn1, S::HintTriggerThreshold},
        {u.TriggerBVoltageValueEditVorn1, S::HintTriggerThreshold},
        {u.StartRecordButtonVorn1, S::HintStartRecord},
        {u.StopRecordButtonVorn2, S::HintStopRecord},
        {u.TRRecordButtonVorn1, S::HintRecordTriggered},
        {u.FRRecordButtonVorn1, S::HintRecordFree},
        {u.DefRecordButtonVorn1, S::HintRecordDefined},
        {u.ContRecordButtonVorn1, S::HintRecordContinuous},
        {u.LongerTimeEditVornRM1, S::HintRecordLength},
        {u.SweepCalcButton, S::HintSweepCalc},
        {u.SweepSingleButton, S::HintSweepSingle},
        {u.SaveRecordLength, S::HintSaveRecordLength},
        {u.SaveButton, S::HintSaveButton},
        {u.DisplayButtonVorn, S::HintDisplayButton},
        {u.ClearScreen, S::HintClearScreen},
    };
    for (const auto& [widget, hint] : hints)
        widget->setToolTip(text(hint));

    // Names for the controls that show no text of their own (or only "..."):
    // a screen reader would take the title of their group otherwise
    // ("DSP/SMP", "Vertical", "Trigger"). Most are named by their hint.
    QWidget* const namedByHint[] = {
        u.GridBrightness, u.SmpScrollBar, u.DSPScrollBar, u.SaveFileBrowseButton,
        u.LongerTimeEditVornRM1, u.SweepMinimum, u.SweepMaximum, u.SweepAverage,
        u.SlideUpButtonA, u.SlideUpButtonB, u.SlideDownButtonA, u.SlideDownButtonB,
    };
    for (QWidget* widget : namedByHint)
        widget->setAccessibleName(widget->toolTip());
    const std::pair<QWidget*, const char*> names[] = {
        {u.SaveFileEdit, S::NameSaveFileEdit},
        {u.VerticalSlideA, S::NameVerticalSlideA},
        {u.VerticalSlideB, S::NameVerticalSlideB},
        {u.TriggerAVoltageValueEditVorn1, S::NameTriggerLevelA},
        {u.TriggerBVoltageValueEditVorn1, S::NameTriggerLevelB},
        {u.ArmAVoltageValueEditVorn1, S::NameArmLevelA},
        {u.ArmBVoltageValueEditVorn1, S::NameArmLevelB},
    };
    for (const auto& [widget, name] : names)
        widget->setAccessibleName(text(name));

    // 3. Menu captions.
    u.File1->setTitle(text(S::MenuFile));
    u.Viewer1->setText(text(S::MenuViewer));
    u.Exit1->setText(text(S::MenuExit));
    u.Settings1->setTitle(text(S::MenuSettings));
    u.Restoredefaults1->setText(text(S::MenuRestoreDefaults));
    u.Loadsettings1->setText(text(S::MenuLoadSaved));
    u.Savesettings1->setText(text(S::MenuSaveSettings));
    u.DemoSettings1->setText(text(S::MenuDemoSetup));
    u.Colorsetup1->setText(text(S::MenuColorSetup));
    u.ToolTipHelp1->setText(text(S::MenuToolTipHelp));
    u.ThreadpriorityBoosted1->setText(text(S::MenuHighPriority));
    u.Help1->setTitle(text(S::MenuHelp));
    u.Index1->setText(text(S::MenuIndex));
    u.NorvakWeb1->setText(text(S::MenuNorvakWeb));
    u.Support1->setText(text(S::MenuSupport));
    u.About1->setText(text(S::MenuAbout));

    // 4. Texts.
    u.LengthLabel->setText(text(S::TextLength));
    u.DisplayButtonVorn->setText(text(S::TextDisplayButton));
    u.InactiveDispLabel->setText(text(S::TextDisplayOff));

    // 5. The window listens last, so it hears the shutdown first.
    scope_.RegisterListener(kControlGroup, this, [this](TScopeNotifyCode code, int&) { ScopeChanged(code); });
    linkedToScope_ = true;

    // 6. Texts.
    u.FileSizeLabel->setText(text(S::TextFileSize));
    u.VerticalShifts->setTitle(text(S::TextVertical));
}

// A checkable action toggles its own mark before `triggered`: the handlers set
// the marks from the scope, never from the action.
void TMainForm::ConnectMenus() {
    Ui::MainForm& u = *ui_;
    const std::pair<QAction*, void (TMainForm::*)()> handlers[] = {
        {u.Viewer1, &TMainForm::Viewer1Click},
        {u.Exit1, &TMainForm::Exit1Click},
        {u.Restoredefaults1, &TMainForm::Restoredefaults1Click},
        {u.Loadsettings1, &TMainForm::Loadsettings1Click},
        {u.Savesettings1, &TMainForm::Savesettings1Click},
        {u.DemoSettings1, &TMainForm::DemoSettings1Click},
        {u.Colorsetup1, &TMainForm::Colorsetup1Click},
        {u.ToolTipHelp1, &TMainForm::ToolTipHelp1Click},
        {u.ThreadpriorityBoosted1, &TMainForm::ThreadpriorityBoosted1Click},
        {u.Index1, &TMainForm::Index1Click},
        {u.NorvakWeb1, &TMainForm::NorvakWeb1Click},
        {u.Support1, &TMainForm::Support1Click},
        {u.About1, &TMainForm::About1Click},
    };
    for (const auto& [action, handler] : handlers)
        connect(action, &QAction::triggered, this, handler);
}

// ---- Scope notifications ---------------------------------------------------------

QString TMainForm::CaptionText(bool demoMode, int32_t deviceId) {
    if (demoMode)
        return text(S::MainCaptionDemo);
    QString caption = text(S::MainCaptionModel);
    if (deviceId >= 0 && deviceId < static_cast<int32_t>(kModelDigits.size()))
        caption += QString::number(kModelDigits[static_cast<size_t>(deviceId)]);
    return caption;
}

int32_t TMainForm::DeviceId() const {
    int32_t id = 0;
    std::memcpy(&id, scope_.DeviceInfo().data() + offsetof(TDeviceInfo, DeviceID), sizeof id);
    return id;
}

void TMainForm::ScopeChanged(TScopeNotifyCode code) {
    const QString caption = CaptionText(driver_.DemoMode(), DeviceId());
    if (caption != windowTitle())
        setWindowTitle(caption);
    if (code == TScopeNotifyCode::snStart || code == TScopeNotifyCode::snSettingsChanged) {
        hints_.SetHintsShown(scope_.ShowRirizHelp());
        ui_->ToolTipHelp1->setChecked(scope_.ShowRirizHelp());
        ui_->ThreadpriorityBoosted1->setChecked(scope_.BoostThread());
    }
    if (code == TScopeNotifyCode::snShutdown) {
        scope_.UnregisterListener(this);
        linkedToScope_ = false;
    }
}

// ---- Layout --------------------------------------------------------------------

void TMainForm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TMainForm::FormResize() {
    if (ending_)
        return;
    LayoutControls();
    scope_.Notify(TScopeNotifyCode::snMainWindowResized, kControlGroup);
}

void TMainForm::LayoutControls() {
    if (ending_)
        return;
    Ui::MainForm& u = *ui_;
    // A hidden window's client area gets its size only when asked.
    if (!isVisible() && layout())
        layout()->activate();
    const int clientWidth = u.ClientArea->width();
    const int clientHeight = u.ClientArea->height();

    // 1. Left column.
    u.Channels->move(0, 0);
    u.Mode->move(0, bottom(u.Channels));
    u.GridButtonVorn3->setGeometry(0, bottom(u.Mode) + 2, u.Mode->width(), u.GridButtonVorn3->height());
    u.GridBrightness->setGeometry(0, bottom(u.GridButtonVorn3) + 2, u.Mode->width(), u.GridBrightness->height());
    const int sweepTop = bottom(u.GridBrightness);
    u.SweepPanel->setGeometry(0, sweepTop, u.SweepPanel->width(), clientHeight - sweepTop - u.SavePanel->height());

    // 2. Bottom row, centred.
    QWidget* const row[] = {u.SavePanel, u.TimeBasePanel, u.RecordPanel, u.TriggerPanel, u.ARMPanel};
    int rowWidth = 0;
    for (QWidget* panel : row)
        rowWidth += panel->width();
    int left = (clientWidth - rowWidth) / 2;
    const int rowTop = bottom(u.SweepPanel);
    for (QWidget* panel : row) {
        panel->move(left, rowTop);
        left += panel->width();
    }

    // 3. Top row; the controls of InfoPanelA keep their distance to its right edge.
    const int infoWidth = (clientWidth - u.Channels->width() - u.Source->width() - 4) / 2;
    u.InfoPanelA->setGeometry(right(u.Channels), 0, infoWidth, u.InfoPanelA->height());
    const int shift = infoWidth - infoPanelWidth_;
    if (shift != 0) {
        for (QWidget* control : u.InfoPanelA->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            control->move(control->x() + shift, control->y());
        infoPanelWidth_ = infoWidth;
    }
    u.InfoPanelB->setGeometry(right(u.InfoPanelA) + 4, 0, infoWidth, u.InfoPanelB->height());

    // 4. Right column.
    u.Source->move(clientWidth - u.Source->width(), 0);
    const int shiftsHeight =
        clientHeight - u.Density->height() - u.Source->height() - u.TimeBasePanel->height();
    u.VerticalShifts->setGeometry(u.Source->x(), bottom(u.Source), u.VerticalShifts->width(), shiftsHeight);
    u.Density->move(u.Source->x(), bottom(u.VerticalShifts));
    // The up-buttons just below the group box's title (its contents' top).
    const int upTop = u.VerticalShifts->contentsRect().top();
    const int slideHeight =
        shiftsHeight - u.SlideDownButtonA->height() - u.SlideUpButtonA->height() - upTop;
    for (auto [up, slide, down] : {std::tuple{u.SlideUpButtonA, u.VerticalSlideA, u.SlideDownButtonA},
                                   std::tuple{u.SlideUpButtonB, u.VerticalSlideB, u.SlideDownButtonB}}) {
        up->move(up->x(), upTop);
        slide->setGeometry(slide->x(), bottom(up) + 3, slide->width(), slideHeight);
        slide->setBarHeight(slideHeight - 15);
        slide->update();
        down->move(down->x(), bottom(slide) - 3);
    }

    // 5. The live displays.
    const int displayLeft = u.Mode->width() + 1;
    const int displayTop = u.InfoPanelA->height();
    const QRect display(displayLeft, displayTop, u.Source->x() - displayLeft - 1,
                        u.TimeBasePanel->y() - displayTop);
    u.RollScreenShiftVornRM1->setGeometry(display);
    u.RollScreenEKGVornRM1->setGeometry(display);

    // 6. "Display off" over the sweeping display.
    QLabel* off = u.InactiveDispLabel;
    off->move(u.RollScreenEKGVornRM1->geometry().center() - off->rect().center());
    off->raise();
}

// ---- Window ---------------------------------------------------------------------

void TMainForm::RestoreRequest() {
    if (!isVisible())
        return;  // the start-up shows the window when it is ready
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    raise();
    activateWindow();
}

void TMainForm::RequestTermination() {
    terminationRequested_ = true;
    if (messageLoopRunning_)
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void TMainForm::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

void TMainForm::FormClose() {
    if (shutdownRuns_ > 0)
        return;
    ++shutdownRuns_;
    ending_ = true;
    scope_.Shutdown();
    if (linkedToScope_) {  // delivery was off when the shutdown was sent
        scope_.UnregisterListener(this);
        linkedToScope_ = false;
    }
}

// ---- Menu commands -----------------------------------------------------------------

void TMainForm::Viewer1Click() { rm::shell().startProgram(text(S::ViewerProgram)); }

void TMainForm::Exit1Click() {
    if (rm::showMessage(S::ExitQuestion, {}, rm::MsgButtons::YesNo, rm::MsgIcon::Question) == rm::MsgResult::Yes)
        close();
}

void TMainForm::Restoredefaults1Click() {
    if (rm::showMessage(S::RestoreDefaultsQuestion, {}, rm::MsgButtons::OkCancel, rm::MsgIcon::Question) ==
        rm::MsgResult::Cancel)
        return;
    scope_.Notify(TScopeNotifyCode::snRestoreDefaults, kControlGroup);
    scope_.Notify(TScopeNotifyCode::snSettingsChanged, kControlGroup);
}

void TMainForm::Loadsettings1Click() {
    scope_.Notify(TScopeNotifyCode::snLoadUserSettings, kControlGroup);
    scope_.Notify(TScopeNotifyCode::snSettingsChanged, kControlGroup);
}

void TMainForm::Savesettings1Click() { scope_.Notify(TScopeNotifyCode::snSaveUserSettings, kControlGroup); }

void TMainForm::DemoSettings1Click() { RunDemoSetup(this, scope_); }

void TMainForm::Colorsetup1Click() { RunColorSetup(this, scope_); }

void TMainForm::ToolTipHelp1Click() {
    scope_.SetShowRirizHelp(!scope_.ShowRirizHelp());
    ui_->ToolTipHelp1->setChecked(scope_.ShowRirizHelp());
    scope_.Notify(TScopeNotifyCode::snSettingsChanged, kControlGroup);
}

void TMainForm::ThreadpriorityBoosted1Click() {
    scope_.SetBoostThread(!scope_.BoostThread());
    ui_->ThreadpriorityBoosted1->setChecked(scope_.BoostThread());
    scope_.Notify(TScopeNotifyCode::snSettingsChanged, kControlGroup);
}

void TMainForm::Index1Click() {
    rm::openOrTell(QUrl::fromLocalFile(QDir::current().filePath(text(S::HelpPage))));
}

void TMainForm::NorvakWeb1Click() { rm::openOrTell(QUrl(DialogStrings::CompanySiteAddress)); }

void TMainForm::Support1Click() { rm::openOrTell(QUrl(DialogStrings::CompanyMailAddress)); }

void TMainForm::About1Click() { RunRecorderAbout(this, driver_); }
