#pragma once

#include "OnOffButton.h"
#include "VoltageValueEdit.h"
#include "WrapperComponentVornRM.h"

#include <QPointer>
#include <QToolButton>

// The trigger panel: trigger sources A and B, under/over per channel, the
// relation of two sources (AND/OR) and the two trigger levels (millivolts,
// taken on Enter). Everything is disabled during a measurement; the relation
// is enabled only while both channels are sources.
class TTriggerControlsVornRM : public TWrapperComponentVornRM {
    Q_OBJECT

public:
    explicit TTriggerControlsVornRM(QObject* parent = nullptr);

    void SetTriggerSourceA(TOnOffButtonVorn* button);
    void SetTriggerSourceB(TOnOffButtonVorn* button);
    void SetTrigUnderOverA(QToolButton* button);
    void SetTrigUnderOverB(QToolButton* button);
    void SetTrigRelation(QToolButton* button);
    void SetTriggerLevelEditA(TVoltageValueEditVorn* edit);
    void SetTriggerLevelEditB(TVoltageValueEditVorn* edit);

protected:
    void UpdateFromScope() override;

private:
    void ButtonClick(QAbstractButton* sender);
    void LevelEntered(TVoltageValueEditVorn* sender);

    QPointer<TOnOffButtonVorn> triggerSourceA_, triggerSourceB_;
    QPointer<QToolButton> trigUnderOverA_, trigUnderOverB_, trigRelation_;
    QPointer<TVoltageValueEditVorn> levelEditA_, levelEditB_;
};
