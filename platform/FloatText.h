#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace rm {

// The general floating-point text form used in every text and file: up to 15
// significant digits, no trailing zeros, "." as decimal separator, whole
// numbers without a point ("0", "200"), and an exponent written with "E"
// ("1.5E-7", "1E20") only for magnitudes of 1E15 and up or below 1E-5.
// NaN gives "NAN", infinities "INF" / "-INF".
std::string formatGeneral(double value);

// Reads a whole text as a number with "." as decimal separator, whatever the
// locale; surrounding blanks are allowed. No value for anything else,
// including out-of-range numbers ("1e400").
std::optional<double> parseDouble(std::string_view text);

// Reads a whole text as a signed decimal integer; no value for anything else.
std::optional<long long> parseInteger(std::string_view text);

} // namespace rm
