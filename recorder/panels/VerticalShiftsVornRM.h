#pragma once

#include "WrapperComponentVornRM.h"

#include <QPointer>

#include <functional>

class QTimer;
class TChannelIndicationButtonVorn;
class TVerticalSlideVorn;

// The "Vertical" panel: per channel a slider whose bar shows the trace's
// vertical level and an up and a down button. A click on a button moves the
// level by one; a press on the slider's track pages it by five; a press on
// the bar grabs it for dragging. Holding a button or the track repeats the
// step at every tick of the shared repeat timer. While a control is held,
// level changes are not written to the data file as parameter records; the
// release writes the final level.
class TVerticalShiftsVornRM : public TWrapperComponentVornRM {
    Q_OBJECT

public:
    // Steps in level units; a smaller level is higher on the screen.
    static constexpr int kPageStep = 5;
    static constexpr int kButtonStep = 1;
    // A press closer than this to the bar's position grabs the bar.
    static constexpr int kGrabDistance = 10;
    static constexpr int kRepeatIntervalMs = 1000;

    explicit TVerticalShiftsVornRM(QObject* parent = nullptr);

    void SetSlideUpButtonA(TChannelIndicationButtonVorn* button);
    void SetSlideUpButtonB(TChannelIndicationButtonVorn* button);
    void SetSlideDownButtonA(TChannelIndicationButtonVorn* button);
    void SetSlideDownButtonB(TChannelIndicationButtonVorn* button);
    void SetVerticalSlideA(TVerticalSlideVorn* slide);
    void SetVerticalSlideB(TVerticalSlideVorn* slide);
    // The repeat timer: switched off and given its 1 s interval.
    void SetTimer(QTimer* timer);

    // Which mouse buttons are held now; the repeat tick asks it to notice a
    // release that never reached the pressed control. Tests replace it.
    void SetHeldButtonsQuery(std::function<Qt::MouseButtons()> query);

protected:
    void UpdateFromScope() override;

private:
    enum Channel { ChannelA, ChannelB };

    void bindButton(QPointer<TChannelIndicationButtonVorn>& slot, TChannelIndicationButtonVorn* button);
    void bindSlide(QPointer<TVerticalSlideVorn>& slot, TVerticalSlideVorn* slide);

    void SlideMouseDown(QObject* sender, Qt::MouseButton button, int y);
    void SlideMouseUp();
    void SlideMouseMove(QObject* sender, Qt::MouseButtons held, int y);
    void ButtonClick(QObject* sender);
    void RepeatTimer();

    // Moves the channel's level by `step`; the scope refuses levels outside 1..4095.
    void stepLevel(Channel channel, int step);
    void stopRepeat();
    void showChannel(Channel channel);

    QPointer<TChannelIndicationButtonVorn> slideUpButtonA_, slideUpButtonB_;
    QPointer<TChannelIndicationButtonVorn> slideDownButtonA_, slideDownButtonB_;
    QPointer<TVerticalSlideVorn> verticalSlideA_, verticalSlideB_;
    QPointer<QTimer> timer_;
    std::function<Qt::MouseButtons()> heldButtons_;

    QObject* pressed_ = nullptr;  // compared only, never dereferenced
    bool draggingA_ = false;
    bool draggingB_ = false;
    Channel repeatChannel_ = ChannelA;
    int repeatStep_ = 0;
};
