#pragma once

// One sample block: a roll-FIFO read turned, in place in the caller's buffer,
// into the valid sample words and a status byte by three replaceable steps.

#include "DriverState.h"
#include "UsbInterface.h"

#include <cstdint>

namespace qrv {

constexpr int32_t kRawBlockWords = 32768;
constexpr uint8_t kStatusWaiting = 0x11;
constexpr uint8_t kStatusSatisfied = 0x22;

class TReadChain {
public:
    TReadChain(TDriverState& state, const TUsbFunctions& usb) : state_(state), usb_(usb) {}

    // One block into `buffer` (room for 32,768 words); returns the status.
    uint8_t Read(uint16_t* buffer, int32_t& count) { return (this->*readEntry_)(buffer, count, 0, kRawBlockWords); }

    // The steps of a new connection.
    void Reset();
    // Ground overrides or not, from the ground bytes.
    void SelectReadEntry();
    // The next read drops its first word.
    void RestartReadStage() { readStage_ = &TReadChain::ReadRollFifoFirst; }
    void SelectFilterStage();
    void ResetTrigger();

private:
    // buffer, count (out), first index, end index (exclusive); returns the status.
    using Step = uint8_t (TReadChain::*)(uint16_t*, int32_t&, int32_t, int32_t);

    uint8_t ReadSamples(uint16_t* buffer, int32_t& count, int32_t first, int32_t end);
    uint8_t ReadSamplesWithOverrides(uint16_t* buffer, int32_t& count, int32_t first, int32_t end);
    uint8_t ReadRollFifo(uint16_t* buffer, int32_t& count, int32_t first, int32_t end);
    uint8_t ReadRollFifoFirst(uint16_t* buffer, int32_t& count, int32_t first, int32_t end);
    uint8_t CompactSamples(uint16_t* buffer, int32_t& count, int32_t first, int32_t end);
    uint8_t SearchTrigger(uint16_t* buffer, int32_t& count, int32_t first, int32_t end);
    uint8_t FilterSamples(uint16_t* buffer, int32_t& count, int32_t first, int32_t end);

    uint16_t ClassifySample(uint16_t word) const;
    bool CheckTriggerCondition(uint16_t word);
    bool armSourceOn() const { return (state_.ArmFlags & (kArmSourceA | kArmSourceB)) != 0; }

    TDriverState& state_;
    const TUsbFunctions& usb_;
    Step readEntry_ = &TReadChain::ReadSamples;
    Step readStage_ = &TReadChain::ReadRollFifoFirst;
    Step filterStage_ = &TReadChain::CompactSamples;
};

} // namespace qrv
