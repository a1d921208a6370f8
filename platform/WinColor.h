#pragma once

#include <QColor>

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

} // namespace rm

// The four display colours of both programs: the two traces, the grid and the
// background, as the colour dialog sets them.
struct TDisplayColors {
    rm::WinColor channelA = 0;
    rm::WinColor channelB = 0;
    rm::WinColor grid = 0;
    rm::WinColor background = 0;
};
