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

void ColumnRings::emptyAccumulator() { column_ = Accumulator{}; }

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
    const Accumulator& c = column_;
    avg_[s] = columnWord(static_cast<int>(c.sumA / c.count), static_cast<int>(c.sumB / c.count));
    max_[s] = columnWord(c.maxA, c.maxB);
    min_[s] = columnWord(c.minA, c.minB);
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
    int64_t i = continueRecord(words, count);
    while (i < count) {
        const uint16_t w = words[i];
        if (w == 0) {
            if (i >= firstExamined && previousKind() != ColumnKind::Gap) {
                emitColumn(ColumnKind::Gap);
                ++added;
            }
            i = skipRecord(words, count, i);
        } else if (i < firstExamined) {
            i = std::find(words + i, words + firstExamined, uint16_t{0}) - words;
        } else if (w == kOverrunWord) {
            emitColumn(ColumnKind::Overrun);
            ++added;
            ++i;
        } else if (w == kNotArmedWord) {
            if (previousKind() != ColumnKind::NotArmed) {
                emitColumn(ColumnKind::NotArmed);
                ++added;
            }
            ++i;
        } else {
            i = addSampleRun(words, count, i, perColumn, added);
        }
    }
    return added;
}

int64_t ColumnRings::continueRecord(const uint16_t* words, int64_t count) {
    if (recordLengthPending_ && count > 0) {
        recordLengthPending_ = false;
        // The zero word ended the previous block; a zero length passes only it.
        if (words[0] != 0)
            recordWordsLeft_ = words[0] - 1;
    }
    const int64_t passed = std::min(recordWordsLeft_, count);
    recordWordsLeft_ -= passed;
    return passed;
}

int64_t ColumnRings::skipRecord(const uint16_t* words, int64_t count, int64_t at) {
    if (at + 1 == count) {
        recordLengthPending_ = true;
        return count;
    }
    // The length counts the whole record; a zero length passes the zero word only.
    const int64_t length = words[at + 1] == 0 ? 1 : words[at + 1];
    const int64_t inBlock = std::min(length, count - at);
    recordWordsLeft_ = length - inBlock;
    return at + inBlock;
}

int64_t ColumnRings::addSampleRun(const uint16_t* words, int64_t count, int64_t at, int64_t perColumn,
                                  int64_t& added) {
    // A local copy, so the loop over a run of samples stays in registers.
    Accumulator column = column_;
    int64_t i = at;
    for (; i < count; ++i) {
        const uint16_t w = words[i];
        if (w <= kNotArmedWord)
            break;
        column.add(w);
        if (column.count >= perColumn) {
            column_ = column;
            emitSample(w);
            column = Accumulator{};
            ++added;
        }
    }
    column_ = column;
    return i;
}
