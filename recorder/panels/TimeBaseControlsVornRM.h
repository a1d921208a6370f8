#pragma once

#include "WrapperComponentVornRM.h"

#include <QPointer>

class TScrollBarVorn;
class TUnitValueLabel;

// The sampling-rate and time-base panel: two scroll bars and four value
// labels (samples per second, seconds per division, samples per display
// column, hertz per division). A bar acts when it is released; the time-base
// bar runs from the slowest time base on the left to the fastest on the right.
class TTimeBaseControlsVornRM : public TWrapperComponentVornRM {
    Q_OBJECT

public:
    explicit TTimeBaseControlsVornRM(QObject* parent = nullptr);

    void SetSMPScrollBar(TScrollBarVorn* bar);
    void SetDSPScrollBar(TScrollBarVorn* bar);
    void SetSMPRatio(TUnitValueLabel* label);
    void SetDSPRatio(TUnitValueLabel* label);
    void SetDSP_SMPRatio(TUnitValueLabel* label);
    void SetDSPRatioHz(TUnitValueLabel* label);

protected:
    void UpdateFromScope() override;

private:
    void bindBar(QPointer<TScrollBarVorn>& slot, TScrollBarVorn* bar);
    void ScrollBarScroll(TScrollBarVorn* sender, int scrollCode);

    QPointer<TScrollBarVorn> smpScrollBar_;
    QPointer<TScrollBarVorn> dspScrollBar_;
    QPointer<TUnitValueLabel> smpRatio_;
    QPointer<TUnitValueLabel> dspRatio_;
    QPointer<TUnitValueLabel> dspSmpRatio_;
    QPointer<TUnitValueLabel> dspRatioHz_;
};
