#include "PreviewScreenRM.h"

#include "ChannelsControlsVornRMPrv.h"
#include "CursorTimesForm.h"
#include "DataSource.h"
#include "OpenControlVornRMPrv.h"
#include "PreviewMenuCommands.h"
#include "PreviewScreenMouse.h"
#include "PreviewScreenPelkRM.h"
#include "SweepControlVornRMPrv.h"
#include "VoltagesControlVornRMPrv.h"
#include "ZoomControlsVornRMPrv.h"

#include <QTimer>

#include "ui_PreviewScreenRM.h"

namespace rm::viewer {

// The components attached to the window after the display, in the viewer's
// registration order (code 3 reaches them in the reverse order). Each links
// its controls first and its engine last, which registers it.
void TPreviewScreenRM::CreateComponents() {
    Ui::TPreviewScreenRM& f = *ui_;
    new TPreviewScreenMouse(MainDisplay(), *engine_, *dataSource_, components_.get());
    dataSource_->Cursors().SetCursorTimesWindowFactory(
        [this] { return std::make_unique<TCursorTimesForm>(dataSource_->Cursors(), *engine_); });
    // The bars' repeat timers belong to the window, not to the components:
    // they must outlive the bars, which stop them when they are hidden.
    const auto barTimer = [this](const char* name) {
        auto* timer = new QTimer(this);
        timer->setObjectName(name);
        return timer;
    };
    f.QuickView->SetDataModule(dataSource_.get());
    f.QuickView->SetBarTimer(barTimer("QuickViewTimer"));
    f.QuickView->SetPreviewEngine(engine_.get());
    f.BufferView->SetDataModule(dataSource_.get());
    f.BufferView->SetBarTimer(barTimer("BufferViewTimer"));
    f.BufferView->SetPreviewEngine(engine_.get());
    f.TimeBar->SetDataModule(dataSource_.get());
    f.TimeBar->SetPreviewEngine(engine_.get());
    openControl_ = new TOpenControlVornRMPrv(components_.get());
    openControl_->SetOpenFileEdit(f.SaveFileEdit);
    openControl_->SetOpenFileBrowse(f.SaveFileBrowseButton);
    openControl_->SetOpenButton(f.OpenButton);
    openControl_->SetMyFileSize(f.SaveRecordLength);
    openControl_->SetPreviewEngine(engine_.get());
    auto* zoom = new TZoomControlsVornRMPrv(components_.get());
    zoom->SetIncreaseZoomButton(f.SweepPlus);
    zoom->SetDecreaseZoomButton(f.SweepMinus);
    zoom->SetZoomActiveButton(f.SweepOnOff);
    zoom->SetPreviewEngine(engine_.get());
    auto* channels = new TChannelsControlsVornRMPrv(components_.get());
    channels->SetChannelButtonA(f.ChannelButtonA);
    channels->SetChannelButtonB(f.ChannelButtonB);
    channels->SetChannelButtonC(f.ChannelButtonC);
    channels->SetChannelButtonD(f.ChannelButtonD);
    channels->SetPreviewEngine(engine_.get());
    auto* sweep = new TSweepControlVornRMPrv(components_.get());
    sweep->SetMakeMinimumButton(f.SweepMinimum);
    sweep->SetMakeMaximumButton(f.SweepMaximum);
    sweep->SetMakeAvgButton(f.SweepAverage);
    sweep->SetSingleButton(f.SweepSingleButton);
    sweep->SetCalcButton(f.SweepCalcButton);
    sweep->SetPreviewEngine(engine_.get());
    auto* voltages = new TVoltagesControlVornRMPrv(components_.get());
    voltages->SetActivateButton(f.OnOffVoltages);
    voltages->SetChannelAVoltage(f.ChannelAVoltage);
    voltages->SetChannelBVoltage(f.ChannelBVoltage);
    voltages->SetChannelAbsolute1A(f.ChannelAbsolute1A);
    voltages->SetChannelAbsolute2A(f.ChannelAbsolute2A);
    voltages->SetChannelAbsolute1B(f.ChannelAbsolute1B);
    voltages->SetChannelAbsolute2B(f.ChannelAbsolute2B);
    voltages->SetPreviewEngine(engine_.get());
    new TPreviewMenuCommands(f, *engine_, MainDisplay(), components_.get());
}

} // namespace rm::viewer
