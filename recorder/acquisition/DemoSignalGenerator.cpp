#include "DemoSignalGenerator.h"

#include "Rounding.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numbers>

DemoSignalGenerator::DemoSignalGenerator(TickSource ticks) : ticks_(std::move(ticks)) {
    restartClock();
}

uint32_t DemoSignalGenerator::steadyTicks() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void DemoSignalGenerator::restartClock() {
    lastTick_ = ticks_();
    startTick_ = lastTick_;
    carry_ = 0;
}

// One channel's code for sample i of the block. Amplitude and noise are
// millivolts at the channel's deflection (255 codes span 8 divisions). A period
// of 0 or less has no wave (the trace stays at its level); negative noise
// counts as none.
int DemoSignalGenerator::sampleCode(const Channel& channel, double phaseSamples, int64_t i,
                                    double samplesPerPeriod) {
    const double codesPerMv = 255.0 / (std::max(channel.deflectionMv, 1) * 8.0);
    double value = static_cast<double>((4096 - static_cast<int64_t>(channel.offsetCode)) / 4);
    if (samplesPerPeriod > 0.0)
        value += std::sin(2.0 * std::numbers::pi * (static_cast<double>(i) + phaseSamples) / samplesPerPeriod) *
                 channel.amplitudeMv * codesPerMv;
    if (channel.noiseMv > 0) {
        const double noise = channel.noiseMv * codesPerMv;
        value += std::uniform_real_distribution<double>(-noise, noise)(random_);
    }
    const int64_t code = 640 - rm::roundHalfEvenClamped(value, -1000000, 1000000);
    return static_cast<int>(std::clamp<int64_t>(code, 1, 255));
}

uint8_t DemoSignalGenerator::GenerateDemoData(uint16_t* buffer, int32_t& count, int32_t samplesPerSecond,
                                              const Channel& a, const Channel& b) {
    count = 0;
    if (samplesPerSecond <= 0)
        return kStatus;
    const int64_t rate = samplesPerSecond;
    if (rate != carryRate_) {
        carry_ = carry_ * rate / carryRate_;
        carryRate_ = rate;
    }
    const uint32_t now = ticks_();
    const uint32_t elapsed = now - lastTick_;
    // Samples due, in thousandths: the time since lastTick_ less what the
    // carry already produced.
    const int64_t due = static_cast<int64_t>(elapsed) * rate - carry_;
    const int64_t n = due > 0 ? due / 1000 : 0;
    if (n == 0)
        return kStatus;  // the time accumulates until a sample is due
    if (n > kMaxBlockWords) {
        buffer[0] = kOverrunMark;
        count = 1;
        lastTick_ = now;
        carry_ = 0;
        return kStatus;
    }

    // Phase in samples from the measurement's start; periods in samples.
    const uint32_t sinceStart = lastTick_ - startTick_;
    const double perMs = static_cast<double>(rate) / 1000.0;
    const double carried = static_cast<double>(carry_) / 1000.0;
    const double periodA = a.periodMs > 0 ? a.periodMs * perMs : 0.0;
    const double periodB = b.periodMs > 0 ? b.periodMs * perMs : 0.0;
    const double phaseA = a.periodMs > 0 ? (sinceStart % static_cast<uint32_t>(a.periodMs)) * perMs + carried : 0.0;
    const double phaseB = b.periodMs > 0 ? (sinceStart % static_cast<uint32_t>(b.periodMs)) * perMs + carried : 0.0;
    for (int64_t i = 0; i < n; ++i) {
        const int codeA = sampleCode(a, phaseA, i, periodA);
        const int codeB = sampleCode(b, phaseB, i, periodB);
        buffer[i] = static_cast<uint16_t>(codeA + 256 * codeB);
    }
    // The block's time: n x 1000 / rate ms, of which the whole milliseconds
    // advance the clock and the rest is carried to the next block.
    const int64_t advance = n * 1000 + carry_;
    lastTick_ += static_cast<uint32_t>(advance / rate);
    carry_ = advance % rate;
    count = static_cast<int32_t>(n);
    return kStatus;
}
