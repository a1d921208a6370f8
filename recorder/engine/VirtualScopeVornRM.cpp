#include "VirtualScopeVornRM.h"

#include "Deflection.h"
#include "IndexFileName.h"
#include "MessageBoxes.h"
#include "RateTables.h"
#include "Rounding.h"
#include "recorder/RecorderStrings.h"
#include "ValueLabelLink.h"

#include <QMetaObject>

#include <algorithm>

namespace {
constexpr int kMaxVerticalLevel = 4095;

// The time base a sampling rate needs at least, and the other way round: the
// pair always adds up to 3 or more.
int minimumPartnerIndex(int index) { return std::max(0, 3 - index); }
} // namespace

TVirtualScopeVornRM::TVirtualScopeVornRM() { recomputeRealGridColor(); }

TVirtualScopeVornRM::~TVirtualScopeVornRM() = default;

// ---- Listener bus -------------------------------------------------------------

void TVirtualScopeVornRM::RegisterListener(int controlGroup, const void* owner, Handler handler) {
    bus_.RegisterListener(controlGroup, owner, std::move(handler));
}

void TVirtualScopeVornRM::UnregisterListener(const void* owner) { bus_.UnregisterListener(owner); }

void TVirtualScopeVornRM::Notify(TScopeNotifyCode code, int senderGroup) { bus_.Notify(code, senderGroup); }

void TVirtualScopeVornRM::Startup() {
    bus_.EnableDelivery();
    Notify(TScopeNotifyCode::snLoadAutoSettings, ScopeGroup::All);
    Notify(TScopeNotifyCode::snStart, ScopeGroup::All);
    applicationInitialized_ = true;
}

void TVirtualScopeVornRM::Shutdown() {
    SetMeasurementStarted(false);
    Notify(TScopeNotifyCode::snSettingsChanged, ScopeGroup::All);
    Notify(TScopeNotifyCode::snShutdown, ScopeGroup::All);
    writer_.close();
}

// ---- Data file ------------------------------------------------------------------

void TVirtualScopeVornRM::SetSavingActivated(bool value) {
    savingActivated_ = value;
    SetFileName(dataFileName_);
}

void TVirtualScopeVornRM::SetFileName(const std::string& name) {
    dataFileName_ = name;
    if (!applicationInitialized_ || !savingActivated_) {
        writer_.close();
        fileSize_.set(0);
        return;
    }
    const DataFileWriter::OpenResult opened = writer_.open(name, measurementStarted_);
    fileSize_.show();  // the size of the file now open, 0 when none is
    if (opened == DataFileWriter::OpenResult::Failed)
        showFileFailure(std::string(RecorderStrings::CannotCreateFile) + name);
}

std::string TVirtualScopeVornRM::IndexFileName(const std::string& name) const {
    return rm::indexFileName(name);
}

void TVirtualScopeVornRM::ClearFile() {
    if (!writer_.recreate(dataFileName_))
        showFileFailure(std::string(RecorderStrings::CannotCreateFile) + dataFileName_);
}

void TVirtualScopeVornRM::AppendToFile(const uint16_t* words, size_t count) {
    if (!savingActivated_)
        return;
    const DataFileWriter::AppendResult result = writer_.append(words, count);
    if (result.status == DataFileWriter::AppendResult::Written) {
        fileSize_.show();  // the file a stop block switched to
        return;
    }
    // The writer has closed the file. The panels learn on their own thread
    // that saving is off, and the box is shown there too: this thread goes
    // on feeding the display and emptying the ring while it is open.
    fileSize_.set(0);
    savingActivated_ = false;
    const std::string text = result.status == DataFileWriter::AppendResult::OpenFailed
                                 ? std::string(RecorderStrings::CannotCreateFile) + result.fileName
                                 : std::string(RecorderStrings::WriteToFileFailed);
    QMetaObject::invokeMethod(
        &uiContext_,
        [this, text] {
            Notify(TScopeNotifyCode::snSettingsChanged, ScopeGroup::All);
            showError(text);
        },
        Qt::QueuedConnection);
}

void TVirtualScopeVornRM::showFileFailure(const std::string& text) {
    savingActivated_ = false;  // the field only: nothing is reopened
    showError(text);
}

void TVirtualScopeVornRM::showError(const std::string& text) {
    rm::showMessage(text, {}, rm::MsgButtons::Ok, rm::MsgIcon::Error);
}

// ---- Channels -------------------------------------------------------------------

void TVirtualScopeVornRM::SetDensityChannelA(int value) { storeLocked(densityChannelA_, std::clamp(value, 1, 9)); }

void TVirtualScopeVornRM::SetDensityChannelB(int value) { storeLocked(densityChannelB_, std::clamp(value, 1, 9)); }

void TVirtualScopeVornRM::SetMaxChannelA(int value) { maxChannelA_ = std::max(value, 1); }

void TVirtualScopeVornRM::SetMaxChannelB(int value) { maxChannelB_ = std::max(value, 1); }

void TVirtualScopeVornRM::SetVerticalLevelChannelA(int value) {
    if (value >= 1 && value <= kMaxVerticalLevel)
        storeLocked(verticalLevelChannelA_, value);
}

void TVirtualScopeVornRM::SetVerticalLevelChannelB(int value) {
    if (value >= 1 && value <= kMaxVerticalLevel)
        storeLocked(verticalLevelChannelB_, value);
}

