#pragma once

// The module-global state of the device connection.

#include "InputRanges.h"

#include <array>
#include <atomic>
#include <cstdint>

namespace qrv {

constexpr uint8_t kTriggerSourceA = 0x01;
constexpr uint8_t kTriggerSourceB = 0x02;
constexpr uint8_t kTriggerUnderA = 0x04;
constexpr uint8_t kTriggerUnderB = 0x08;

constexpr uint8_t kArmSourceA = 0x01;
constexpr uint8_t kArmSourceB = 0x02;
constexpr uint8_t kArmUnderA = 0x04;
constexpr uint8_t kArmUnderB = 0x08;
constexpr uint8_t kArmSourceExternal = 0x10;
constexpr uint8_t kArmUnderExternal = 0x20;

constexpr int kChannelA = 0;
constexpr int kChannelB = 1;

struct TChannelState {
    int32_t RangeKey = 0;
    int32_t RangeIndex = 0;
    int32_t ProbeIndex = 0;
    uint8_t DC = 0;       // AC/DC byte: non-zero DC
    uint8_t Ground = 0;
    int32_t OffsetCode = 0;
    int32_t ZeroLevel = 0;
    int32_t LastRangeDac = 0;
    int32_t TriggerLevel = 0; // mV
    int32_t ArmLevel = 0;     // mV
    int32_t TriggerCode = 0;  // sample code
    int32_t ArmCode = 0;      // sample code
};

struct TDriverState {
    uint8_t* DeviceStateByte = nullptr; // the caller's byte: 1 = device lost
    int32_t DeviceID = 0;
    std::array<TRangeRecord, kRangeCount> Ranges = defaultRangeRecords();
    TOffsetCalibration Offsets;
    std::array<TChannelState, 2> Channels;
    int32_t Register2 = 0;
    int32_t Register3 = 0;
    uint8_t TriggerFlags = 0;
    uint8_t TriggerRelation = 0;
    std::array<bool, 2> TriggerFired{}; // per channel: fired, else waiting
    uint8_t TriggerFound = 0;
    uint8_t ArmFlags = 0;
    uint8_t RecordFree = 0;
    uint8_t Running = 0;
    uint8_t LastStatus = 0;
    bool Ready = false;

    // The device-state byte is also written from the USB library's context.
    bool deviceLost() const {
        return DeviceStateByte && std::atomic_ref<uint8_t>(*DeviceStateByte).load() != 0;
    }
    void markDeviceLost() {
        if (DeviceStateByte)
            std::atomic_ref<uint8_t>(*DeviceStateByte).store(1);
    }
    int calibrationIndexOf(int channel) const {
        return calibrationIndex(channel, Channels[channel].ProbeIndex, Channels[channel].RangeIndex);
    }
};

} // namespace qrv
