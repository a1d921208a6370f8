#include "CalibrationData.h"

#include "EEPROMSerDes.h"

#include <cstdio>
#include <vector>

namespace qrv {

void TDeviceEEPROM::Load(ReadByteFn readByte) {
    for (int i = 0; i < kPageSize; ++i)
        bytes_[i] = static_cast<uint8_t>(readByte(kPageAddress + i));
}

uint32_t TDeviceEEPROM::GetLongBE(int i) const {
    return (uint32_t{bytes_[i]} << 24) | (uint32_t{bytes_[i + 1]} << 16) | (uint32_t{bytes_[i + 2]} << 8) |
           uint32_t{bytes_[i + 3]};
}

uint32_t pageChecksum(const uint8_t* page) {
    uint32_t sum = 0;
    for (uint32_t i = 0; i < kChecksumOffset; ++i)
        if (i < 160 || i > 163)
            sum += page[i] * (i + 1) + i;
    return sum;
}

std::string rangeElementName(const char* table, int channel, int rangeIndex) {
    char name[32];
    std::snprintf(name, sizeof name, "%s[%d][%d]", table, channel, rangeIndex);
    return name;
}

std::string offsetElementName(const char* table, int channel, int probeGroup, int rangeIndex) {
    char name[32];
    std::snprintf(name, sizeof name, "%s[%d][%d][%d]", table, channel, probeGroup, rangeIndex);
    return name;
}

const std::string& mainRecordTypes() {
    static const std::string types = [] {
        std::string s;
        const auto appendRangeTable = [&s](const char* table) {
            for (int r = 0; r < kRangeCount; ++r)
                for (int c = 0; c < 2; ++c)
                    s += rangeElementName(table, c, r) + ":uint(12);";
        };
        appendRangeTable("UR");
        s += "CR1GHZ[0]:psreal(10,5);CR1GHZ[1]:psreal(10,5);";
        appendRangeTable("URD");
        for (int j = 0; j < 3; ++j)
            for (int i = 0; i < 2; ++i)
                for (int c = 0; c < 2; ++c)
                    s += "TR[" + std::to_string(c) + "][" + std::to_string(i) + "][" + std::to_string(j) +
                         "]:pureal(8,5);";
        s += "EXTENSION_SIZE:uint(10);EXTENSION_SUM:uint(32);";
        return s;
    }();
    return types;
}

const std::string& extensionTypes() {
    static const std::string types = [] {
        std::string s;
        const std::pair<const char*, const char*> tables[] = {
            {"SH2048", ":pureal(8,10);"}, {"SHR+", ":real40_65(15);"}, {"SHR-", ":real40_65(15);"}};
        for (const auto& [table, type] : tables)
            for (int g = 0; g < 2; ++g)
                for (int c = 0; c < 2; ++c)
                    for (int r = 0; r < kRangeCount; ++r)
                        s += offsetElementName(table, c, g, r) + type;
        return s;
    }();
    return types;
}

CalibrationResult ReadCalibration(TDeviceEEPROM::ReadByteFn readByte,
                                  std::array<TRangeRecord, kRangeCount>& ranges,
                                  TOffsetCalibration& offsets) {
    TDeviceEEPROM page;
    page.Load(readByte);
    if (pageChecksum(page.GetPointer(0)) != page.GetLongBE(kChecksumOffset))
        return CalibrationResult::PageBroken;

    TEEPROMSerDes main(mainRecordTypes());
    main.Deserialize(page.GetPointer(kMainRecordOffset), kMainRecordLength);
    for (int c = 0; c < 2; ++c) {
        for (int r = 0; r < kRangeCount; ++r) {
            ranges[r].UR[c] = static_cast<int32_t>(main.GetIntValue(rangeElementName("UR", c, r)));
            ranges[r].URD[c] = static_cast<int32_t>(main.GetIntValue(rangeElementName("URD", c, r)));
        }
    }

    const int64_t size = main.GetIntValue("EXTENSION_SIZE");
    const uint32_t expectedSum = static_cast<uint32_t>(main.GetIntValue("EXTENSION_SUM"));
    std::vector<uint8_t> block(static_cast<size_t>(size));
    uint32_t sum = 0;
    for (uint32_t k = 0; k < block.size(); ++k) {
        block[k] = static_cast<uint8_t>(readByte(kExtensionAddress + static_cast<int32_t>(k)));
        sum = addExtensionByte(sum, block[k], k);
    }
    // A block too small for the tables is as unusable as one with a wrong sum.
    if (sum != expectedSum || size < kMinExtensionSize)
        return CalibrationResult::ExtensionBroken;

    TEEPROMSerDes extension(extensionTypes());
    extension.Deserialize(block.data() + kExtensionTablesOffset, block.size() - kExtensionTablesOffset);
    for (int c = 0; c < 2; ++c) {
        for (int g = 0; g < 2; ++g) {
            for (int r = 0; r < kRangeCount; ++r) {
                const int k = c * 18 + g * 9 + r;
                offsets.SH2048[k] = extension.GetValue(offsetElementName("SH2048", c, g, r));
                offsets.SHRPlus[k] = extension.GetValue(offsetElementName("SHR+", c, g, r));
                offsets.SHRMinus[k] = extension.GetValue(offsetElementName("SHR-", c, g, r));
            }
        }
    }
    return CalibrationResult::Ok;
}

} // namespace qrv
