#pragma once

// A driver connection against the simulated instrument, one per test.

#include "Driver.h"
#include "UlmexSim.h"

#include <gtest/gtest.h>

#include <cstring>

class DriverTest : public ::testing::Test {
protected:
    void SetUp() override { UlmexSimReset(); }

    int32_t call(int32_t code, intptr_t value = 0, int32_t* result = nullptr, uint16_t* samples = nullptr,
                 uint8_t* bytes = nullptr) {
        return driver.DeviceFunction(code, samples, bytes, value, result);
    }
    // Registers the device-state byte and initialises, as the recorder does.
    int32_t initialize() {
        call(USBFailedAddress, reinterpret_cast<intptr_t>(&deviceLost));
        return driver.InitializeDevice(&info);
    }
    void initializeOk() {
        ASSERT_EQ(initialize(), InitOk);
        UlmexSimClearTrace();
    }
    int32_t resultOf(int32_t code, intptr_t value) {
        int32_t result = -12345;
        call(code, value, &result);
        return result;
    }
    const qrv::TDriverState& state() const { return driver.state(); }

    qrv::TDriver driver{qrv::makeSharedLibraryResolver()};
    uint8_t deviceLost = 0;
    TDeviceInfo info{};
};
