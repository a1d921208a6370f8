#include "VoltagesControlVornRMPrv.h"

#include "OnOffButton.h"
#include "UnitValueLabel.h"

namespace rm::viewer {

TVoltagesControlVornRMPrv::TVoltagesControlVornRMPrv(QObject* parent)
    : TWrapperControlVornRMPrv(kGroupVoltagesPanel,
                               {enInitialize, enPrepareIndex, enNormalViewReady, enFileTargeted, enChannelsChanged,
                                enVoltageCursorMoved, enVoltageCursorsToggled, enOpenDataFile},
                               parent)
{
}

void TVoltagesControlVornRMPrv::SetActivateButton(TOnOffButtonVorn* button)
{
    if (activateButton_)
        disconnect(activateButton_, nullptr, this, nullptr);
    activateButton_ = button;
    if (activateButton_)
        BindButton(activateButton_);
}

void TVoltagesControlVornRMPrv::ButtonClick(QObject* sender)
{
    TPreviewEnginePelkRM* engine = PreviewEngine();
    if (!engine)
        return;
    if (sender && sender == activateButton_)
        engine->VoltageCursorsActive = !engine->VoltageCursorsActive;
    Broadcast(enVoltageCursorsToggled);
}

void TVoltagesControlVornRMPrv::UpdateFromEngine()
{
    const TPreviewEnginePelkRM* engine = PreviewEngine();
    if (!engine)
        return;
    const bool active = engine->VoltageCursorsActive;
    if (activateButton_) {
        activateButton_->setEnabled(engine->NewFileOpened);
        activateButton_->setChecked(active);
    }
    if (channelAVoltage_)
        channelAVoltage_->setEnabled(active);
    if (channelBVoltage_)
        channelBVoltage_->setEnabled(active);

    const double a1 = engine->VoltageCursor1ChannelA, a2 = engine->VoltageCursor2ChannelA;
    const double b1 = engine->VoltageCursor1ChannelB, b2 = engine->VoltageCursor2ChannelB;
    struct Shown {
        TUnitValueLabel* label;
        double value;
        bool channelOn;
    };
    const Shown labels[] = {{channelAVoltage_, a1 - a2, engine->ChannelA}, {absolute1A_, a1, engine->ChannelA},
                            {absolute2A_, a2, engine->ChannelA},           {channelBVoltage_, b1 - b2, engine->ChannelB},
                            {absolute1B_, b1, engine->ChannelB},           {absolute2B_, b2, engine->ChannelB}};
    for (const Shown& shown : labels) {
        if (!shown.label)
            continue;
        if (active)
            shown.label->setMainValue(shown.value);
        shown.label->setValueInValid(!(active && shown.channelOn));
    }
}

} // namespace rm::viewer
