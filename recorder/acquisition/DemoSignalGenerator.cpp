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
}

// One channel's code for sample i of the block. A period of 0 or less has no
// wave (the trace stays at its level); negative noise counts as none.
int DemoSignalGenerator::sampleCode(const Channel& channel, double phaseSamples, int64_t i,
                                    double samplesPerPeriod) {
    double wave = 0.0;
    if (samplesPerPeriod > 0.0) {
        const double scale = channel.amplitudeMv * 255.0 / (std::max(channel.deflectionMv, 1) * 8.0);
        wave = std::sin(2.0 * std::numbers::pi * (static_cast<double>(i) + phaseSamples) / samplesPerPeriod) *
               scale;
    }
    const int64_t level = (4096 - static_cast<int64_t>(channel.offsetCode)) / 4;
    int64_t code = 640 - rm::roundHalfEvenClamped(wave + static_cast<double>(level), -1000000, 1000000);
    const int64_t noise = std::max<int64_t>(channel.noiseCodes, 0);
    if (noise > 0) {
        std::uniform_int_distribution<int64_t> spread(0, 2 * noise - 1);
        code += spread(random_) - noise;
    }
    return static_cast<int>(std::clamp<int64_t>(code, 1, 255));
}

uint8_t DemoSignalGenerator::GenerateDemoData(uint16_t* buffer, int32_t& count, int32_t samplesPerSecond,
                                              const Channel& a, const Channel& b) {
    count = 0;
    if (samplesPerSecond <= 0)
        return kStatus;
    const uint32_t now = ticks_();
    const uint32_t elapsed = now - lastTick_;
    const int64_t n = static_cast<int64_t>(elapsed) * samplesPerSecond / 1000;
    if (n == 0)
        return kStatus;  // the time accumulates until a sample is due
    if (n > kMaxBlockWords) {
        buffer[0] = kOverrunMark;
        count = 1;
        lastTick_ = now;
        return kStatus;
    }

    // Phase in samples from the measurement's start; periods in samples.
    const uint32_t sinceStart = lastTick_ - startTick_;
    const double perMs = samplesPerSecond / 1000.0;
    const double periodA = a.periodMs > 0 ? a.periodMs * perMs : 0.0;
    const double periodB = b.periodMs > 0 ? b.periodMs * perMs : 0.0;
    const double phaseA = a.periodMs > 0 ? (sinceStart % static_cast<uint32_t>(a.periodMs)) * perMs : 0.0;
    const double phaseB = b.periodMs > 0 ? (sinceStart % static_cast<uint32_t>(b.periodMs)) * perMs : 0.0;
    for (int64_t i = 0; i < n; ++i) {
        const int codeA = sampleCode(a, phaseA, i, periodA);
        const int codeB = sampleCode(b, phaseB, i, periodB);
        buffer[i] = static_cast<uint16_t>(codeA + 256 * codeB);
    }
    lastTick_ += static_cast<uint32_t>(n * 1000 / samplesPerSecond);
    count = static_cast<int32_t>(n);
    return kStatus;
}
