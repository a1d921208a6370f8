#pragma once

#include "WrapperControlVornRMPrv.h"

class TOnOffButtonVorn;

namespace rm::viewer {

// The display-mode panel: maximum, minimum and mean aggregation (the mean
// excludes the other two, at least one is always on), single-sample mode
// ("SNG") and aggregated mode ("Calc").
class TSweepControlVornRMPrv : public TWrapperControlVornRMPrv {
    Q_OBJECT

public:
    explicit TSweepControlVornRMPrv(QObject* parent = nullptr);

    void SetMakeMinimumButton(TOnOffButtonVorn* button) { setButton(minimum_, button); }
    void SetMakeMaximumButton(TOnOffButtonVorn* button) { setButton(maximum_, button); }
    void SetMakeAvgButton(TOnOffButtonVorn* button) { setButton(average_, button); }
    void SetSingleButton(TOnOffButtonVorn* button) { setButton(single_, button); }
    void SetCalcButton(TOnOffButtonVorn* button) { setButton(calc_, button); }

protected:
    void UpdateFromEngine() override;
    void ButtonClick(QObject* sender) override;

private:
    void setButton(TOnOffButtonVorn*& field, TOnOffButtonVorn* button);

    TOnOffButtonVorn* minimum_ = nullptr;
    TOnOffButtonVorn* maximum_ = nullptr;
    TOnOffButtonVorn* average_ = nullptr;
    TOnOffButtonVorn* single_ = nullptr;
    TOnOffButtonVorn* calc_ = nullptr;
};

} // namespace rm::viewer
