#include "ModeDisplayVornRM.h"

#include "BoundControl.h"
#include "OnOffButton.h"
#include "ScrollBarVorn.h"
#include "VirtualScopeVornRM.h"

TModeDisplayVornRM::TModeDisplayVornRM(QObject* parent)
    : TWrapperComponentVornRM(ScopeGroup::DisplayModePanel,
                              {TScopeNotifyCode::snStart, TScopeNotifyCode::snSettingsChanged,
                               TScopeNotifyCode::snShowEKGDisplay, TScopeNotifyCode::snShowShiftDisplay}, parent)
{
}

void TModeDisplayVornRM::SetGridScroll(TScrollBarVorn* bar)
{
    // Every scroll event counts, so the grid follows the thumb as it moves.
    bindControl(this, gridScroll_, bar, &TScrollBarVorn::OnScroll, [this] { BrightnessScroll(); });
}

void TModeDisplayVornRM::SetGridButton(TOnOffButtonVorn* button)
{
    bindClick(this, gridButton_, button, &TModeDisplayVornRM::ButtonClick);
}

void TModeDisplayVornRM::SetBeamFinder(TOnOffButtonVorn* button)
{
    bindClick(this, beamFinder_, button, &TModeDisplayVornRM::ButtonClick);
}

void TModeDisplayVornRM::SetLineModeDisplay(TOnOffButtonVorn* button)
{
    bindClick(this, lineModeDisplay_, button, &TModeDisplayVornRM::ButtonClick);
}

void TModeDisplayVornRM::SetEKGModeDisplay(TOnOffButtonVorn* button)
{
    bindClick(this, ekgModeDisplay_, button, &TModeDisplayVornRM::ButtonClick);
}

void TModeDisplayVornRM::SetRadaDaziDisplay(TOnOffButtonVorn* button)
{
    bindClick(this, radaDaziDisplay_, button, &TModeDisplayVornRM::ButtonClick);
}

void TModeDisplayVornRM::SetDisplayButton(TOnOffButtonVorn* button)
{
    bindClick(this, displayButton_, button, &TModeDisplayVornRM::ButtonClick);
}

void TModeDisplayVornRM::ButtonClick(TOnOffButtonVorn* sender)
{
    TVirtualScopeVornRM* scope = VirtualScope();
    if (!scope)
        return;
    if (sender == ekgModeDisplay_ || sender == radaDaziDisplay_) {
        // Switching displays is its own notification: no settings broadcast.
        const bool ekg = sender == ekgModeDisplay_;
        scope->SetModeEKG(ekg);
        Broadcast(ekg ? TScopeNotifyCode::snShowEKGDisplay : TScopeNotifyCode::snShowShiftDisplay);
        return;
    }
    if (sender == beamFinder_)
        scope->SetModeBF(!scope->ModeBF());
    else if (sender == lineModeDisplay_)
        scope->SetModeLine(!scope->ModeLine());
    else if (sender == displayButton_)
        scope->SetDisplayActive(!scope->DisplayActive());
    else if (sender == gridButton_)
        scope->SetGrid(!scope->Grid());
    Broadcast(TScopeNotifyCode::snSettingsChanged);
}

void TModeDisplayVornRM::BrightnessScroll()
{
    TVirtualScopeVornRM* scope = VirtualScope();
    if (!scope || !gridScroll_)
        return;
    scope->SetGridBrightness(gridScroll_->value());
    Broadcast(TScopeNotifyCode::snGridBrightnessChanged);
}

void TModeDisplayVornRM::UpdateFromScope()
{
    const TVirtualScopeVornRM* scope = VirtualScope();
    if (!scope)
        return;
    if (gridScroll_) {
        gridScroll_->setEnabled(!scope->MeasurementStarted());
        gridScroll_->setValue(scope->GridBrightness());
    }
    panelview::setDown(gridButton_, scope->Grid());
    panelview::setDown(displayButton_, scope->DisplayActive());
    panelview::setDown(beamFinder_, scope->ModeBF());
    panelview::setDown(lineModeDisplay_, scope->ModeLine());
    panelview::setDown(ekgModeDisplay_, scope->ModeEKG());
    panelview::setDown(radaDaziDisplay_, !scope->ModeEKG());
}
