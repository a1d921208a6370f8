#include "AcquisitionThreadRM.h"

#include "DataSourceModuleVornRM.h"
#include "FlowManagerVornRM.h"
#include "MessageBoxes.h"
#include "StatusLamp.h"
#include "UiCall.h"
#include "VirtualDriverVornRM.h"
#include "VirtualScopeVornRM.h"
#include "recorder/RecorderStrings.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <chrono>
#include <mutex>
#include <thread>

namespace {

constexpr int kSenderGroup = ScopeGroup::FlowManager;
constexpr std::chrono::milliseconds kIdleSleep{2};
// Far below what the instrument's FIFO holds at the fastest rate (about 50 ms).
constexpr std::chrono::milliseconds kShortBlockWait{2};

// Lamp state 0 red, 1 yellow, 2 green; any other keeps the lamp as it is.
void colourLamp(StatusLamp* lamp, int state) {
    if (!lamp || state < 0 || state > 2)
        return;
    constexpr rm::WinColor kColours[] = {TAcquisitionThreadRM::kLampRed, TAcquisitionThreadRM::kLampYellow,
                                         TAcquisitionThreadRM::kLampGreen};
    lamp->SetLampColor(kColours[state]);
}

} // namespace

TAcquisitionThreadRM::TAcquisitionThreadRM(TFlowManagerVornRM& owner)
    : owner_(owner),
      scope_(*owner.VirtualScope()),
      driver_(*owner.VirtualScope()->VirtualDriver()),
      ring_(*owner.DataSourceInstance()),
      armLed_(owner.ArmLED()),
      triggerLed_(owner.TriggerLED()) {
    scope_.SetCachedDataStatus(0);
    // The library is not bound yet: values are stored and logged only.
    driver_.SetForceSettings(true);
    PushSettings();
    driver_.SetDeviceInfo(scope_.DeviceInfo().data());
    driver_.InitializeDriver();
    driver_.SetForceSettings(true);
    PushSettings();
    Start();
}

TAcquisitionThreadRM::~TAcquisitionThreadRM() { Stop(); }

void TAcquisitionThreadRM::PushSettings() {
    {
        std::lock_guard lock(scope_.SettingsLock());
        TVirtualDriverVornRM& d = driver_;
        const TVirtualScopeVornRM& s = scope_;
        d.SetRecordFree(s.RecordFree());
        d.SetSettingsToFile(s.SettingsToFile());
        d.SetMeasurementDefined(s.MeasurementDefined());
        d.SetMeasurementLength(s.MeasurementLength());
        d.SetMeasurementStarted(s.MeasurementStarted());
        d.SetTriggerSourceA(s.TriggerSourceA());
        d.SetTriggerSourceB(s.TriggerSourceB());
        d.SetTriggerLevelA(s.TriggerLevelA());
        d.SetTriggerLevelB(s.TriggerLevelB());
        d.SetTriggerUnderA(s.TriggerUnderA());
        d.SetTriggerUnderB(s.TriggerUnderB());
        d.SetTriggerRelation(s.TriggerRelation());
        d.SetARMSourceA(s.ARMSourceA());
        d.SetARMSourceB(s.ARMSourceB());
        d.SetARMSourceExternal(s.ARMSourceExternal());
        d.SetARMLevelA(s.ARMLevelA());
        d.SetARMLevelB(s.ARMLevelB());
        d.SetARMUnderA(s.ARMUnderA());
        d.SetARMUnderB(s.ARMUnderB());
        d.SetARMUnderExternal(s.ARMUnderExternal());
        d.SetSMPSetting(s.SMPSetting());
        d.SetSourceProbeA(s.SourceProbeA());
        d.SetSourceProbeB(s.SourceProbeB());
        d.SetStatusChannelA(s.StatusChannelA());
        d.SetStatusChannelB(s.StatusChannelB());
        d.SetVerticalLevelChannelA(static_cast<uint16_t>(s.VerticalLevelChannelA()));
        d.SetVerticalLevelChannelB(static_cast<uint16_t>(s.VerticalLevelChannelB()));
        d.SetDensityChannelA(static_cast<uint16_t>(s.DensityChannelA()));
        d.SetDensityChannelB(static_cast<uint16_t>(s.DensityChannelB()));
        d.SetSourceACDC_A(s.SourceACDC_A());
        d.SetSourceACDC_B(s.SourceACDC_B());
        d.SetGroundA(s.GroundA());
        d.SetGroundB(s.GroundB());
        d.SetPeriodA(s.PeriodA());
        d.SetPeriodB(s.PeriodB());
        d.SetAmplitudeA(s.AmplitudeA());
        d.SetAmplitudeB(s.AmplitudeB());
        d.SetNoiseA(s.NoiseA());
        d.SetNoiseB(s.NoiseB());
    }
    // The panels follow the level the device moved to after a range change.
    if (driver_.SetBackRequested() && executeStarted_) {
        scope_.SetVerticalLevelChannelA(4095 - driver_.VerticalLevelChannelA());
        scope_.SetVerticalLevelChannelB(4095 - driver_.VerticalLevelChannelB());
    }
    driver_.SetForceSettings(false);
    scope_.SetZeroChannelA(driver_.ZeroChannelA());
    scope_.SetZeroChannelB(driver_.ZeroChannelB());
}

