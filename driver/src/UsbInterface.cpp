#include "UsbInterface.h"

#include "SharedLibrary.h"

namespace qrv {

const char* const kUsbFunctionNames[kUsbFunctionCount] = {
    "USBInitDevice",    "USBFlushBuffer",   "USBConfigureFPGA",       "USBSingleRead",
    "USBSingleWriteWithoutFlush", "USBSingleWrite", "USBFIFORead",    "USBRollFIFORead",
    "USBFIFOWrite",     "USBWriteToEEPROM", "USBReadFromEEPROM",      "USBGetDeviceID",
    "USBSetCallBackFunction", "DeviceReady", "GetDriverVersion",      "USBCalibrateAD",
    "USBEnableExternalPower", "USBGetPowerState"};

namespace {

class SharedLibraryResolver : public UsbLibraryResolver {
public:
    bool load() override {
        // A bare file name: the dynamic loader looks beside the driver library
        // (its RUNPATH is $ORIGIN).
        return library_.open(rm::SharedLibrary::moduleFileName("ulmex.dll"));
    }
    void* lookup(const char* name) override { return library_.symbol(name); }
    bool release() override {
        if (!library_.isOpen())
            return false;
        library_.close();
        return true;
    }

private:
    rm::SharedLibrary library_;
};

template <typename Fn>
bool bindOne(UsbLibraryResolver& resolver, const char* name, Fn& slot) {
    void* address = resolver.lookup(name);
    slot = reinterpret_cast<Fn>(address);
    return address != nullptr;
}

} // namespace

std::unique_ptr<UsbLibraryResolver> makeSharedLibraryResolver() {
    return std::make_unique<SharedLibraryResolver>();
}

bool bindUsbFunctions(UsbLibraryResolver& resolver, TUsbFunctions& f) {
    const char* const* name = kUsbFunctionNames;
    return bindOne(resolver, *name++, f.USBInitDevice) && bindOne(resolver, *name++, f.USBFlushBuffer) &&
           bindOne(resolver, *name++, f.USBConfigureFPGA) && bindOne(resolver, *name++, f.USBSingleRead) &&
           bindOne(resolver, *name++, f.USBSingleWriteWithoutFlush) &&
           bindOne(resolver, *name++, f.USBSingleWrite) && bindOne(resolver, *name++, f.USBFIFORead) &&
           bindOne(resolver, *name++, f.USBRollFIFORead) && bindOne(resolver, *name++, f.USBFIFOWrite) &&
           bindOne(resolver, *name++, f.USBWriteToEEPROM) && bindOne(resolver, *name++, f.USBReadFromEEPROM) &&
           bindOne(resolver, *name++, f.USBGetDeviceID) &&
           bindOne(resolver, *name++, f.USBSetCallBackFunction) && bindOne(resolver, *name++, f.DeviceReady) &&
           bindOne(resolver, *name++, f.GetDriverVersion) && bindOne(resolver, *name++, f.USBCalibrateAD) &&
           bindOne(resolver, *name++, f.USBEnableExternalPower) &&
           bindOne(resolver, *name++, f.USBGetPowerState);
}

} // namespace qrv
