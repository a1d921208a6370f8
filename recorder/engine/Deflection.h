#pragma once

#include <cstdint>

// Probe factor of a probe setting: 1:1, 1:10, 1:100, 1:1000 for 1..4; any other
// setting gives 1.
int32_t probeFactor(int probe);

// Deflection in millivolts per division for a density step 1..9 and a probe
// setting 1..4 (the probe factor included); a density or probe outside its
// range gives 1.
int32_t deflectionMillivolts(int density, int probe);
