#pragma once

#include <QSize>
#include <QString>

class QPainter;

namespace printmgr {

// Draws `text` black into the box (0, 0)-`box` of `painter`, each of its
// lines (ended by CR LF, LF or CR) on one line of its own: at `largestPixels`
// high when that fits, else at the largest size at which every line fits the
// box's width and all of them its height.
void drawTextFitted(QPainter& painter, QSize box, const QString& text, int largestPixels);

} // namespace printmgr
