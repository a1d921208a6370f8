#include "Deflection.h"

#include <array>
#include <cstddef>

namespace {
constexpr std::array<int32_t, 9> kDeflectionRow = {10, 20, 50, 100, 200, 500, 1000, 2000, 5000};
constexpr std::array<int32_t, 4> kProbeFactors = {1, 10, 100, 1000};

bool validProbe(int probe) { return probe >= 1 && probe <= 4; }
} // namespace

int32_t probeFactor(int probe) {
    return validProbe(probe) ? kProbeFactors[static_cast<size_t>(probe - 1)] : 1;
}

int32_t deflectionMillivolts(int density, int probe) {
    if (density < 1 || density > 9 || !validProbe(probe))
        return 1;
    return kDeflectionRow[static_cast<size_t>(density - 1)] * probeFactor(probe);
}
