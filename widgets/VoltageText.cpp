#include "VoltageText.h"

#include "FloatText.h"
#include "NumberText.h"

#include <cmath>

namespace rm {

std::string formatVoltage(double millivolts) {
    if (std::abs(millivolts) > 999)
        return formatGeneral(std::nearbyint(millivolts) / 1000);
    return formatGeneral(std::nearbyint(millivolts * 1000) / 1000) + "m";
}

std::optional<double> parseVoltage(std::string_view text) {
    if (text.empty())
        return std::nullopt;
    const char unit = text.back();
    if (unit == 'm' || unit == 'u' || unit == 'n') {
        if (text.size() < 2 || text[text.size() - 2] < '0' || text[text.size() - 2] > '9')
            return std::nullopt;
        const auto number = StrToFloatAnySeparator(text.substr(0, text.size() - 1));
        if (!number)
            return std::nullopt;
        const double perMillivolt = unit == 'm' ? 1 : unit == 'u' ? 1e3 : 1e6;
        return *number / perMillivolt;
    }
    const auto volts = StrToFloatAnySeparator(text);
    if (!volts || !std::isfinite(*volts * 1000))
        return std::nullopt;
    return std::nearbyint(*volts * 1000);
}

} // namespace rm
