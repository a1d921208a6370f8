#pragma once

#include "VirtualScopeVornRM.h"
#include "WinColor.h"

#include <QApplication>
#include <QImage>

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
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

// One choice of the sweep panel's drawing options.
struct DrawingMode {
    bool single, max, min, avg, line;
    void applyTo(TVirtualScopeVornRM& scope) const;
};
std::ostream& operator<<(std::ostream& out, const DrawingMode& mode);
// Min/max lines and dots, and every single ring with lines or dots.
extern const std::vector<DrawingMode> kDrawingModes;

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

// A shown display `Width` by 255 pixels on a scope set up by setUpScope.
template <typename Display, int Width>
class DisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        setUpScope(scope);
        display.SetVirtualScope(&scope);
        display.resize(kWidth, 255);
        display.show();
        display.ResizeBuffer();
    }
    void feed(const Words& words) { display.NewData(words.data(), static_cast<int64_t>(words.size())); }
    // The picture after a settings broadcast redrew it.
    QImage redrawn() {
        display.ScopeNotify(TScopeNotifyCode::snSettingsChanged);
        return display.Picture();
    }

    // Grid on, both channels hidden, the screen cleared; returns the grid colour.
    QRgb showGridOnly() {
        scope.SetGrid(true);
        scope.SetStatusChannelA(false);
        scope.SetStatusChannelB(false);
        display.ClearScreen();
        return rgb(scope.RealGridColor());
    }

    static constexpr int kWidth = Width;
    const QRgb background = rgb(0);
    const QRgb colorA = rgb(0x40FF00);
    const QRgb colorB = rgb(0x00FFFF);
    QApplication& application = app();  // before any widget
    TVirtualScopeVornRM scope;
    Display display;
};

} // namespace displaytest
