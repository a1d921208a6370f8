#include "ZoomControlsVornRMPrv.h"

#include "OnOffButton.h"
#include "viewer/ViewerStrings.h"

namespace rm::viewer {

TZoomControlsVornRMPrv::TZoomControlsVornRMPrv(QObject* parent)
    : TWrapperControlVornRMPrv(kGroupZoomPanel,
                               {enInitialize, enFileNameChanged, enPrepareIndex, enNormalViewReady, enFileTargeted,
                                enZoomChanged, enOpenDataFile},
                               parent)
{
}

void TZoomControlsVornRMPrv::SetIncreaseZoomButton(QAbstractButton* button)
{
    increase_ = button;
    BindButton(button);
}

void TZoomControlsVornRMPrv::SetDecreaseZoomButton(QAbstractButton* button)
{
    decrease_ = button;
    BindButton(button);
}

void TZoomControlsVornRMPrv::SetZoomActiveButton(TOnOffButtonVorn* button)
{
    active_ = button;
    BindButton(button);
}

void TZoomControlsVornRMPrv::ButtonClick(QObject* sender)
{
    TPreviewEnginePelkRM* engine = PreviewEngine();
    if (!engine)
        return;
    if (sender == active_)
        engine->SetZoomActive(!engine->ZoomActive());
    else if (sender == increase_)
        engine->SetSamplesPerPoint(2 * engine->SamplesPerPoint());
    else if (sender == decrease_)
        engine->SetSamplesPerPoint(engine->SamplesPerPoint() / 2);
    Broadcast(enZoomChanged);
}

void TZoomControlsVornRMPrv::UpdateFromEngine()
{
    const TPreviewEnginePelkRM* engine = PreviewEngine();
    if (!engine)
        return;
    const bool open = engine->NewFileOpened;
    for (QAbstractButton* button : {increase_, decrease_, static_cast<QAbstractButton*>(active_)})
        if (button)
            button->setEnabled(open);
    if (active_) {
        active_->setChecked(engine->ZoomActive());
        active_->setText(QString::number(engine->SamplesPerPoint()) + ViewerStrings::ZoomCaptionSuffix);
    }
}

} // namespace rm::viewer
