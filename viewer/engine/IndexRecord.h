#pragma once

#include "DataFileFormat.h"
#include "IndexFileName.h"

#include <cstddef>
#include <cstdint>

namespace rm::viewer {

// One run of adjacent control items of one kind, as stored in the index file
// (88 bytes, little-endian, no padding beyond the reserved fields).
struct TIndexRecord {
    uint16_t Magic;
    uint16_t Reserved0;
    uint32_t RecordNumber;
    int64_t ItemPosition;      // byte position of the run's first item
    int64_t SamplesBefore;     // sample words before the run
    int64_t PositionBefore;    // ItemPosition - 2
    int64_t FirstSampleAfter;  // SamplesBefore + 1, 0 when SamplesBefore is 0
    int64_t EndPosition;       // byte after the run; the last record holds PositionBefore
    uint8_t ItemType;          // 0 parameter blocks, else the marker type
    uint8_t Reserved1[7];
    int64_t ItemCount;
    uint32_t Sampling;
    uint32_t ChannelADensity;
    int16_t ChannelAZeroPosition;  // 16-bit two's complement: 0 V may lie below the screen
    uint16_t Reserved2;
    uint32_t ChannelBDensity;
    int16_t ChannelBZeroPosition;
    uint16_t Reserved3;
    uint8_t SamplesFollow;
    uint8_t Reserved4[3];
};

// Written after the records.
struct TIndexTrailer {
    int64_t TotalSamples;
    uint32_t RecordCount;
};

static_assert(sizeof(TIndexRecord) == kIndexRecordBytes);
static_assert(offsetof(TIndexRecord, RecordNumber) == 4);
static_assert(offsetof(TIndexRecord, ItemPosition) == 8);
static_assert(offsetof(TIndexRecord, ItemType) == 48);
static_assert(offsetof(TIndexRecord, ItemCount) == 56);
static_assert(offsetof(TIndexRecord, Sampling) == 64);
static_assert(offsetof(TIndexRecord, ChannelAZeroPosition) == 72);
static_assert(offsetof(TIndexRecord, ChannelBDensity) == 76);
static_assert(offsetof(TIndexRecord, ChannelBZeroPosition) == 80);
static_assert(offsetof(TIndexRecord, SamplesFollow) == 84);

// The settings a run of control items leaves in force: what its parameter
// blocks (and those before it) said about rate, deflections and zero
// positions. A file starts with all of them 0.
struct TRunSettings {
    uint32_t Sampling = 0;
    uint32_t DensityA = 0;
    uint32_t DensityB = 0;
    int16_t ZeroPositionA = 0;
    int16_t ZeroPositionB = 0;

    // Takes the values of a sound parameter block (types 2, 3, 10, 11, 12;
    // the others set nothing the viewer uses).
    void Apply(const uint16_t* block) {
        const auto value32 = [block] { return block[3] | (static_cast<uint32_t>(block[4]) << 16); };
        switch (block[2]) {
        case pbVerticalLevelA: ZeroPositionA = static_cast<int16_t>(block[4]); break;
        case pbVerticalLevelB: ZeroPositionB = static_cast<int16_t>(block[4]); break;
        case pbSamplesPerSecond: Sampling = value32(); break;
        case pbDeflectionA: DensityA = value32(); break;
        case pbDeflectionB: DensityB = value32(); break;
        default: break;
        }
    }
    void StoreIn(TIndexRecord& record) const {
        record.Sampling = Sampling;
        record.ChannelADensity = DensityA;
        record.ChannelBDensity = DensityB;
        record.ChannelAZeroPosition = ZeroPositionA;
        record.ChannelBZeroPosition = ZeroPositionB;
    }
    static TRunSettings Of(const TIndexRecord& record) {
        return {record.Sampling, record.ChannelADensity, record.ChannelBDensity, record.ChannelAZeroPosition,
                record.ChannelBZeroPosition};
    }
    bool operator==(const TRunSettings&) const = default;
};

} // namespace rm::viewer
