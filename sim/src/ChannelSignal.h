#pragma once

// One channel's sample codes made from tables. One period of the waveform as
// it reaches the converter (coupling included) and a stretch of noise, both
// in sample levels, give each sample by a look-up and a rounding; when a
// whole number of periods spans a whole number of samples that fits a table
// of codes, the codes of those periods, noise included, are made once and
// the samples are copied from them.

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

namespace ulmex {

enum class Waveform { Sine, Triangle };

// What turns a channel's millivolts into sample codes at the moment.
struct ChannelInput {
    double offsetMv = 0;
    double amplitudeMv = 0;
    double frequencyHz = 0;
    Waveform shape = Waveform::Sine;
    double noiseMv = 0;  // uniform noise of up to this many millivolts either way
    bool ac = false;
    double zeroLevel = 128;     // sample level of 0 V
    double millivoltsPerCode = 1;

    bool operator==(const ChannelInput&) const = default;
};

class ChannelSignal {
public:
    // Entries of the period table (a power of two), of the noise table and
    // at most of the table of codes.
    static constexpr int kPeriodBits = 14;
    static constexpr uint32_t kNoiseEntries = 32768;
    static_assert((kNoiseEntries & (kNoiseEntries - 1)) == 0);
    static constexpr size_t kMaxCodes = 262144;

    // The signal's time 0: the start of a measurement.
    void restart();
    // Makes the tables for `input` at `samplesPerSecond` when they were made
    // for anything else; the signal's time runs on.
    void follow(const ChannelInput& input, int32_t samplesPerSecond, std::minstd_rand& random);
    // The codes (1..254) of the next `count` samples.
    void fill(uint8_t* codes, size_t count);
    // Lets `samples` samples pass unmade (a full FIFO loses them).
    void skip(int64_t samples);

private:
    // The next sample's code from the period and noise tables.
    uint8_t next() {
        const int32_t level = period_[phase_ >> (64 - kPeriodBits)] + noise_[noiseAt_];
        phase_ += step_;
        noiseAt_ = (noiseAt_ + 1) & (kNoiseEntries - 1);
        // Half to even, from 16 fraction bits.
        const int32_t code = (level + 0x7FFF + ((level >> 16) & 1)) >> 16;
        return static_cast<uint8_t>(code < 1 ? 1 : code > 254 ? 254 : code);
    }
    void makePeriod();
    void makeNoise(std::minstd_rand& random);
    void makeCodes();

    ChannelInput input_;
    int32_t rate_ = 0;
    bool made_ = false;
    uint64_t phase_ = 0;  // of the next sample; the whole range is one period
    uint64_t step_ = 0;   // phase per sample
    uint32_t noiseAt_ = 0;
    std::vector<int32_t> period_ = std::vector<int32_t>(size_t{1} << kPeriodBits);  // levels, 16 fraction bits
    std::vector<int32_t> noise_ = std::vector<int32_t>(kNoiseEntries);
    std::vector<uint8_t> codes_;  // whole periods from the phase they were made at; empty: look up
    size_t codeAt_ = 0;           // of the next sample in codes_
};

} // namespace ulmex
