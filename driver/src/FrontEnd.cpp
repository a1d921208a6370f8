#include "FrontEnd.h"

#include "Rounding.h"

#include <chrono>
#include <thread>

namespace qrv {

namespace {

constexpr auto kStatusTimeLimit = std::chrono::milliseconds(250);
// Trigger and arm codes are compared with 8-bit samples: anything beyond
// -1 or 256 means the same as those.
constexpr int64_t kLowestCode = -1;
constexpr int64_t kHighestCode = 256;

} // namespace

bool TFrontEnd::WriteSerialRegister(int32_t reg, int32_t readyMask, uint32_t word) {
    const auto deadline = std::chrono::steady_clock::now() + kStatusTimeLimit;
    while ((usb_.USBSingleRead(kStatusRegister) & readyMask) == 0) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::yield();
    }
    usb_.USBSingleWriteWithoutFlush(reg, static_cast<int32_t>(word & 0xFFFF));
    usb_.USBSingleWriteWithoutFlush(reg + 1, static_cast<int32_t>((word >> 16) & 0xFFFF));
    usb_.USBFlushBuffer();
    return true;
}

int32_t TFrontEnd::ComposeRangeRegister() const {
    int32_t fields[2];
    for (int c = 0; c < 2; ++c) {
        const TChannelState& ch = state_.Channels[c];
        fields[c] = state_.Ranges[ch.RangeIndex].RangeCode | (ch.DC ? 0 : 0x20);
    }
    return fields[kChannelA] | (fields[kChannelB] << 7) | 0x8000;
}

void TFrontEnd::WriteRangeRegister() { usb_.USBSingleWrite(15, ComposeRangeRegister()); }

void TFrontEnd::UpdateRangeDacs() {
    for (int c = 0; c < 2; ++c) {
        TChannelState& ch = state_.Channels[c];
        const TRangeRecord& record = state_.Ranges[ch.RangeIndex];
        const int32_t value = ch.ProbeIndex == 0 ? record.UR[c] : record.URD[c];
        if (value == ch.LastRangeDac)
            continue;
        const uint32_t word = (static_cast<uint32_t>(value) * 128) | 0x3007F | (c == kChannelA ? 0x80000 : 0);
        if (!WriteSerialRegister(8, kSerialReady8, word)) {
            state_.markDeviceLost();
            return;
        }
        ch.LastRangeDac = value;
    }
}

void TFrontEnd::SelectInputRange(int channel, int32_t key) {
    const int r = rangeIndexOfKey(key);
    if (r < 0)
        return;
    state_.Channels[channel].RangeIndex = r;
    WriteRangeRegister();
    UpdateRangeDacs();
}

void TFrontEnd::SetRange(int channel, int32_t key) {
    state_.Channels[channel].RangeKey = key;
    SelectInputRange(channel, key);
}

double TFrontEnd::OffsetCodeToLevel(int channel, int32_t code) const {
    return state_.Offsets.offsetCodeToLevel(state_.calibrationIndexOf(channel), code);
}

int32_t TFrontEnd::LevelToOffsetCode(int channel, double level) const {
    return state_.Offsets.levelToOffsetCode(state_.calibrationIndexOf(channel), level);
}

void TFrontEnd::UpdateTriggerLevels() {
    for (int c = 0; c < 2; ++c) {
        TChannelState& ch = state_.Channels[c];
        const double step = millivoltsPerCode(ch.RangeKey, ch.ProbeIndex);
        if (step == 0.0) {
            ch.TriggerCode = 0;
            ch.ArmCode = 0;
            continue;
        }
        const double z = OffsetCodeToLevel(c, ch.OffsetCode);
        ch.TriggerCode = static_cast<int32_t>(
            rm::roundHalfEvenClamped((step * z + ch.TriggerLevel) / step, kLowestCode, kHighestCode));
        ch.ArmCode = static_cast<int32_t>(
            rm::roundHalfEvenClamped((step * z + ch.ArmLevel) / step, kLowestCode, kHighestCode));
    }
}

} // namespace qrv
