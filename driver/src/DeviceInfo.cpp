#include "DeviceInfo.h"

#include "InputRanges.h"

#include <array>

namespace qrv {

namespace {

constexpr std::array<int32_t, 6> ModelValueTable = {4096, 8192, 4096, 8192, 4096, 8192};
constexpr std::array<uint16_t, kRangeCount> kParam0 = {18, 18, 2, 20, 20, 4, 28, 28, 12};

// Bytes 0..223: the fixed part of the record.
constexpr TDeviceInfo makeDefaultDeviceInfo() {
    TDeviceInfo info{};
    info.RangeCount = kRangeCount;
    for (int r = 0; r < kRangeCount; ++r) {
        const int32_t key = RangeKeyTable[r];
        const uint16_t param3 = (key == 10 || key == 100 || key == 1000) ? 1818 : 3636;
        const TRangeChannelInfo channel{kParam0[r], 0, 0, param3};
        info.Ranges[r] = TRangeInfo{key, channel, channel};
    }
    return info;
}

constexpr TDeviceInfo DefaultDeviceInfo = makeDefaultDeviceInfo();

} // namespace

TDeviceInfo BuildDeviceInfo(int32_t deviceId) {
    TDeviceInfo info = DefaultDeviceInfo;
    info.InfoValue500 = 500;
    info.InfoValue50 = 50;
    info.ModelValue = (deviceId >= 0 && deviceId < static_cast<int32_t>(ModelValueTable.size()))
                          ? ModelValueTable[deviceId]
                          : 0;
    info.DeviceID = deviceId;
    return info;
}

} // namespace qrv
