#pragma once

// The simulated instrument's EEPROM: a calibration page and an extension
// block packed with the driver's own serializer, with plausible values that
// differ per element so a transposition shows.

#include "InputRanges.h"

#include <array>
#include <cstdint>
#include <vector>

namespace ulmex {

enum class EepromFault { None, BrokenPage, BrokenExtension, ExtensionTooSmall };

class SimCalibration {
public:
    SimCalibration();

    void setRangeDacs(int channel, int rangeIndex, int ur, int urd);
    // Packs the page and the block into the EEPROM image.
    void build(EepromFault fault);

    // One EEPROM byte; false for an address outside the image.
    bool readByte(int32_t address, uint8_t& byte) const;

    const std::array<qrv::TRangeRecord, qrv::kRangeCount>& ranges() const { return ranges_; }
    // The offset tables as the driver unpacks them.
    const qrv::TOffsetCalibration& offsets() const { return offsets_; }

private:
    std::vector<uint8_t> packExtension();

    std::array<qrv::TRangeRecord, qrv::kRangeCount> ranges_;
    qrv::TOffsetCalibration nominal_;
    qrv::TOffsetCalibration offsets_;
    std::vector<uint8_t> eeprom_;
};

} // namespace ulmex
