#pragma once

#include "ColumnRings.h"
#include "DisplaySettings.h"
#include "WinColor.h"

#include <QPainter>

#include <array>

class QImage;

// Sets every second pixel: downwards from (x, y) while the row is below
// y + length, or along row y from the even x at or after `x` while x is below
// x + length.
void DrawDottedLine(QPainter& painter, int x, int y, int length, bool vertical, rm::WinColor color);

// Draws into a live display's off-screen bitmap by the rules both displays
// share: where a stored byte lies, how a column looks in each drawing mode,
// marker lines, grid rows and ground lines. The caller holds the display lock.
class ColumnPainter {
public:
    static constexpr rm::WinColor kNotArmedColor = 0x008080;  // olive
    static constexpr rm::WinColor kMarkerColor = 0x0000FF;    // red: gaps and overruns
    static constexpr int kGridSpacing = 50;

    ColumnPainter(QImage& bitmap, const ColumnRings& rings, const DisplaySettings& settings);

    int width() const { return width_; }
    int height() const { return height_; }
    const DisplaySettings& settings() const { return settings_; }
    QPainter& painter() { return painter_; }

    // The pixel row of a stored byte (255 minus the code): code 255 is row 0,
    // code 0 the row just below the bitmap.
    int row(int storedByte) const { return rows_[storedByte & 0xFF]; }

    void fill(int x, int y, int w, int h, rm::WinColor color);
    // Moves the whole picture `columns` pixels to the left; the strip that
    // opens at the right edge keeps its old pixels.
    void scrollLeft(int columns);
    // Full-height strip of `w` columns from x in the background colour.
    void fillBackground(int x, int w) { fill(x, 0, w, height_, settings_.background); }

    // The grid is drawn only while the scope's Grid and DisplayActive are set.
    bool gridShown() const { return settings_.grid && settings_.displayActive; }
    void verticalGridLine(int x);
    // The seven horizontal grid rows (codes 31, 63 ... 223) from x over `length` pixels.
    void gridRows(int x, int length);
    // Dotted lines at the zero levels of grounded channels while no measurement runs.
    void groundLines();

    // Where a single-ring line trace comes from when the column before is a
    // marker: nowhere (the trace breaks), from the marker's x at the level of
    // the column before the marker, or from x − 1 at the column's own level.
    enum class AfterMarker { Break, ContinueAcross, StartLevel };

    // Draws the column `age` columns before the newest (0 is the newest) at x.
    // A trace in single-ring line mode joins the column before it, drawn at x − 1.
    void column(int x, int age, AfterMarker afterMarker = AfterMarker::Break);

    // Which stored value a channel's square or trace point uses for a column.
    uint16_t traceWord(int age) const;
    bool isSample(int age) const;

private:
    int slotOf(int age) const { return ColumnRings::slot(rings_.RingIndex() - 1 - age); }
    void markerLine(int x, ColumnKind kind);
    void minMaxColumn(int x, int slot);
    // A dotted line across the width at the row of sample code `code`; none
    // when that row lies outside the bitmap.
    void levelLine(int code, rm::WinColor color);
    void traceColumn(int x, int age, AfterMarker afterMarker);

    QImage& bitmap_;
    QPainter painter_;
    const ColumnRings& rings_;
    const DisplaySettings& settings_;
    int width_;
    int height_;
    int held_;
    double voltScale_;
    std::array<int, 256> rows_{};
};
