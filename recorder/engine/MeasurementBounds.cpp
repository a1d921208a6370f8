#include "MeasurementBounds.h"

namespace {
constexpr uint16_t kBlockStart = 0x0000;
constexpr uint16_t kMeasurementStartedType = 1;
constexpr size_t kMeasurementStartedLength = 4;
constexpr size_t kMinBlockLength = 4;
} // namespace

MeasurementBounds::Span MeasurementBounds::follow(const uint16_t* words, size_t count) {
    for (size_t i = 0; i < count;) {
        // Sample words and markers are never zero; a zero word begins a block.
        if (words[i] != kBlockStart) {
            ++i;
            continue;
        }
        const size_t left = count - i;
        const size_t length = left > 1 ? words[i + 1] : 0;
        if (length < kMinBlockLength || length > left) {
            ++i;  // no whole block: the zero word stands alone
            continue;
        }
        const bool startOrStop = words[i + 2] == kMeasurementStartedType && length == kMeasurementStartedLength;
        const bool started = words[i + 3] != 0;
        i += length;
        if (!startOrStop)
            continue;
        inMeasurement_ = started;
        if (!started)
            return {i, true};
    }
    return {count, false};
}
