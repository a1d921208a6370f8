#include "ParameterBlock.h"

#include <algorithm>

namespace {
using Type = TParameterBlockType;

Type pick(ScopeChannel channel, Type a, Type b) { return channel == ScopeChannel::A ? a : b; }
uint16_t lowWord(int32_t value) { return static_cast<uint16_t>(static_cast<uint32_t>(value) & 0xFFFF); }
uint16_t highWord(int32_t value) { return static_cast<uint16_t>(static_cast<uint32_t>(value) >> 16); }
} // namespace

TParameterBlock::TParameterBlock(TParameterBlockType type, std::initializer_list<uint16_t> values) {
    words_[0] = 0;
    words_[1] = static_cast<uint16_t>(3 + values.size());
    words_[2] = static_cast<uint16_t>(type);
    std::copy(values.begin(), values.end(), words_.begin() + 3);
}

TParameterBlock TParameterBlock::measurementStarted(bool started) {
    return {Type::pbMeasurementStarted, {uint16_t{started}}};
}

TParameterBlock TParameterBlock::verticalLevel(ScopeChannel channel, uint16_t offsetCode, int32_t zeroLevel) {
    return {pick(channel, Type::pbVerticalLevelA, Type::pbVerticalLevelB), {offsetCode, lowWord(zeroLevel), 0}};
}

TParameterBlock TParameterBlock::sourceProbe(ScopeChannel channel, int probe) {
    return {pick(channel, Type::pbSourceProbeA, Type::pbSourceProbeB), {lowWord(probe)}};
}

TParameterBlock TParameterBlock::sourceACDC(ScopeChannel channel, bool dc) {
    return {pick(channel, Type::pbSourceACDC_A, Type::pbSourceACDC_B), {uint16_t{dc}}};
}

TParameterBlock TParameterBlock::ground(ScopeChannel channel, bool grounded) {
    return {pick(channel, Type::pbGroundA, Type::pbGroundB), {uint16_t{grounded}}};
}

TParameterBlock TParameterBlock::samplesPerSecond(int32_t rate) {
    return {Type::pbSamplesPerSecond, {lowWord(rate), highWord(rate)}};
}

TParameterBlock TParameterBlock::deflection(ScopeChannel channel, int32_t millivoltsPerDivision) {
    return {pick(channel, Type::pbDeflectionA, Type::pbDeflectionB),
            {lowWord(millivoltsPerDivision), highWord(millivoltsPerDivision)}};
}
