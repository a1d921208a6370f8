#include "RollScreenShiftVornRM.h"

#include "ColumnPainter.h"

#include <algorithm>

namespace {
int positiveMod(int64_t value, int modulus) {
    return static_cast<int>(((value % modulus) + modulus) % modulus);
}
} // namespace

void TRollScreenShiftVornRM::appendColumns(ColumnPainter& painter, int64_t newColumns) {
    const int width = painter.width();
    const int strip = static_cast<int>(std::min<int64_t>(newColumns, width));
    painter.scrollLeft(strip);
    painter.fillBackground(width - strip, strip);
    DrawGrid(painter, newColumns);
    // The newest column lands at width − 1; older ones of a long block have
    // scrolled out already. A trace goes on past a marker inside the block from
    // the level before the marker; after a marker that ended the previous
    // block it starts at the first new column's level.
    for (int age = strip - 1; age >= 0; --age)
        painter.column(width - 1 - age, age,
                       age == newColumns - 1 ? ColumnPainter::AfterMarker::StartLevel
                                             : ColumnPainter::AfterMarker::ContinueAcross);
}

void TRollScreenShiftVornRM::redrawContents(ColumnPainter& painter) {
    const int width = painter.width();
    DrawGrid(painter, 0);
    // The same places the appends gave: newest at width − 1, oldest first,
    // down to x = 1; x = 0 keeps the background and the grid.
    painter.painter().setClipRect(1, 0, width - 1, painter.height());
    for (int age = std::min(width - 1, rings().columnsHeld()) - 1; age >= 0; --age)
        painter.column(width - 1 - age, age);
    painter.painter().setClipping(false);
}

void TRollScreenShiftVornRM::restart(ColumnPainter& painter, bool) {
    gridPhase_ = painter.width() % ColumnPainter::kGridSpacing;
    pendingGridColumns_ = 0;
    DrawGrid(painter, 0);
}

void TRollScreenShiftVornRM::DrawGrid(ColumnPainter& painter, int64_t newColumns) {
    if (!painter.gridShown())
        return;
    constexpr int spacing = ColumnPainter::kGridSpacing;
    const int width = painter.width();
    if (newColumns == 0) {
        for (int x = positiveMod(width - gridPhase_, spacing); x < width; x += spacing)
            painter.verticalGridLine(x);
        painter.gridRows(0, width);
        pendingGridColumns_ = 0;
        return;
    }
    gridPhase_ = positiveMod(gridPhase_ + newColumns, spacing);
    const int stripStart = width - static_cast<int>(std::min<int64_t>(newColumns, width));
    for (int x = stripStart + positiveMod(width - gridPhase_ - stripStart, spacing); x < width; x += spacing)
        painter.verticalGridLine(x);
    pendingGridColumns_ += newColumns;
    // A single pending column waits: the dotted rows need two to keep their pattern.
    if (pendingGridColumns_ >= 2) {
        const int length = static_cast<int>(std::min<int64_t>(pendingGridColumns_, width));
        painter.gridRows(width - length, length);
        pendingGridColumns_ = 0;
    }
}
