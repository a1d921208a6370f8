#pragma once

#include "OnOffButton.h"
#include "VoltageValueEdit.h"
#include "WrapperComponentVornRM.h"

#include <QPointer>
#include <QToolButton>

// The arm panel: arm sources A, B and external, under/over per source and the
// two arm levels (millivolts, taken on Enter). It stays usable during a
// measurement: it enables and disables nothing.
class TArmControlsVornRM : public TWrapperComponentVornRM {
    Q_OBJECT

public:
    explicit TArmControlsVornRM(QObject* parent = nullptr);

    void SetArmSourceA(TOnOffButtonVorn* button);
    void SetArmSourceB(TOnOffButtonVorn* button);
    void SetExternalSource(TOnOffButtonVorn* button);
    void SetTrigUnderOverA(QToolButton* button);
    void SetTrigUnderOverB(QToolButton* button);
    void SetTrigUnderOverExternal(QToolButton* button);
    void SetArmLevelEditA(TVoltageValueEditVorn* edit);
    void SetArmLevelEditB(TVoltageValueEditVorn* edit);

protected:
    void UpdateFromScope() override;

private:
    void ButtonClick(QAbstractButton* sender);
    void LevelEntered(TVoltageValueEditVorn* sender);

    QPointer<TOnOffButtonVorn> armSourceA_, armSourceB_, externalSource_;
    QPointer<QToolButton> trigUnderOverA_, trigUnderOverB_, trigUnderOverExternal_;
    QPointer<TVoltageValueEditVorn> levelEditA_, levelEditB_;
};
