#pragma once

#include "ScopeNotify.h"
#include "WorkerThread.h"

#include <QObject>

#include <cstdint>

class StatusLamp;
class TDataSourceModuleVornRM;
class TFlowManagerVornRM;
class TVirtualDriverVornRM;
class TVirtualScopeVornRM;

// The worker thread that owns the device during a run. It copies the scope's
// settings into the driver component, reads sample blocks from the device or
// the demo generator into the ring, moves the settings log into the ring
// whenever settings changed, ends defined-length measurements, colours the
// trigger and arm lamps and recovers from a USB failure.
class TAcquisitionThreadRM : public WorkerThread {
public:
    // User-interface thread: pushes the settings, initialises the device with
    // its dialogs, pushes again and starts the thread. The owner's links
    // (scope with its driver component, ring, lamps) must be set.
    explicit TAcquisitionThreadRM(TFlowManagerVornRM& owner);
    ~TAcquisitionThreadRM() override;

    // Copies every setting into the driver component under SettingsLock.
    void PushSettings();

    static constexpr uint32_t kLampRed = 0x0000FF;
    static constexpr uint32_t kLampYellow = 0x00FFFF;
    static constexpr uint32_t kLampGreen = 0x008000;

protected:
    void Execute() override;

private:
    bool acquiring() const;
    void readBlock();
    void moveSettingsLogToRing();
    void updateLamps();
    void recoverFromUsbFailure();
    void endMeasurementOfLostDevice();
    void notify(TScopeNotifyCode code);

    TFlowManagerVornRM& owner_;
    TVirtualScopeVornRM& scope_;
    TVirtualDriverVornRM& driver_;
    TDataSourceModuleVornRM& ring_;
    int32_t wordCount_ = 0;
    std::atomic<bool> executeStarted_{false};
    StatusLamp* const armLed_;
    StatusLamp* const triggerLed_;
    // Set once the lamps show a status of the running measurement: the first
    // read of each measurement colours them, whatever status was cached.
    bool lampsCurrent_ = false;
    // Lives on the user-interface thread; queued lamp changes die with it.
    QObject uiContext_;
};
