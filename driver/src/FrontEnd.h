#pragma once

// Turns channel settings into register values: range and coupling, range
// DACs, serial words, offsets and trigger and arm codes.

#include "DriverState.h"
#include "UsbInterface.h"

namespace qrv {

constexpr int32_t kStatusRegister = 1;
constexpr int32_t kSerialReady8 = 0x400;  // serial port at registers 8/9
constexpr int32_t kSerialReady10 = 0x800; // serial port at registers 10/11

class TFrontEnd {
public:
    TFrontEnd(TDriverState& state, const TUsbFunctions& usb) : state_(state), usb_(usb) {}

    // Waits (at most about 250 ms) for the ready bit, then sends the 32-bit
    // word to the register pair and flushes. False when the port stayed busy.
    bool WriteSerialRegister(int32_t reg, int32_t readyMask, uint32_t word);

    int32_t ComposeRangeRegister() const;
    void UpdateRangeDacs();
    void SelectInputRange(int channel, int32_t key);
    void SetRange(int channel, int32_t key);
    void WriteRangeRegister();

    double OffsetCodeToLevel(int channel, int32_t code) const;
    int32_t LevelToOffsetCode(int channel, double level) const;
    // Trigger and arm codes of both channels from the current settings.
    void UpdateTriggerLevels();

private:
    TDriverState& state_;
    const TUsbFunctions& usb_;
};

} // namespace qrv
