#pragma once

// The interface of the device driver library (libquorvrmdrv.so, loaded by the
// recorder as "QuorvRMDrv.dll"). The library exports exactly the three
// functions below; a caller binds them by name at run time.
//
// Calling order: DeviceFunction(USBFailedAddress, ..., value = address of the
// caller's device-state byte, ...) first, then InitializeDevice, then any
// other code. Every call into the library must be serialised by the caller.

#include <cstddef>
#include <cstdint>

// One input range of one channel in the device information record.
struct TRangeChannelInfo {
    uint16_t Param0;
    uint16_t Param1;
    uint16_t Param2;
    uint16_t Param3;
};

struct TRangeInfo {
    int32_t RangeKey; // mV per division at the input
    TRangeChannelInfo ChannelA;
    TRangeChannelInfo ChannelB;
};

// The 240-byte device information record that InitializeDevice fills.
struct TDeviceInfo {
    int32_t RangeCount; // 9
    TRangeInfo Ranges[9];
    uint8_t Spare[40];
    int32_t InfoValue500;
    int32_t InfoValue50;
    int32_t ModelValue; // 4096 or 8192; 0 for an unknown device identifier
    int32_t DeviceID;   // 0..5
};

static_assert(sizeof(TRangeChannelInfo) == 8);
static_assert(sizeof(TRangeInfo) == 20);
static_assert(sizeof(TDeviceInfo) == 240);
static_assert(offsetof(TDeviceInfo, Ranges) == 4);
static_assert(offsetof(TRangeInfo, ChannelA) == 4);
static_assert(offsetof(TRangeInfo, ChannelB) == 12);
static_assert(offsetof(TDeviceInfo, Spare) == 184);
static_assert(offsetof(TDeviceInfo, InfoValue500) == 224);
static_assert(offsetof(TDeviceInfo, InfoValue50) == 228);
static_assert(offsetof(TDeviceInfo, ModelValue) == 232);
static_assert(offsetof(TDeviceInfo, DeviceID) == 236);

// Result codes of InitializeDevice.
enum InitializeDeviceResult : int32_t {
    InitOk = 0,
    InitUsbLibraryMissing = 1,   // the USB interface library cannot be loaded
    InitDeviceNotPresent = 3,
    InitDeviceFailed = 4,        // the device stopped answering during start-up
    InitBrokenCalibration = 5,   // the device is usable without calibration
    InitUsbFunctionMissing = 7,
    InitNotPowered = 8,
};

// The codes of DeviceFunction (only the low byte of `code` counts; codes 18
// and 23 do nothing, like NoOperation; codes above 35 do nothing and return 0).
enum DeviceFunctionCode : int32_t {
    NoOperation = 0,
    USBFailedAddress = 1,      // value = address of the caller's device-state byte
    DeviceDriverVersion = 2,   // bytes[0], bytes[1] := major, minor
    USBDriverVersion = 3,      // bytes[0], bytes[1] := the USB library's version
    SourceProbeA = 4,          // value = probe 1..4 (1:1, 1:10, 1:100, 1:1000)
    SourceProbeB = 5,
    SourceACDC_A = 6,          // flag: non-zero DC, 0 AC
    SourceACDC_B = 7,
    GroundA = 8,               // flag
    GroundB = 9,
    DensityChannelA = 10,      // value = range key in mV/div; *result := offset code
    DensityChannelB = 11,
    VerticalLevelChannelA = 12, // value = offset code 0..4095; *result := zero level
    VerticalLevelChannelB = 13,
    SampleData = 14,           // samples (room for 32,768 words); *result := word count; returns status
    SMPSetting = 15,           // value = rate index counted from the fastest (15 - recorder's index)
    TriggerSourceA = 16,       // flag
    TriggerSourceB = 17,
    TriggerLevelA = 19,        // value = mV relative to 0 V, probe included
    TriggerLevelB = 20,
    TriggerUnderA = 21,        // flag: fire below the level
    TriggerUnderB = 22,
    ARMSourceA = 24,           // flag
    ARMSourceB = 25,
    ARMSourceExternal = 26,
    ARMLevelA = 27,            // value = mV relative to 0 V, probe included
    ARMLevelB = 28,
    ARMUnderA = 29,            // flag: pass at or below the level
    ARMUnderB = 30,
    ARMUnderExternal = 31,
    MeasurementStarted = 32,   // flag: start / stop
    RecordFree = 33,           // flag
    TriggerRelation = 34,      // flag: set AND, clear OR
    DeviceSerialNumber = 35,   // *result := 0
};

// DeviceFunction returns 2 for every code but USBFailedAddress while the
// driver is not ready.
constexpr int32_t kDriverNotReady = 2;

// Sample blocks (code SampleData). A sample pair always has a high byte of at
// least 1 (channel B's code 0 reads as 1); words with a high byte of 0 are marks.
constexpr int kSampleBlockWords = 32768;   // the caller's buffer must hold this many words
constexpr uint16_t mkOverrun = 0x0001;     // the device's FIFO overflowed here
constexpr uint16_t mkNotArmed = 0x0002;    // one sample suppressed by the arm window

// Status byte of a sample block: high nibble arm state, low nibble trigger
// state; 1 waiting, 2 satisfied; 0x00 no measurement running.
constexpr uint8_t kStateWaiting = 1;
constexpr uint8_t kStateSatisfied = 2;

extern "C" {

// Fills *info when the device is usable: on InitOk and InitBrokenCalibration.
int32_t InitializeDevice(TDeviceInfo* info);
int32_t DeviceFunction(int32_t code, uint16_t* samples, intptr_t reserved1, uint8_t* bytes,
                       intptr_t reserved2, intptr_t value, int32_t* result);
int32_t DeInitializeDevice();

} // extern "C"

// Types for binding the exports by name.
using InitializeDeviceProc = int32_t (*)(TDeviceInfo* info);
using DeviceFunctionProc = int32_t (*)(int32_t code, uint16_t* samples, intptr_t reserved1,
                                       uint8_t* bytes, intptr_t reserved2, intptr_t value,
                                       int32_t* result);
using DeInitializeDeviceProc = int32_t (*)();
