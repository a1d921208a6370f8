#include "RollFifo.h"

#include "Rounding.h"

#include <cmath>
#include <numbers>

namespace ulmex {

namespace {

constexpr double kAcCutoffHz = 5.0;

} // namespace

void RollFifo::start(int64_t nowNs, int32_t samplesPerSecond) {
    running_ = true;
    rate_ = samplesPerSecond;
    originNs_ = nowNs;
    originIndex_ = 0;
    next_ = 0;
    overflowMark_ = false;
    highPass_[0] = highPass_[1] = HighPass{};
    words_.clear();
}

void RollFifo::stop() {
    running_ = false;
    words_.clear();
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
    int n = 0;
    while (n < maxWords && !words_.empty()) {
        out[n++] = words_.front();
        words_.pop_front();
    }
    return n;
}

void RollFifo::catchUp(int64_t nowNs, const ChannelInput (&inputs)[2]) {
    const int64_t due =
        originIndex_ + static_cast<int64_t>(static_cast<double>(nowNs - originNs_) * rate_ / 1e9);
    while (next_ < due) {
        if (words_.size() >= kCapacity) {
            // Full: the samples up to now are lost.
            overflowMark_ = true;
            next_ = due;
            return;
        }
        if (overflowMark_) {
            words_.push_back(0x0001);
            overflowMark_ = false;
            continue;
        }
        words_.push_back(sampleWord(next_++, inputs));
    }
}

uint16_t RollFifo::sampleWord(int64_t index, const ChannelInput (&inputs)[2]) {
    const double seconds = static_cast<double>(index) / rate_;
    uint16_t codes[2];
    for (int c = 0; c < 2; ++c) {
        const ChannelInput& in = inputs[c];
        double mv = in.offsetMv + in.amplitudeMv * std::sin(2 * std::numbers::pi * in.frequencyHz * seconds);
        HighPass& hp = highPass_[c];
        if (!hp.primed) {
            hp.primed = true;
            hp.lastInput = mv;
            hp.output = mv - in.offsetMv; // as if coupled long before the start
        } else {
            const double tau = 1.0 / (2 * std::numbers::pi * kAcCutoffHz);
            const double a = tau / (tau + 1.0 / rate_);
            hp.output = a * (hp.output + mv - hp.lastInput);
            hp.lastInput = mv;
        }
        if (in.ac)
            mv = hp.output;
        const double level = in.zeroLevel + mv / in.millivoltsPerCode;
        codes[c] = static_cast<uint16_t>(rm::roundHalfEvenClamped(level, 1, 254, 128));
    }
    return static_cast<uint16_t>(codes[0] | (codes[1] << 8));
}

} // namespace ulmex
