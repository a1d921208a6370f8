#pragma once

// The USB interface library ("ulmex.dll", libulmex.so): its 18 functions and
// the resolver that loads it and looks them up by name.

#include <cstdint>
#include <memory>

namespace qrv {

// The device-state callback: 1 = present, 0 = lost.
using UsbDeviceStateCallback = void (*)(int32_t state);

struct TUsbFunctions {
    int32_t (*USBInitDevice)() = nullptr;
    int32_t (*USBFlushBuffer)() = nullptr;
    int32_t (*USBConfigureFPGA)(const uint8_t* image, int32_t length) = nullptr;
    int32_t (*USBSingleRead)(int32_t reg) = nullptr;
    int32_t (*USBSingleWriteWithoutFlush)(int32_t reg, int32_t value) = nullptr;
    int32_t (*USBSingleWrite)(int32_t reg, int32_t value) = nullptr;
    int32_t (*USBFIFORead)(uint8_t* buffer, int32_t length) = nullptr;
    int32_t (*USBRollFIFORead)(int32_t fifo, uint8_t* buffer, int32_t length) = nullptr;
    int32_t (*USBFIFOWrite)(const uint8_t* buffer, int32_t length) = nullptr;
    int32_t (*USBWriteToEEPROM)(int32_t address, int32_t value) = nullptr;
    int32_t (*USBReadFromEEPROM)(int32_t address) = nullptr;
    int32_t (*USBGetDeviceID)() = nullptr;
    int32_t (*USBSetCallBackFunction)(UsbDeviceStateCallback callback) = nullptr;
    int32_t (*DeviceReady)() = nullptr;
    int32_t (*GetDriverVersion)(uint8_t* version) = nullptr;
    int32_t (*USBCalibrateAD)() = nullptr;
    int32_t (*USBEnableExternalPower)(int32_t on) = nullptr;
    int32_t (*USBGetPowerState)() = nullptr;
};

constexpr int kUsbFunctionCount = 18;
// The names in binding order.
extern const char* const kUsbFunctionNames[kUsbFunctionCount];

// Loads the USB interface library and finds its functions. The driver owns
// one; tests hand it another.
class UsbLibraryResolver {
public:
    virtual ~UsbLibraryResolver() = default;
    virtual bool load() = 0;                       // false: the library cannot be loaded
    virtual void* lookup(const char* name) = 0;    // null: no such function
    virtual bool release() = 0;                    // false: nothing loaded or release failed
};

// The real thing: "ulmex.dll" is libulmex.so beside the driver library.
std::unique_ptr<UsbLibraryResolver> makeSharedLibraryResolver();

// Looks all 18 functions up in order; false at the first one missing.
bool bindUsbFunctions(UsbLibraryResolver& resolver, TUsbFunctions& functions);

} // namespace qrv
