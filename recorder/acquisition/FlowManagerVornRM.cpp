#include "FlowManagerVornRM.h"

#include "AcquisitionThreadRM.h"
#include "DataSourceModuleVornRM.h"
#include "DisplayOffLabel.h"
#include "LiveDisplay.h"
#include "ProcessingThreadRM.h"
#include "VirtualDriverVornRM.h"
#include "VirtualScopeVornRM.h"

TFlowManagerVornRM::TFlowManagerVornRM() = default;

TFlowManagerVornRM::~TFlowManagerVornRM() {
    StopThreads();
    detach();
}

void TFlowManagerVornRM::SetVirtualScope(TVirtualScopeVornRM* scope) {
    virtualScope_ = scope;
    if (scope)
        scope->RegisterListener(controlGroup_, this,
                                [this](TScopeNotifyCode code, int& group) { ScopeNotify(code, group); });
}

void TFlowManagerVornRM::detach() {
    if (virtualScope_)
        virtualScope_->UnregisterListener(this);
    virtualScope_ = nullptr;
}

void TFlowManagerVornRM::ScopeNotify(TScopeNotifyCode code, int&) {
    switch (code) {
    case TScopeNotifyCode::snStart:
        currentDisplay_ = virtualScope_->ModeEKG() ? ekgScreen_ : rollScreen_;
        if (currentDisplay_)
            currentDisplay_->setDisplayVisible(true);
        boostApplied_ = false;
        scopeSettingsDirty_ = false;
        StartThreads();
        break;
    case TScopeNotifyCode::snSettingsChanged:
    case TScopeNotifyCode::snDeviceReinitialized:
        applySettings();
        break;
    case TScopeNotifyCode::snShutdown:
        StopThreads();
        detach();
        break;
    case TScopeNotifyCode::snLoadAutoSettings:
        for (LiveDisplay* display : {rollScreen_, ekgScreen_})
            if (display)
                display->setDisplayVisible(false);
        break;
    case TScopeNotifyCode::snShowEKGDisplay:
        showDisplay(ekgScreen_);
        break;
    case TScopeNotifyCode::snShowShiftDisplay:
        showDisplay(rollScreen_);
        break;
    default:
        break;
    }
}

void TFlowManagerVornRM::applySettings() {
    TVirtualScopeVornRM& scope = *virtualScope_;
    const bool boost = scope.BoostThread();
    if (boost != boostApplied_) {
        for (WorkerThread* thread : {static_cast<WorkerThread*>(acquisitionThread_.get()),
                                     static_cast<WorkerThread*>(processingThread_.get())})
            if (thread)
                thread->SetTimeCritical(boost);
        boostApplied_ = boost;
    }
    scopeSettingsDirty_ = true;
    if (scope.ClearScreenRequested()) {
        if (currentDisplay_)
            currentDisplay_->ClearScreen();
        scope.SetClearScreenRequested(false);
    }
    if (displayOffLabel_)
        displayOffLabel_->SetLabelVisible(!scope.DisplayActive());
    if (currentDisplay_)
        currentDisplay_->setDisplayVisible(scope.DisplayActive());
}

void TFlowManagerVornRM::showDisplay(LiveDisplay* display) {
    if (currentDisplay_)
        currentDisplay_->setDisplayVisible(false);
    currentDisplay_ = display;
    if (currentDisplay_)
        currentDisplay_->setDisplayVisible(true);
    if (processingThread_)
        processingThread_->SetDisplay(currentDisplay_);
}

void TFlowManagerVornRM::StartThreads() {
    dataSource_->Reset();
    acquisitionThread_ = std::make_unique<TAcquisitionThreadRM>(*this);
    processingThread_ = std::make_unique<TProcessingThreadRM>(*virtualScope_, *dataSource_, currentDisplay_);
    if (virtualScope_->BoostThread()) {
        acquisitionThread_->SetTimeCritical(true);
        processingThread_->SetTimeCritical(true);
    }
    for (LiveDisplay* display : {rollScreen_, ekgScreen_})
        if (display)
            display->ResizeBuffer();
}

void TFlowManagerVornRM::StopThreads() {
    if (!acquisitionThread_ && !processingThread_)
        return;
    acquisitionThread_.reset();  // stops it and waits for its end
    processingThread_.reset();   // empties the ring first
    if (virtualScope_ && virtualScope_->VirtualDriver())
        virtualScope_->VirtualDriver()->ReleaseLibrary();
}
