#include "VerticalShiftsVornRM.h"

#include "BoundControl.h"
#include "ChannelIndicationButton.h"
#include "VerticalSlide.h"
#include "VirtualScopeVornRM.h"
#include "WinColor.h"

#include <QGuiApplication>
#include <QTimer>

TVerticalShiftsVornRM::TVerticalShiftsVornRM(QObject* parent)
    : TWrapperComponentVornRM(ScopeGroup::VerticalShiftPanel,
                              {TScopeNotifyCode::snStart, TScopeNotifyCode::snSettingsChanged,
                               TScopeNotifyCode::snLevelsSetBack, TScopeNotifyCode::snMainWindowResized,
                               TScopeNotifyCode::snLoadAutoSettings}, parent),
      heldButtons_([] { return QGuiApplication::mouseButtons(); })
{
}

void TVerticalShiftsVornRM::SetSlideUpButtonA(TChannelIndicationButtonVorn* button) { bindButton(slideUpButtonA_, button); }
void TVerticalShiftsVornRM::SetSlideUpButtonB(TChannelIndicationButtonVorn* button) { bindButton(slideUpButtonB_, button); }
void TVerticalShiftsVornRM::SetSlideDownButtonA(TChannelIndicationButtonVorn* button) { bindButton(slideDownButtonA_, button); }
void TVerticalShiftsVornRM::SetSlideDownButtonB(TChannelIndicationButtonVorn* button) { bindButton(slideDownButtonB_, button); }
void TVerticalShiftsVornRM::SetVerticalSlideA(TVerticalSlideVorn* slide) { bindSlide(verticalSlideA_, slide); }
void TVerticalShiftsVornRM::SetVerticalSlideB(TVerticalSlideVorn* slide) { bindSlide(verticalSlideB_, slide); }

void TVerticalShiftsVornRM::SetTimer(QTimer* timer)
{
    bindControl(this, timer_, timer, &QTimer::timeout, [this] { RepeatTimer(); });
    if (!timer)
        return;
    timer->stop();
    timer->setInterval(kRepeatIntervalMs);
}

void TVerticalShiftsVornRM::SetHeldButtonsQuery(std::function<Qt::MouseButtons()> query)
{
    heldButtons_ = std::move(query);
}

void TVerticalShiftsVornRM::bindButton(QPointer<TChannelIndicationButtonVorn>& slot,
                                       TChannelIndicationButtonVorn* button)
{
    using Button = TChannelIndicationButtonVorn;
    // The click hook replaces what the slot held; the press hooks join it.
    bindClick(this, slot, button, &TVerticalShiftsVornRM::ButtonClick);
    if (!button)
        return;
    connect(button, &Button::OnMouseDown, this,
            [this, button](Qt::MouseButton b, Qt::KeyboardModifiers, QPoint at) { SlideMouseDown(button, b, at.y()); });
    connect(button, &Button::OnMouseUp, this, &TVerticalShiftsVornRM::SlideMouseUp);
}

void TVerticalShiftsVornRM::bindSlide(QPointer<TVerticalSlideVorn>& slot, TVerticalSlideVorn* slide)
{
    using Slide = TVerticalSlideVorn;
    bindClick(this, slot, slide, &TVerticalShiftsVornRM::ButtonClick);
    if (!slide)
        return;
    connect(slide, &Slide::OnMouseDown, this,
            [this, slide](Qt::MouseButton b, Qt::KeyboardModifiers, QPoint at) { SlideMouseDown(slide, b, at.y()); });
    connect(slide, &Slide::OnMouseUp, this, &TVerticalShiftsVornRM::SlideMouseUp);
    connect(slide, &Slide::OnMouseMove, this,
            [this, slide](Qt::MouseButtons held, Qt::KeyboardModifiers, QPoint at) {
                SlideMouseMove(slide, held, at.y());
            });
}

void TVerticalShiftsVornRM::SlideMouseDown(QObject* sender, Qt::MouseButton button, int y)
{
    TVirtualScopeVornRM* scope = VirtualScope();
    if (!scope || button != Qt::LeftButton)
        return;
    // While a control is held its level changes are not recorded.
    scope->SetSettingsToFile(false);
    pressed_ = sender;

    if (sender == verticalSlideA_ || sender == verticalSlideB_) {
        const Channel channel = sender == verticalSlideA_ ? ChannelA : ChannelB;
        const int s = channel == ChannelA ? scope->ScaledLevelChannelA() : scope->ScaledLevelChannelB();
        if (y > s - kGrabDistance && y < s + kGrabDistance) {
            (channel == ChannelA ? draggingA_ : draggingB_) = true;
            Broadcast(TScopeNotifyCode::snSettingsChanged);
            return;
        }
        // Everything off the bar pages, the press exactly at the grab
        // distance included.
        repeatStep_ = y >= s + kGrabDistance ? kPageStep : -kPageStep;
        repeatChannel_ = channel;
        stepLevel(channel, repeatStep_);
    } else if (sender == slideUpButtonA_ || sender == slideUpButtonB_) {
        repeatChannel_ = sender == slideUpButtonA_ ? ChannelA : ChannelB;
        repeatStep_ = -kButtonStep;  // the click itself makes the first step
    } else if (sender == slideDownButtonA_ || sender == slideDownButtonB_) {
        repeatChannel_ = sender == slideDownButtonA_ ? ChannelA : ChannelB;
        repeatStep_ = kButtonStep;
    } else {
        return;
    }
    if (timer_)
        timer_->start();
    Broadcast(TScopeNotifyCode::snSettingsChanged);
}

