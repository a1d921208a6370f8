#pragma once

#include <QPainter>

namespace rm {

// Draws a rectangle the way Windows' Rectangle does: the outline one pixel
// wide in the painter's pen through (left, top) and (right - 1, bottom - 1),
// the inside filled with its brush. Nothing for an empty rectangle.
inline void drawWinRectangle(QPainter& painter, int left, int top, int right, int bottom) {
    if (right <= left || bottom <= top)
        return;
    if (right - left == 1 || bottom - top == 1) {  // all outline
        painter.fillRect(QRect(left, top, right - left, bottom - top), painter.pen().color());
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPen pen = painter.pen();
    pen.setWidth(1);
    painter.setPen(pen);
    painter.drawRect(left, top, right - left - 1, bottom - top - 1);
    painter.restore();
}

} // namespace rm
