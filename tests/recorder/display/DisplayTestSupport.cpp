#include "DisplayTestSupport.h"

namespace displaytest {

QApplication& app() {
    static int argc = 1;
    static char name[] = "recorder_display_tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: Qt's own statics go first at exit.
    static auto* application = new QApplication(argc, argv);
    return *application;
}

void setUpScope(TVirtualScopeVornRM& scope) {
    scope.SetSMPSetting(3);  // 500 S/s at 0.1 s per division: one sample per column
    scope.SetDSPSetting(0);
    scope.SetGrid(false);
}

void DrawingMode::applyTo(TVirtualScopeVornRM& scope) const {
    scope.SetSingleMode(single);
    scope.SetMakeMaximum(max);
    scope.SetMakeMinimum(min);
    scope.SetMakeAvg(avg);
    scope.SetModeLine(line);
}

std::ostream& operator<<(std::ostream& out, const DrawingMode& m) {
    return out << "single " << m.single << " max " << m.max << " min " << m.min << " avg " << m.avg << " line "
               << m.line;
}

const std::vector<DrawingMode> kDrawingModes = {
    {false, true, true, false, true},   {false, true, true, false, false}, {true, true, true, false, true},
    {true, false, false, false, false}, {false, true, false, false, true}, {false, false, true, false, false},
    {false, false, false, true, true},  {false, false, false, false, true}};

Words mixedStream(int words, uint32_t seed) {
    Words out;
    uint32_t r = seed;
    for (int i = 0; static_cast<int>(out.size()) < words; ++i) {
        r = r * 1664525u + 1013904223u;
        const int pick = static_cast<int>(r >> 24);
        if (pick < 3) {
            out.push_back(1);
        } else if (pick < 5) {
            out.insert(out.end(), 1 + (r >> 8) % 4, 2);
        } else if (pick < 6) {
            out.insert(out.end(), {0, 5, 2, 0x0203, 0x0180});
        } else if (pick < 8) {
            out.push_back(sample(40 + (r >> 8) % 100, 0));
        } else {
            const int a = 128 + static_cast<int>(100 * ((i / 7) % 40 - 20) / 20) + static_cast<int>((r >> 8) % 9);
            const int b = 60 + (i % 90) + static_cast<int>((r >> 12) % 5);
            out.push_back(sample(std::clamp(a, 3, 255), std::clamp(b, 1, 255)));
        }
    }
    out.resize(static_cast<size_t>(words));
    return out;
}

int countInColumn(const QImage& image, int x, QRgb color) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        n += image.pixel(x, y) == color;
    return n;
}

} // namespace displaytest
