#pragma once

// The calibration page (EEPROM 256..511) and the extension block (EEPROM 1024
// onward): their layout, checksums and type-description strings, and the
// reader that fills the range records and offset tables.

#include "InputRanges.h"

#include <array>
#include <cstdint>
#include <string>

namespace qrv {

constexpr int32_t kPageAddress = 256;
constexpr int kPageSize = 256;
constexpr int kMainRecordOffset = 1;
constexpr int kMainRecordLength = 155;
constexpr int kChecksumOffset = 252;
constexpr int32_t kExtensionAddress = 1024;
constexpr int kExtensionTablesOffset = 2;
constexpr int kMinExtensionSize = kExtensionTablesOffset + 216; // 1728 bits of tables

// The calibration page as read from the instrument.
class TDeviceEEPROM {
public:
    using ReadByteFn = int32_t (*)(int32_t address);

    void Load(ReadByteFn readByte);
    uint8_t GetByte(int i) const { return bytes_[i]; }
    uint32_t GetLongBE(int i) const;
    const uint8_t* GetPointer(int i) const { return &bytes_[i]; }
    uint8_t* GetPointer(int i) { return &bytes_[i]; }

private:
    std::array<uint8_t, kPageSize> bytes_{};
};

// The sum over the page that its last four bytes must hold (bytes 160..163 left out).
uint32_t pageChecksum(const uint8_t* page);
// The running sum over an extension block: add byte `k` of the block.
constexpr uint32_t addExtensionByte(uint32_t sum, uint8_t byte, uint32_t k) {
    return sum + byte * (k + 1) + k;
}

const std::string& mainRecordTypes();
const std::string& extensionTypes();

std::string rangeElementName(const char* table, int channel, int rangeIndex);
std::string offsetElementName(const char* table, int channel, int probeGroup, int rangeIndex);

enum class CalibrationResult { Ok, PageBroken, ExtensionBroken };

// Reads the page and the extension block. With PageBroken nothing is filled;
// with ExtensionBroken only the range records are.
CalibrationResult ReadCalibration(TDeviceEEPROM::ReadByteFn readByte,
                                  std::array<TRangeRecord, kRangeCount>& ranges,
                                  TOffsetCalibration& offsets);

} // namespace qrv
