#include "VirtualDriverVornRM.h"

#include "Deflection.h"
#include "MessageBoxes.h"
#include "ProgramFolder.h"
#include "RateTables.h"
#include "Rounding.h"
#include "recorder/RecorderStrings.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

namespace {

constexpr int32_t kNoAnswer = std::numeric_limits<int32_t>::min();

std::string formatNumber(const char* format, int value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

void quitApplication() {
    if (auto* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(app, &QCoreApplication::quit, Qt::QueuedConnection);
}

} // namespace

TVirtualDriverVornRM::TVirtualDriverVornRM(DemoSignalGenerator::TickSource ticks)
    : terminateHandler_(quitApplication), demo_(std::move(ticks)) {}

TVirtualDriverVornRM::~TVirtualDriverVornRM() { ReleaseLibrary(); }

bool TVirtualDriverVornRM::USBFailed() const {
    return std::atomic_ref<uint8_t>(const_cast<uint8_t&>(usbFailed_)).load(std::memory_order_acquire) != 0;
}

int32_t TVirtualDriverVornRM::SamplesPerSecond() const {
    return rm::kSamplesPerSecondTable[rm::clampSmpIndex(smpSetting_)];
}

int32_t TVirtualDriverVornRM::Deflection(int channel) const { return channelDeflection(channel == 200 ? 1 : 0); }

int32_t TVirtualDriverVornRM::channelDeflection(int c) const { return deflectionMillivolts(density_[c], probe_[c]); }

// ---- Library and device ------------------------------------------------------

void TVirtualDriverVornRM::InitializeDriver() {
    setBackRequested_ = false;
    sampleCounter_ = 0;
    targetSampleCount_ = 0;
    std::atomic_ref<uint8_t>(usbFailed_).store(0, std::memory_order_release);
    demoMode_ = false;
    deviceInitialized_ = false;
    terminateApplication_ = false;
    ClearSettingsLog();

    const std::string folder = libraryFolder_.empty() ? rm::programFolder() : libraryFolder_;
    if (!library_.open(folder + "/" + rm::SharedLibrary::moduleFileName(kDriverDllName))) {
        if (rm::showMessage(RecorderStrings::DriverNotPresent, {}, rm::MsgButtons::YesNo,
                            rm::MsgIcon::Error) != rm::MsgResult::Yes) {
            requestTermination();
            return;
        }
        enterDemoMode();
    } else if (!bindLibrary()) {
        // A library without the expected exports is no driver: run the demo.
        ReleaseLibrary();
        enterDemoMode();
    } else {
        initializeDevice();
        if (terminateApplication_)
            return;
    }
    readSerialNumber();
}

bool TVirtualDriverVornRM::bindLibrary() {
    initializeDevice_ = reinterpret_cast<InitializeDeviceProc>(library_.symbol("InitializeDevice"));
    const bool hasDeInitialize = library_.symbol("DeInitializeDevice") != nullptr;
    deviceFunction_ = reinterpret_cast<DeviceFunctionProc>(library_.symbol("DeviceFunction"));
    if (!initializeDevice_ || !hasDeInitialize || !deviceFunction_)
        return false;
    int32_t scratch = 0;
    deviceFunction_(USBFailedAddress, nullptr, 0, nullptr, 0, reinterpret_cast<intptr_t>(&usbFailed_), &scratch);
    return true;
}

void TVirtualDriverVornRM::initializeDevice() {
    for (;;) {
        TDeviceInfo info{};
        const int32_t result = initializeDevice_(&info);
        switch (result) {
        case InitOk:
            if (deviceInfo_)
                std::memcpy(deviceInfo_, &info, sizeof info);
            deviceInitialized_ = true;
            demoMode_ = false;
            deviceCalibrationOK_ = true;
            readVersions();
            return;
        case InitUsbLibraryMissing:
        case InitUsbFunctionMissing:
            rm::showMessage(result == InitUsbLibraryMissing
                                ? RecorderStrings::UlmexNotInstalled
                                : RecorderStrings::UsbFunctionMissing,
                            {}, rm::MsgButtons::Ok, rm::MsgIcon::Error);
            enterDemoMode();
            return;
        case InitBrokenCalibration:
            // The device measures all the same, uncalibrated, and its record names it.
            rm::showMessage(RecorderStrings::BrokenCalibration, {}, rm::MsgButtons::Ok,
                            rm::MsgIcon::Error);
            if (deviceInfo_)
                std::memcpy(deviceInfo_, &info, sizeof info);
            deviceInitialized_ = true;
            demoMode_ = false;
            deviceCalibrationOK_ = false;
            readVersions();
            return;
        default: {
            const char* text =
                result == InitDeviceNotPresent ? RecorderStrings::DeviceNotPresentRetry
                : result == InitNotPowered
                    ? RecorderStrings::DeviceNotPoweredRetry
                    : RecorderStrings::DeviceInitFailedRetry;
            switch (rm::showMessage(text, {}, rm::MsgButtons::YesNoCancel, rm::MsgIcon::Error)) {
            case rm::MsgResult::Yes:
                continue;
            case rm::MsgResult::No:
                enterDemoMode();
                return;
            default:
                requestTermination();
                return;
            }
        }
        }
    }
}

void TVirtualDriverVornRM::enterDemoMode() {
    demoMode_ = true;
    deviceInitialized_ = false;
    deviceCalibrationOK_ = false;
}

void TVirtualDriverVornRM::requestTermination() {
    terminateApplication_ = true;
    if (terminateHandler_)
        terminateHandler_();
}

void TVirtualDriverVornRM::readVersions() {
    uint8_t bytes[2] = {0, 0};
    call(::DeviceDriverVersion, 0, nullptr, bytes);
    deviceDriverVersion_ = std::to_string(bytes[0]) + "." + std::to_string(bytes[1]);
    bytes[0] = bytes[1] = 0;
    call(::USBDriverVersion, 0, nullptr, bytes);
    usbDriverVersion_ = std::to_string(bytes[0]) + "." + formatNumber("%.2d", bytes[1]);
}

void TVirtualDriverVornRM::readSerialNumber() {
    int32_t serial = 0;
    if (demoMode_ || !call(::DeviceSerialNumber, 0, &serial) || serial == 0)
        deviceSerialNumber_ = RecorderStrings::SerialNotAvailable;
    else
        deviceSerialNumber_ = formatNumber("%.8d", serial);
}

void TVirtualDriverVornRM::ReleaseLibrary() {
    initializeDevice_ = nullptr;
    deviceFunction_ = nullptr;
    deviceInitialized_ = false;
    library_.close();
}

bool TVirtualDriverVornRM::call(int32_t code, intptr_t value, int32_t* result, uint8_t* bytes, uint16_t* samples,
                                uint8_t* status) {
    if (!deviceInitialized_ || !deviceFunction_)
        return false;
    const int32_t answer = deviceFunction_(code, samples, 0, bytes, 0, value, result);
    if (status)
        *status = static_cast<uint8_t>(answer);
    return true;
}

// ---- Samples -----------------------------------------------------------------

uint8_t TVirtualDriverVornRM::ReadData(uint16_t* buffer, int32_t& count) {
    count = 0;
    if (generatorInUse())
        return GenerateDemoData(buffer, count);
    int32_t words = 0;
    uint8_t status = 0;
    if (!call(::SampleData, 0, &words, nullptr, buffer, &status))
        return 0;
    count = std::clamp(words, 0, kSampleBlockWords);
    return status;
}

uint8_t TVirtualDriverVornRM::GenerateDemoData(uint16_t* buffer, int32_t& count) {
    demoA_.deflectionMv = channelDeflection(0);
    demoA_.offsetCode = offsetCode_[0];
    demoB_.deflectionMv = channelDeflection(1);
    demoB_.offsetCode = offsetCode_[1];
    return demo_.GenerateDemoData(buffer, count, SamplesPerSecond(), demoA_, demoB_);
}

// ---- Settings log ------------------------------------------------------------

void TVirtualDriverVornRM::ClearSettingsLog() {
    log_.fill(0);
    logCount_ = 0;
}

void TVirtualDriverVornRM::TakeSettingsLog(uint16_t* destination, int32_t& count) {
    std::copy_n(log_.begin(), logCount_, destination);
    count = logCount_;
    ClearSettingsLog();
}

// A block that would not fit whole is left out: a torn block would corrupt the
// stream. The log is taken after every push, so it never comes near its size.
void TVirtualDriverVornRM::logBlock(std::initializer_list<uint16_t> values) {
    if (logCount_ + static_cast<int32_t>(values.size()) > kSettingsLogWords)
        return;
    for (uint16_t v : values)
        log_[logCount_++] = v;
}

void TVirtualDriverVornRM::logRecord(RecordType type, uint16_t value) { logBlock({0, 4, type, value}); }

void TVirtualDriverVornRM::logRecord32(uint16_t type, int32_t value) {
    const auto bits = static_cast<uint32_t>(value);
    logBlock({0, 5, type, static_cast<uint16_t>(bits & 0xFFFF), static_cast<uint16_t>(bits >> 16)});
}

// The zero position is a 16-bit two's complement word: 0 V below the screen
// gives a negative one.
void TVirtualDriverVornRM::logVerticalLevel(int channel) {
    const auto zero = static_cast<int16_t>(std::clamp<int32_t>(zero_[channel], INT16_MIN, INT16_MAX));
    logBlock({0, 6, static_cast<uint16_t>(kRecordVerticalLevel + channel), offsetCode_[channel],
              static_cast<uint16_t>(zero), 0});
}

void TVirtualDriverVornRM::WriteSettingsHeader() {
    logVerticalLevel(0);
    logVerticalLevel(1);
    for (int c = 0; c < 2; ++c)
        logRecord(static_cast<RecordType>(kRecordProbe + c), static_cast<uint16_t>(probe_[c]));
    for (int c = 0; c < 2; ++c)
        logRecord(static_cast<RecordType>(kRecordACDC + c), dc_[c]);
    for (int c = 0; c < 2; ++c)
        logRecord(static_cast<RecordType>(kRecordGround + c), ground_[c]);
    logRecord32(kRecordSamplesPerSecond, SamplesPerSecond());
    logRecord32(kRecordDeflection, channelDeflection(0));
    logRecord32(kRecordDeflection + 1, channelDeflection(1));
}

// ---- Setters -----------------------------------------------------------------

void TVirtualDriverVornRM::SetRecordFree(bool value) {
    if (unchanged(value == recordFree_))
        return;
    recordFree_ = value;
    recordTriggered_ = !value;
    call(::RecordFree, value);
}

void TVirtualDriverVornRM::SetMeasurementStarted(bool value) {
    if (value == measurementStarted_)
        return;
    measurementStarted_ = value;
    logRecord(kRecordMeasurementStarted, value);
    if (value) {
        WriteSettingsHeader();
        demo_.restartClock();
    }
    call(::MeasurementStarted, value);
}

void TVirtualDriverVornRM::SetMeasurementLength(uint32_t milliseconds) {
    measurementLength_ = milliseconds;
    updateTargetSampleCount();
}

void TVirtualDriverVornRM::updateTargetSampleCount() {
    targetSampleCount_ = int64_t{measurementLength_} * SamplesPerSecond() / 1000;
}

void TVirtualDriverVornRM::setFlag(bool& stored, bool value, int32_t code) {
    if (unchanged(value == stored))
        return;
    stored = value;
    call(code, value);
}

void TVirtualDriverVornRM::setLevel(int32_t& stored, double millivolts, int32_t code) {
    const auto level = static_cast<int32_t>(rm::roundHalfEvenClamped(
        millivolts, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
    if (unchanged(level == stored))
        return;
    stored = level;
    call(code, level);
}

void TVirtualDriverVornRM::setLoggedFlag(int channel, std::array<bool, 2>& stored, bool value, int32_t code,
                                         RecordType type) {
    if (unchanged(value == stored[channel]))
        return;
    stored[channel] = value;
    logRecord(static_cast<RecordType>(type + channel), value);
    call(code, value);
}

void TVirtualDriverVornRM::setVerticalLevel(int channel, uint16_t level) {
    const auto code = static_cast<uint16_t>(4095 - std::min<uint16_t>(level, 4095));
    if (unchanged(code == offsetCode_[channel]) && !settingsToFile_)
        return;
    offsetCode_[channel] = code;
    int32_t zero = kNoAnswer;
    if (generatorInUse())
        zero_[channel] = DemoSignalGenerator::ZeroLevel(code);
    // A device lost just now answers nothing: the zero level stays as it was.
    else if (call(::VerticalLevelChannelA + channel, code, &zero) && zero != kNoAnswer)
        zero_[channel] = zero;
    if (settingsToFile_)
        logVerticalLevel(channel);
}

void TVirtualDriverVornRM::setProbe(int channel, int32_t probe) {
    if (unchanged(probe == probe_[channel]))
        return;
    probe_[channel] = probe;
    logRecord(static_cast<RecordType>(kRecordProbe + channel), static_cast<uint16_t>(probe));
    call(::SourceProbeA + channel, probe);
    // The deflection includes the probe: the density setter of this push
    // writes it anew.
    deflectionDue_[channel] = true;
}

void TVirtualDriverVornRM::SetSMPSetting(int32_t index) {
    index = rm::clampSmpIndex(index);
    if (unchanged(index == smpSetting_))
        return;
    const int64_t oldRate = SamplesPerSecond();
    smpSetting_ = index;
    const int64_t newRate = SamplesPerSecond();
    logRecord32(kRecordSamplesPerSecond, static_cast<int32_t>(newRate));
    call(::SMPSetting, 15 - index);
    // counter x new / old without overflowing 64 bits
    sampleCounter_ = sampleCounter_ / oldRate * newRate + sampleCounter_ % oldRate * newRate / oldRate;
    updateTargetSampleCount();
}

void TVirtualDriverVornRM::setDensity(int channel, uint16_t density) {
    const bool rangeDue = !unchanged(density == density_[channel]);
    if (!rangeDue && !deflectionDue_[channel])
        return;
    density_[channel] = density;
    deflectionDue_[channel] = false;
    if (rangeDue && deviceInitialized_) {
        int32_t offsetCode = kNoAnswer;
        call(::DensityChannelA + channel, rangeKey(channel), &offsetCode);
        if (deviceCalibrationOK_ && offsetCode != kNoAnswer) {
            // The device moved the level to keep the zero in place: follow it.
            settingsToFile_ = true;
            setVerticalLevel(channel, static_cast<uint16_t>(4095 - std::clamp(offsetCode, 0, 4095)));
            setBackRequested_ = true;
            settingsToFile_ = false;
        }
    }
    logRecord32(kRecordDeflection + channel, channelDeflection(channel));
}

void TVirtualDriverVornRM::SendRanges() {
    for (int c = 0; c < 2; ++c) {
        int32_t offsetCode = 0;
        call(::DensityChannelA + c, rangeKey(c), &offsetCode);
    }
}

void TVirtualDriverVornRM::ResumeMeasurement() {
    if (measurementStarted_)
        call(::MeasurementStarted, 1);
}

int32_t TVirtualDriverVornRM::rangeKey(int c) const { return channelDeflection(c) / probeFactor(probe_[c]); }
