#pragma once

#include <QString>

#include <optional>
#include <string_view>

namespace rm {

// Reads a number typed with "." or "," as decimal separator ("1.5", "1,5").
// No value for anything that is not a whole number: an empty text, a lone "-",
// two separators, out-of-range numbers such as "1e400".
std::optional<double> StrToFloatAnySeparator(std::string_view text);
std::optional<double> StrToFloatAnySeparator(const QString& text);
inline std::optional<double> StrToFloatAnySeparator(const char* text) {
    return StrToFloatAnySeparator(std::string_view(text));
}

} // namespace rm
