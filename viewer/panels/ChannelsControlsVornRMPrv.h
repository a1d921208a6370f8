#pragma once

#include "WrapperControlVornRMPrv.h"

#include <atomic>

class TOnOffButtonVorn;

namespace rm::viewer {

// The channel panel: one on/off button per channel switch (A, B, C, D).
class TChannelsControlsVornRMPrv : public TWrapperControlVornRMPrv {
    Q_OBJECT

public:
    explicit TChannelsControlsVornRMPrv(QObject* parent = nullptr);

    void SetChannelButtonA(TOnOffButtonVorn* button) { setButton(0, button); }
    void SetChannelButtonB(TOnOffButtonVorn* button) { setButton(1, button); }
    void SetChannelButtonC(TOnOffButtonVorn* button) { setButton(2, button); }
    void SetChannelButtonD(TOnOffButtonVorn* button) { setButton(3, button); }

protected:
    void UpdateFromEngine() override;
    void ButtonClick(QObject* sender) override;

private:
    void setButton(int channel, TOnOffButtonVorn* button);
    std::atomic<bool>* channelFlag(int channel) const;

    TOnOffButtonVorn* buttons_[4] = {};
};

} // namespace rm::viewer
