#include "WaveformPainter.h"

#include "Rounding.h"
#include "WinColor.h"
#include "WinLine.h"

#include <algorithm>

namespace rm::viewer {

namespace {

constexpr int kGridDivisionCodes = 32;
constexpr int kGridCodes = 256;
constexpr int kGridColumnStep = 50;

QRgb rgb(TColor color) { return toQColor(color).rgb(); }

} // namespace

TWaveformPainter::TWaveformPainter(QImage& image, double voltScale)
    : image_(image), painter_(&image), voltScale_(voltScale) {
    painter_.setRenderHint(QPainter::Antialiasing, false);
}

int TWaveformPainter::Row(int code) const {
    return static_cast<int>(roundHalfEvenClamped((255 - code) * voltScale_, -1, image_.height() + 1));
}

void TWaveformPainter::Fill(TColor background) { painter_.fillRect(image_.rect(), toQColor(background)); }

void TWaveformPainter::DottedGrid(TColor color) {
    painter_.end();  // the dots go straight into the pixels
    const int width = image_.width();
    const int height = image_.height();
    const QRgb dot = rgb(color);
    if (width > 0 && height > 0) {
        for (int k = 0; k <= kGridCodes; k += kGridDivisionCodes) {
            const auto y = static_cast<int>(roundHalfEven(static_cast<double>(k) * (height - 1) / kGridCodes));
            auto* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
            for (int x = 0; x < width; x += 2)
                line[x] = dot;
        }
        for (int x = 0; x < width; x += kGridColumnStep)
            for (int y = 0; y < height; y += 2)
                reinterpret_cast<QRgb*>(image_.scanLine(y))[x] = dot;
    }
    painter_.begin(&image_);
    painter_.setRenderHint(QPainter::Antialiasing, false);
}

void TWaveformPainter::lineTo(int x, int y) {
    drawWinLine(painter_, penX_, penY_, x, y);
    penX_ = x;
    penY_ = y;
}

void TWaveformPainter::Trace(const uint8_t* codes, int count, TColor color) {
    painter_.setPen(toQColor(color));
    bool started = false;
    for (int i = 0; i < count; ++i) {
        if (codes[i] == 0)
            continue;
        const int y = Row(codes[i]);
        if (!started) {
            penX_ = i;
            penY_ = y;
            started = true;
        }
        lineTo(i, y + 1);
    }
}

void TWaveformPainter::MinMaxBars(const BarChannel& a, const BarChannel& b, int count) {
    const auto bar = [&](int x, int top, int bottom, TColor color) {
        painter_.setPen(toQColor(color));
        penX_ = x;
        penY_ = Row(top);
        lineTo(x, Row(bottom) + 1);
    };
    for (int i = 0; i + 1 < count; ++i) {
        const int topA = std::max(a.max[i], a.min[i + 1]);
        const int bottomA = std::min(a.min[i], a.max[i + 1]);
        const int topB = std::max(b.max[i], b.min[i + 1]);
        const int bottomB = std::min(b.min[i], b.max[i + 1]);
        if (topA == 0 || bottomA == 0 || topB == 0 || bottomB == 0)
            continue;
        if (a.on)
            bar(i, topA, bottomA, a.color);
        if (b.on)
            bar(i, topB, bottomB, b.color);
    }
    if (count <= 0)
        return;
    const int last = count - 1;
    for (const BarChannel* channel : {&a, &b})
        if (channel->on)
            bar(last, channel->max[last], channel->min[last], channel->color);
}

void TWaveformPainter::VerticalLine(int64_t x, TColor color) {
    if (x < 0 || x >= image_.width())
        return;
    painter_.setPen(toQColor(color));
    drawWinLine(painter_, static_cast<int>(x), 0, static_cast<int>(x), image_.height());
}

void TWaveformPainter::XorCross(int x, int y, TColor color) {
    painter_.end();  // XOR straight into the pixels
    const QRgb bits = rgb(color) & 0x00FFFFFF;
    const auto xorRect = [&](int left, int top, int right, int bottom) {  // right, bottom exclusive
        left = std::max(left, 0);
        top = std::max(top, 0);
        right = std::min(right, image_.width());
        bottom = std::min(bottom, image_.height());
        for (int row = top; row < bottom; ++row) {
            auto* line = reinterpret_cast<QRgb*>(image_.scanLine(row));
            for (int col = left; col < right; ++col)
                line[col] ^= bits;
        }
    };
    constexpr int half = 15;
    xorRect(x - half, y - 1, x + half, y + 1);  // the horizontal bar, two rows
    xorRect(x - 1, y - half, x + 1, y + half);  // the vertical bar, two columns
    painter_.begin(&image_);
    painter_.setRenderHint(QPainter::Antialiasing, false);
}

} // namespace rm::viewer