void TAcquisitionThreadRM::Execute() {
    executeStarted_ = true;
    driver_.ClearSettingsLog();
    driver_.SetForceSettings(true);
    PushSettings();
    scope_.SetSettingsToFile(false);

    while (!Terminated()) {
        ApplyPriority();
        if (acquiring()) {
            readBlock();
        } else {
            std::this_thread::sleep_for(kIdleSleep);
            driver_.SetSampleCounter(0);
            lampsCurrent_ = false;
        }
        // Taken before the push: a change that arrives during the push marks
        // the flag again and is served at the next pass.
        if (!Terminated() && !driver_.TerminateApplication() && owner_.TakeScopeSettingsDirty())
            moveSettingsLogToRing();
        if (driver_.USBFailed() && !Terminated())
            recoverFromUsbFailure();
    }
    // A change the program's stop made (the measurement's end) still reaches
    // the stream, so the processing thread can write it before it ends.
    if (!driver_.TerminateApplication() && owner_.TakeScopeSettingsDirty())
        moveSettingsLogToRing();
}

// Once the user chose to end the program in a device dialog nothing is read:
// the demo generator would stand in for the lost device inside its measurement.
bool TAcquisitionThreadRM::acquiring() const {
    return !driver_.TerminateApplication() && driver_.MeasurementStarted() &&
           (driver_.RecordFree() ||
            (driver_.RecordTriggered() && (driver_.TriggerSourceA() || driver_.TriggerSourceB())));
}

void TAcquisitionThreadRM::readBlock() {
    uint16_t* room = ring_.GetWritePointer();
    if (!room)
        return;
    const uint8_t status = driver_.ReadData(room, wordCount_);
    scope_.SetDataAcquisitionStatus(status);
    ring_.CommitWrite(wordCount_);
    // A short block means the instrument's FIFO (or the demo clock) has no
    // more for now: wait a little instead of asking again at once.
    if (wordCount_ < kSampleBlockWords)
        std::this_thread::sleep_for(kShortBlockWait);
    if (driver_.MeasurementDefined()) {
        driver_.SetSampleCounter(driver_.SampleCounter() + wordCount_);
        if (driver_.SampleCounter() >= driver_.TargetSampleCount()) {
            driver_.SetSampleCounter(0);
            scope_.SetDataAcquisitionStatus(0);
            owner_.SetScopeSettingsDirty(true);
        }
    }
    if (!lampsCurrent_ || scope_.CachedDataStatus() != scope_.DataAcquisitionStatus())
        updateLamps();
}

