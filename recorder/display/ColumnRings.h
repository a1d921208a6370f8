#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

// What a display column stands for. Cleared slots are Empty; every other kind
// is written by AddSamples. Only Sample columns carry values; the others are
// drawn as full-height marker lines.
enum class ColumnKind : uint8_t { Empty, Sample, Overrun, NotArmed, Gap };

// Which ring a single-ring drawing reads.
enum class RingChoice : uint8_t { Single, Max, Min, Avg };

// Samples gathered into one display column: the sampling rate divided by the
// pixels per division, times the seconds per division, rounded half to even;
// never less than 1. Out-of-range settings are clamped into the tables.
int64_t SamplesPerColumn(int smpSetting, int dspSetting);

// Turns the stream of sample words into display columns and keeps the newest
// kRingSize of them. A column word holds 255 minus the channel A code in its
// low byte and 255 minus the channel B code in its high byte, so a byte times
// the pixels per code is already the pixel row. Not thread-safe: the display
// guards it with its lock.
class ColumnRings {
public:
    static constexpr int kRingSize = 2048;

    ColumnRings();

    // Builds columns from `count` words with `samplesPerColumn` samples per
    // column and returns how many it added (may exceed kRingSize when a block
    // holds many markers). When the block holds more sample columns than
    // `width`, only its newest width × samplesPerColumn words make columns.
    // Parameter records cut by the end of a block are continued in the next.
    int64_t AddSamples(const uint16_t* words, int64_t count, int64_t samplesPerColumn, int width);

    // No columns: RingIndex 0, RingWrapped clear, every slot Empty.
    void emptyRings();
    // Drops the samples gathered for the unfinished column.
    void emptyAccumulator();

    int RingIndex() const { return ringIndex_; }
    bool RingWrapped() const { return ringWrapped_; }
    // Columns that can be read back: the whole ring once it has wrapped.
    int columnsHeld() const { return ringWrapped_ ? kRingSize : ringIndex_; }

    // Slot of any (also negative) column number, modulo the ring size.
    static int slot(int64_t index) {
        return static_cast<int>(((index % kRingSize) + kRingSize) % kRingSize);
    }

    ColumnKind kind(int slot) const { return kind_[slot]; }
    uint16_t value(RingChoice ring, int slot) const;
    uint16_t maxWord(int slot) const { return max_[slot]; }
    uint16_t minWord(int slot) const { return min_[slot]; }

private:
    // Passes what is left of a record the previous block cut; returns the
    // words passed.
    int64_t continueRecord(const uint16_t* words, int64_t count);
    // Passes the record whose zero word is at `at`; returns where it ends.
    int64_t skipRecord(const uint16_t* words, int64_t count, int64_t at);
    // Adds the run of sample words from `at` on; returns where it ends.
    int64_t addSampleRun(const uint16_t* words, int64_t count, int64_t at, int64_t perColumn, int64_t& added);
    void emitColumn(ColumnKind kind);
    void emitSample(uint16_t completingWord);
    ColumnKind previousKind() const { return kind_[slot(ringIndex_ - 1)]; }

    std::array<uint16_t, kRingSize> single_{};
    std::array<uint16_t, kRingSize> max_{};
    std::array<uint16_t, kRingSize> min_{};
    std::array<uint16_t, kRingSize> avg_{};
    std::array<ColumnKind, kRingSize> kind_{};
    int ringIndex_ = 0;
    bool ringWrapped_ = false;

    // The column being built; it lives on from one block to the next.
    struct Accumulator {
        int64_t count = 0;
        int64_t sumA = 0;
        int64_t sumB = 0;
        int maxA = 0;
        int minA = 255;
        int maxB = 0;
        int minB = 255;

        void add(uint16_t word) {
            const int a = word & 0xFF;
            const int b = word >> 8;
            sumA += a;
            sumB += b;
            maxA = std::max(maxA, a);
            minA = std::min(minA, a);
            maxB = std::max(maxB, b);
            minB = std::min(minB, b);
            ++count;
        }
    };
    Accumulator column_;

    // A parameter record that the previous block cut: words still to pass
    // over, or its length word still to come.
    int64_t recordWordsLeft_ = 0;
    bool recordLengthPending_ = false;
};
