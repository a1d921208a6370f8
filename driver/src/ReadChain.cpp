#include "ReadChain.h"

#include "QuorvRMDrv.h"

#include <algorithm>

namespace qrv {

namespace {

constexpr int32_t kLostTailWords = 128;

// Moves the non-zero words of [first, end) to the front; returns their number.
int32_t compact(uint16_t* buffer, int32_t first, int32_t end) {
    int32_t kept = 0;
    for (int32_t i = first; i < end; ++i)
        if (buffer[i] != 0)
            buffer[kept++] = buffer[i];
    return kept;
}

bool isMarker(uint16_t word) { return word == mkOverrun || word == mkNotArmed; }

// A sample pair never has a high byte of 0: the data file reads such a word as
// a marker or the start of a parameter block. Channel B's code 0 (the bottom
// of its range) reads as 1; the device's own marks stay as they are.
void liftZeroCodesOfB(uint16_t* buffer, int32_t count) {
    for (int32_t i = 0; i < count; ++i)
        if ((buffer[i] & 0xFF00) == 0 && buffer[i] != 0 && !isMarker(buffer[i]))
            buffer[i] = static_cast<uint16_t>(buffer[i] | 0x0100);
}

} // namespace

void TReadChain::Reset() {
    readEntry_ = &TReadChain::ReadSamples;
    readStage_ = &TReadChain::ReadRollFifoFirst;
    filterStage_ = &TReadChain::CompactSamples;
}

void TReadChain::SelectReadEntry() {
    const bool grounded = state_.Channels[kChannelA].Ground || state_.Channels[kChannelB].Ground;
    readEntry_ = grounded ? &TReadChain::ReadSamplesWithOverrides : &TReadChain::ReadSamples;
}

void TReadChain::SelectFilterStage() {
    if (armSourceOn())
        filterStage_ = &TReadChain::FilterSamples;
    else if (!state_.RecordFree)
        filterStage_ = &TReadChain::SearchTrigger;
    else
        filterStage_ = &TReadChain::CompactSamples;
}

void TReadChain::ResetTrigger() {
    state_.TriggerFired = {false, false};
    state_.TriggerFound = 0;
}

uint8_t TReadChain::ReadSamples(uint16_t* buffer, int32_t& count, int32_t first, int32_t end) {
    const uint8_t status = (this->*readStage_)(buffer, count, first, end);
    liftZeroCodesOfB(buffer, count);
    return status;
}

// A grounded channel reads its zero level. Marker words stay as they are, and
// a grounded channel B never gives a high byte of 0 (that would read as the
// start of a parameter block in the data file).
uint8_t TReadChain::ReadSamplesWithOverrides(uint16_t* buffer, int32_t& count, int32_t first, int32_t end) {
    const uint8_t status = ReadSamples(buffer, count, first, end);
    const bool groundA = state_.Channels[kChannelA].Ground != 0;
    const bool groundB = state_.Channels[kChannelB].Ground != 0;
    // A zero level off the screen reads as the nearest screen edge.
    const auto levelA = static_cast<uint16_t>(std::clamp(state_.Channels[kChannelA].ZeroLevel, 0, 255));
    const auto levelB = static_cast<uint16_t>(std::clamp(state_.Channels[kChannelB].ZeroLevel, 1, 255));
    for (int32_t i = 0; i < count; ++i) {
        if (isMarker(buffer[i]))
            continue;
        if (groundA)
            buffer[i] = static_cast<uint16_t>((buffer[i] & 0xFF00) | levelA);
        if (groundB)
            buffer[i] = static_cast<uint16_t>((buffer[i] & 0x00FF) | (levelB << 8));
    }
    return status;
}

uint8_t TReadChain::ReadRollFifo(uint16_t* buffer, int32_t& count, int32_t, int32_t) {
    usb_.USBRollFIFORead(7, reinterpret_cast<uint8_t*>(buffer), kRawBlockWords * 2);
    const bool lost = std::all_of(buffer + kRawBlockWords - kLostTailWords, buffer + kRawBlockWords,
                                  [](uint16_t w) { return w == 0xFFFF; });
    if (lost) {
        state_.markDeviceLost();
        std::fill(buffer, buffer + kRawBlockWords, 0);
    }
    return (this->*filterStage_)(buffer, count, 0, kRawBlockWords);
}

uint8_t TReadChain::ReadRollFifoFirst(uint16_t* buffer, int32_t& count, int32_t first, int32_t end) {
    const uint8_t status = ReadRollFifo(buffer, count, first, end);
    if (count > 0) {
        std::copy(buffer + 1, buffer + count, buffer);
        --count;
    }
    readStage_ = &TReadChain::ReadRollFifo;
    return status;
}

uint8_t TReadChain::CompactSamples(uint16_t* buffer, int32_t& count, int32_t first, int32_t end) {
    count = compact(buffer, first, end);
    return kStatusSatisfied;
}

uint8_t TReadChain::SearchTrigger(uint16_t* buffer, int32_t& count, int32_t first, int32_t end) {
    count = 0;
    state_.TriggerFound = 0;
    for (int32_t i = first; i < end; ++i) {
        if (buffer[i] == 0 || !CheckTriggerCondition(buffer[i]))
            continue;
        state_.TriggerFound = 1;
        count = compact(buffer, i, end);
        if (!armSourceOn())
            filterStage_ = &TReadChain::CompactSamples;
        return kStatusSatisfied;
    }
    return kStatusWaiting;
}

uint8_t TReadChain::FilterSamples(uint16_t* buffer, int32_t& count, int32_t first, int32_t end) {
    int32_t kept = 0;
    for (int32_t i = first; i < end; ++i) {
        const uint16_t word = ClassifySample(buffer[i]);
        if (word != 0)
            buffer[kept++] = word;
    }
    uint8_t status = state_.LastStatus;
    if (kept > 0)
        status = buffer[kept - 1] == mkNotArmed ? kStatusWaiting : kStatusSatisfied;
    state_.LastStatus = status;
    count = kept;
    if (!state_.RecordFree && kept > 0 && !state_.TriggerFound) {
        const uint8_t triggerStatus = SearchTrigger(buffer, count, 0, kept);
        status = static_cast<uint8_t>((triggerStatus & 0x0F) | (status & 0xF0));
    }
    return status;
}

uint16_t TReadChain::ClassifySample(uint16_t word) const {
    if (word == 0 || isMarker(word))
        return word;
    const uint8_t a = word & 0xFF;
    const uint8_t b = word >> 8;
    const TChannelState& chA = state_.Channels[kChannelA];
    const TChannelState& chB = state_.Channels[kChannelB];
    if (state_.ArmFlags & kArmSourceA) {
        const bool pass = (state_.ArmFlags & kArmUnderA) ? a <= chA.ArmCode : a >= chA.ArmCode;
        if (!pass)
            return mkNotArmed;
    }
    if (state_.ArmFlags & kArmSourceB) {
        const bool pass = (state_.ArmFlags & kArmUnderB) ? b <= chB.ArmCode : b >= chB.ArmCode;
        if (!pass)
            return mkNotArmed;
    }
    return word;
}

bool TReadChain::CheckTriggerCondition(uint16_t word) {
    if (isMarker(word))
        return false;
    const bool relationAnd = state_.TriggerRelation != 0;
    const uint8_t bytes[2] = {static_cast<uint8_t>(word & 0xFF), static_cast<uint8_t>(word >> 8)};
    const uint8_t sourceFlag[2] = {kTriggerSourceA, kTriggerSourceB};
    const uint8_t underFlag[2] = {kTriggerUnderA, kTriggerUnderB};
    for (int c = 0; c < 2; ++c) {
        if (state_.TriggerFlags & sourceFlag[c]) {
            const int32_t code = state_.Channels[c].TriggerCode;
            const bool fires = (state_.TriggerFlags & underFlag[c]) ? bytes[c] < code : bytes[c] > code;
            if (fires)
                state_.TriggerFired[c] = true;
        } else {
            state_.TriggerFired[c] = relationAnd;
        }
    }
    bool fired = false;
    if (state_.TriggerFlags & (kTriggerSourceA | kTriggerSourceB))
        fired = relationAnd ? (state_.TriggerFired[0] && state_.TriggerFired[1])
                            : (state_.TriggerFired[0] || state_.TriggerFired[1]);
    if (!fired)
        state_.TriggerFired = {false, false};
    return fired;
}

} // namespace qrv
