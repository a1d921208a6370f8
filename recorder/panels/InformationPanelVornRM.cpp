#include "InformationPanelVornRM.h"

#include "VirtualScopeVornRM.h"
#include "WinColor.h"
#include "recorder/RecorderStrings.h"

#include <string>

namespace {

// What the panel shows of one channel.
struct ChannelView {
    bool on;
    std::string probeText;
    double deflection;
    bool dc;
    double triggerLevel;
    rm::WinColor color;
};

ChannelView channelView(const TVirtualScopeVornRM& scope, TInformationPanelVornRM::Channel channel)
{
    const bool a = channel == TInformationPanelVornRM::Channel::A;
    ChannelView view{};
    view.on = a ? scope.StatusChannelA() : scope.StatusChannelB();
    scope.ProbeText(a ? TVirtualScopeVornRM::kChannelA : TVirtualScopeVornRM::kChannelB, view.probeText);
    view.deflection = scope.Deflection(a ? TVirtualScopeVornRM::kChannelA : TVirtualScopeVornRM::kChannelB);
    view.dc = a ? scope.SourceACDC_A() : scope.SourceACDC_B();
    view.triggerLevel = a ? scope.TriggerLevelA() : scope.TriggerLevelB();
    view.color = a ? scope.ColorChannelA() : scope.ColorChannelB();
    return view;
}

void fillSwatch(QWidget& swatch, const QColor& color)
{
    QPalette palette = swatch.palette();
    palette.setColor(QPalette::Window, color);
    swatch.setPalette(palette);
    swatch.setAutoFillBackground(true);
}

} // namespace

TInformationPanelVornRM::TInformationPanelVornRM(Channel channel, QObject* parent)
    : TWrapperComponentVornRM(ScopeGroup::InformationPanels,
                              {TScopeNotifyCode::snStart, TScopeNotifyCode::snSettingsChanged}, parent), channel_(channel)
{
}

void TInformationPanelVornRM::UpdateFromScope()
{
    const TVirtualScopeVornRM* scope = VirtualScope();
    if (!scope)
        return;
    const ChannelView view = channelView(*scope, channel_);
    if (view.on) {
        if (probe_)
            probe_->setText(QString::fromStdString(view.probeText));
        if (density_)
            density_->setMainValue(view.deflection);
        if (acdc_)
            acdc_->setText(view.dc ? RecorderStrings::CouplingDC : RecorderStrings::CouplingAC);
        if (triggerLevelVoltage_)
            triggerLevelVoltage_->setMainValue(view.triggerLevel);
    } else {
        if (probe_)
            probe_->clear();
        if (density_)
            density_->setMyString(QString());
        if (acdc_)
            acdc_->clear();
    }
    if (channelColor_)
        fillSwatch(*channelColor_, rm::toQColor(view.color));
}