int TVirtualScopeVornRM::ScaledLevelChannelA() const {
    return static_cast<int>(int64_t{verticalLevelChannelA_} * maxChannelA_ / 4096);
}

int TVirtualScopeVornRM::ScaledLevelChannelB() const {
    return static_cast<int>(int64_t{verticalLevelChannelB_} * maxChannelB_ / 4096);
}

void TVirtualScopeVornRM::SetScaledLevelChannelA(int value) { setScaledLevel(verticalLevelChannelA_, maxChannelA_, value); }

void TVirtualScopeVornRM::SetScaledLevelChannelB(int value) { setScaledLevel(verticalLevelChannelB_, maxChannelB_, value); }

void TVirtualScopeVornRM::setScaledLevel(std::atomic<int>& level, int max, int pixels) {
    if (pixels >= 0 && pixels <= max)
        level = static_cast<int>(int64_t{pixels} * kMaxVerticalLevel / max);
}

int32_t TVirtualScopeVornRM::Deflection(int channel) const {
    if (channel == kChannelB)
        return deflectionMillivolts(densityChannelB_, sourceProbeB_);
    return deflectionMillivolts(densityChannelA_, sourceProbeA_);
}

void TVirtualScopeVornRM::ProbeText(int channel, std::string& text) const {
    switch (channel == kChannelB ? sourceProbeB_.load() : sourceProbeA_.load()) {
    case 1: text = RecorderStrings::Probe1; break;
    case 2: text = RecorderStrings::Probe10; break;
    case 3: text = RecorderStrings::Probe100; break;
    case 4: text = RecorderStrings::Probe1000; break;
    default: break;
    }
}

// ---- Colours and display options ------------------------------------------------

void TVirtualScopeVornRM::SetColorGrid(rm::WinColor value) {
    colorGrid_ = value;
    recomputeRealGridColor();
}

void TVirtualScopeVornRM::SetGridBrightness(int percent) {
    gridBrightness_ = std::clamp(percent, 0, 100);
    recomputeRealGridColor();
}

void TVirtualScopeVornRM::recomputeRealGridColor() {
    realGridColor_ = ScaleColor(colorGrid_, gridBrightness_ / 100.0);
}

rm::WinColor TVirtualScopeVornRM::ScaleColor(rm::WinColor color, double factor) {
    rm::WinColor scaled = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const double byte = static_cast<double>((color >> shift) & 0xFF) * factor;
        scaled |= static_cast<rm::WinColor>(rm::roundHalfEvenClamped(byte, 0, 255)) << shift;
    }
    return scaled;
}

void TVirtualScopeVornRM::SetDisplayActive(bool value) {
    displayActive_ = value;
    if (!value)
        clearScreenRequested_ = true;
}

// ---- Status ----------------------------------------------------------------------

void TVirtualScopeVornRM::SetDataAcquisitionStatus(uint8_t status) {
    if (status == 0) {
        measurementStarted_ = false;
        dataAcquisitionStatus_ = 0;
        triggerLEDStatus_ = 0;
        armLEDStatus_ = 0;
        return;
    }
    if (!measurementStarted_)
        return;
    dataAcquisitionStatus_ = status;
    triggerLEDStatus_ = status & 0x0F;
    armLEDStatus_ = status >> 4;
}

void TVirtualScopeVornRM::SetMeasurementStarted(bool value) {
    std::lock_guard lock(settingsLock_);
    measurementStarted_ = value;
    if (value) {
        cachedDataStatus_ = 0x11;
    } else {
        dataAcquisitionStatus_ = 0;
        triggerLEDStatus_ = 0;
        armLEDStatus_ = 0;
    }
}

void TVirtualScopeVornRM::SetSMPSetting(int index) {
    std::lock_guard lock(settingsLock_);
    const int smp = rm::clampSmpIndex(index);
    smpSetting_ = smp;
    dspSetting_ = std::max(dspSetting_.load(), minimumPartnerIndex(smp));
}

void TVirtualScopeVornRM::SetDSPSetting(int index) {
    const int dsp = rm::clampDspIndex(index);
    dspSetting_ = dsp;
    if (smpSetting_ < minimumPartnerIndex(dsp))
        storeLocked(smpSetting_, minimumPartnerIndex(dsp));
}

// ---- Live voltage ------------------------------------------------------------------

void TVirtualScopeVornRM::SetActualVoltage(uint16_t word) {
    ValueLabelLink* labelA = actualVoltageA_;
    ValueLabelLink* labelB = actualVoltageB_;
    const int high = word >> 8;
    if (high == 0) {
        if (labelB)
            labelB->setMainValue(labelB->mainValue());
        if (labelA)
            labelA->setMainValue(labelA->mainValue());
        return;
    }
    actualVoltage_ = word;
    const int low = word & 0xFF;
    const auto millivolts = [](int code, int zero, int32_t deflection) {
        return static_cast<double>(rm::roundHalfEven(static_cast<double>(code - zero) * deflection / 32.0));
    };
    if (labelB)
        labelB->setMainValue(millivolts(high, zeroChannelB_, Deflection(kChannelB)));
    if (labelA)
        labelA->setMainValue(millivolts(low, zeroChannelA_, Deflection(kChannelA)));
}

// ---- Links ---------------------------------------------------------------------------

void TVirtualScopeVornRM::SetVirtualDriver(TVirtualDriverVornRM* driver) {
    if (driver)
        virtualDriver_ = driver;
}
