#pragma once

// Input ranges, the calibration tables and the conversions between offset DAC
// codes and 8-bit sample levels.

#include <array>
#include <cstdint>

namespace qrv {

constexpr int kRangeCount = 9;
constexpr int kCalibrationTableSize = 36; // channel x 18 + probe group x 9 + range

// Input range keys in mV per division, and the front-end code of each.
constexpr std::array<int32_t, kRangeCount> RangeKeyTable = {10, 20, 50, 100, 200, 500, 1000, 2000, 5000};
constexpr std::array<int32_t, kRangeCount> RangeCodeTable = {4, 12, 20, 1, 9, 17, 3, 11, 19};
constexpr std::array<int32_t, 4> ProbeFactorTable = {1, 10, 100, 1000};

// The range DAC values of one range: UR for probe 1:1, URD for any other probe.
struct TRangeRecord {
    int32_t RangeCode;
    std::array<int32_t, 2> UR;
    std::array<int32_t, 2> URD;
};

std::array<TRangeRecord, kRangeCount> defaultRangeRecords();

// The index of `key` in RangeKeyTable, or -1.
int rangeIndexOfKey(int32_t key);

// Index into the calibration tables.
constexpr int calibrationIndex(int channel, int probeIndex, int rangeIndex) {
    return channel * 18 + (probeIndex == 0 ? 0 : 9) + rangeIndex;
}

// The offset calibration read from the extension block. Zero until read.
struct TOffsetCalibration {
    std::array<double, kCalibrationTableSize> SH2048{};  // sample level of 0 V at mid-scale
    std::array<double, kCalibrationTableSize> SHRPlus{};  // DAC codes per sample step above mid-scale
    std::array<double, kCalibrationTableSize> SHRMinus{}; // ... and below

    // The (unrounded) sample level of 0 V for an offset code. Zero or
    // non-finite table entries give a finite result: the slope part is left out.
    double offsetCodeToLevel(int k, int32_t offsetCode) const;
    // The offset code that puts 0 V at `level`, clamped to 0..4095.
    int32_t levelToOffsetCode(int k, double level) const;
};

constexpr int32_t kMaxOffsetCode = 4095;
constexpr int32_t clampOffsetCode(int64_t code) {
    return code < 0 ? 0 : (code > kMaxOffsetCode ? kMaxOffsetCode : static_cast<int32_t>(code));
}

// Millivolts per sample code step: eight divisions span 255 codes.
constexpr double millivoltsPerCode(int32_t rangeKey, int probeIndex) {
    return static_cast<double>(ProbeFactorTable[probeIndex]) * rangeKey * 8.0 / 255.0;
}

} // namespace qrv
