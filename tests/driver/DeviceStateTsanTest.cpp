// The device-state byte is written from the USB library's context while the
// driver reads it: run under ThreadSanitizer, with driver and simulated
// instrument compiled into this program.
#include "Driver.h"
#include "UlmexSim.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <atomic>
#include <thread>

namespace {

// The simulated instrument's functions are part of this program.
class InProcessResolver : public qrv::UsbLibraryResolver {
public:
    bool load() override { return true; }
    void* lookup(const char* name) override { return dlsym(RTLD_DEFAULT, name); }
    bool release() override { return true; }
};

} // namespace

TEST(DeviceStateByte, CallbackAndDriverShareItSafely) {
    UlmexSimReset();
    qrv::TDriver driver(std::make_unique<InProcessResolver>());
    uint8_t lost = 0;
    TDeviceInfo info;
    driver.DeviceFunction(USBFailedAddress, nullptr, nullptr, reinterpret_cast<intptr_t>(&lost), nullptr);
    ASSERT_EQ(driver.InitializeDevice(&info), InitOk);

    std::atomic<bool> done{false};
    std::thread usbContext([&] {
        for (int i = 0; i < 200; ++i)
            UlmexSimReportDeviceState(i % 2);
        done = true;
    });
    int32_t result = 0;
    while (!done)
        driver.DeviceFunction(VerticalLevelChannelA, nullptr, nullptr, 2000, &result);
    usbContext.join();
    EXPECT_EQ(std::atomic_ref<uint8_t>(lost).load(), 1);
}
