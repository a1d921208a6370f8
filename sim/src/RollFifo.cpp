#include "RollFifo.h"

#include <algorithm>

namespace ulmex {

void RollFifo::start(int64_t nowNs, int32_t samplesPerSecond) {
    running_ = true;
    rate_ = samplesPerSecond;
    originNs_ = nowNs;
    originIndex_ = 0;
    next_ = 0;
    overflowMark_ = false;
    for (ChannelSignal& signal : signal_)
        signal.restart();
    head_ = size_ = 0;
}

void RollFifo::stop() {
    running_ = false;
    head_ = size_ = 0;
}

void RollFifo::changeRate(int64_t nowNs, int32_t samplesPerSecond, const ChannelInput (&inputs)[2]) {
    if (!running_ || samplesPerSecond == rate_) {
        rate_ = samplesPerSecond;
        return;
    }
    catchUp(nowNs, inputs);
    originNs_ = nowNs;
    originIndex_ = next_;
    rate_ = samplesPerSecond;
}

int RollFifo::read(uint16_t* out, int maxWords, int64_t nowNs, const ChannelInput (&inputs)[2]) {
    if (running_)
        catchUp(nowNs, inputs);
    const size_t n = std::min(size_, static_cast<size_t>(std::max(maxWords, 0)));
    const size_t first = std::min(n, kCapacity - head_);
    std::copy_n(words_.begin() + static_cast<std::ptrdiff_t>(head_), first, out);
    std::copy_n(words_.begin(), n - first, out + first);
    head_ = (head_ + n) % kCapacity;
    size_ -= n;
    return static_cast<int>(n);
}

void RollFifo::catchUp(int64_t nowNs, const ChannelInput (&inputs)[2]) {
    const int64_t due =
        originIndex_ + static_cast<int64_t>(static_cast<double>(nowNs - originNs_) * rate_ / 1e9);
    for (int c = 0; c < 2; ++c)
        signal_[c].follow(inputs[c], rate_, random_);
    while (next_ < due) {
        if (size_ >= kCapacity) {
            // Full: the samples up to now are lost; the signal's time runs on.
            for (ChannelSignal& signal : signal_)
                signal.skip(due - next_);
            overflowMark_ = true;
            next_ = due;
            return;
        }
        if (overflowMark_) {
            words_[(head_ + size_) % kCapacity] = 0x0001;
            ++size_;
            overflowMark_ = false;
            continue;
        }
        const int64_t count = std::min(due - next_, static_cast<int64_t>(kCapacity - size_));
        generate(count);
        next_ += count;
    }
}

// Into the free room after the newest word, across the ring's end if need be.
void RollFifo::generate(int64_t count) {
    constexpr size_t kStretch = 4096;
    uint8_t codes[2][kStretch];
    while (count > 0) {
        const size_t at = (head_ + size_) % kCapacity;
        const size_t run = std::min({static_cast<size_t>(count), kCapacity - at, kStretch});
        for (int c = 0; c < 2; ++c)
            signal_[c].fill(codes[c], run);
        uint16_t* out = words_.data() + at;
        for (size_t i = 0; i < run; ++i)
            out[i] = static_cast<uint16_t>(codes[0][i] | codes[1][i] << 8);
        size_ += run;
        count -= static_cast<int64_t>(run);
    }
}

} // namespace ulmex
