#pragma once

#include <cmath>
#include <cstdint>

namespace rm {

// The nearest integer, an exact half going to the even neighbour. Call with
// finite values in range of the result; use roundHalfEvenClamped otherwise.
inline int64_t roundHalfEven(double value) {
    return static_cast<int64_t>(std::nearbyint(value));
}

// As roundHalfEven, but NaN gives `fallback` and values outside lo..hi are clamped.
inline int64_t roundHalfEvenClamped(double value, int64_t lo, int64_t hi, int64_t fallback = 0) {
    if (std::isnan(value))
        return fallback;
    const double r = std::nearbyint(value);
    if (r <= static_cast<double>(lo))
        return lo;
    if (r >= static_cast<double>(hi))
        return hi;
    return static_cast<int64_t>(r);
}

} // namespace rm
