#pragma once

#include "LongerTimeEdit.h"
#include "OnOffButton.h"
#include "WrapperComponentVornRM.h"

#include <QPointer>

class TVirtualScopeVornRM;

// The measurement panel: Start and Stop, a defined-length or continuous
// measurement with its length (milliseconds, taken on Enter), and triggered or
// free recording. A start is refused while the arm and trigger conditions of a
// channel contradict each other.
class TMeasurementRecordControlsVornRM : public TWrapperComponentVornRM {
    Q_OBJECT

public:
    explicit TMeasurementRecordControlsVornRM(QObject* parent = nullptr);

    void SetMeasurementStart(TOnOffButtonVorn* button);
    void SetMeasurementStop(TOnOffButtonVorn* button);
    void SetRecordTriggered(TOnOffButtonVorn* button);
    void SetRecordFree(TOnOffButtonVorn* button);
    void SetRecordDefined(TOnOffButtonVorn* button);
    void SetRecordContinuos(TOnOffButtonVorn* button);
    void SetRecordTimeLength(TLongerTimeEditVornRM* edit);

    // False when channel A or B is both trigger and arm source and the arm
    // level lies beyond the trigger level on the side the trigger waits for
    // (trigger under with arm over above it, or trigger over with arm under
    // below it). Equal levels and the external arm source never conflict.
    static bool CheckArmTrigger(const TVirtualScopeVornRM& scope);

protected:
    void UpdateFromScope() override;

private:
    void ButtonClick(TOnOffButtonVorn* sender);
    void LengthEntered();

    QPointer<TOnOffButtonVorn> measurementStart_, measurementStop_;
    QPointer<TOnOffButtonVorn> recordTriggered_, recordFree_, recordDefined_, recordContinuos_;
    QPointer<TLongerTimeEditVornRM> recordTimeLength_;
};
