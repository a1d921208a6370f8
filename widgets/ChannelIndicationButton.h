#pragma once

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QToolButton>

// A button with a small mark in the channel's colour over its face: a 6 x 3
// rectangle from (26, 10), moved one pixel right and down while the button is
// down (`ButtonDown`). A flat button (autoRaise) keeps the `ButtonDown` it is
// given; any other one sets it from its down state on every paint. The
// caption is centred in the face right of the mark and moves with it; a
// button with `CaptionLeft` (the colour dialog's, whose mark sits at its
// right end) centres it in the face left of the mark instead.
class TChannelIndicationButtonVorn : public QToolButton {
    Q_OBJECT
    Q_PROPERTY(QColor ChannelColor READ ChannelColor WRITE setChannelColor)
    Q_PROPERTY(int ButtonDown READ ButtonDown WRITE setButtonDown)
    Q_PROPERTY(bool CaptionLeft READ CaptionLeft WRITE setCaptionLeft)

public:
    explicit TChannelIndicationButtonVorn(QWidget* parent = nullptr);

    QColor ChannelColor() const { return channelColor_; }
    void setChannelColor(const QColor& color);
    int ButtonDown() const { return buttonDown_; }
    void setButtonDown(int offset) { buttonDown_ = offset; }
    bool CaptionLeft() const { return captionLeft_; }
    void setCaptionLeft(bool left);
    // Where the mark was last drawn, right and bottom edges excluded.
    QRect markRect() const { return markRect_; }

signals:
    void OnClick();
    void OnMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    void OnMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QColor channelColor_ = Qt::black;
    int buttonDown_ = 0;
    bool captionLeft_ = false;
    QRect markRect_;
};
