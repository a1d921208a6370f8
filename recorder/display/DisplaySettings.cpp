#include "DisplaySettings.h"

#include "VirtualScopeVornRM.h"

DisplaySettings DisplaySettings::read(const TVirtualScopeVornRM& scope) {
    DisplaySettings s;
    s.displayActive = scope.DisplayActive();
    s.grid = scope.Grid();
    s.modeLine = scope.ModeLine();
    s.minMax = scope.MakeMaximum() && scope.MakeMinimum() && !scope.SingleMode();
    if (scope.SingleMode())
        s.ring = RingChoice::Single;
    else if (scope.MakeMaximum())
        s.ring = RingChoice::Max;
    else if (scope.MakeMinimum())
        s.ring = RingChoice::Min;
    else
        s.ring = RingChoice::Avg;  // also when none is set, as the sweep panel does
    s.channelA = scope.StatusChannelA();
    s.channelB = scope.StatusChannelB();
    s.colorA = scope.ColorChannelA();
    s.colorB = scope.ColorChannelB();
    s.background = scope.BackgroundColor();
    s.gridColor = scope.RealGridColor();
    s.samplesPerColumn = SamplesPerColumn(scope.SMPSetting(), scope.DSPSetting());
    s.groundLines = !scope.MeasurementStarted();
    s.groundA = scope.GroundA();
    s.groundB = scope.GroundB();
    s.zeroA = scope.ZeroChannelA();
    s.zeroB = scope.ZeroChannelB();
    return s;
}
