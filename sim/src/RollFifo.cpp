#include "RollFifo.h"

#include "Rounding.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace ulmex {

namespace {

constexpr double kAcCutoffHz = 5.0;

} // namespace

void RollFifo::start(int64_t nowNs, int32_t samplesPerSecond) {
    running_ = true;
    rate_ = samplesPerSecond;
    startNs_ = nowNs;
    originNs_ = nowNs;
    originIndex_ = 0;
    next_ = 0;
    overflowMark_ = false;
    highPass_[0] = highPass_[1] = HighPass{};
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

void RollFifo::push(uint16_t word) {
    words_[(head_ + size_) % kCapacity] = word;
    ++size_;
}

void RollFifo::catchUp(int64_t nowNs, const ChannelInput (&inputs)[2]) {
    const int64_t due =
        originIndex_ + static_cast<int64_t>(static_cast<double>(nowNs - originNs_) * rate_ / 1e9);
    while (next_ < due) {
        if (size_ >= kCapacity) {
            // Full: the samples up to now are lost.
            overflowMark_ = true;
            next_ = due;
            return;
        }
        if (overflowMark_) {
            push(0x0001);
            overflowMark_ = false;
            continue;
        }
        const int64_t count = std::min(due - next_, static_cast<int64_t>(kCapacity - size_));
        generate(next_, count, inputs);
        next_ += count;
    }
}

void RollFifo::generate(int64_t first, int64_t count, const ChannelInput (&inputs)[2]) {
    // The sine is advanced by rotation and set exactly again at the start of
    // every stretch of kAnchor samples, so a sample costs a few
    // multiplications instead of a sin().
    constexpr int64_t kAnchor = 4096;
    const double tau = 1.0 / (2 * std::numbers::pi * kAcCutoffHz);
    const double a = tau / (tau + 1.0 / rate_);
    for (int64_t done = 0; done < count; done += kAnchor) {
        const int64_t stretch = std::min(kAnchor, count - done);
        uint16_t codes[2][kAnchor];
        for (int c = 0; c < 2; ++c) {
            const ChannelInput& in = inputs[c];
            const double radiansPerSample = 2 * std::numbers::pi * in.frequencyHz / rate_;
            // The signal's time runs on across a change of rate.
            const double seconds = static_cast<double>(originNs_ - startNs_) / 1e9 +
                                   static_cast<double>(first + done - originIndex_) / rate_;
            const double phase = 2 * std::numbers::pi * in.frequencyHz * seconds;
            double sinNow = std::sin(phase);
            double cosNow = std::cos(phase);
            const double sinStep = std::sin(radiansPerSample);
            const double cosStep = std::cos(radiansPerSample);
            const double codesPerMv = 1.0 / in.millivoltsPerCode;
            HighPass& hp = highPass_[c];
            std::uniform_real_distribution<double> noise(-in.noiseMv, in.noiseMv);
            for (int64_t i = 0; i < stretch; ++i) {
                double wave = sinNow;
                if (in.shape == Waveform::Triangle) {
                    // -1 up to 1 and down again once per period, starting at its lowest.
                    const double cycles = in.frequencyHz * (seconds + static_cast<double>(i) / rate_);
                    const double f = cycles - std::floor(cycles);
                    wave = f < 0.5 ? 4 * f - 1 : 3 - 4 * f;
                }
                double mv = in.offsetMv + in.amplitudeMv * wave;
                if (in.noiseMv > 0)
                    mv += noise(random_);
                const double s = sinNow;
                sinNow = s * cosStep + cosNow * sinStep;
                cosNow = cosNow * cosStep - s * sinStep;
                if (!in.ac) {
                    hp.primed = false;  // AC switched on later starts settled
                } else if (!hp.primed) {
                    hp.primed = true;
                    hp.lastInput = mv;
                    hp.output = mv - in.offsetMv; // as if coupled long before
                    mv = hp.output;
                } else {
                    hp.output = a * (hp.output + mv - hp.lastInput);
                    hp.lastInput = mv;
                    mv = hp.output;
                }
                const double level = in.zeroLevel + mv * codesPerMv;
                codes[c][i] = static_cast<uint16_t>(rm::roundHalfEvenClamped(level, 1, 254, 128));
            }
        }
        for (int64_t i = 0; i < stretch; ++i)
            push(static_cast<uint16_t>(codes[0][i] | (codes[1][i] << 8)));
    }
}

} // namespace ulmex
