#include "SampleRecording.h"

#include "RollModeStream.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace rm {

namespace {

constexpr double kSineHz = 50;
constexpr double kTriangleHz = 20;
constexpr int kSineAmplitude = 80;      // codes; 32 codes are one division
constexpr int kTriangleAmplitude = 60;
constexpr int kTableBits = 12;
constexpr size_t kFlushWords = 1 << 19;

// Channel A a sine, channel B a triangle, each around its zero position
// with a few codes of noise. The phases run on across a change of rate, as
// a real signal does.
class Waveforms {
public:
    Waveforms(const RecordingSummary& levels, uint32_t seed)
        : zeroA_(levels.zeroA), zeroB_(levels.zeroB), noise_(0x9E3779B97F4A7C15ull ^ (uint64_t{seed} << 17 | seed)) {
        for (size_t i = 0; i < sine_.size(); ++i)
            sine_[i] = static_cast<int16_t>(
                std::lround(kSineAmplitude * std::sin(2 * std::numbers::pi * static_cast<double>(i) / sine_.size())));
        if (noise_ == 0)
            noise_ = 1;
    }
    void SetRate(uint32_t samplesPerSecond) {
        stepA_ = phaseStep(kSineHz, samplesPerSecond);
        stepB_ = phaseStep(kTriangleHz, samplesPerSecond);
    }
    uint16_t Next() {
        noise_ ^= noise_ << 13;
        noise_ ^= noise_ >> 7;
        noise_ ^= noise_ << 17;
        const int noiseA = static_cast<int>(noise_ >> 61) - 3;  // -3 .. 4
        const int noiseB = static_cast<int>((noise_ >> 58) & 7) - 3;
        const int a = zeroA_ + sine_[phaseA_ >> (32 - kTableBits)] + noiseA;
        // A triangle from the phase: up over the first half, down over the second.
        const int64_t ramp = phaseB_ < 0x80000000u ? int64_t{phaseB_} : int64_t{0xFFFFFFFFu} - phaseB_;
        const int b = zeroB_ + static_cast<int>((ramp * 4 * kTriangleAmplitude) >> 32) - kTriangleAmplitude + noiseB;
        phaseA_ += stepA_;
        phaseB_ += stepB_;
        // Channel B's code is never 0, so no sample reads as a control word.
        return static_cast<uint16_t>(std::clamp(a, 0, 255) | std::clamp(b, 1, 255) << 8);
    }

private:
    static uint32_t phaseStep(double hz, uint32_t rate) {
        return rate == 0 ? 0 : static_cast<uint32_t>(std::min(hz / rate, 0.5) * 4294967296.0);
    }

    const int zeroA_, zeroB_;
    std::array<int16_t, 1 << kTableBits> sine_{};
    uint32_t phaseA_ = 0, phaseB_ = 0x40000000u;
    uint32_t stepA_ = 0, stepB_ = 0;
    uint64_t noise_;
};

// The stream of one file, written out in pieces so that a recording of any
// size needs little memory.
class RecordingWriter {
public:
    explicit RecordingWriter(std::FILE* file) : file_(file) {}
    RollModeStream& Stream() { return stream_; }
    void Samples(Waveforms& waves, int64_t count) {
        for (int64_t k = 0; k < count; ++k) {
            stream_.Sample(waves.Next());
            if (stream_.Words().size() >= kFlushWords)
                Flush();
        }
        samples_ += count;
    }
    void Flush() {
        bytes_ += 2 * static_cast<int64_t>(stream_.Words().size());
        ok_ = stream_.AppendTo(file_) && ok_;
    }
    int64_t SamplesSoFar() const { return samples_; }
    int64_t Bytes() const { return bytes_; }
    bool Ok() const { return ok_; }

private:
    std::FILE* file_;
    RollModeStream stream_;
    int64_t samples_ = 0;
    int64_t bytes_ = 0;
    bool ok_ = true;
};

} // namespace

RecordingSummary writeSampleRecording(const std::string& path, int64_t approxSamples,
                                      const RecordingOptions& options) {
    RecordingSummary summary;
    const int64_t n = std::max<int64_t>(approxSamples, 100);
    std::FILE* file = std::fopen(path.c_str(), "wbe");
    if (!file)
        return summary;
    RecordingWriter out(file);
    Waveforms waves(summary, options.seed);
    RollModeStream& stream = out.Stream();
    RollModeStream::Settings settings;
    settings.samplesPerSecond = options.firstRate;
    settings.deflectionA = summary.deflectionA;
    settings.deflectionB = summary.deflectionB;
    settings.zeroA = summary.zeroA;
    settings.zeroB = summary.zeroB;
    settings.probeA = 1;

    // First measurement: an overrun mark, then a change of rate.
    stream.StartMeasurement(settings);
    waves.SetRate(options.firstRate);
    out.Samples(waves, n * 15 / 100);
    summary.overrunSample = out.SamplesSoFar();
    stream.Marker(1);
    out.Samples(waves, n * 30 / 100 - out.SamplesSoFar());
    summary.rateChangeSample = out.SamplesSoFar();
    stream.SamplesPerSecond(options.secondRate);
    waves.SetRate(options.secondRate);
    out.Samples(waves, n * 45 / 100 - out.SamplesSoFar());
    stream.StopMeasurement();

    // Between the measurements channel A gets a 1:10 probe.
    settings.probeA = 2;
    settings.deflectionA = summary.deflectionA10;
    settings.samplesPerSecond = options.secondRate;
    stream.Block(4, {settings.probeA});
    stream.Block(11, {static_cast<uint16_t>(settings.deflectionA & 0xFFFF),
                      static_cast<uint16_t>(settings.deflectionA >> 16)});

    // Second measurement with a stretch the arm window suppressed.
    stream.StartMeasurement(settings);
    summary.secondMeasurement = out.SamplesSoFar();
    out.Samples(waves, n * 70 / 100 - out.SamplesSoFar());
    summary.notArmedSample = out.SamplesSoFar();
    summary.notArmedWords = std::max<int64_t>(n / 100, 1);
    for (int64_t k = 0; k < summary.notArmedWords; ++k) {
        stream.Marker(2);
        waves.Next();  // the signal runs on while its samples are suppressed
        if (stream.Words().size() >= kFlushWords)
            out.Flush();
    }
    out.Samples(waves, n - out.SamplesSoFar());
    stream.StopMeasurement();
    out.Flush();

    summary.samples = out.SamplesSoFar();
    summary.bytes = out.Bytes();
    summary.written = std::fclose(file) == 0 && out.Ok();
    return summary;
}

} // namespace rm
