#pragma once

// The instrument's roll-mode FIFO: while a measurement runs it fills with
// sample words at the selected rate, following the sample clock; when it
// overflows the lost stretch is marked with one 0x0001 word. The samples
// come from each channel's tables (ChannelSignal).

#include "ChannelSignal.h"

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

namespace ulmex {

class RollFifo {
public:
    static constexpr size_t kCapacity = 262144;

    void start(int64_t nowNs, int32_t samplesPerSecond);
    void stop();
    // A new rate while running: what is due at the old rate is made first.
    void changeRate(int64_t nowNs, int32_t samplesPerSecond, const ChannelInput (&inputs)[2]);
    bool running() const { return running_; }

    // Moves up to `maxWords` words into `out`; returns how many.
    int read(uint16_t* out, int maxWords, int64_t nowNs, const ChannelInput (&inputs)[2]);

private:
    void catchUp(int64_t nowNs, const ChannelInput (&inputs)[2]);
    // Makes the next `count` samples into the ring, which has room for them.
    void generate(int64_t count);

    bool running_ = false;
    int32_t rate_ = 0;
    int64_t originNs_ = 0;   // clock time of sample `originIndex_`
    int64_t originIndex_ = 0;
    int64_t next_ = 0;       // index of the next sample to make
    bool overflowMark_ = false;
    ChannelSignal signal_[2];
    std::minstd_rand random_;
    std::vector<uint16_t> words_ = std::vector<uint16_t>(kCapacity);  // ring of kCapacity words
    size_t head_ = 0;   // oldest word
    size_t size_ = 0;
};

} // namespace ulmex
