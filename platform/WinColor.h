#pragma once

#include <QColor>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace rm {

// Colours are kept as Windows values (0x00BBGGRR: red in the low byte) in
// models and files and turned into QColor only for drawing.
using WinColor = uint32_t;

inline QColor toQColor(WinColor color) {
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

inline WinColor toWinColor(const QColor& color) {
    return static_cast<WinColor>(color.red()) | (static_cast<WinColor>(color.green()) << 8) |
           (static_cast<WinColor>(color.blue()) << 16);
}

// `color` as it is drawn on white (paper): a colour too light to be seen
// there (less contrast against white than 7 to 1) is darkened, keeping its
// hue, until it stands out that well; darker colours stay as they are.
inline WinColor readableOnWhite(WinColor color) {
    const auto linear = [](double channel) {
        const double s = channel / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    const auto luminance = [&](double r, double g, double b) {
        return 0.2126 * linear(r) + 0.7152 * linear(g) + 0.0722 * linear(b);
    };
    constexpr double kLightest = 1.05 / 7 - 0.05;
    const double r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
    double factor = 1;
    while (factor > 0 && luminance(r * factor, g * factor, b * factor) > kLightest)
        factor -= 1.0 / 64;
    if (factor >= 1)
        return color;
    factor = std::max(factor, 0.0);
    const auto channel = [&](double value, int shift) {
        return static_cast<WinColor>(std::nearbyint(value * factor)) << shift;
    };
    return channel(r, 0) | channel(g, 8) | channel(b, 16);
}

} // namespace rm

// The four display colours of both programs: the two traces, the grid and the
// background, as the colour dialog sets them.
struct TDisplayColors {
    rm::WinColor channelA = 0;
    rm::WinColor channelB = 0;
    rm::WinColor grid = 0;
    rm::WinColor background = 0;
};
