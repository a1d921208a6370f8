#include "WinLine.h"

#include <QPainter>
#include <QPoint>
#include <QVarLengthArray>

#include <cstdlib>

namespace rm {

void drawWinLine(QPainter& painter, int x1, int y1, int x2, int y2) {
    const int dx = std::abs(x2 - x1);
    const int dy = std::abs(y2 - y1);
    if (dx == 0 && dy == 0)
        return;
    if (dx == 0 || dy == 0) {
        // Straight lines: one fill of the pixels before the end.
        const int sx = x2 > x1 ? 1 : (x2 < x1 ? -1 : 0);
        const int sy = y2 > y1 ? 1 : (y2 < y1 ? -1 : 0);
        const int ex = x2 - sx;
        const int ey = y2 - sy;
        painter.fillRect(QRect(QPoint(std::min(x1, ex), std::min(y1, ey)),
                               QPoint(std::max(x1, ex), std::max(y1, ey))),
                         painter.pen().color());
        return;
    }
    // Bresenham, stopping before the end pixel.
    const int sx = x2 > x1 ? 1 : -1;
    const int sy = y2 > y1 ? 1 : -1;
    QVarLengthArray<QPoint, 512> points;
    int err = dx - dy;
    int x = x1;
    int y = y1;
    while (x != x2 || y != y2) {
        points.append(QPoint(x, y));
        const int e2 = 2 * err;
        if (e2 > -dy) {
            err -= dy;
            x += sx;
        }
        if (e2 < dx) {
            err += dx;
            y += sy;
        }
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.drawPoints(points.constData(), static_cast<int>(points.size()));
    painter.restore();
}

} // namespace rm
