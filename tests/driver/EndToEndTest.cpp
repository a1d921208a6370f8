// The driver library as the recorder uses it, against the simulated instrument.
#include "ProgramFolder.h"
#include "QuorvRMDrv.h"
#include "SharedLibrary.h"
#include "UlmexSim.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

struct DriverLibrary {
    rm::SharedLibrary library;
    InitializeDeviceProc initialize = nullptr;
    DeviceFunctionProc function = nullptr;

    DriverLibrary() {
        EXPECT_TRUE(library.openModule("QuorvRMDrv.dll")) << library.lastError();
        initialize = reinterpret_cast<InitializeDeviceProc>(library.symbol("InitializeDevice"));
        function = reinterpret_cast<DeviceFunctionProc>(library.symbol("DeviceFunction"));
    }
    int32_t call(int32_t code, intptr_t value, int32_t* result = nullptr, uint16_t* samples = nullptr) {
        return function(code, samples, 0, nullptr, 0, value, result);
    }
};

double signalA(double t) { return 3000 * std::sin(2 * std::numbers::pi * 2 * t); }
double signalB(double t) { return 500 + 1000 * std::sin(2 * std::numbers::pi * 5 * t); }

} // namespace

TEST(DriverEndToEnd, SampleCodesFollowTheSignal) {
    UlmexSimReset();
    UlmexSimUseVirtualClock(1);
    UlmexSimSetSignal(0, 0, 3000, 2);
    UlmexSimSetSignal(1, 500, 1000, 5);

    DriverLibrary drv;
    ASSERT_NE(drv.function, nullptr);
    uint8_t lost = 0;
    TDeviceInfo info{};
    drv.call(USBFailedAddress, reinterpret_cast<intptr_t>(&lost));
    ASSERT_EQ(drv.initialize(&info), InitOk);

    int32_t zero[2] = {0, 0};
    for (int c = 0; c < 2; ++c) {
        drv.call(SourceProbeA + c, 1);
        drv.call(SourceACDC_A + c, 1);
        drv.call(DensityChannelA + c, 1000); // 1 V/div
        drv.call(VerticalLevelChannelA + c, 2048, &zero[c]);
    }
    drv.call(SMPSetting, 15 - 4); // 1000 samples per second
    drv.call(MeasurementStarted, 1);

    std::vector<uint16_t> stream;
    std::vector<uint16_t> block(kSampleBlockWords);
    for (int i = 0; i < 20; ++i) {
        UlmexSimAdvanceClock(0.05);
        int32_t count = 0;
        EXPECT_EQ(drv.call(SampleData, 0, &count, block.data()), 0x22);
        stream.insert(stream.end(), block.begin(), block.begin() + count);
    }
    drv.call(MeasurementStarted, 0);

    ASSERT_EQ(stream.size(), 999u); // one simulated second, less the first word after the start
    const double step = 1000 * 8.0 / 255;
    for (size_t i = 0; i < stream.size(); ++i) {
        const double t = static_cast<double>(i + 1) / 1000;
        ASSERT_NEAR(stream[i] & 0xFF, zero[0] + signalA(t) / step, 1.0) << i;
        ASSERT_NEAR(stream[i] >> 8, zero[1] + signalB(t) / step, 1.0) << i;
    }
    EXPECT_EQ(lost, 0);
    EXPECT_EQ(UlmexSimViolationCount(), 0) << UlmexSimViolation(0);
}
