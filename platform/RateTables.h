#pragma once

#include <array>
#include <cstdint>

namespace rm {

// The recorder's 16 sampling rates in samples per second, indexed by SMPSetting.
inline constexpr std::array<int32_t, 16> kSamplesPerSecondTable = {
    50, 100, 250, 500, 1000, 2500, 5000, 10000,
    25000, 50000, 100000, 250000, 500000, 1000000, 2500000, 5000000};

// The 17 display time bases in seconds per division, indexed by DSPSetting.
inline constexpr std::array<double, 17> kSecondsPerDivisionTable = {
    0.1, 0.2, 0.5, 1, 2, 5, 10, 20, 50, 100, 200, 500, 1000, 2000, 5000, 10000, 20000};

// Screen pixels per time division in both programs' displays.
inline constexpr int kPixelsPerDivision = 50;

// Table indices clamped into range, for values that come from files or setters.
inline constexpr int clampSmpIndex(int index) { return index < 0 ? 0 : (index > 15 ? 15 : index); }
inline constexpr int clampDspIndex(int index) { return index < 0 ? 0 : (index > 16 ? 16 : index); }

} // namespace rm
