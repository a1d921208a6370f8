#include "ShapeVorn.h"

#include <QPainter>

#include <algorithm>

TShapeVorn::TShapeVorn(QWidget* parent) : QWidget(parent) {}

void TShapeVorn::setCircle(bool circle) {
    circle_ = circle;
    update();
}

QColor TShapeVorn::BrushColor() const { return palette().color(QPalette::Window); }

void TShapeVorn::setBrushColor(const QColor& color) {
    QPalette colours = palette();
    colours.setColor(QPalette::Window, color);
    setPalette(colours);  // repaints when it changed
}

void TShapeVorn::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(Qt::black);
    painter.setBrush(BrushColor());
    const QRect box = rect().adjusted(0, 0, -1, -1);  // the pen's line inside the control
    if (circle_) {
        painter.setRenderHint(QPainter::Antialiasing);
        const int side = std::min(box.width(), box.height());
        painter.drawEllipse(QRect(box.center().x() - side / 2, box.center().y() - side / 2, side, side));
    } else {
        painter.drawRect(box);
    }
}
