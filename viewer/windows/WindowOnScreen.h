#pragma once

#include <QMargins>
#include <QSize>

class QWidget;

namespace rm::viewer {

// The frame the window system puts around a top-level window (title bar and
// borders); none until the window has been shown and framed.
QMargins windowFrame(const QWidget& window);

// Holds a top-level window, frame included, inside the available area of its
// screen: the window takes the wanted size (its own measure, without the
// frame) as far as the area leaves room for it and its frame, never less than
// its minimum size; then it is centred on the area (the top-left corner wins
// when even the minimum does not fit, so the title bar stays reachable).
void holdToScreen(QWidget& window, QSize wanted);

} // namespace rm::viewer
