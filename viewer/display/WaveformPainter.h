#pragma once

#include "PreviewEngine.h"

#include <QImage>
#include <QPainter>

#include <cstdint>

namespace rm::viewer {

// The drawing steps of the main display, each onto an RGB32 picture with a
// painter that has antialiasing off. Lines leave out their end pixel as the
// Windows lines do; everything is clipped to the picture.
class TWaveformPainter {
public:
    // `voltScale` is pixels per sample code (picture height / 255).
    TWaveformPainter(QImage& image, double voltScale);

    // Row of sample code v: round((255 - v) x voltScale).
    int Row(int code) const;

    // Fills the picture with `background`.
    void Fill(TColor background);
    // The dotted grid: nine horizontal lines (8 divisions of 32 codes) and a
    // vertical line every 50 columns, every second pixel set from pixel 0.
    void DottedGrid(TColor color);
    // One channel's line through the points of `codes` (column i = point i).
    // A point of code 0 holds no data and is left out: the line joins the
    // points around it, and it starts at the first point with data.
    void Trace(const uint8_t* codes, int count, TColor color);
    // One channel's arrays for the minimum-maximum bars.
    struct BarChannel {
        const uint8_t* max;
        const uint8_t* min;
        bool on;
        TColor color;
    };
    // The minimum-maximum bars of both channels: each bar reaches the
    // neighbouring column's range so that the bars join; a column where any
    // of the four values is 0 is left out for both channels; the last column
    // is always drawn.
    void MinMaxBars(const BarChannel& a, const BarChannel& b, int count);
    // A solid vertical line over the whole height (nothing outside the picture).
    void VerticalLine(int64_t x, TColor color);
    // A cross of two bars two pixels wide, 2 x 15 pixels long, XOR-drawn.
    void XorCross(int x, int y, TColor color);

private:
    void lineTo(int x, int y);

    QImage& image_;
    QPainter painter_;
    double voltScale_;
    int penX_ = 0;
    int penY_ = 0;
};

} // namespace rm::viewer
