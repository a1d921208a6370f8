#pragma once

#include <QObject>

#include <mutex>
#include <vector>

class TSafeLabel;

// Carries the repaints that worker threads ask of the labels over to the
// user-interface thread. However many labels ask before the user-interface
// thread comes round, one event wakes it and repaints them all: a block of
// live readings costs one wake-up, not one per label.
//
// One queue serves the application; it lives on the user-interface thread as
// a child of the application object. Its events never reach the labels' own
// event handling, so the hint switches never read an event a worker made.
class LabelRepaintQueue : public QObject {
public:
    // User-interface thread.
    static LabelRepaintQueue& forThisApplication();

    // Any thread: `label` is repainted on the user-interface thread soon.
    void request(TSafeLabel& label);
    // User-interface thread, from the label's destructor: a repaint still
    // waiting for it is dropped.
    void forget(TSafeLabel& label);

private:
    explicit LabelRepaintQueue(QObject* parent) : QObject(parent) {}
    void repaintWaiting();

    std::mutex lock_;
    std::vector<TSafeLabel*> waiting_;
    bool posted_ = false;
};
