#pragma once

#include "ChannelIndicationButton.h"
#include "WrapperComponentVornRM.h"

#include <QPointer>

// The source panel: per channel a probe button stepping 1:1, 1:10, 1:100,
// 1:1000, an AC/DC toggle (down = DC) and a ground toggle. The ground buttons
// keep the state of their last click; a refresh does not set them.
class TSourceControlsVornRM : public TWrapperComponentVornRM {
    Q_OBJECT

public:
    explicit TSourceControlsVornRM(QObject* parent = nullptr);

    void SetACDCButtonA(TChannelIndicationButtonVorn* button);
    void SetACDCButtonB(TChannelIndicationButtonVorn* button);
    void SetProbeButtonA(TChannelIndicationButtonVorn* button);
    void SetProbeButtonB(TChannelIndicationButtonVorn* button);
    void SetGroundA(TChannelIndicationButtonVorn* button);
    void SetGroundB(TChannelIndicationButtonVorn* button);

protected:
    void UpdateFromScope() override;

private:
    void bindButton(QPointer<TChannelIndicationButtonVorn>& slot, TChannelIndicationButtonVorn* button,
                    bool toggles);
    void ButtonClick(TChannelIndicationButtonVorn* sender);

    QPointer<TChannelIndicationButtonVorn> acdcButtonA_, acdcButtonB_;
    QPointer<TChannelIndicationButtonVorn> probeButtonA_, probeButtonB_;
    QPointer<TChannelIndicationButtonVorn> groundA_, groundB_;
};
