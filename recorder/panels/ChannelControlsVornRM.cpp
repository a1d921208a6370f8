#include "ChannelControlsVornRM.h"

#include "BoundControl.h"
#include "VirtualScopeVornRM.h"

TChannelControlsVornRM::TChannelControlsVornRM(QObject* parent)
    : TWrapperComponentVornRM(ScopeGroup::ChannelPanel,
                              {TScopeNotifyCode::snStart, TScopeNotifyCode::snSettingsChanged}, parent)
{
}

void TChannelControlsVornRM::SetChannelButtonA(TOnOffButtonVorn* button)
{
    bindClick(this, channelButtonA_, button, &TChannelControlsVornRM::ButtonClick);
}

void TChannelControlsVornRM::SetChannelButtonB(TOnOffButtonVorn* button)
{
    bindClick(this, channelButtonB_, button, &TChannelControlsVornRM::ButtonClick);
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

void TChannelControlsVornRM::UpdateFromScope()
{
    const TVirtualScopeVornRM* scope = VirtualScope();
    if (!scope)
        return;
    panelview::setDown(channelButtonA_, scope->StatusChannelA());
    panelview::setDown(channelButtonB_, scope->StatusChannelB());
}
