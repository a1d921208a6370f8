#include "ColumnRings.h"

#include "RateTables.h"
#include "Rounding.h"

#include <algorithm>

namespace {

constexpr uint16_t kOverrunWord = 1;
constexpr uint16_t kNotArmedWord = 2;

uint16_t columnWord(int codeA, int codeB) {
    return static_cast<uint16_t>((255 - codeA) | ((255 - codeB) << 8));
}

} // namespace

int64_t SamplesPerColumn(int smpSetting, int dspSetting) {
    const int64_t perPixel = rm::kSamplesPerSecondTable[rm::clampSmpIndex(smpSetting)] / rm::kPixelsPerDivision;
    const double samples = static_cast<double>(perPixel) * rm::kSecondsPerDivisionTable[rm::clampDspIndex(dspSetting)];
    return std::max<int64_t>(1, rm::roundHalfEven(samples));
}

ColumnRings::ColumnRings() {
    emptyRings();
    emptyAccumulator();
}

void ColumnRings::emptyRings() {
    single_.fill(0);
    kind_.fill(ColumnKind::Empty);
    ringIndex_ = 0;
    ringWrapped_ = false;
}

void ColumnRings::emptyAccumulator() {
    columnCount_ = 0;
    sumA_ = sumB_ = 0;
    maxA_ = maxB_ = 0;
    minA_ = minB_ = 255;
}

uint16_t ColumnRings::value(RingChoice ring, int slot) const {
    switch (ring) {
    case RingChoice::Single: return single_[slot];
    case RingChoice::Max: return max_[slot];
    case RingChoice::Min: return min_[slot];
    case RingChoice::Avg: return avg_[slot];
    }
    return single_[slot];
}

void ColumnRings::emitColumn(ColumnKind kind) {
    kind_[ringIndex_] = kind;
    if (++ringIndex_ == kRingSize) {
        ringIndex_ = 0;
        ringWrapped_ = true;
    }
    emptyAccumulator();
}

void ColumnRings::emitSample(uint16_t completingWord) {
    const int s = ringIndex_;
    avg_[s] = columnWord(static_cast<int>(sumA_ / columnCount_), static_cast<int>(sumB_ / columnCount_));
    max_[s] = columnWord(maxA_, maxB_);
    min_[s] = columnWord(minA_, minB_);
    single_[s] = columnWord(completingWord & 0xFF, completingWord >> 8);
    emitColumn(ColumnKind::Sample);
}

int64_t ColumnRings::AddSamples(const uint16_t* words, int64_t count, int64_t samplesPerColumn, int width) {
    const int64_t perColumn = std::max<int64_t>(1, samplesPerColumn);
    const int64_t columnsWide = std::max(0, width);
    // A block with more sample columns than the display is wide only has its
    // newest part turned into columns; the words before `firstExamined` are
    // still walked for parameter records so that none is cut.
    const int64_t firstExamined = count / perColumn > columnsWide ? count - columnsWide * perColumn : 0;
    int64_t added = 0;

    if (recordLengthPending_ && count > 0) {
        recordLengthPending_ = false;
        // The zero word ended the previous block; a zero length passes only it.
        if (words[0] != 0)
            recordWordsLeft_ = words[0] - 1;
    }
    int64_t i = std::min(recordWordsLeft_, count);
    recordWordsLeft_ -= i;

    while (i < count) {
        const uint16_t w = words[i];
        if (w == 0) {
            if (i >= firstExamined && previousKind() != ColumnKind::Gap) {
                emitColumn(ColumnKind::Gap);
                ++added;
            }
            if (i + 1 == count) {
                recordLengthPending_ = true;
                break;
            }
            const int64_t length = words[i + 1] == 0 ? 1 : words[i + 1];
            const int64_t inBlock = std::min(length, count - i);
            recordWordsLeft_ = length - inBlock;
            i += inBlock;
            continue;
        }
        if (i++ < firstExamined)
            continue;
        if (w == kOverrunWord) {
            emitColumn(ColumnKind::Overrun);
            ++added;
        } else if (w == kNotArmedWord) {
            if (previousKind() != ColumnKind::NotArmed) {
                emitColumn(ColumnKind::NotArmed);
                ++added;
            }
        } else {
            const int a = w & 0xFF;
            const int b = w >> 8;
            sumA_ += a;
            sumB_ += b;
            maxA_ = std::max(maxA_, a);
            minA_ = std::min(minA_, a);
            maxB_ = std::max(maxB_, b);
            minB_ = std::min(minB_, b);
            if (++columnCount_ >= perColumn) {
                emitSample(w);
                ++added;
            }
        }
    }
    return added;
}
