#include "RollScreenEKGVornRM.h"

#include "ColumnPainter.h"

#include <algorithm>

void TRollScreenEKGVornRM::appendColumns(ColumnPainter& painter, int64_t newColumns) {
    const int width = painter.width();
    const int positions = width + 1;
    // A window that shrank since the last full redraw.
    sweepX_ = std::min(sweepX_, width);
    eraseAhead(painter, sweepX_, newColumns);
    sweepX_ = static_cast<int>((sweepX_ + newColumns) % positions);
    // Of a block longer than a sweep only the last width columns stay visible.
    for (int age = static_cast<int>(std::min<int64_t>(newColumns, width)) - 1; age >= 0; --age)
        painter.column(columnX(width, age), age);
    drawCursor(painter, true);
}

void TRollScreenEKGVornRM::redrawContents(ColumnPainter& painter) {
    const int width = painter.width();
    sweepX_ = std::min(sweepX_, width);
    if (!rings().RingWrapped() && rings().RingIndex() <= width)
        sweepX_ = rings().RingIndex();
    DrawGrid(painter, 0, width);
    // Newest column just left of the cursor, the oldest visible just right of it.
    for (int age = std::min(width, rings().columnsHeld()) - 1; age >= 0; --age)
        painter.column(columnX(width, age), age);
    if (rings().columnsHeld() > 0)
        drawCursor(painter, false);
}

void TRollScreenEKGVornRM::restart(ColumnPainter& painter, bool resized) {
    sweepX_ = 0;
    if (!resized)
        DrawGrid(painter, 0, painter.width());
}

int TRollScreenEKGVornRM::columnX(int width, int age) const {
    const int positions = width + 1;
    return ((sweepX_ - 1 - age) % positions + positions) % positions;
}

// The strip from the cursor on and, when it runs past the right edge, the
// rectangle from x = 0 to width − start + count (exclusive), so the erase at a
// wrap reaches further than the columns that wrap. The strip's grid is not
// continued at the left edge: it comes back as the sweep passes again.
void TRollScreenEKGVornRM::eraseAhead(ColumnPainter& painter, int start, int64_t count) {
    const int width = painter.width();
    const int span = static_cast<int>(std::min<int64_t>(count, width + 1));
    painter.fillBackground(start, std::min(span, width - start));
    DrawGrid(painter, start, std::min(span, width - start));
    if (start + span > width)
        painter.fillBackground(0, width - start + span);
}

void TRollScreenEKGVornRM::DrawGrid(ColumnPainter& painter, int start, int count) {
    if (!painter.gridShown() || count <= 0)
        return;
    constexpr int spacing = ColumnPainter::kGridSpacing;
    for (int x = (start + spacing - 1) / spacing * spacing; x < start + count; x += spacing)
        painter.verticalGridLine(x);
    painter.gridRows(start, count);
}

void TRollScreenEKGVornRM::drawCursor(ColumnPainter& painter, bool squares) {
    painter.fill(sweepX_, 0, 1, painter.height(), kCursorColor);
    // The squares stand at the newest column's stored values, a marker's too.
    if (!squares)
        return;
    const DisplaySettings& s = painter.settings();
    const uint16_t newest = painter.traceWord(0);
    if (s.channelA)
        painter.fill(sweepX_, painter.row(newest & 0xFF) - 2, 4, 4, s.colorA);
    if (s.channelB)
        painter.fill(sweepX_, painter.row(newest >> 8) - 2, 4, 4, s.colorB);
}
