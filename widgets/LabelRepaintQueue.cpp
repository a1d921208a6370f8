#include "LabelRepaintQueue.h"

#include "SafeLabel.h"

#include <QCoreApplication>
#include <QPointer>

#include <utility>

LabelRepaintQueue& LabelRepaintQueue::forThisApplication() {
    static QPointer<LabelRepaintQueue> queue;
    if (!queue)
        queue = new LabelRepaintQueue(QCoreApplication::instance());
    return *queue;
}

void LabelRepaintQueue::request(TSafeLabel& label) {
    {
        std::lock_guard lock(lock_);
        waiting_.push_back(&label);
        if (std::exchange(posted_, true))
            return;
    }
    QMetaObject::invokeMethod(this, &LabelRepaintQueue::repaintWaiting, Qt::QueuedConnection);
}

void LabelRepaintQueue::forget(TSafeLabel& label) {
    std::lock_guard lock(lock_);
    std::erase(waiting_, &label);
}

// Labels are destroyed on this thread only, so every label taken out here
// is still alive while it is repainted.
void LabelRepaintQueue::repaintWaiting() {
    std::vector<TSafeLabel*> labels;
    {
        std::lock_guard lock(lock_);
        labels.swap(waiting_);
        posted_ = false;
    }
    for (TSafeLabel* label : labels)
        label->repaintNow();
}
