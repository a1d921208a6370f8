#include "ChannelSignal.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace ulmex {

namespace {

constexpr double kAcCutoffHz = 5.0;
// Levels far off the screen are held there: the codes clamp at 1 and 254
// anyway, and the sums of the tables stay within 32 bits.
constexpr double kFarLevel = 4096;

int32_t fixedLevel(double level) {
    if (!std::isfinite(level))
        level = 128;
    return static_cast<int32_t>(std::nearbyint(std::clamp(level, -kFarLevel, kFarLevel) * 65536.0));
}

// -1 .. 1 at `cycles` (0 .. 1) of the period; the triangle starts at its lowest.
double waveAt(Waveform shape, double cycles) {
    if (shape == Waveform::Triangle)
        return cycles < 0.5 ? 4 * cycles - 1 : 3 - 4 * cycles;
    return std::sin(2 * std::numbers::pi * cycles);
}

} // namespace

void ChannelSignal::restart() {
    phase_ = 0;
    noiseAt_ = 0;
    if (made_)
        makeCodes();
}

void ChannelSignal::skip(int64_t samples) {
    const auto n = static_cast<uint64_t>(samples);
    phase_ += step_ * n;  // modulo whole periods
    noiseAt_ = static_cast<uint32_t>((noiseAt_ + n) & (kNoiseEntries - 1));
    if (!codes_.empty())
        codeAt_ = (codeAt_ + n % codes_.size()) % codes_.size();
}

void ChannelSignal::fill(uint8_t* codes, size_t count) {
    if (codes_.empty()) {
        for (size_t i = 0; i < count; ++i)
            codes[i] = next();
        return;
    }
    for (size_t done = 0; done < count;) {
        const size_t run = std::min(count - done, codes_.size() - codeAt_);
        std::copy_n(codes_.data() + codeAt_, run, codes + done);
        done += run;
        codeAt_ = (codeAt_ + run) % codes_.size();
    }
    // Where the look-up would be: the codes are made from there after a change.
    phase_ += step_ * count;
    noiseAt_ = static_cast<uint32_t>((noiseAt_ + count) & (kNoiseEntries - 1));
}

void ChannelSignal::follow(const ChannelInput& input, int32_t samplesPerSecond, std::minstd_rand& random) {
    if (made_ && input == input_ && samplesPerSecond == rate_)
        return;
    const bool periodDue = !made_ || input.offsetMv != input_.offsetMv || input.amplitudeMv != input_.amplitudeMv ||
                           input.frequencyHz != input_.frequencyHz || input.shape != input_.shape ||
                           input.ac != input_.ac || input.zeroLevel != input_.zeroLevel ||
                           input.millivoltsPerCode != input_.millivoltsPerCode;
    const bool noiseDue =
        !made_ || input.noiseMv != input_.noiseMv || input.millivoltsPerCode != input_.millivoltsPerCode;
    input_ = input;
    rate_ = samplesPerSecond;
    made_ = true;
    if (periodDue)
        makePeriod();
    if (noiseDue)
        makeNoise(random);
    // Periods per sample, taken modulo 1 into the phase's 64 bits.
    const double cycles = rate_ > 0 ? input_.frequencyHz / rate_ : 0;
    const double fraction = std::isfinite(cycles) ? cycles - std::floor(cycles) : 0;
    const double scaled = std::ldexp(fraction, 64);
    step_ = scaled >= std::ldexp(1.0, 64) ? 0 : static_cast<uint64_t>(scaled);
    makeCodes();
}

// The codes of whole periods that span a whole number of samples (a few
// periods may be needed for that), repeated up to at least the noise table's
// length, from the phase and noise position of the next sample on. A
// waveform that stands still takes the noise table's length.
void ChannelSignal::makeCodes() {
    codes_.clear();
    codeAt_ = 0;
    size_t length = 0;
    const uint64_t stride = std::min(step_, 0 - step_);  // a negative frequency has the same period
    const double samplesPerPeriod = stride == 0 ? 1.0 : std::ldexp(1.0, 64) / static_cast<double>(stride);
    for (int periods = 1; periods <= 16 && length == 0; ++periods) {
        const double samples = samplesPerPeriod * periods;
        const double whole = std::nearbyint(samples);
        if (whole >= 1 && whole <= static_cast<double>(kMaxCodes) && std::abs(samples - whole) < 1e-6)
            length = static_cast<size_t>(whole);
    }
    if (length == 0)
        return;
    length *= (kNoiseEntries + length - 1) / length;  // stays below kNoiseEntries + length
    const uint64_t phase = phase_;
    const uint32_t noiseAt = noiseAt_;
    codes_.resize(length);
    for (uint8_t& code : codes_)
        code = next();
    phase_ = phase;
    noiseAt_ = noiseAt;
}

// The waveform in millivolts, then, with AC coupling, through the coupling's
// high-pass in its steady state: the input as if it had been coupled long
// before (the offset gone, the waveform's own shape passed as the filter
// shapes it).
void ChannelSignal::makePeriod() {
    const size_t n = period_.size();
    std::vector<double> mv(n);
    for (size_t k = 0; k < n; ++k)
        mv[k] = input_.offsetMv + input_.amplitudeMv * waveAt(input_.shape, static_cast<double>(k) / n);
    if (input_.ac) {
        const double frequency = std::abs(input_.frequencyHz);
        std::vector<double> out(n, 0.0);
        if (frequency > 0 && std::isfinite(frequency)) {
            const double tau = 1.0 / (2 * std::numbers::pi * kAcCutoffHz);
            const double a = tau / (tau + 1.0 / (frequency * static_cast<double>(n)));
            // One period from rest gives the end value; the period that ends
            // where it starts begins at that value / (1 - a^n).
            const auto run = [&](double y) {
                for (size_t k = 0; k < n; ++k) {
                    y = a * (y + mv[k] - mv[(k + n - 1) % n]);
                    out[k] = y;
                }
                return y;
            };
            const double decay = 1 - std::pow(a, static_cast<double>(n));
            run(decay > 0 ? run(0.0) / decay : 0.0);
        }
        mv = out;
    }
    const double codesPerMv = 1.0 / input_.millivoltsPerCode;
    for (size_t k = 0; k < n; ++k)
        period_[k] = fixedLevel(input_.zeroLevel + mv[k] * codesPerMv);
}

void ChannelSignal::makeNoise(std::minstd_rand& random) {
    const double codes = input_.noiseMv / input_.millivoltsPerCode;
    if (!(codes > 0) || !std::isfinite(codes)) {
        std::fill(noise_.begin(), noise_.end(), 0);
        return;
    }
    std::uniform_real_distribution<double> uniform(-codes, codes);
    for (int32_t& entry : noise_)
        entry = fixedLevel(uniform(random));
}

} // namespace ulmex
