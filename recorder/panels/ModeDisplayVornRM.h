#pragma once

#include "WrapperComponentVornRM.h"

#include <QPointer>

class TOnOffButtonVorn;
class TScrollBarVorn;

// The " Mode " panel: grid on/off and brightness, display on/off, beam
// finder, line mode, and the choice between the sweeping ("Rew") and the
// rolling ("Roll") display.
class TModeDisplayVornRM : public TWrapperComponentVornRM {
    Q_OBJECT

public:
    explicit TModeDisplayVornRM(QObject* parent = nullptr);

    void SetGridScroll(TScrollBarVorn* bar);
    void SetGridButton(TOnOffButtonVorn* button);
    void SetBeamFinder(TOnOffButtonVorn* button);
    void SetLineModeDisplay(TOnOffButtonVorn* button);
    void SetEKGModeDisplay(TOnOffButtonVorn* button);
    void SetRadaDaziDisplay(TOnOffButtonVorn* button);
    void SetDisplayButton(TOnOffButtonVorn* button);

protected:
    void UpdateFromScope() override;

private:
    void ButtonClick(TOnOffButtonVorn* sender);
    void BrightnessScroll();

    QPointer<TScrollBarVorn> gridScroll_;
    QPointer<TOnOffButtonVorn> gridButton_;
    QPointer<TOnOffButtonVorn> beamFinder_;
    QPointer<TOnOffButtonVorn> lineModeDisplay_;
    QPointer<TOnOffButtonVorn> ekgModeDisplay_;
    QPointer<TOnOffButtonVorn> radaDaziDisplay_;
    QPointer<TOnOffButtonVorn> displayButton_;
};
