#pragma once

#include <string>

namespace rm {

// The formatting kinds of a unit value label; the value comes in the base unit
// of its kind.
enum UnitValueType : int {
    kUnitTime = 1,               // nanoseconds: "ns", "us", "ms", "s"
    kUnitVoltage = 2,            // millivolts: "mV", "V", "kV" (by magnitude)
    kUnitSize = 3,               // bytes: " B", " KB", " MB", " GB"
    kUnitDeflection = 4,         // millivolts per division: "mV/d", "V/d", "kV/d"
    kUnitTimePerDivision = 5,    // seconds: "s/d", or "1h 2min 3s/d" from a minute up
    kUnitSampleRate = 6,         // samples per second: "S/s", "kS/s", "MS/s"
    kUnitFrequencyPerDivision = 7,  // hertz: "uHz/d", "mHz/d", "Hz/d", "kHz/d"
    kUnitPrefixOnly = 8,         // plain number: "u", "m", "", "k", "M", "G"
    kUnitSamples = 9,            // plain number: "uS", "mS", "S", "kS", "MS", "GS"
};

struct UnitValueText {
    std::string text;
    // The rounded number shown, in the unit of the text; the previous one
    // where the text shows none (hours and minutes, unknown kinds).
    double displayValue = 0;
};

// The text of `value` of kind `type`: three decimals of the chosen unit
// (sizes one decimal), rounded half to even, in the general number form with
// "." whatever the locale. "N/A" when `invalid`. A kind outside 1..9 shows
// `previousDisplay` without a unit.
UnitValueText formatUnitValue(double value, int type, bool invalid, double previousDisplay);

} // namespace rm
