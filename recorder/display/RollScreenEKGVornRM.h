#pragma once

#include "RollScreenParentVornRM.h"

// The sweeping live display, drawn as a cardiograph monitor draws: the
// picture stands still, a write cursor moves from left to right, each new
// column is drawn at the cursor after the strip ahead of it was erased, and
// past the right edge the cursor starts again at the left edge.
class TRollScreenEKGVornRM : public TRollScreenParentVornRM {
    Q_OBJECT
public:
    static constexpr rm::WinColor kCursorColor = 0xFF0000;  // blue

    using TRollScreenParentVornRM::TRollScreenParentVornRM;

    // The x at which the next column is drawn: 0 .. width, the last just
    // outside the bitmap.
    int SweepX() const {
        const auto lock = lockDisplay();
        return sweepX_;
    }

protected:
    void appendColumns(ColumnPainter& painter, int64_t newColumns) override;
    void redrawContents(ColumnPainter& painter) override;
    void restart(ColumnPainter& painter, bool resized) override;

private:
    // The grid of the strip x = start .. start + count − 1; lines stand at
    // fixed places.
    void DrawGrid(ColumnPainter& painter, int start, int count);
    // Erases `count` cursor positions from `start` on, continuing at the left
    // edge past the right one, and lays the grid there.
    void eraseAhead(ColumnPainter& painter, int start, int64_t count);
    // The cursor line, and with `squares` a 4 by 4 square per channel at the
    // newest value.
    void drawCursor(ColumnPainter& painter, bool squares);
    // The x of the column `age` columns before the newest.
    int columnX(int width, int age) const;

    int sweepX_ = 0;
};
