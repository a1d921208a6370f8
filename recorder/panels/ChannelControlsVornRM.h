#pragma once

#include "OnOffButton.h"
#include "WrapperComponentVornRM.h"

#include <QPointer>

// The channel panel: switches each input channel on and off.
class TChannelControlsVornRM : public TWrapperComponentVornRM {
    Q_OBJECT

public:
    explicit TChannelControlsVornRM(QObject* parent = nullptr);

    void SetChannelButtonA(TOnOffButtonVorn* button);
    void SetChannelButtonB(TOnOffButtonVorn* button);

protected:
    void UpdateFromScope() override;

private:
    void ButtonClick(TOnOffButtonVorn* sender);

    QPointer<TOnOffButtonVorn> channelButtonA_, channelButtonB_;
};
