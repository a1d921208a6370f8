#include "SimCalibration.h"

#include "CalibrationData.h"
#include "EEPROMSerDes.h"

namespace ulmex {

namespace {

constexpr size_t kEepromSize = 2048;
constexpr int kTooSmallExtension = 100;
constexpr uint32_t kSerialNumber = 0x0012D687; // printed on the instrument's label

void putBE32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

uint32_t extensionSum(const std::vector<uint8_t>& block) {
    uint32_t sum = 0;
    for (uint32_t k = 0; k < block.size(); ++k)
        sum = qrv::addExtensionByte(sum, block[k], k);
    return sum;
}

} // namespace

SimCalibration::SimCalibration() {
    for (int r = 0; r < qrv::kRangeCount; ++r) {
        ranges_[r].RangeCode = qrv::RangeCodeTable[r];
        for (int c = 0; c < 2; ++c) {
            ranges_[r].UR[c] = 600 + 150 * r + 7 * c;
            ranges_[r].URD[c] = 905 + 170 * r + 11 * c;
        }
    }
    for (int c = 0; c < 2; ++c)
        for (int g = 0; g < 2; ++g)
            for (int r = 0; r < qrv::kRangeCount; ++r) {
                const int k = qrv::calibrationIndex(c, g, r);
                nominal_.SH2048[k] = 120 + r + 0.25 * c + 0.5 * g;
                nominal_.SHRPlus[k] = 4.8 + 0.1 * r + 0.05 * c + 0.02 * g;
                nominal_.SHRMinus[k] = 4.5 + 0.12 * r + 0.03 * c + 0.04 * g;
            }
    build(EepromFault::None);
}

void SimCalibration::setRangeDacs(int channel, int rangeIndex, int ur, int urd) {
    ranges_[rangeIndex].UR[channel] = ur;
    ranges_[rangeIndex].URD[channel] = urd;
}

std::vector<uint8_t> SimCalibration::packExtension() {
    qrv::TEEPROMSerDes tables(qrv::extensionTypes());
    for (int c = 0; c < 2; ++c)
        for (int g = 0; g < 2; ++g)
            for (int r = 0; r < qrv::kRangeCount; ++r) {
                const int k = qrv::calibrationIndex(c, g, r);
                tables.SetValue(qrv::offsetElementName("SH2048", c, g, r), nominal_.SH2048[k]);
                tables.SetValue(qrv::offsetElementName("SHR+", c, g, r), nominal_.SHRPlus[k]);
                tables.SetValue(qrv::offsetElementName("SHR-", c, g, r), nominal_.SHRMinus[k]);
            }
    std::vector<uint8_t> block(qrv::kMinExtensionSize, 0);
    block[0] = 0x51; // block format tag, not interpreted by the driver
    block[1] = 0x02;
    tables.Serialize(block.data() + qrv::kExtensionTablesOffset, block.size() - qrv::kExtensionTablesOffset);

    // What the driver will read back: the packed values, not the nominal ones.
    tables.Deserialize(block.data() + qrv::kExtensionTablesOffset, block.size() - qrv::kExtensionTablesOffset);
    for (int c = 0; c < 2; ++c)
        for (int g = 0; g < 2; ++g)
            for (int r = 0; r < qrv::kRangeCount; ++r) {
                const int k = qrv::calibrationIndex(c, g, r);
                offsets_.SH2048[k] = tables.GetValue(qrv::offsetElementName("SH2048", c, g, r));
                offsets_.SHRPlus[k] = tables.GetValue(qrv::offsetElementName("SHR+", c, g, r));
                offsets_.SHRMinus[k] = tables.GetValue(qrv::offsetElementName("SHR-", c, g, r));
            }
    return block;
}

void SimCalibration::build(EepromFault fault) {
    eeprom_.assign(kEepromSize, 0xFF);
    std::vector<uint8_t> block = packExtension();
    if (fault == EepromFault::ExtensionTooSmall)
        block.resize(kTooSmallExtension);

    qrv::TEEPROMSerDes main(qrv::mainRecordTypes());
    for (int r = 0; r < qrv::kRangeCount; ++r)
        for (int c = 0; c < 2; ++c) {
            main.SetValue(qrv::rangeElementName("UR", c, r), ranges_[r].UR[c]);
            main.SetValue(qrv::rangeElementName("URD", c, r), ranges_[r].URD[c]);
        }
    main.SetValue("CR1GHZ[0]", 1.5);
    main.SetValue("CR1GHZ[1]", -2.25);
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 2; ++i)
            for (int c = 0; c < 2; ++c)
                main.SetValue("TR[" + std::to_string(c) + "][" + std::to_string(i) + "][" + std::to_string(j) + "]",
                              10.5 + c + 2 * i + 4 * j);
    main.SetValue("EXTENSION_SIZE", static_cast<double>(block.size()));
    main.SetValue("EXTENSION_SUM", static_cast<double>(extensionSum(block)));

    uint8_t* page = &eeprom_[qrv::kPageAddress];
    std::fill(page, page + qrv::kPageSize, 0);
    main.Serialize(page + qrv::kMainRecordOffset, qrv::kMainRecordLength);
    std::fill(page + 160, page + 164, 0xA5); // outside the checksum
    putBE32(page + 167, kSerialNumber);
    putBE32(page + qrv::kChecksumOffset, qrv::pageChecksum(page));
    if (fault == EepromFault::BrokenPage)
        page[10] ^= 0x40;

    if (fault == EepromFault::BrokenExtension)
        block[50] ^= 0x08;
    std::copy(block.begin(), block.end(), eeprom_.begin() + qrv::kExtensionAddress);
}

bool SimCalibration::readByte(int32_t address, uint8_t& byte) const {
    if (address < 0 || static_cast<size_t>(address) >= eeprom_.size())
        return false;
    byte = eeprom_[address];
    return true;
}

} // namespace ulmex
