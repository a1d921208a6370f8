#pragma once

#include "RollScreenParentVornRM.h"

// The rolling live display: the newest column stands at the right edge and
// every block of new columns pushes the picture to the left. The vertical
// grid lines travel with the data.
class TRollScreenShiftVornRM : public TRollScreenParentVornRM {
    Q_OBJECT
public:
    using TRollScreenParentVornRM::TRollScreenParentVornRM;

protected:
    void appendColumns(ColumnPainter& painter, int64_t newColumns) override;
    void redrawContents(ColumnPainter& painter) override;
    void restart(ColumnPainter& painter, bool resized) override;

private:
    // The whole grid when `newColumns` is 0, else the grid of the strip just
    // scrolled in.
    void DrawGrid(ColumnPainter& painter, int64_t newColumns);

    // Distance, modulo the grid spacing, of the vertical grid lines from the right edge.
    int gridPhase_ = 0;
    // Columns scrolled in since the horizontal grid segments were last drawn.
    int64_t pendingGridColumns_ = 0;
};
