#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace rm {

// A voltage in millivolts as the voltage edit shows it: volts without a unit
// letter above 999 mV ("1.5" for 1500), else millivolts with "m" ("999m"),
// three decimals, half to even.
std::string formatVoltage(double millivolts);

// Reads a typed voltage, giving millivolts: "1.5" or "1,5" are volts, taken to
// whole millivolts; "250m" millivolts as typed; "5u" microvolts and "5n"
// nanovolts. A unit letter needs a digit before it. No value for anything
// else (empty text, "m" alone, not a number).
std::optional<double> parseVoltage(std::string_view text);

} // namespace rm
