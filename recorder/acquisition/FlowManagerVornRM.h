#pragma once

#include "ScopeNotify.h"

#include <atomic>
#include <memory>

class DisplayOffLabel;
class LiveDisplay;
class StatusLamp;
class TAcquisitionThreadRM;
class TDataSourceModuleVornRM;
class TProcessingThreadRM;
class TVirtualScopeVornRM;

// Runs the recorder's data flow. On the scope's start code it picks the
// visible live display, empties the ring and starts the acquisition thread
// (which initialises the device) and the processing thread; while running it
// turns settings broadcasts into ScopeSettingsDirty, applies priority changes,
// clears, hides and switches the displays; on the shutdown code it stops both
// threads and releases the driver library. User-interface thread only, except
// for the dirty flag.
class TFlowManagerVornRM {
public:
    TFlowManagerVornRM();
    ~TFlowManagerVornRM();
    TFlowManagerVornRM(const TFlowManagerVornRM&) = delete;
    TFlowManagerVornRM& operator=(const TFlowManagerVornRM&) = delete;

    TDataSourceModuleVornRM* DataSourceInstance() const { return dataSource_; }
    void SetDataSourceInstance(TDataSourceModuleVornRM* ring) { dataSource_ = ring; }
    LiveDisplay* RollScreen() const { return rollScreen_; }
    void SetRollScreen(LiveDisplay* display) { rollScreen_ = display; }
    LiveDisplay* EKGScreen() const { return ekgScreen_; }
    void SetEKGScreen(LiveDisplay* display) { ekgScreen_ = display; }
    TVirtualScopeVornRM* VirtualScope() const { return virtualScope_; }
    // Stores the link and, when not empty, joins the scope's bus under ControlGroup.
    void SetVirtualScope(TVirtualScopeVornRM* scope);
    int ControlGroup() const { return controlGroup_; }
    void SetControlGroup(int group) { controlGroup_ = group; }
    // Handed to the acquisition thread when it is created; either may be empty.
    StatusLamp* ArmLED() const { return armLed_; }
    void SetArmLED(StatusLamp* lamp) { armLed_ = lamp; }
    StatusLamp* TriggerLED() const { return triggerLed_; }
    void SetTriggerLED(StatusLamp* lamp) { triggerLed_ = lamp; }
    void SetLinkToDispInactiveCaption(DisplayOffLabel* label) { displayOffLabel_ = label; }

    // Settings changed: the acquisition thread pushes them and moves the
    // settings log into the ring at its next pass. Any thread.
    bool ScopeSettingsDirty() const { return scopeSettingsDirty_; }
    void SetScopeSettingsDirty(bool dirty) { scopeSettingsDirty_ = dirty; }
    // Clears the flag and tells whether it was set, in one step.
    bool TakeScopeSettingsDirty() { return scopeSettingsDirty_.exchange(false); }

    void ScopeNotify(TScopeNotifyCode code, int& senderGroup);
    void StartThreads();
    // Stops the acquisition thread, lets the processing thread empty the ring
    // and stops it, then releases the driver library.
    void StopThreads();

    LiveDisplay* CurrentDisplay() const { return currentDisplay_; }
    TAcquisitionThreadRM* AcquisitionThread() const { return acquisitionThread_.get(); }
    TProcessingThreadRM* ProcessingThread() const { return processingThread_.get(); }

private:
    void applySettings();
    void showDisplay(LiveDisplay* display);
    void detach();

    TDataSourceModuleVornRM* dataSource_ = nullptr;
    LiveDisplay* rollScreen_ = nullptr;
    LiveDisplay* ekgScreen_ = nullptr;
    TVirtualScopeVornRM* virtualScope_ = nullptr;
    int controlGroup_ = ScopeGroup::FlowManager;
    StatusLamp* armLed_ = nullptr;
    StatusLamp* triggerLed_ = nullptr;
    DisplayOffLabel* displayOffLabel_ = nullptr;
    std::atomic<bool> scopeSettingsDirty_{false};

    std::unique_ptr<TAcquisitionThreadRM> acquisitionThread_;
    std::unique_ptr<TProcessingThreadRM> processingThread_;
    LiveDisplay* currentDisplay_ = nullptr;
    bool boostApplied_ = false;
};
