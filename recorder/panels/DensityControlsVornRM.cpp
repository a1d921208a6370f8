#include "DensityControlsVornRM.h"

#include "BoundControl.h"
#include "VirtualScopeVornRM.h"
#include "WinColor.h"

TDensityControlsVornRM::TDensityControlsVornRM(QObject* parent)
    : TWrapperComponentVornRM(ScopeGroup::RangePanel, parent)
{
}

void TDensityControlsVornRM::SetDensityUpButtonA(TChannelIndicationButtonVorn* button) { bindButton(upButtonA_, button); }
void TDensityControlsVornRM::SetDensityUpButtonB(TChannelIndicationButtonVorn* button) { bindButton(upButtonB_, button); }
void TDensityControlsVornRM::SetDensityDownButtonA(TChannelIndicationButtonVorn* button) { bindButton(downButtonA_, button); }
void TDensityControlsVornRM::SetDensityDownButtonB(TChannelIndicationButtonVorn* button) { bindButton(downButtonB_, button); }

void TDensityControlsVornRM::bindButton(QPointer<TChannelIndicationButtonVorn>& slot,
                                        TChannelIndicationButtonVorn* button)
{
    bindControl(this, slot, button, &TChannelIndicationButtonVorn::OnClick,
                [this, button] { ButtonClick(button); });
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

void TDensityControlsVornRM::ScopeNotify(TScopeNotifyCode code)
{
    TWrapperComponentVornRM::ScopeNotify(code);
    if (code == TScopeNotifyCode::snStart || code == TScopeNotifyCode::snSettingsChanged)
        UpdateFromScope();
}

void TDensityControlsVornRM::UpdateFromScope()
{
    const TVirtualScopeVornRM* scope = VirtualScope();
    if (!scope)
        return;
    const QColor colorA = rm::toQColor(scope->ColorChannelA());
    const QColor colorB = rm::toQColor(scope->ColorChannelB());
    for (TChannelIndicationButtonVorn* button : {upButtonA_.data(), downButtonA_.data()})
        if (button)
            button->setChannelColor(colorA);
    for (TChannelIndicationButtonVorn* button : {upButtonB_.data(), downButtonB_.data()})
        if (button)
            button->setChannelColor(colorB);
}
