#include "ScrollBarVorn.h"

#include <QKeyEvent>
#include <QWheelEvent>

TScrollBarVorn::TScrollBarVorn(QWidget* parent) : TScrollBarVorn(Qt::Horizontal, parent) {}

TScrollBarVorn::TScrollBarVorn(Qt::Orientation orientation, QWidget* parent)
    : QScrollBar(orientation, parent)
{
    setSingleStep(1);
    setPageStep(1);
    connect(this, &QAbstractSlider::actionTriggered, this, &TScrollBarVorn::actionTaken);
}

void TScrollBarVorn::actionTaken(int action)
{
    int code;
    switch (action) {
    case SliderSingleStepSub: code = LineUp; break;
    case SliderSingleStepAdd: code = LineDown; break;
    case SliderPageStepSub: code = PageUp; break;
    case SliderPageStepAdd: code = PageDown; break;
    case SliderToMinimum: code = Top; break;
    case SliderToMaximum: code = Bottom; break;
    case SliderMove: code = ThumbTrack; break;
    default: return;
    }
    // Qt applies the new position only after this signal; take it now so the
    // receiver reads the bar's value as the user sees it.
    setValue(sliderPosition());
    scrolling_ = true;
    emit OnScroll(code, value());
}

void TScrollBarVorn::wheelEvent(QWheelEvent* event) { event->ignore(); }

// Qt's horizontal scroll bar moves left on the right arrow (its controls are
// inverted for the page keys of vertical bars); here the arrows go their way.
void TScrollBarVorn::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (orientation() == Qt::Horizontal && (key == Qt::Key_Left || key == Qt::Key_Right)) {
        const bool right = (key == Qt::Key_Right) != isRightToLeft();
        triggerAction(right ? SliderSingleStepAdd : SliderSingleStepSub);
        event->accept();
        return;
    }
    QScrollBar::keyPressEvent(event);
}

void TScrollBarVorn::mouseReleaseEvent(QMouseEvent* event)
{
    const bool dragging = isSliderDown();
    QScrollBar::mouseReleaseEvent(event);
    if (dragging) {
        scrolling_ = true;
        emit OnScroll(ThumbPosition, value());
    }
    endScroll();
}

void TScrollBarVorn::keyReleaseEvent(QKeyEvent* event)
{
    QScrollBar::keyReleaseEvent(event);
    if (!event->isAutoRepeat())
        endScroll();
}

void TScrollBarVorn::endScroll()
{
    if (!scrolling_)
        return;
    scrolling_ = false;
    emit OnScroll(EndScroll, value());
}
