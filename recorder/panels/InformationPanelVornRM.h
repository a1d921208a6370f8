#pragma once

#include "UnitValueLabel.h"
#include "WrapperComponentVornRM.h"

#include <QLabel>
#include <QPointer>

// A channel's information panel: probe ratio, deflection factor, coupling,
// trigger level and a swatch of the channel colour. It only displays and
// never broadcasts. While the channel is off, probe, deflection and coupling
// are empty and the trigger level keeps what it showed.
class TInformationPanelVornRM : public TWrapperComponentVornRM {
    Q_OBJECT

public:
    enum class Channel { A, B };

    void SetProbe(QLabel* label) { probe_ = label; }
    void SetDensity(TUnitValueLabel* label) { density_ = label; }
    void SetAcdc(QLabel* label) { acdc_ = label; }
    void SetTriggerLevelVoltage(TUnitValueLabel* label) { triggerLevelVoltage_ = label; }
    // The swatch is filled with the channel colour.
    void SetChannelColor(QWidget* swatch) { channelColor_ = swatch; }

protected:
    TInformationPanelVornRM(Channel channel, QObject* parent);

    void UpdateFromScope() override;

private:
    Channel channel_;
    QPointer<QLabel> probe_;
    QPointer<TUnitValueLabel> density_;
    QPointer<QLabel> acdc_;
    QPointer<TUnitValueLabel> triggerLevelVoltage_;
    QPointer<QWidget> channelColor_;
};

// Channel A's panel (group box InfoPanelA).
class TInformationPanelAVornRM : public TInformationPanelVornRM {
    Q_OBJECT

public:
    explicit TInformationPanelAVornRM(QObject* parent = nullptr) : TInformationPanelVornRM(Channel::A, parent) {}

    void SetProbeA(QLabel* label) { SetProbe(label); }
    void SetDensityA(TUnitValueLabel* label) { SetDensity(label); }
    void SetAcdcA(QLabel* label) { SetAcdc(label); }
    void SetTriggerLevelVoltageA(TUnitValueLabel* label) { SetTriggerLevelVoltage(label); }
    void SetChannelColorA(QWidget* swatch) { SetChannelColor(swatch); }
};

// Channel B's panel (group box InfoPanelB).
class TInformationPanelBVornRM : public TInformationPanelVornRM {
    Q_OBJECT

public:
    explicit TInformationPanelBVornRM(QObject* parent = nullptr) : TInformationPanelVornRM(Channel::B, parent) {}

    void SetProbeB(QLabel* label) { SetProbe(label); }
    void SetDensityB(TUnitValueLabel* label) { SetDensity(label); }
    void SetAcdcB(QLabel* label) { SetAcdc(label); }
    void SetTriggerLevelVoltageB(TUnitValueLabel* label) { SetTriggerLevelVoltage(label); }
    void SetChannelColorB(QWidget* swatch) { SetChannelColor(swatch); }
};
