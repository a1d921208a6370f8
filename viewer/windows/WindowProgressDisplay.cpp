#include "WindowProgressDisplay.h"

#include "SafeLabel.h"
#include "UiCall.h"

#include <QMetaObject>

namespace rm::viewer {

TWindowProgressDisplay::TWindowProgressDisplay(TSafeLabel* label, QProgressBar* gauge)
    : label_(label), gauge_(gauge) {
    gauge_->setRange(0, 100);
}

void TWindowProgressDisplay::SetProgressText(const std::string& text) {
    label_->setMyString(QString::fromStdString(text));
}

void TWindowProgressDisplay::SetProgressPercent(int percent) {
    percent_ = percent;
    if (UiCall::onUiThread()) {
        gauge_->setValue(percent);
        return;
    }
    if (queued_.exchange(true))
        return;
    // The gauge is the call's context: a call still queued when the window
    // goes is dropped with it.
    QMetaObject::invokeMethod(
        gauge_,
        [this] {
            queued_ = false;
            gauge_->setValue(percent_);
        },
        Qt::QueuedConnection);
}

} // namespace rm::viewer
