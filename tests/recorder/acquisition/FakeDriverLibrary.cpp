// A stand-in for the device driver library: records every DeviceFunction call
// and answers from FakeDriverState.
#include "FakeDriverState.h"
#include "QuorvRMDrv.h"

#include <cstring>

namespace {
FakeDriverState gState{};
}

extern "C" {

FakeDriverState* FakeDriverStateOf() { return &gState; }

int32_t InitializeDevice(TDeviceInfo* info) {
    const int32_t call = gState.initCalls++;
    const int32_t result = call < gState.initResultCount ? gState.initResults[call] : 0;
    if (result == InitOk || result == InitBrokenCalibration) {
        std::memset(info, 0, sizeof *info);
        info->RangeCount = 9;
        info->DeviceID = gState.deviceId;
    }
    return result;
}

int32_t DeviceFunction(int32_t code, uint16_t* samples, intptr_t, uint8_t* bytes, intptr_t, intptr_t value,
                       int32_t* result) {
    if (gState.callCount < static_cast<int32_t>(sizeof gState.calls / sizeof gState.calls[0]))
        gState.calls[gState.callCount++] = {code, value};
    switch (code) {
    case USBFailedAddress: gState.usbFailed = reinterpret_cast<uint8_t*>(value); break;
    case DeviceDriverVersion: bytes[0] = 1; bytes[1] = 1; break;
    case USBDriverVersion: bytes[0] = gState.usbVersion[0]; bytes[1] = gState.usbVersion[1]; break;
    case DensityChannelA:
    case DensityChannelB: *result = gState.offsetAnswer; break;
    case VerticalLevelChannelA:
    case VerticalLevelChannelB:
        if (gState.zeroAnswer >= 0)
            *result = gState.zeroAnswer;
        break;
    case SampleData:
        for (int32_t i = 0; i < gState.blockWords; ++i)
            samples[i] = 0x8181;
        *result = gState.blockWords;
        return gState.blockStatus;
    case DeviceSerialNumber: *result = gState.serialNumber; break;
    default: break;
    }
    return 0;
}

int32_t DeInitializeDevice() { return 1; }

} // extern "C"
