#include "UnitValueText.h"

#include "FloatText.h"
#include "Rounding.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <span>

namespace rm {

namespace {

// One branch of a kind: taken when the compared value is above `limit` (or
// equal to it with `orEqual`); the number shown is then
// nearest(value * multiply / divide) / step, or the value itself when step is 0.
struct Branch {
    double limit;
    bool orEqual;
    const char* unit;
    double multiply;
    double divide;
    double step;
};

constexpr double kOtherwise = -std::numeric_limits<double>::infinity();
constexpr double kGiB = 1'073'741'824, kMiB = 1'048'576, kKiB = 1024;

constexpr Branch kTime[] = {{999'999'999, false, "s", 1, 1e6, 1000},
                            {999'999, false, "ms", 1, 1e3, 1000},
                            {999, false, "us", 1, 1, 1000},
                            {kOtherwise, false, "ns", 1e3, 1, 1000}};
constexpr Branch kVoltage[] = {{999'999, false, "kV", 1, 1e3, 1000},
                               {999, false, "V", 1, 1, 1000},
                               {kOtherwise, false, "mV", 1e3, 1, 1000}};
constexpr Branch kSize[] = {{kGiB, false, " GB", 10, kGiB, 10},
                            {kMiB - 1, false, " MB", 10, kMiB, 10},
                            {kKiB - 1, false, " KB", 10, kKiB, 10},
                            {kOtherwise, false, " B", 1, 1, 0}};
constexpr Branch kDeflection[] = {{999'999, false, "kV/d", 1, 1e3, 1000},
                                  {999, false, "V/d", 1, 1, 1000},
                                  {kOtherwise, false, "mV/d", 1e3, 1, 1000}};
constexpr Branch kSeconds[] = {{kOtherwise, false, "s/d", 1e3, 1, 1000}};
constexpr Branch kSampleRate[] = {{999'999, false, "MS/s", 1, 1e3, 1000},
                                  {999, false, "kS/s", 1, 1, 1000},
                                  {kOtherwise, false, "S/s", 1e3, 1, 1000}};
constexpr Branch kFrequency[] = {{999, false, "kHz/d", 1, 1, 1000},
                                 {1, true, "Hz/d", 1e3, 1, 1000},
                                 {0.001, true, "mHz/d", 1e6, 1, 1000},
                                 {kOtherwise, false, "uHz/d", 1e9, 1, 1000}};
constexpr Branch kPrefix[] = {{999'999'999, false, "G", 1, 1e6, 1000},
                              {999'999, false, "M", 1, 1e3, 1000},
                              {999, false, "k", 1, 1, 1000},
                              {1, true, "", 1e3, 1, 1000},
                              {0.001, true, "m", 1e6, 1, 1000},
                              {kOtherwise, false, "u", 1e9, 1, 1000}};
constexpr Branch kSamples[] = {{999'999'999, false, "GS", 1, 1e6, 1000},
                               {999'999, false, "MS", 1, 1e3, 1000},
                               {999, false, "kS", 1, 1, 1000},
                               {1, true, "S", 1e3, 1, 1000},
                               {0.001, true, "mS", 1e6, 1, 1000},
                               {kOtherwise, false, "uS", 1e9, 1, 1000}};

std::span<const Branch> branchesOf(int type) {
    switch (type) {
    case kUnitTime: return kTime;
    case kUnitVoltage: return kVoltage;
    case kUnitSize: return kSize;
    case kUnitDeflection: return kDeflection;
    case kUnitTimePerDivision: return kSeconds;
    case kUnitSampleRate: return kSampleRate;
    case kUnitFrequencyPerDivision: return kFrequency;
    case kUnitPrefixOnly: return kPrefix;
    case kUnitSamples: return kSamples;
    default: return {};
    }
}

// From a minute up: "1h 23min 20s/d", "1min 40s/d", "1h/d".
std::string hoursAndMinutes(int64_t seconds) {
    std::string text;
    if (seconds > 3599) {
        text = std::to_string(seconds / 3600) + "h";
        if (const auto minutes = (seconds % 3600) / 60; minutes != 0)
            text += " " + std::to_string(minutes) + "min";
    } else {
        text = std::to_string(seconds / 60) + "min";
    }
    if (const auto rest = seconds % 60; rest != 0)
        text += " " + std::to_string(rest) + "s";
    return text + "/d";
}

} // namespace

UnitValueText formatUnitValue(double value, int type, bool invalid, double previousDisplay) {
    if (invalid)
        return {"N/A", previousDisplay};
    if (type == kUnitTimePerDivision) {
        // Minutes and hours are chosen by the whole seconds shown, so that
        // 59.4 s reads 59.4s/d and 3599.4 s 59min 59s/d.
        const int64_t seconds = roundHalfEvenClamped(value, std::numeric_limits<int64_t>::min(),
                                                     std::numeric_limits<int64_t>::max());
        if (seconds > 59)
            return {hoursAndMinutes(seconds), previousDisplay};
    }
    const double compared = type == kUnitVoltage ? std::abs(value) : value;
    for (const Branch& b : branchesOf(type)) {
        if (compared > b.limit || (b.orEqual && compared == b.limit) || b.limit == kOtherwise) {
            const double display =
                b.step == 0 ? value : std::nearbyint(value * b.multiply / b.divide) / b.step;
            return {formatGeneral(display) + b.unit, display};
        }
    }
    return {formatGeneral(previousDisplay), previousDisplay};
}

} // namespace rm
