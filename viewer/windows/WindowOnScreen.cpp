#include "WindowOnScreen.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace rm::viewer {

QMargins windowFrame(const QWidget& window)
{
    const QRect outer = window.frameGeometry();
    const QRect inner = window.geometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

void holdToScreen(QWidget& window, QSize wanted)
{
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen) {
        window.resize(wanted.expandedTo(window.minimumSize()));
        return;
    }
    const QRect area = screen->availableGeometry();
    const QMargins frame = windowFrame(window);
    const QSize size = wanted.boundedTo(area.size().shrunkBy(frame)).expandedTo(window.minimumSize());
    window.resize(size);
    const QSize outer = size.grownBy(frame);
    // A top-level window's position is its frame's top-left corner.
    QPoint at = area.topLeft() + QPoint((area.width() - outer.width()) / 2, (area.height() - outer.height()) / 2);
    at.setX(std::max(std::min(at.x(), area.x() + area.width() - outer.width()), area.x()));
    at.setY(std::max(std::min(at.y(), area.y() + area.height() - outer.height()), area.y()));
    window.move(at);
}

} // namespace rm::viewer
