#pragma once

#include <cstdint>
#include <functional>
#include <random>

// The demo signal: a sine wave plus uniform noise per channel, produced in real
// time as sample words (low byte channel A, high byte channel B), as many as the
// sampling rate calls for since the previous call.
class DemoSignalGenerator {
public:
    // Millisecond tick counter; wraps around like the system's tick count.
    using TickSource = std::function<uint32_t()>;

    static constexpr int32_t kMaxBlockWords = 65535;  // the caller's buffer holds this many
    static constexpr uint16_t kOverrunMark = 0x0001;
    static constexpr uint8_t kStatus = 0x22;           // trigger and arm always satisfied

    struct Channel {
        int32_t periodMs = 0;
        int32_t amplitudeMv = 0;
        int32_t noiseMv = 0;        // uniform noise of up to this much either way
        int32_t deflectionMv = 1;   // per division, probe included
        uint16_t offsetCode = 2048; // the device's offset code (4095 - the scope's level)
    };

    explicit DemoSignalGenerator(TickSource ticks = steadyTicks);

    // Both clocks to now: the next call produces what the time from here on asks for.
    void restartClock();

    // Fills `buffer` with the words due since the last call at `samplesPerSecond`
    // and sets `count`; a generator that fell more than a block behind emits the
    // overrun mark alone and starts again from now. Returns the status byte.
    uint8_t GenerateDemoData(uint16_t* buffer, int32_t& count, int32_t samplesPerSecond,
                             const Channel& a, const Channel& b);

    static uint32_t steadyTicks();

    // The sample code at which a channel with this offset code draws 0 V (the
    // centre of its wave); outside 1..255 when 0 V lies off the screen.
    static int32_t ZeroLevel(uint16_t offsetCode) { return 640 - (4096 - offsetCode) / 4; }

private:
    int sampleCode(const Channel& channel, double phaseSamples, int64_t i, double samplesPerPeriod);

    TickSource ticks_;
    uint32_t lastTick_ = 0;
    uint32_t startTick_ = 0;
    // The samples produced reach past lastTick_ by carry_ / carryRate_ ms
    // (less than one millisecond), so that every rate keeps time.
    int64_t carry_ = 0;
    int64_t carryRate_ = 1000;
    std::minstd_rand random_;
};
