#pragma once

#include "WrapperControlVornRMPrv.h"

class TOnOffButtonVorn;
class TUnitValueLabel;

namespace rm::viewer {

// The voltage-cursor panel: switches the display's two voltage crosses on and
// off and shows, per channel, each cross's voltage and their difference.
class TVoltagesControlVornRMPrv : public TWrapperControlVornRMPrv {
    Q_OBJECT

public:
    explicit TVoltagesControlVornRMPrv(QObject* parent = nullptr);

    void SetActivateButton(TOnOffButtonVorn* button);
    void SetChannelAVoltage(TUnitValueLabel* label) { channelAVoltage_ = label; }
    void SetChannelBVoltage(TUnitValueLabel* label) { channelBVoltage_ = label; }
    void SetChannelAbsolute1A(TUnitValueLabel* label) { absolute1A_ = label; }
    void SetChannelAbsolute2A(TUnitValueLabel* label) { absolute2A_ = label; }
    void SetChannelAbsolute1B(TUnitValueLabel* label) { absolute1B_ = label; }
    void SetChannelAbsolute2B(TUnitValueLabel* label) { absolute2B_ = label; }

    // The click of the panel's button; any other sender only broadcasts.
    void ButtonClick(QObject* sender) override;

protected:
    void UpdateFromEngine() override;

private:
    TOnOffButtonVorn* activateButton_ = nullptr;
    TUnitValueLabel* channelAVoltage_ = nullptr;
    TUnitValueLabel* channelBVoltage_ = nullptr;
    TUnitValueLabel* absolute1A_ = nullptr;
    TUnitValueLabel* absolute2A_ = nullptr;
    TUnitValueLabel* absolute1B_ = nullptr;
    TUnitValueLabel* absolute2B_ = nullptr;
};

} // namespace rm::viewer
