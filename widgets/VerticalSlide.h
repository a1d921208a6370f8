#pragma once

#include "GraphicControl.h"

#include <QColor>
#include <QPoint>

// The vertical position indicator of a channel: a thin track `BarHeight`
// pixels long in the middle of `BarWidth` and a bar whose top is
// `BarPosition` pixels from the control's top. The control only shows; its
// owner moves the bar in answer to the mouse events (y from the top).
class TVerticalSlideVorn : public TGraphicControlVorn {
    Q_OBJECT
    Q_PROPERTY(int BarPosition READ BarPosition WRITE setBarPosition)
    Q_PROPERTY(int BarHeight READ BarHeight WRITE setBarHeight)
    Q_PROPERTY(int BarWidth READ BarWidth WRITE setBarWidth)
    Q_PROPERTY(QColor BarColor READ BarColor WRITE setBarColor)

public:
    explicit TVerticalSlideVorn(QWidget* parent = nullptr);

    int BarPosition() const { return barPosition_; }
    void setBarPosition(int position);
    // Plain values: set them before the next paint.
    int BarHeight() const { return barHeight_; }
    void setBarHeight(int height) { barHeight_ = height; }
    int BarWidth() const { return barWidth_; }
    void setBarWidth(int width) { barWidth_ = width; }
    QColor BarColor() const { return barColor_; }
    void setBarColor(const QColor& color);

    QSize sizeHint() const override;

signals:
    // A press and release of the left button inside the control; before
    // the release's OnMouseUp.
    void OnClick();
    void OnMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    void OnMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    // Also while no button is held.
    void OnMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint pos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    int barPosition_ = 0;
    int barHeight_ = 100;
    int barWidth_ = 13;
    QColor barColor_ = Qt::black;
    bool pressed_ = false;
};
