#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace rm {

// A duration in milliseconds as hours, minutes, seconds and milliseconds
// without blanks: 5400000 -> "1h30m", 90500 -> "1m30s500ms", 0 -> "0s".
// A negative (or NaN) duration gives an empty text.
std::string formatDuration(double milliseconds);

// Reads a typed duration: groups of a number ("." as decimal separator) and a
// unit "h", "m", "s" or "ms", added up in any order ("1h30m", "1.5s", "1h1h").
// A seconds fraction counts to whole milliseconds, half to even. A group with
// no unit or an unknown one adds nothing ("5" reads 0). No value when the
// text is empty, does not start with a digit, or adds up to no finite number.
std::optional<double> parseDuration(std::string_view text);

} // namespace rm
