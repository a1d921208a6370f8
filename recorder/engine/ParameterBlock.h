#pragma once

#include <array>
#include <cstdint>
#include <span>

// Words of the roll-mode data file: sample words (high byte channel B, low
// byte channel A, the high byte never 0), one-word markers 0x00tt and
// parameter blocks that start with 0x0000.
enum TMarkerType : uint16_t {
    mkOverrun = 1,    // the device or the demo generator fell behind
    mkNotArmed = 2,   // a sample outside the arm window; it keeps its time slot
};

enum class TParameterBlockType : uint16_t {
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

enum class ScopeChannel { A, B };

// One parameter block: BlockStart 0, BlockLength (4, 5 or 6 words, the whole
// block), BlockType, then the values; 32-bit values low word first.
class TParameterBlock {
public:
    static constexpr int kMaxWords = 6;

    static TParameterBlock measurementStarted(bool started);
    // The device's offset code (4095 − the scope's level) and the 8-bit
    // sample code of 0 V.
    static TParameterBlock verticalLevel(ScopeChannel channel, uint16_t offsetCode, int32_t zeroLevel);
    static TParameterBlock sourceProbe(ScopeChannel channel, int probe);
    static TParameterBlock sourceACDC(ScopeChannel channel, bool dc);
    static TParameterBlock ground(ScopeChannel channel, bool grounded);
    static TParameterBlock samplesPerSecond(int32_t rate);
    static TParameterBlock deflection(ScopeChannel channel, int32_t millivoltsPerDivision);

    std::span<const uint16_t> words() const { return {words_.data(), static_cast<size_t>(words_[1])}; }

private:
    TParameterBlock(TParameterBlockType type, std::initializer_list<uint16_t> values);
    std::array<uint16_t, kMaxWords> words_{};
};
