#include "VerticalSlide.h"

#include "WinLine.h"
#include "WinRectangle.h"

#include <QMouseEvent>
#include <QPainter>

TVerticalSlideVorn::TVerticalSlideVorn(QWidget* parent) : TGraphicControlVorn(parent) {
    setMouseTracking(true);
}

// The whole control is painted again over its parent's background, which
// takes the old bar away.
void TVerticalSlideVorn::setBarPosition(int position) {
    barPosition_ = position;
    update();
}

void TVerticalSlideVorn::setBarColor(const QColor& color) {
    barColor_ = color;
    update();
}

QSize TVerticalSlideVorn::sizeHint() const {
    return {barWidth_, barHeight_ + 7};
}

void TVerticalSlideVorn::paintEvent(QPaintEvent*) {
    const int w = barWidth_, h = barHeight_, p = barPosition_;
    const int mid = w / 2;
    QPainter painter(this);
    painter.setBrush(barColor_);
    painter.setPen(Qt::black);
    rm::drawWinRectangle(painter, mid - 2, 0, mid + 2, h + 6);  // track outline
    painter.setPen(barColor_);
    rm::drawWinRectangle(painter, mid - 1, 1, mid + 1, h + 5);  // track
    painter.setPen(Qt::black);
    rm::drawWinRectangle(painter, 2, p, w - 2, p + 6);  // bar
    rm::drawWinLine(painter, mid - 2, p + 3, mid + 2, p + 3);
}

void TVerticalSlideVorn::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    emit OnMouseDown(event->button(), event->modifiers(), event->position().toPoint());
}

void TVerticalSlideVorn::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (pressed_ && event->button() == Qt::LeftButton) {
        pressed_ = false;
        if (rect().contains(pos))
            emit OnClick();
    }
    emit OnMouseUp(event->button(), event->modifiers(), pos);
}

void TVerticalSlideVorn::mouseMoveEvent(QMouseEvent* event) {
    emit OnMouseMove(event->buttons(), event->modifiers(), event->position().toPoint());
}
