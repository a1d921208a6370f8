#pragma once

#include <array>
#include <cstdint>

// Probe 1..4 divides the input by 1, 10, 100, 1000; 0 for an unknown probe.
inline int32_t probeFactor(int32_t probe) {
    static constexpr std::array<int32_t, 4> kFactor = {1, 10, 100, 1000};
    return probe >= 1 && probe <= 4 ? kFactor[probe - 1] : 0;
}

// Millivolts per division for a probe (1..4) and a density step (1..9); 1 for
// anything outside those ranges.
inline int32_t deflectionMillivolts(int32_t probe, int32_t density) {
    static constexpr std::array<int32_t, 9> kBase = {10, 20, 50, 100, 200, 500, 1000, 2000, 5000};
    if (probeFactor(probe) == 0 || density < 1 || density > 9)
        return 1;
    return kBase[density - 1] * probeFactor(probe);
}
