#include "ChannelsControlsVornRMPrv.h"

#include "OnOffButton.h"

namespace rm::viewer {

TChannelsControlsVornRMPrv::TChannelsControlsVornRMPrv(QObject* parent)
    : TWrapperControlVornRMPrv(kGroupChannelsPanel,
                               {enInitialize, enFileNameChanged, enPrepareIndex, enNormalViewReady, enFileTargeted,
                                enChannelsChanged, enOpenDataFile},
                               parent)
{
}

void TChannelsControlsVornRMPrv::setButton(int channel, TOnOffButtonVorn* button)
{
    buttons_[channel] = button;
    BindButton(button);
}

std::atomic<bool>* TChannelsControlsVornRMPrv::channelFlag(int channel) const
{
    TPreviewEnginePelkRM* engine = PreviewEngine();
    std::atomic<bool>* flags[4] = {&engine->ChannelA, &engine->ChannelB, &engine->ChannelC, &engine->ChannelD};
    return flags[channel];
}

void TChannelsControlsVornRMPrv::ButtonClick(QObject* sender)
{
    if (!PreviewEngine())
        return;
    for (int channel = 0; channel < 4; ++channel)
        if (sender == buttons_[channel])
            *channelFlag(channel) = !*channelFlag(channel);
    Broadcast(enChannelsChanged);
}

void TChannelsControlsVornRMPrv::UpdateFromEngine()
{
    if (!PreviewEngine())
        return;
    const bool open = PreviewEngine()->NewFileOpened;
    for (int channel = 0; channel < 4; ++channel) {
        if (!buttons_[channel])
            continue;
        buttons_[channel]->setEnabled(open);
        buttons_[channel]->setChecked(*channelFlag(channel));
    }
}

} // namespace rm::viewer
