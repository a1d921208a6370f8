#include "MeasurementRecordControlsVornRM.h"

#include "BoundControl.h"
#include "MessageBoxes.h"
#include "VirtualScopeVornRM.h"
#include "recorder/RecorderStrings.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace {

// One channel's trigger and arm condition.
struct Condition {
    bool triggerSource;
    bool triggerUnder;
    double triggerLevel;
    bool armSource;
    bool armUnder;
    double armLevel;
};

bool contradicts(const Condition& c)
{
    if (!c.triggerSource || !c.armSource)
        return false;
    return (c.triggerUnder && !c.armUnder && c.armLevel > c.triggerLevel) ||
           (!c.triggerUnder && c.armUnder && c.armLevel < c.triggerLevel);
}

// The length in whole milliseconds (halves to even), or nothing when it does
// not fit the scope's unsigned 32-bit length.
std::optional<uint32_t> lengthMilliseconds(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double rounded = std::nearbyint(value);  // halves to even, as rm::roundHalfEven
    if (rounded < 0 || rounded > static_cast<double>(std::numeric_limits<uint32_t>::max()))
        return std::nullopt;
    return static_cast<uint32_t>(rounded);
}

} // namespace

TMeasurementRecordControlsVornRM::TMeasurementRecordControlsVornRM(QObject* parent)
    : TWrapperComponentVornRM(ScopeGroup::RecordPanel,
                              {TScopeNotifyCode::snStart, TScopeNotifyCode::snSettingsChanged,
                               TScopeNotifyCode::snRefreshTriggerPanels}, parent)
{
}

void TMeasurementRecordControlsVornRM::SetMeasurementStart(TOnOffButtonVorn* button)
{
    bindClick(this, measurementStart_, button, &TMeasurementRecordControlsVornRM::ButtonClick);
}

void TMeasurementRecordControlsVornRM::SetMeasurementStop(TOnOffButtonVorn* button)
{
    bindClick(this, measurementStop_, button, &TMeasurementRecordControlsVornRM::ButtonClick);
}

void TMeasurementRecordControlsVornRM::SetRecordTriggered(TOnOffButtonVorn* button)
{
    bindClick(this, recordTriggered_, button, &TMeasurementRecordControlsVornRM::ButtonClick);
}

void TMeasurementRecordControlsVornRM::SetRecordFree(TOnOffButtonVorn* button)
{
    bindClick(this, recordFree_, button, &TMeasurementRecordControlsVornRM::ButtonClick);
}

void TMeasurementRecordControlsVornRM::SetRecordDefined(TOnOffButtonVorn* button)
{
    bindClick(this, recordDefined_, button, &TMeasurementRecordControlsVornRM::ButtonClick);
}

void TMeasurementRecordControlsVornRM::SetRecordContinuos(TOnOffButtonVorn* button)
{
    bindClick(this, recordContinuos_, button, &TMeasurementRecordControlsVornRM::ButtonClick);
}

void TMeasurementRecordControlsVornRM::SetRecordTimeLength(TLongerTimeEditVornRM* edit)
{
    bindEnter(this, recordTimeLength_, edit, [this] { LengthEntered(); });
}

bool TMeasurementRecordControlsVornRM::CheckArmTrigger(const TVirtualScopeVornRM& scope)
{
    const Condition a{scope.TriggerSourceA(), scope.TriggerUnderA(), scope.TriggerLevelA(),
                      scope.ARMSourceA(),     scope.ARMUnderA(),     scope.ARMLevelA()};
    const Condition b{scope.TriggerSourceB(), scope.TriggerUnderB(), scope.TriggerLevelB(),
                      scope.ARMSourceB(),     scope.ARMUnderB(),     scope.ARMLevelB()};
    return !contradicts(a) && !contradicts(b);
}

void TMeasurementRecordControlsVornRM::ButtonClick(TOnOffButtonVorn* sender)
{
    TVirtualScopeVornRM* scope = VirtualScope();
    if (!scope)
        return;
    if (sender == measurementStart_) {
        if (!scope->MeasurementStarted()) {
            if (CheckArmTrigger(*scope))
                scope->SetMeasurementStarted(true);
            else
                rm::showMessage(RecorderStrings::ArmTriggerConflict, {}, rm::MsgButtons::Ok, rm::MsgIcon::Warning);
        }
    } else if (sender == measurementStop_) {
        if (scope->MeasurementStarted())
            scope->SetMeasurementStarted(false);
    } else if (sender == recordDefined_) {
        scope->SetMeasurementDefined(true);
    } else if (sender == recordContinuos_) {
        scope->SetMeasurementDefined(false);
    } else if (sender == recordTriggered_) {
        scope->SetRecordTriggered(!scope->RecordTriggered());
        scope->SetRecordFree(!scope->RecordTriggered());
    } else if (sender == recordFree_) {
        scope->SetRecordFree(!scope->RecordFree());
        scope->SetRecordTriggered(!scope->RecordFree());
    }
    // Also after a refused start, so the Start button is set up again.
    Broadcast(TScopeNotifyCode::snSettingsChanged);
}

// Runs after the edit's own commit. A length that does not fit (a negative or
// an overlong duration) is refused; the refresh shows the old one again.
void TMeasurementRecordControlsVornRM::LengthEntered()
{
    TVirtualScopeVornRM* scope = VirtualScope();
    if (!scope || !recordTimeLength_)
        return;
    if (const std::optional<uint32_t> length = lengthMilliseconds(recordTimeLength_->TimeValue()))
        scope->SetMeasurementLength(*length);
    Broadcast(TScopeNotifyCode::snSettingsChanged);
}

void TMeasurementRecordControlsVornRM::UpdateFromScope()
{
    const TVirtualScopeVornRM* scope = VirtualScope();
    if (!scope)
        return;
    panelview::setDown(measurementStart_, scope->MeasurementStarted());
    panelview::setDown(measurementStop_, false);
    panelview::setDown(recordDefined_, scope->MeasurementDefined());
    panelview::setDown(recordContinuos_, !scope->MeasurementDefined());
    if (recordTimeLength_) {
        recordTimeLength_->setEnabled(scope->MeasurementDefined() && !scope->MeasurementStarted());
        recordTimeLength_->setTimeValue(scope->MeasurementLength());
    }
    panelview::setDown(recordFree_, scope->RecordFree());
    panelview::setDown(recordTriggered_, scope->RecordTriggered());
}
