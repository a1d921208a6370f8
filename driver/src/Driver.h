#pragma once

// The device connection behind the three exports.

#include "DriverState.h"
#include "FrontEnd.h"
#include "QuorvRMDrv.h"
#include "ReadChain.h"
#include "UsbInterface.h"

#include <memory>

namespace qrv {

class TDriver {
public:
    explicit TDriver(std::unique_ptr<UsbLibraryResolver> resolver);
    ~TDriver();
    TDriver(const TDriver&) = delete;
    TDriver& operator=(const TDriver&) = delete;

    int32_t InitializeDevice(TDeviceInfo* info);
    int32_t DeviceFunction(int32_t code, uint16_t* samples, uint8_t* bytes, intptr_t value, int32_t* result);
    int32_t DeInitializeDevice();

    const TDriverState& state() const { return state_; }

private:
    int32_t initializeSequence(TDeviceInfo* info);
    bool programFrontEnd();
    void setConnectionDefaults();
    void setProbe(int channel, intptr_t value);
    void setRange(int channel, intptr_t value, int32_t* result);
    void setVerticalLevel(int channel, intptr_t value, int32_t* result);
    void setMeasurement(bool start);
    void writeRegister(int32_t reg, int32_t value) { usb_.USBSingleWrite(reg, value); }
    // All 18 functions are bound or none is.
    bool usbBound() const { return usb_.USBSingleWrite != nullptr; }

    static void deviceStateCallback(int32_t state);

    std::unique_ptr<UsbLibraryResolver> resolver_;
    bool libraryLoaded_ = false;
    TUsbFunctions usb_;
    TDriverState state_;
    TFrontEnd frontEnd_{state_, usb_};
    TReadChain readChain_{state_, usb_};
};

} // namespace qrv
