#pragma once

#include "ProgressDisplay.h"

#include <QProgressBar>

#include <atomic>

class TSafeLabel;

namespace rm::viewer {

// The progress text and gauge of the main window as the data engine sets
// them, from the worker thread as well: the label takes its text from any
// thread (its hint, the same text, is set on the user-interface thread), and
// a gauge value from a worker reaches the gauge through one queued call
// (later values only update what that call shows).
class TWindowProgressDisplay : public IProgressDisplay {
public:
    TWindowProgressDisplay(TSafeLabel* label, QProgressBar* gauge);

    void SetProgressText(const std::string& text) override;
    void SetProgressPercent(int percent) override;

private:
    TSafeLabel* label_;
    QProgressBar* const gauge_;
    std::atomic<int> percent_{0};
    std::atomic<bool> queued_{false};
};

} // namespace rm::viewer