void TAcquisitionThreadRM::moveSettingsLogToRing() {
    PushSettings();
    uint16_t* room = ring_.GetWritePointer();
    if (!room)
        return;
    driver_.TakeSettingsLog(room, wordCount_);
    ring_.CommitWrite(wordCount_);
    if (driver_.SetBackRequested()) {
        rm::UiCall::invoke([this] {
            notify(TScopeNotifyCode::snLevelsSetBack);
            driver_.SetSetBackRequested(false);
        });
    }
}

void TAcquisitionThreadRM::updateLamps() {
    lampsCurrent_ = true;
    scope_.SetCachedDataStatus(scope_.DataAcquisitionStatus());
    const int armState = scope_.ARMLEDStatus();
    const int triggerState = scope_.TriggerLEDStatus();
    auto paint = [arm = armLed_, trigger = triggerLed_, armState, triggerState] {
        colourLamp(arm, armState);
        colourLamp(trigger, triggerState);
    };
    if (QCoreApplication::instance())
        QMetaObject::invokeMethod(&uiContext_, paint, Qt::QueuedConnection);
    else
        paint();
    if (scope_.CachedDataStatus() == 0) {
        rm::UiCall::invoke([this] {
            if (!Terminated())
                notify(TScopeNotifyCode::snSettingsChanged);
        });
    }
    owner_.SetScopeSettingsDirty(true);
}

// The library is released and bound anew on the user-interface thread, whose
// dialogs offer retry, demo mode or the end; then every setting is sent again,
// the running measurement included, which goes on where it was. Once the
// program is ending (the thread is told to terminate) no step runs: no
// library is loaded again and no device dialog appears.
void TAcquisitionThreadRM::recoverFromUsbFailure() {
    const auto step = [this](auto work) {
        rm::UiCall::invoke([&] {
            if (!Terminated())
                work();
        });
        return !Terminated();
    };
    if (!step([this] { driver_.ReleaseLibrary(); }) ||
        !step([this] { notify(TScopeNotifyCode::snDeviceReinitialized); }))
        return;
    driver_.SetDeviceInfo(scope_.DeviceInfo().data());
    const int64_t counted = driver_.SampleCounter();
    if (!step([this] { driver_.InitializeDriver(); }))
        return;
    if (!driver_.DeviceInitialized()) {
        // No device goes on with the measurement: it ends here.
        if (driver_.MeasurementStarted())
            endMeasurementOfLostDevice();
        if (driver_.TerminateApplication())
            return;
        driver_.SetForceSettings(true);
        PushSettings();
        return;
    }
    // The fresh driver starts in its first range: the levels of the forced
    // push must be converted in the channels' own ranges, as before the loss.
    driver_.SendRanges();
    driver_.SetForceSettings(true);
    // The recovery's parameter blocks enter the stream before its first sample.
    moveSettingsLogToRing();
    // Started last, as at any start: every other setting is in place by then.
    driver_.ResumeMeasurement();
    // A defined length counts the words recorded before the loss too.
    driver_.SetSampleCounter(counted);
}

// The device is gone for good (demo mode, or the program's end was chosen):
// the measurement ends as when the device stops it, its stop block reaches
// the stream before any generated sample, and the user learns why.
void TAcquisitionThreadRM::endMeasurementOfLostDevice() {
    scope_.SetDataAcquisitionStatus(0);
    updateLamps();
    moveSettingsLogToRing();
    if (driver_.TerminateApplication())
        return;
    const auto tell = [] {
        rm::showMessage(RecorderStrings::MeasurementEndedDeviceLost, {}, rm::MsgButtons::Ok, rm::MsgIcon::Error);
    };
    // Queued: the live display goes on (in demo mode) while the box is open.
    if (QCoreApplication::instance())
        QMetaObject::invokeMethod(&uiContext_, tell, Qt::QueuedConnection);
    else
        tell();
}

void TAcquisitionThreadRM::notify(TScopeNotifyCode code) { scope_.Notify(code, kSenderGroup); }
