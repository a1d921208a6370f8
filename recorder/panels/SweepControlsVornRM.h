#pragma once

#include "WrapperComponentVornRM.h"

#include <QPointer>

class TOnOffButtonVorn;

// The " DSP/SMP " panel: clear screen, which column values the live displays
// draw (minimum, maximum, average) and whether a column shows one real sample
// ("SNG") or values calculated over its samples ("Calc"). At least one of
// minimum, maximum and average stays on. The minimum, maximum and average
// buttons show the panel's own glyph pictures.
class TSweepControlsVornRM : public TWrapperComponentVornRM {
    Q_OBJECT

public:
    explicit TSweepControlsVornRM(QObject* parent = nullptr);

    void SetClearScreenButton(TOnOffButtonVorn* button);
    void SetMakeMinimumButton(TOnOffButtonVorn* button);
    void SetMakeMaximumButton(TOnOffButtonVorn* button);
    void SetMakeAvgButton(TOnOffButtonVorn* button);
    void SetSingleButton(TOnOffButtonVorn* button);
    void SetCalcButton(TOnOffButtonVorn* button);

protected:
    void UpdateFromScope() override;

private:
    void bindButton(QPointer<TOnOffButtonVorn>& slot, TOnOffButtonVorn* button, const char* glyph = nullptr);
    void ButtonClick(TOnOffButtonVorn* sender);

    QPointer<TOnOffButtonVorn> clearScreenButton_;
    QPointer<TOnOffButtonVorn> makeMinimumButton_;
    QPointer<TOnOffButtonVorn> makeMaximumButton_;
    QPointer<TOnOffButtonVorn> makeAvgButton_;
    QPointer<TOnOffButtonVorn> singleButton_;
    QPointer<TOnOffButtonVorn> calcButton_;
};
