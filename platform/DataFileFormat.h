#pragma once

#include <cstddef>
#include <cstdint>

namespace rm {

// The roll-mode data file is a flat stream of little-endian 16-bit words:
// sample words (high byte not 0), one-word markers 0x00tt and parameter
// blocks that start with a zero word followed by their length in words.

enum TMarkerType : uint16_t { mkOverrun = 1, mkNotArmed = 2 };

enum TParameterBlockType : uint16_t {
    pbMeasurementStarted = 1,
    pbVerticalLevelA = 2,
    pbVerticalLevelB = 3,
    pbSourceProbeA = 4,
    pbSourceProbeB = 5,
    pbSourceACDC_A = 6,
    pbSourceACDC_B = 7,
    pbGroundA = 8,
    pbGroundB = 9,
    pbSamplesPerSecond = 10,
    pbDeflectionA = 11,
    pbDeflectionB = 12,
};

inline constexpr uint16_t kBlockStart = 0x0000;
inline constexpr uint16_t kMinBlockLength = 4;
inline constexpr uint16_t kMaxBlockLength = 6;

inline constexpr bool isSampleWord(uint16_t word) { return (word & 0xFF00) != 0; }

// The length in words a block of a known type has; 0 for an unknown type.
inline constexpr uint16_t blockLengthOfType(uint16_t type) {
    switch (type) {
    case pbVerticalLevelA:
    case pbVerticalLevelB: return 6;
    case pbSamplesPerSecond:
    case pbDeflectionA:
    case pbDeflectionB: return 5;
    default: return type >= pbMeasurementStarted && type <= pbGroundB ? 4 : 0;
    }
}

// What a zero word at the start of `available` words begins.
struct BlockShape {
    enum Kind {
        Complete,    // a parameter block of `length` words
        Damaged,     // a zero word whose length or type does not fit: it stands alone (`length` 1)
        Incomplete,  // the words needed to judge or hold the block go past `available`
    };
    Kind kind;
    uint16_t length;
};

// `words[0]` must be the zero word. A block is sound when its length is 4 to 6
// and, for a known type, the length of that type.
inline BlockShape classifyBlock(const uint16_t* words, size_t available) {
    if (available < 2)
        return {BlockShape::Incomplete, 0};
    const uint16_t length = words[1];
    if (length < kMinBlockLength || length > kMaxBlockLength)
        return {BlockShape::Damaged, 1};
    if (available < 3)
        return {BlockShape::Incomplete, 0};
    const uint16_t expected = blockLengthOfType(words[2]);
    if (expected != 0 && expected != length)
        return {BlockShape::Damaged, 1};
    if (available < length)
        return {BlockShape::Incomplete, 0};
    return {BlockShape::Complete, length};
}

// Whether `words` (the first `count` words of a file) begin as the recorder
// writes every file: with a whole parameter block of a known type.
inline bool beginsAsRecording(const uint16_t* words, size_t count) {
    if (count == 0 || words[0] != kBlockStart)
        return false;
    const BlockShape shape = classifyBlock(words, count);
    return shape.kind == BlockShape::Complete && blockLengthOfType(words[2]) != 0;
}

} // namespace rm
