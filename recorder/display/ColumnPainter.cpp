#include "ColumnPainter.h"

#include "Rounding.h"
#include "WinLine.h"

#include <QImage>
#include <QPoint>
#include <QVarLengthArray>

#include <cmath>
#include <cstring>

void DrawDottedLine(QPainter& painter, int x, int y, int length, bool vertical, rm::WinColor color) {
    QVarLengthArray<QPoint, 1024> points;
    if (vertical) {
        for (int row = y; row < y + length; row += 2)
            points.append(QPoint(x, row));
    } else {
        for (int col = x + (x & 1); col < x + length; col += 2)
            points.append(QPoint(col, y));
    }
    painter.setPen(rm::toQColor(color));
    painter.drawPoints(points.constData(), static_cast<int>(points.size()));
}

ColumnPainter::ColumnPainter(QImage& bitmap, const ColumnRings& rings, const DisplaySettings& settings)
    : bitmap_(bitmap), painter_(&bitmap), rings_(rings), settings_(settings), width_(bitmap.width()), height_(bitmap.height()),
      held_(rings.columnsHeld()), voltScale_(height_ / 255.0) {
    painter_.setRenderHint(QPainter::Antialiasing, false);
    for (int s = 0; s < 256; ++s)
        rows_[s] = static_cast<int>(rm::roundHalfEven(s * voltScale_));
}

void ColumnPainter::fill(int x, int y, int w, int h, rm::WinColor color) {
    if (w > 0 && h > 0)
        painter_.fillRect(x, y, w, h, rm::toQColor(color));
}

void ColumnPainter::scrollLeft(int columns) {
    if (columns <= 0 || columns >= width_)
        return;
    const size_t keep = static_cast<size_t>(width_ - columns) * sizeof(QRgb);
    for (int y = 0; y < height_; ++y) {
        auto* line = reinterpret_cast<QRgb*>(bitmap_.scanLine(y));
        std::memmove(line, line + columns, keep);
    }
}

void ColumnPainter::verticalGridLine(int x) {
    DrawDottedLine(painter_, x, 0, height_, true, settings_.gridColor);
}

void ColumnPainter::gridRows(int x, int length) {
    for (int code = 31; code <= 223; code += 32)
        DrawDottedLine(painter_, x, row(255 - code), length, false, settings_.gridColor);
}

void ColumnPainter::groundLines() {
    if (!settings_.groundLines)
        return;
    if (settings_.groundA)
        levelLine(settings_.zeroA, settings_.colorA);
    if (settings_.groundB)
        levelLine(settings_.zeroB, settings_.colorB);
}

// A channel's zero level may lie off the screen: the vertical position can
// move 0 V beyond the codes 0..255.
void ColumnPainter::levelLine(int code, rm::WinColor color) {
    const double y = std::nearbyint((255.0 - code) * voltScale_);
    if (y >= 0 && y < height_)
        DrawDottedLine(painter_, 0, static_cast<int>(y), width_, false, color);
}

bool ColumnPainter::isSample(int age) const {
    return age < held_ && rings_.kind(slotOf(age)) == ColumnKind::Sample;
}

uint16_t ColumnPainter::traceWord(int age) const {
    const int slot = slotOf(age);
    return settings_.minMax ? rings_.minWord(slot) : rings_.value(settings_.ring, slot);
}

void ColumnPainter::column(int x, int age, AfterMarker afterMarker) {
    if (age >= held_)
        return;
    const int slot = slotOf(age);
    const ColumnKind kind = rings_.kind(slot);
    if (kind == ColumnKind::Empty)
        return;
    if (kind != ColumnKind::Sample)
        markerLine(x, kind);
    else if (settings_.minMax)
        minMaxColumn(x, slot);
    else
        traceColumn(x, age, afterMarker);
}

void ColumnPainter::markerLine(int x, ColumnKind kind) {
    fill(x, 0, 1, height_, kind == ColumnKind::NotArmed ? kNotArmedColor : kMarkerColor);
}

void ColumnPainter::minMaxColumn(int x, int slot) {
    const uint16_t top = rings_.maxWord(slot);
    const uint16_t bottom = rings_.minWord(slot);
    const auto channel = [&](int shift, rm::WinColor color) {
        const int yTop = row(top >> shift);
        const int yBottom = row(bottom >> shift);
        if (settings_.modeLine) {
            fill(x, yTop, 1, yBottom - yTop + 1, color);
        } else {
            fill(x, yTop, 1, 1, color);
            fill(x, yBottom, 1, 1, color);
        }
    };
    if (settings_.channelA)
        channel(0, settings_.colorA);
    if (settings_.channelB)
        channel(8, settings_.colorB);
}

void ColumnPainter::traceColumn(int x, int age, AfterMarker afterMarker) {
    const uint16_t word = traceWord(age);
    bool joined = false;
    uint16_t before = 0;
    if (settings_.modeLine && age + 1 < held_) {
        if (isSample(age + 1)) {
            joined = true;
            before = traceWord(age + 1);
        } else if (afterMarker == AfterMarker::ContinueAcross && isSample(age + 2)) {
            joined = true;
            before = traceWord(age + 2);
        } else if (afterMarker == AfterMarker::StartLevel) {
            joined = true;
            before = word;
        }
    }
    const auto channel = [&](int shift, rm::WinColor color) {
        const int y = row(word >> shift);
        if (joined) {
            painter_.setPen(rm::toQColor(color));
            rm::drawWinLine(painter_, x - 1, row(before >> shift), x, y);
        } else {
            fill(x, y, 1, 1, color);
        }
    };
    if (settings_.channelA)
        channel(0, settings_.colorA);
    if (settings_.channelB)
        channel(8, settings_.colorB);
}
