#include "ProgressDisplay.h"

#include "Rounding.h"

namespace rm::viewer {

void ProgressGauge::Update(int64_t done, int64_t total) {
    if (total > 0)
        Publish(static_cast<int>(roundHalfEvenClamped(100.0 * static_cast<double>(done) / total, 0, 100)));
}

void ProgressGauge::Publish(int percent) {
    if (percent == last_ || !display_)
        return;
    last_ = percent;
    display_->SetProgressPercent(percent);
}

} // namespace rm::viewer