void TVerticalShiftsVornRM::SlideMouseUp()
{
    draggingA_ = false;
    draggingB_ = false;
    if (TVirtualScopeVornRM* scope = VirtualScope())
        scope->SetSettingsToFile(true);
    Broadcast(TScopeNotifyCode::snSettingsChanged);
    stopRepeat();
}

void TVerticalShiftsVornRM::SlideMouseMove(QObject* sender, Qt::MouseButtons held, int y)
{
    TVirtualScopeVornRM* scope = VirtualScope();
    if (!scope || sender != pressed_ || !(draggingA_ || draggingB_))
        return;
    if (!(held & Qt::LeftButton)) {
        // The release went elsewhere (a message box, a lost grab): end the drag.
        SlideMouseUp();
        return;
    }
    if (sender == verticalSlideA_ && draggingA_) {
        scope->SetScaledLevelChannelA(y);  // the scope ignores pixels off the travel
        verticalSlideA_->setBarPosition(scope->ScaledLevelChannelA());
    } else if (sender == verticalSlideB_ && draggingB_) {
        scope->SetScaledLevelChannelB(y);
        verticalSlideB_->setBarPosition(scope->ScaledLevelChannelB());
    } else {
        return;
    }
    Broadcast(TScopeNotifyCode::snSettingsChanged);
}

void TVerticalShiftsVornRM::ButtonClick(QObject* sender)
{
    if (!VirtualScope())
        return;
    if (sender == slideUpButtonA_)
        stepLevel(ChannelA, -kButtonStep);
    else if (sender == slideUpButtonB_)
        stepLevel(ChannelB, -kButtonStep);
    else if (sender == slideDownButtonA_)
        stepLevel(ChannelA, kButtonStep);
    else if (sender == slideDownButtonB_)
        stepLevel(ChannelB, kButtonStep);
    Broadcast(TScopeNotifyCode::snSettingsChanged);
}

void TVerticalShiftsVornRM::RepeatTimer()
{
    // A release can miss the pressed control (a message box raised while the
    // button is held, the window losing the mouse): with no button held any
    // more, end the press here so the repeat stops and recording resumes.
    if (!(heldButtons_() & Qt::LeftButton)) {
        SlideMouseUp();
        return;
    }
    if (!VirtualScope())
        return;
    stepLevel(repeatChannel_, repeatStep_);
    Broadcast(TScopeNotifyCode::snSettingsChanged);
}

void TVerticalShiftsVornRM::stepLevel(Channel channel, int step)
{
    TVirtualScopeVornRM* scope = VirtualScope();
    if (channel == ChannelA)
        scope->SetVerticalLevelChannelA(scope->VerticalLevelChannelA() + step);
    else
        scope->SetVerticalLevelChannelB(scope->VerticalLevelChannelB() + step);
}

void TVerticalShiftsVornRM::stopRepeat()
{
    if (timer_)
        timer_->stop();
}

void TVerticalShiftsVornRM::UpdateFromScope()
{
    if (!VirtualScope())
        return;
    showChannel(ChannelA);
    showChannel(ChannelB);
}

void TVerticalShiftsVornRM::showChannel(Channel channel)
{
    TVirtualScopeVornRM* scope = VirtualScope();
    const bool a = channel == ChannelA;
    const QColor color = rm::toQColor(a ? scope->ColorChannelA() : scope->ColorChannelB());
    if (TVerticalSlideVorn* slide = a ? verticalSlideA_ : verticalSlideB_) {
        // The scope keeps the slider's travel: the scaled levels and the
        // settings file use it.
        if (a)
            scope->SetMaxChannelA(slide->BarHeight());
        else
            scope->SetMaxChannelB(slide->BarHeight());
        slide->setBarColor(color);
        slide->setBarPosition(a ? scope->ScaledLevelChannelA() : scope->ScaledLevelChannelB());
        const int level = a ? scope->VerticalLevelChannelA() : scope->VerticalLevelChannelB();
        slide->setToolTip(QString::number(4095 - level));  // grows as the trace goes up
    }
    for (TChannelIndicationButtonVorn* button :
         {a ? slideUpButtonA_.data() : slideUpButtonB_.data(), a ? slideDownButtonA_.data() : slideDownButtonB_.data()}) {
        if (button)
            button->setChannelColor(color);
    }
}
