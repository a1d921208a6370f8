#include "ChannelIndicationButton.h"

#include "WinRectangle.h"

#include <QMouseEvent>
#include <QPainter>

TChannelIndicationButtonVorn::TChannelIndicationButtonVorn(QWidget* parent) : QToolButton(parent) {
    connect(this, &QAbstractButton::clicked, this, &TChannelIndicationButtonVorn::OnClick);
}

void TChannelIndicationButtonVorn::setChannelColor(const QColor& color) {
    channelColor_ = color;
    update();
}

void TChannelIndicationButtonVorn::paintEvent(QPaintEvent* event) {
    QToolButton::paintEvent(event);
    if (!autoRaise())
        buttonDown_ = isDown() || isChecked() ? 1 : 0;
    const int d = buttonDown_;
    markRect_ = QRect(QPoint(26 + d, 10 + d), QPoint(31 + d, 12 + d));
    QPainter painter(this);
    painter.setPen(Qt::black);
    painter.setBrush(channelColor_);
    rm::drawWinRectangle(painter, 26 + d, 10 + d, 32 + d, 13 + d);
}

void TChannelIndicationButtonVorn::mousePressEvent(QMouseEvent* event) {
    QToolButton::mousePressEvent(event);
    emit OnMouseDown(event->button(), event->modifiers(), event->position().toPoint());
}

// The release is told before the click it makes.
void TChannelIndicationButtonVorn::mouseReleaseEvent(QMouseEvent* event) {
    emit OnMouseUp(event->button(), event->modifiers(), event->position().toPoint());
    QToolButton::mouseReleaseEvent(event);
}
