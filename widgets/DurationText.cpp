#include "DurationText.h"

#include "FloatText.h"

#include <cmath>

namespace rm {

namespace {

constexpr double kHour = 3'600'000, kMinute = 60'000, kSecond = 1000;

// More fraction digits than a double holds exactly change nothing that shows
// in whole milliseconds.
constexpr int kFractionDigits = 15;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

std::string formatDuration(double milliseconds) {
    if (milliseconds == 0)
        return "0s";
    std::string text;
    double rest = milliseconds;
    const auto take = [&](double unit, double above, const char* letter) {
        if (rest > above) {
            const double whole = std::trunc(rest / unit);
            text += formatGeneral(whole) + letter;
            rest -= whole * unit;
        }
    };
    take(kHour, kHour - 1, "h");
    take(kMinute, kMinute - 1, "m");
    take(kSecond, kSecond - 1, "s");
    if (rest > 0)
        text += formatGeneral(rest) + "ms";
    return text;
}

std::optional<double> parseDuration(std::string_view text) {
    if (text.empty() || !isDigit(text.front()))
        return std::nullopt;
    double total = 0;
    size_t i = 0;
    while (i < text.size()) {
        double whole = 0;
        for (; i < text.size() && isDigit(text[i]); ++i)
            whole = whole * 10 + (text[i] - '0');
        double frac = 0, div = 1;
        if (i < text.size() && text[i] == '.') {
            int digits = 0;
            for (++i; i < text.size() && isDigit(text[i]); ++i, ++digits) {
                if (digits < kFractionDigits) {
                    frac = frac * 10 + (text[i] - '0');
                    div *= 10;
                }
            }
        }
        if (i == text.size())
            break;  // a number without a unit adds nothing
        const char unit = text[i++];
        if (unit == 'h') {
            total += (whole + frac / div) * kHour;
        } else if (unit == 'm' && i < text.size() && text[i] == 's') {
            ++i;
            total += whole + frac / div;
        } else if (unit == 'm') {
            total += (whole + frac / div) * kMinute;
        } else if (unit == 's') {
            total += whole * kSecond + std::nearbyint(frac * kSecond / div);
        }
    }
    if (!std::isfinite(total))
        return std::nullopt;
    return total;
}

} // namespace rm
