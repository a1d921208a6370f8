#include "UsbInterface.h"

#include "SharedLibrary.h"

#include <dlfcn.h>

#include <string>

namespace qrv {

const char* const kUsbFunctionNames[kUsbFunctionCount] = {
    "USBInitDevice",    "USBFlushBuffer",   "USBConfigureFPGA",       "USBSingleRead",
    "USBSingleWriteWithoutFlush", "USBSingleWrite", "USBFIFORead",    "USBRollFIFORead",
    "USBFIFOWrite",     "USBWriteToEEPROM", "USBReadFromEEPROM",      "USBGetDeviceID",
    "USBSetCallBackFunction", "DeviceReady", "GetDriverVersion",      "USBCalibrateAD",
    "USBEnableExternalPower", "USBGetPowerState"};

namespace {

// The folder of the file that holds this code (the driver library), with a
// trailing "/"; empty when the loader cannot tell.
std::string folderOfThisModule() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void*>(&makeSharedLibraryResolver), &info) == 0 || !info.dli_fname)
        return {};
    const std::string file = info.dli_fname;
    const size_t slash = file.rfind('/');
    return slash == std::string::npos ? std::string() : file.substr(0, slash + 1);
}

class SharedLibraryResolver : public UsbLibraryResolver {
public:
    // The full path beside the driver library, not a bare name for the loader
    // to search: a bare name would be looked up with the RUNPATH of whoever
    // calls dlopen, and a sanitizer's dlopen interceptor is another module.
    bool load() override {
        return library_.open(folderOfThisModule() + rm::SharedLibrary::moduleFileName("ulmex.dll"));
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
