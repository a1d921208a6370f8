#pragma once

#include "VirtualScopeVornRM.h"
#include "WinColor.h"

#include <QApplication>
#include <QImage>

#include <cstdint>
#include <vector>

namespace displaytest {

using Words = std::vector<uint16_t>;

// The application object the widgets need; created on first use.
QApplication& app();

inline uint16_t sample(int a, int b) { return static_cast<uint16_t>(a | (b << 8)); }

inline Words operator+(Words x, const Words& y) {
    x.insert(x.end(), y.begin(), y.end());
    return x;
}

// A scope set for easy pixel arithmetic on a display 255 pixels high (one row
// per code, code c at row 255 − c): one sample per column, default colours,
// grid off.
void setUpScope(TVirtualScopeVornRM& scope);

// A varied stream: slow waves on both channels, now and then overruns, a
// not-armed run, a parameter record and a channel-B code of 0.
Words mixedStream(int words, uint32_t seed);

// Feeds `words` in blocks of varying size.
template <typename Display>
void feedInBlocks(Display& display, const Words& words, uint32_t seed) {
    size_t at = 0;
    uint32_t r = seed;
    while (at < words.size()) {
        r = r * 1103515245u + 12345u;
        const size_t n = std::min<size_t>(1 + (r >> 16) % 37, words.size() - at);
        display.NewData(words.data() + at, static_cast<int64_t>(n));
        at += n;
    }
}

inline QRgb rgb(rm::WinColor color) { return rm::toQColor(color).rgb(); }

// Pixels of column x equal to `color`.
int countInColumn(const QImage& image, int x, QRgb color);

} // namespace displaytest
