#include "ChannelControlsVornRM.h"

#include "BoundControl.h"
#include "VirtualScopeVornRM.h"

TChannelControlsVornRM::TChannelControlsVornRM(QObject* parent)
    : TWrapperComponentVornRM(ScopeGroup::ChannelPanel, parent)
{
}

void TChannelControlsVornRM::SetChannelButtonA(TOnOffButtonVorn* button)
{
    bindControl(this, channelButtonA_, button, &TOnOffButtonVorn::OnClick, [this, button] { ButtonClick(button); });
}

void TChannelControlsVornRM::SetChannelButtonB(TOnOffButtonVorn* button)
{
    bindControl(this, channelButtonB_, button, &TOnOffButtonVorn::OnClick, [this, button] { ButtonClick(button); });
}

void TChannelControlsVornRM::ButtonClick(TOnOffButtonVorn* sender)
{
    TVirtualScopeVornRM* scope = VirtualScope();
    if (!scope)
        return;
    if (sender == channelButtonA_)
        scope->SetStatusChannelA(!scope->StatusChannelA());
    else if (sender == channelButtonB_)
        scope->SetStatusChannelB(!scope->StatusChannelB());
    Broadcast(TScopeNotifyCode::snSettingsChanged);
}

void TChannelControlsVornRM::ScopeNotify(TScopeNotifyCode code)
{
    TWrapperComponentVornRM::ScopeNotify(code);
    if (code == TScopeNotifyCode::snStart || code == TScopeNotifyCode::snSettingsChanged)
        UpdateFromScope();
}

void TChannelControlsVornRM::UpdateFromScope()
{
    const TVirtualScopeVornRM* scope = VirtualScope();
    if (!scope)
        return;
    panelview::setDown(channelButtonA_, scope->StatusChannelA());
    panelview::setDown(channelButtonB_, scope->StatusChannelB());
}
