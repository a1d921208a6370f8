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
    // A text longer than the label (what a damaged file's index build
    // passed over) is readable whole as its hint. The hint takes the text
    // the label holds when it is set, so a hint queued by the worker
    // never outlasts a newer text.
    const auto takeText = [label = label_] { label->setToolTip(label->MyString()); };
    if (UiCall::onUiThread())
        takeText();
    else
        QMetaObject::invokeMethod(label_, takeText, Qt::QueuedConnection);
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
