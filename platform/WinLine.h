#pragma once

class QPainter;

namespace rm {

// Draws the line from (x1, y1) towards (x2, y2) the way Windows' LineTo does:
// every pixel of the line except the end pixel. A line from a point to itself
// draws nothing. Uses the painter's pen colour; one pixel wide.
void drawWinLine(QPainter& painter, int x1, int y1, int x2, int y2);

} // namespace rm
