#include "SourceControlsVornRM.h"

#include "BoundControl.h"
#include "VirtualScopeVornRM.h"
#include "WinColor.h"

#include <string>

namespace {

// 1, 2, 3, 4 and back to 1.
int nextProbe(int probe) { return probe % 4 + 1; }

// The probe text of the channel; empty for a probe outside 1..4.
QString probeCaption(const TVirtualScopeVornRM& scope, int channel)
{
    std::string text;
    scope.ProbeText(channel, text);
    return QString::fromStdString(text);
}

} // namespace

TSourceControlsVornRM::TSourceControlsVornRM(QObject* parent)
    : TWrapperComponentVornRM(ScopeGroup::SourcePanel,
                              {TScopeNotifyCode::snStart, TScopeNotifyCode::snSettingsChanged}, parent)
{
}

void TSourceControlsVornRM::SetACDCButtonA(TChannelIndicationButtonVorn* button) { bindButton(acdcButtonA_, button, true); }
void TSourceControlsVornRM::SetACDCButtonB(TChannelIndicationButtonVorn* button) { bindButton(acdcButtonB_, button, true); }
void TSourceControlsVornRM::SetProbeButtonA(TChannelIndicationButtonVorn* button) { bindButton(probeButtonA_, button, false); }
void TSourceControlsVornRM::SetProbeButtonB(TChannelIndicationButtonVorn* button) { bindButton(probeButtonB_, button, false); }
void TSourceControlsVornRM::SetGroundA(TChannelIndicationButtonVorn* button) { bindButton(groundA_, button, true); }
void TSourceControlsVornRM::SetGroundB(TChannelIndicationButtonVorn* button) { bindButton(groundB_, button, true); }

// The coupling and ground buttons toggle their down state on a click, before
// the binder hears of it.
void TSourceControlsVornRM::bindButton(QPointer<TChannelIndicationButtonVorn>& slot,
                                       TChannelIndicationButtonVorn* button, bool toggles)
{
    if (button && toggles)
        button->setCheckable(true);
    bindClick(this, slot, button, &TSourceControlsVornRM::ButtonClick);
}

void TSourceControlsVornRM::ButtonClick(TChannelIndicationButtonVorn* sender)
{
    TVirtualScopeVornRM* scope = VirtualScope();
    if (!scope)
        return;
    if (sender == acdcButtonA_)
        scope->SetSourceACDC_A(!scope->SourceACDC_A());
    else if (sender == acdcButtonB_)
        scope->SetSourceACDC_B(!scope->SourceACDC_B());
    else if (sender == probeButtonA_)
        scope->SetSourceProbeA(nextProbe(scope->SourceProbeA()));
    else if (sender == probeButtonB_)
        scope->SetSourceProbeB(nextProbe(scope->SourceProbeB()));
    else if (sender == groundA_)
        scope->SetGroundA(sender->isChecked());
    else if (sender == groundB_)
        scope->SetGroundB(sender->isChecked());
    Broadcast(TScopeNotifyCode::snSettingsChanged);
}

void TSourceControlsVornRM::UpdateFromScope()
{
    const TVirtualScopeVornRM* scope = VirtualScope();
    if (!scope)
        return;
    panelview::setChannelColor({acdcButtonA_.data(), probeButtonA_.data(), groundA_.data()},
                               rm::toQColor(scope->ColorChannelA()));
    panelview::setChannelColor({acdcButtonB_.data(), probeButtonB_.data(), groundB_.data()},
                               rm::toQColor(scope->ColorChannelB()));

    panelview::setCaption(probeButtonA_, probeCaption(*scope, TVirtualScopeVornRM::kChannelA));
    panelview::setCaption(probeButtonB_, probeCaption(*scope, TVirtualScopeVornRM::kChannelB));
    panelview::setDown(acdcButtonA_, scope->SourceACDC_A());
    panelview::setDown(acdcButtonB_, scope->SourceACDC_B());
}
