// Loading and unloading the driver library itself. This program does not
// link the simulated instrument: the driver must find it on its own.
#include "ProgramFolder.h"
#include "QuorvRMDrv.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

struct Exports {
    void* handle = nullptr;
    InitializeDeviceProc initialize = nullptr;
    DeviceFunctionProc function = nullptr;
    DeInitializeDeviceProc deinitialize = nullptr;

    explicit Exports(const std::string& path) {
        handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            return;
        initialize = reinterpret_cast<InitializeDeviceProc>(dlsym(handle, "InitializeDevice"));
        function = reinterpret_cast<DeviceFunctionProc>(dlsym(handle, "DeviceFunction"));
        deinitialize = reinterpret_cast<DeInitializeDeviceProc>(dlsym(handle, "DeInitializeDevice"));
    }
    int32_t call(int32_t code, intptr_t value = 0) { return function(code, nullptr, 0, nullptr, 0, value, nullptr); }
};

std::string driverPath() { return rm::programFolder() + "/libquorvrmdrv.so"; }

bool isLoaded(const std::string& name) {
    void* h = dlopen(name.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (h)
        dlclose(h);
    return h != nullptr;
}

} // namespace

TEST(DriverLibrary, ExportsExactlyThreeFunctions) {
    Exports drv(driverPath());
    ASSERT_NE(drv.handle, nullptr) << dlerror();
    EXPECT_NE(drv.initialize, nullptr);
    EXPECT_NE(drv.function, nullptr);
    EXPECT_NE(drv.deinitialize, nullptr);
    EXPECT_EQ(dlsym(drv.handle, "_ZN3qrv7TDriver16InitializeDeviceEP11TDeviceInfo"), nullptr);
    EXPECT_EQ(drv.deinitialize(), 0); // nothing loaded yet
    EXPECT_EQ(drv.call(DeviceDriverVersion), kDriverNotReady);
    dlclose(drv.handle);
}

TEST(DriverLibrary, UnloadingGivesAFreshDriverAndReleasesTheUsbLibrary) {
    uint8_t lost = 0;
    TDeviceInfo info{};
    {
        Exports drv(driverPath());
        ASSERT_NE(drv.handle, nullptr) << dlerror();
        drv.call(USBFailedAddress, reinterpret_cast<intptr_t>(&lost));
        ASSERT_EQ(drv.initialize(&info), InitOk);
        EXPECT_EQ(drv.call(DeviceDriverVersion), 0);
        EXPECT_TRUE(isLoaded("libulmex.so"));
        dlclose(drv.handle);
    }
    EXPECT_FALSE(isLoaded(driverPath()));
    EXPECT_FALSE(isLoaded("libulmex.so"));

    Exports again(driverPath());
    ASSERT_NE(again.handle, nullptr);
    EXPECT_EQ(again.call(DeviceDriverVersion), kDriverNotReady);
    dlclose(again.handle);
}

TEST(DriverLibrary, UsbLibraryMissingBesideTheDriver) {
    char pattern[] = "/tmp/qrvdrvXXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const fs::path folder = pattern;
    fs::copy_file(driverPath(), folder / "libquorvrmdrv.so");
    {
        Exports drv((folder / "libquorvrmdrv.so").string());
        ASSERT_NE(drv.handle, nullptr) << dlerror();
        TDeviceInfo info;
        std::memset(&info, 0x77, sizeof info);
        EXPECT_EQ(drv.initialize(&info), InitUsbLibraryMissing);
        EXPECT_EQ(reinterpret_cast<uint8_t*>(&info)[239], 0x77);
        EXPECT_EQ(drv.call(DeviceDriverVersion), kDriverNotReady);
        dlclose(drv.handle);
    }
    fs::remove_all(folder);
}
