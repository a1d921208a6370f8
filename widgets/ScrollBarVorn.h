#pragma once

#include <QScrollBar>

// The scroll bar of the panels. It reports user actions only, with the scroll
// codes of the design (0 line up ... 5 thumb track, 8 end of scroll); the end
// of scroll follows the release of the mouse or of a navigation key. The
// wheel does nothing, and single and page steps start at 1 (the form
// description sets the page step where the design gives one).
class TScrollBarVorn : public QScrollBar {
    Q_OBJECT

public:
    enum ScrollCode {
        LineUp = 0,
        LineDown = 1,
        PageUp = 2,
        PageDown = 3,
        ThumbPosition = 4,
        ThumbTrack = 5,
        Top = 6,
        Bottom = 7,
        EndScroll = 8,
    };

    explicit TScrollBarVorn(QWidget* parent = nullptr);
    explicit TScrollBarVorn(Qt::Orientation orientation, QWidget* parent = nullptr);

signals:
    // The position is the bar's value, already updated for the action.
    void OnScroll(int scrollCode, int position);

protected:
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void actionTaken(int action);
    void endScroll();

    bool scrolling_ = false;  // an action happened since the last end of scroll
};
