#include "Driver.h"

#include "CalibrationData.h"
#include "DeviceInfo.h"
#include "FpgaImage.h"
#include "Rounding.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <limits>
#include <thread>

namespace qrv {

namespace {

// Where the device-state callback writes: the caller's byte of the current connection.
std::atomic<uint8_t*> gCallbackTarget{nullptr};

constexpr auto kPowerUpWait = std::chrono::milliseconds(500);
constexpr auto kSerialPause = std::chrono::milliseconds(100);
constexpr uint32_t kFrontEndWords[] = {0x1BAFF, 0x2007F, 0x3DB7F, 0xA007F, 0xBDB7F, 0xD7FFF, 0xE47FF, 0xFDB7F};
constexpr int32_t kMaxFunctionCode = 35;

bool flag(intptr_t value) { return (value & 0xFF) != 0; }

void setBit(uint8_t& flags, uint8_t bit, bool on) { flags = static_cast<uint8_t>(on ? (flags | bit) : (flags & ~bit)); }

} // namespace

TDriver::TDriver(std::unique_ptr<UsbLibraryResolver> resolver) : resolver_(std::move(resolver)) {}

TDriver::~TDriver() {
    DeInitializeDevice();
    uint8_t* mine = state_.DeviceStateByte;
    gCallbackTarget.compare_exchange_strong(mine, nullptr);
}

// The device reports "present" (1) or "lost" (0). Only a loss is recorded:
// a later "present" must not hide a loss the caller has not seen yet.
void TDriver::deviceStateCallback(int32_t state) {
    uint8_t* target = gCallbackTarget.load();
    if (target && state == 0)
        std::atomic_ref<uint8_t>(*target).store(1);
}

int32_t TDriver::InitializeDevice(TDeviceInfo* info) {
    // The library of an earlier call goes first: its functions must not be
    // kept while a failed reload leaves nothing (or half) bound.
    DeInitializeDevice();
    if (!resolver_->load())
        return InitUsbLibraryMissing;
    libraryLoaded_ = true;
    if (!bindUsbFunctions(*resolver_, usb_)) {
        usb_ = TUsbFunctions{};
        return InitUsbFunctionMissing;
    }
    return initializeSequence(info);
}

int32_t TDriver::initializeSequence(TDeviceInfo* info) {
    usb_.USBSetCallBackFunction(&TDriver::deviceStateCallback);
    if (usb_.USBInitDevice() != 0)
        return InitDeviceNotPresent;
    usb_.USBEnableExternalPower(1);
    std::this_thread::sleep_for(kPowerUpWait);
    if (usb_.USBGetPowerState() == 0)
        return InitNotPowered;
    state_.DeviceID = usb_.USBGetDeviceID();

    const std::vector<uint8_t> image = unpackStoredFpgaImage();
    usb_.USBConfigureFPGA(image.data(), static_cast<int32_t>(image.size()));

    // Broken calibration data leave the defaults in place (range DAC values
    // 299, offset tables zero): the device still measures, uncalibrated.
    std::array<TRangeRecord, kRangeCount> ranges = defaultRangeRecords();
    TOffsetCalibration offsets;
    const CalibrationResult calibration = ReadCalibration(usb_.USBReadFromEEPROM, ranges, offsets);
    state_.Ranges = ranges;
    state_.Offsets = offsets;
    state_.Ready = true;

    const TDeviceInfo filled = BuildDeviceInfo(state_.DeviceID);
    setConnectionDefaults();
    if (!programFrontEnd())
        return InitDeviceFailed;
    if (info)
        std::memcpy(info, &filled, sizeof filled);
    return calibration == CalibrationResult::Ok ? InitOk : InitBrokenCalibration;
}

void TDriver::setConnectionDefaults() {
    state_.Register2 = 0x24;
    state_.Register3 = 0;
    readChain_.Reset();
    for (TChannelState& ch : state_.Channels) {
        ch.TriggerLevel = 0;
        ch.TriggerCode = 0;
        ch.ArmCode = 0;
    }
    state_.RecordFree = 1;
    state_.LastStatus = kStatusWaiting;
}

bool TDriver::programFrontEnd() {
    for (uint32_t word : kFrontEndWords)
        if (!frontEnd_.WriteSerialRegister(8, kSerialReady8, word))
            return false;
    usb_.USBCalibrateAD();
    if (!frontEnd_.WriteSerialRegister(10, kSerialReady10, 0xF01) ||
        !frontEnd_.WriteSerialRegister(10, kSerialReady10, 0xFF120))
        return false;
    std::this_thread::sleep_for(kSerialPause);
    return frontEnd_.WriteSerialRegister(10, kSerialReady10, 0x44E202);
}

int32_t TDriver::DeInitializeDevice() {
    if (!libraryLoaded_)
        return 0;
    // The library must not call into this module once it is gone.
    if (usb_.USBSetCallBackFunction)
        usb_.USBSetCallBackFunction(nullptr);
    usb_ = TUsbFunctions{};
    libraryLoaded_ = false;
    return resolver_->release() ? 1 : 0;
}

int32_t TDriver::DeviceFunction(int32_t fullCode, uint16_t* samples, uint8_t* bytes, intptr_t value,
                                int32_t* result) {
    const int code = fullCode & 0xFF;
    if (code == USBFailedAddress) {
        state_.DeviceStateByte = reinterpret_cast<uint8_t*>(value);
        gCallbackTarget.store(state_.DeviceStateByte);
        return 0;
    }
    // Without the USB library's functions (after a failed reload or
    // DeInitializeDevice) the device cannot be reached: not ready. Only a
    // sample read learns that no word came; the other results stay as the
    // caller left them (a zero level it keeps, for instance).
    if (!state_.Ready || !usbBound()) {
        if (result && code == SampleData)
            *result = 0;
        return kDriverNotReady;
    }
    if (code > kMaxFunctionCode)
        return 0;

    switch (code) {
    case DeviceDriverVersion:
        if (bytes) {
            bytes[0] = 1;
            bytes[1] = 1;
        }
        break;
    case USBDriverVersion:
        if (bytes)
            usb_.GetDriverVersion(bytes);
        break;
    case SourceProbeA:
    case SourceProbeB:
        setProbe(code - SourceProbeA, value);
        break;
    case SourceACDC_A:
    case SourceACDC_B:
        state_.Channels[code - SourceACDC_A].DC = flag(value);
        frontEnd_.WriteRangeRegister();
        break;
    case GroundA:
    case GroundB:
        state_.Channels[code - GroundA].Ground = flag(value);
        readChain_.SelectReadEntry();
        break;
    case DensityChannelA:
    case DensityChannelB:
        setRange(code - DensityChannelA, value, result);
        break;
    case VerticalLevelChannelA:
    case VerticalLevelChannelB:
        setVerticalLevel(code - VerticalLevelChannelA, value, result);
        break;
    case SampleData: {
        int32_t count = 0;
        uint8_t status = 0;
        if (state_.Running && samples)
            status = readChain_.Read(samples, count);
        if (result)
            *result = count;
        return status;
    }
    case SMPSetting:
        // The run bit belongs to MeasurementStarted.
        state_.Register3 = static_cast<int32_t>(value & 0x7FFF) | (state_.Register3 & 0x8000);
        writeRegister(3, state_.Register3);
        break;
    case TriggerSourceA:
    case TriggerSourceB:
        setBit(state_.TriggerFlags, code == TriggerSourceA ? kTriggerSourceA : kTriggerSourceB, flag(value));
        frontEnd_.UpdateTriggerLevels();
        break;
    case TriggerLevelA:
    case TriggerLevelB:
        state_.Channels[code - TriggerLevelA].TriggerLevel = static_cast<int32_t>(value);
        frontEnd_.UpdateTriggerLevels();
        break;
    case TriggerUnderA:
    case TriggerUnderB:
        setBit(state_.TriggerFlags, code == TriggerUnderA ? kTriggerUnderA : kTriggerUnderB, flag(value));
        break;
    case ARMSourceA:
    case ARMSourceB:
        setBit(state_.ArmFlags, code == ARMSourceA ? kArmSourceA : kArmSourceB, flag(value));
        frontEnd_.UpdateTriggerLevels();
        readChain_.SelectFilterStage();
        break;
    case ARMSourceExternal:
        setBit(state_.ArmFlags, kArmSourceExternal, flag(value));
        state_.Register2 = (state_.Register2 & 0xF0) + (flag(value) ? 4 : 0);
        writeRegister(2, state_.Register2);
        break;
    case ARMLevelA:
    case ARMLevelB:
        state_.Channels[code - ARMLevelA].ArmLevel = static_cast<int32_t>(value);
        frontEnd_.UpdateTriggerLevels();
        break;
    case ARMUnderA:
    case ARMUnderB:
        setBit(state_.ArmFlags, code == ARMUnderA ? kArmUnderA : kArmUnderB, flag(value));
        break;
    case ARMUnderExternal:
        setBit(state_.ArmFlags, kArmUnderExternal, flag(value));
        state_.Register2 = (state_.Register2 & 0x0F) + (flag(value) ? 0x20 : 0);
        writeRegister(2, state_.Register2);
        break;
    case MeasurementStarted:
        setMeasurement(flag(value));
        break;
    case RecordFree:
        state_.RecordFree = flag(value);
        break;
    case TriggerRelation:
        state_.TriggerRelation = flag(value);
        break;
    case DeviceSerialNumber:
        if (result)
            *result = 0;
        break;
    default: // NoOperation and the unused codes 18 and 23
        break;
    }
    return 0;
}

// Probes 1..4; anything else is not a probe and changes nothing.
void TDriver::setProbe(int channel, intptr_t value) {
    if (value < 1 || value > 4)
        return;
    state_.Channels[channel].ProbeIndex = static_cast<int32_t>(value - 1);
    frontEnd_.SetRange(channel, state_.Channels[channel].RangeKey);
    frontEnd_.UpdateTriggerLevels();
}

void TDriver::setRange(int channel, intptr_t value, int32_t* result) {
    frontEnd_.SetRange(channel, static_cast<int32_t>(value));
    if (result)
        *result = frontEnd_.LevelToOffsetCode(channel, state_.Channels[channel].ZeroLevel);
    frontEnd_.UpdateTriggerLevels();
}

void TDriver::setVerticalLevel(int channel, intptr_t value, int32_t* result) {
    TChannelState& ch = state_.Channels[channel];
    ch.OffsetCode = clampOffsetCode(value);
    // The sample code of 0 V: outside 0..255 while 0 V is off the screen.
    ch.ZeroLevel = static_cast<int32_t>(rm::roundHalfEvenClamped(
        frontEnd_.OffsetCodeToLevel(channel, ch.OffsetCode), std::numeric_limits<int32_t>::min(),
        std::numeric_limits<int32_t>::max()));
    writeRegister(12, (kMaxOffsetCode - ch.OffsetCode) | (channel == kChannelB ? 0x8000 : 0));
    if (state_.deviceLost())
        return;
    if (result)
        *result = ch.ZeroLevel;
    frontEnd_.UpdateTriggerLevels();
}

void TDriver::setMeasurement(bool start) {
    if (start) {
        usb_.USBCalibrateAD();
        readChain_.ResetTrigger();
        readChain_.SelectFilterStage();
        state_.Register3 = (state_.Register3 & 0x7FFF) + 0x8000;
    } else {
        state_.Register3 &= 0x7FFF;
        readChain_.RestartReadStage();
    }
    writeRegister(3, state_.Register3);
    state_.Running = start ? 1 : 0;
}

} // namespace qrv
