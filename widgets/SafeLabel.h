#pragma once

#include "GraphicControl.h"

#include <QString>

#include <atomic>
#include <mutex>

class LabelRepaintQueue;

// A one-line label whose text any thread may set.
//
// `setMyString` stores the text under the label's lock and, when the text
// changed, queues one repaint of the label alone onto the user-interface
// thread, so a worker thread can show progress or a live reading without
// touching the widget. A `MouseSensitive` label holds its reading while the
// pointer rests on it: texts arriving meanwhile are dropped and the label is
// drawn bold; it stays bold with the held text until the next text arrives
// after the pointer left. The text shown is also the label's accessible
// name, set with the repaint. Workers stop writing a label before its form
// destroys it.
class TSafeLabel : public TGraphicControlVorn {
    Q_OBJECT
    Q_PROPERTY(QString MyString READ MyString WRITE setMyString)
    Q_PROPERTY(bool MouseSensitive READ MouseSensitive WRITE setMouseSensitive)

public:
    explicit TSafeLabel(QWidget* parent = nullptr);
    ~TSafeLabel() override;

    // Any thread.
    QString MyString() const;
    void setMyString(const QString& text);

    // User-interface thread.
    bool MouseSensitive() const { return mouseSensitive_; }
    void setMouseSensitive(bool sensitive) { mouseSensitive_ = sensitive; }
    // True while the pointer rests on a mouse-sensitive label.
    bool isHovered() const;
    // True when a text was dropped while hovered and none has come since.
    bool isHeld() const;

    QSize sizeHint() const override;

protected:
    // The label's lock: it guards the text and the hover and held flags. It
    // may be taken again by the thread that holds it.
    std::recursive_mutex& labelLock() const { return lock_; }

    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    friend class LabelRepaintQueue;
    // User-interface thread: the repaint (and accessible name) a text asked for.
    void repaintNow();
    void setHovered(bool hovered);
    void queueRepaint();

    mutable std::recursive_mutex lock_;
    QString text_;
    bool hovered_ = false;
    bool held_ = false;
    bool mouseSensitive_ = false;
    std::atomic<bool> repaintQueued_{false};
    LabelRepaintQueue& repaints_;
};
