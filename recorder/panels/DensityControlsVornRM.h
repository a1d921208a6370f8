#pragma once

#include "ChannelIndicationButton.h"
#include "WrapperComponentVornRM.h"

#include <QPointer>

// The range panel: per channel one button a deflection step up (larger volts
// per division) and one a step down. The scope holds the step to 1..9, so a
// click at either end changes nothing but is still announced.
class TDensityControlsVornRM : public TWrapperComponentVornRM {
    Q_OBJECT

public:
    explicit TDensityControlsVornRM(QObject* parent = nullptr);

    void SetDensityUpButtonA(TChannelIndicationButtonVorn* button);
    void SetDensityUpButtonB(TChannelIndicationButtonVorn* button);
    void SetDensityDownButtonA(TChannelIndicationButtonVorn* button);
    void SetDensityDownButtonB(TChannelIndicationButtonVorn* button);

protected:
    void UpdateFromScope() override;

private:
    void ButtonClick(TChannelIndicationButtonVorn* sender);

    QPointer<TChannelIndicationButtonVorn> upButtonA_, upButtonB_, downButtonA_, downButtonB_;
};
