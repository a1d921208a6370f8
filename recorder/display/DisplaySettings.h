#pragma once

#include "ColumnRings.h"
#include "WinColor.h"

#include <cstdint>

class TVirtualScopeVornRM;

// The scope settings a live display draws with, read once per block or full
// redraw so that one drawing step uses one consistent set.
struct DisplaySettings {
    bool displayActive = true;
    bool grid = true;
    bool modeLine = true;
    // Min/max mode draws each column from its maximum to its minimum;
    // otherwise one ring is drawn as a trace.
    bool minMax = true;
    RingChoice ring = RingChoice::Avg;
    bool channelA = true;
    bool channelB = true;
    rm::WinColor colorA = 0;
    rm::WinColor colorB = 0;
    rm::WinColor background = 0;
    rm::WinColor gridColor = 0;
    int64_t samplesPerColumn = 1;
    // Ground lines: drawn while no measurement runs, for grounded channels.
    bool groundLines = false;
    bool groundA = false;
    bool groundB = false;
    int zeroA = 0;
    int zeroB = 0;

    static DisplaySettings read(const TVirtualScopeVornRM& scope);
};
