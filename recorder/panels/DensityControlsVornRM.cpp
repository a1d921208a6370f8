#include "DensityControlsVornRM.h"

#include "BoundControl.h"
#include "VirtualScopeVornRM.h"
#include "WinColor.h"

TDensityControlsVornRM::TDensityControlsVornRM(QObject* parent)
    : TWrapperComponentVornRM(ScopeGroup::RangePanel,
                              {TScopeNotifyCode::snStart, TScopeNotifyCode::snSettingsChanged}, parent)
{
}

void TDensityControlsVornRM::SetDensityUpButtonA(TChannelIndicationButtonVorn* button)
{
    bindClick(this, upButtonA_, button, &TDensityControlsVornRM::ButtonClick);
}

void TDensityControlsVornRM::SetDensityUpButtonB(TChannelIndicationButtonVorn* button)
{
    bindClick(this, upButtonB_, button, &TDensityControlsVornRM::ButtonClick);
}

void TDensityControlsVornRM::SetDensityDownButtonA(TChannelIndicationButtonVorn* button)
{
    bindClick(this, downButtonA_, button, &TDensityControlsVornRM::ButtonClick);
}

void TDensityControlsVornRM::SetDensityDownButtonB(TChannelIndicationButtonVorn* button)
{
    bindClick(this, downButtonB_, button, &TDensityControlsVornRM::ButtonClick);
}

void TDensityControlsVornRM::ButtonClick(TChannelIndicationButtonVorn* sender)
{
    TVirtualScopeVornRM* scope = VirtualScope();
    if (!scope)
        return;
    if (sender == upButtonA_)
        scope->SetDensityChannelA(scope->DensityChannelA() + 1);
    else if (sender == downButtonA_)
        scope->SetDensityChannelA(scope->DensityChannelA() - 1);
    else if (sender == upButtonB_)
        scope->SetDensityChannelB(scope->DensityChannelB() + 1);
    else if (sender == downButtonB_)
        scope->SetDensityChannelB(scope->DensityChannelB() - 1);
    Broadcast(TScopeNotifyCode::snSettingsChanged);
}

void TDensityControlsVornRM::UpdateFromScope()
{
    const TVirtualScopeVornRM* scope = VirtualScope();
    if (!scope)
        return;
    panelview::setChannelColor({upButtonA_.data(), downButtonA_.data()}, rm::toQColor(scope->ColorChannelA()));
    panelview::setChannelColor({upButtonB_.data(), downButtonB_.data()}, rm::toQColor(scope->ColorChannelB()));
}
