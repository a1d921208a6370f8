// The three exports of the driver library. Nothing else leaves the library,
// and no exception crosses its boundary.
#include "Driver.h"
#include "QuorvRMDrv.h"

namespace {

// Lives from loading to unloading; unloading releases the USB library.
qrv::TDriver gDriver(qrv::makeSharedLibraryResolver());

} // namespace

extern "C" {

int32_t InitializeDevice(TDeviceInfo* info) {
    try {
        return gDriver.InitializeDevice(info);
    } catch (...) {
        return InitDeviceFailed;
    }
}

int32_t DeviceFunction(int32_t code, uint16_t* samples, intptr_t, uint8_t* bytes, intptr_t, intptr_t value,
                       int32_t* result) {
    try {
        return gDriver.DeviceFunction(code, samples, bytes, value, result);
    } catch (...) {
        return 0;
    }
}

int32_t DeInitializeDevice() {
    try {
        return gDriver.DeInitializeDevice();
    } catch (...) {
        return 0;
    }
}

} // extern "C"
