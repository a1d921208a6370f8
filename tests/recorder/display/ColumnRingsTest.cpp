#include "ColumnRings.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Words = std::vector<uint16_t>;

uint16_t sample(int a, int b) { return static_cast<uint16_t>(a | (b << 8)); }

Words samples(int n, int a, int b) { return Words(static_cast<size_t>(n), sample(a, b)); }

Words operator+(Words x, const Words& y) {
    x.insert(x.end(), y.begin(), y.end());
    return x;
}

// A vertical-level record: zero word, length 5, type 2, offset code, zero level.
const Words kRecord = {0, 5, 2, 0x0102, 0x0180};

int64_t add(ColumnRings& rings, const Words& words, int64_t perColumn, int width = 585) {
    return rings.AddSamples(words.data(), static_cast<int64_t>(words.size()), perColumn, width);
}

std::vector<ColumnKind> kinds(const ColumnRings& rings) {
    std::vector<ColumnKind> out;
    for (int s = 0; s < rings.RingIndex(); ++s)
        out.push_back(rings.kind(s));
    return out;
}

constexpr auto S = ColumnKind::Sample;
constexpr auto G = ColumnKind::Gap;
constexpr auto O = ColumnKind::Overrun;
constexpr auto N = ColumnKind::NotArmed;

TEST(SamplesPerColumn, FromRateAndTimeBase) {
    EXPECT_EQ(SamplesPerColumn(2, 2), 2);  // 250 S/s at 0.5 s/div: 2.5 rounds to even
    EXPECT_EQ(SamplesPerColumn(10, 3), 2000);
    EXPECT_EQ(SamplesPerColumn(15, 16), 2'000'000'000);
    EXPECT_EQ(SamplesPerColumn(0, 0), 1);  // 0.1 would round to 0
    EXPECT_EQ(SamplesPerColumn(-4, 99), SamplesPerColumn(0, 16));
    EXPECT_EQ(SamplesPerColumn(40, -1), SamplesPerColumn(15, 0));
}

TEST(ColumnRings, ColumnsAreCompletedAcrossBlocks) {
    ColumnRings rings;
    Words first = samples(120, 10, 200);
    first[5] = sample(4, 250);
    first[49] = sample(30, 100);
    EXPECT_EQ(add(rings, first, 50), 2);
    EXPECT_EQ(rings.value(RingChoice::Max, 0), (255 - 30) | (255 - 250) << 8);
    EXPECT_EQ(rings.value(RingChoice::Min, 0), (255 - 4) | (255 - 100) << 8);
    EXPECT_EQ(rings.value(RingChoice::Single, 0), (255 - 30) | (255 - 100) << 8);
    // (48 × 10 + 4 + 30) div 50 = 10 and (48 × 200 + 250 + 100) div 50 = 199.
    EXPECT_EQ(rings.value(RingChoice::Avg, 0), 245 | (255 - 199) << 8);

    EXPECT_EQ(add(rings, samples(29, 20, 20), 50), 0);
    EXPECT_EQ(add(rings, samples(2, 40, 40), 50), 1);  // 20 + 29 + 1 completes column 3
    // Column 3: the 20 samples left over from the first block, then the rest.
    EXPECT_EQ(rings.value(RingChoice::Max, 2), (255 - 40) | (255 - 200) << 8);
    EXPECT_EQ(rings.value(RingChoice::Min, 2), (255 - 10) | (255 - 20) << 8);
    EXPECT_EQ(rings.RingIndex(), 3);
}

TEST(ColumnRings, LongColumnsSumWithoutOverflow) {
    // 10,000,000 samples of code 254 sum to 2,540,000,000 per channel.
    ColumnRings rings;
    const int64_t perColumn = SamplesPerColumn(15, 9);
    ASSERT_EQ(perColumn, 10'000'000);
    EXPECT_EQ(add(rings, samples(10'000'000, 254, 254), perColumn), 1);
    EXPECT_EQ(rings.value(RingChoice::Avg, 0), 0x0101);
}

TEST(ColumnRings, MarkersAndRecords) {
    ColumnRings rings;
    // A record after a partial column: one gap, the partial column dropped;
    // a second record and a record right after a gap add nothing.
    add(rings, samples(4, 10, 10) + samples(1, 20, 20) + kRecord + kRecord + samples(2, 30, 30), 2);
    EXPECT_EQ(kinds(rings), (std::vector<ColumnKind>{S, S, G, S}));
    add(rings, kRecord, 2);
    EXPECT_EQ(rings.RingIndex(), 5);

    // A zero length passes one word at a time: at most one gap.
    ColumnRings zeros;
    add(zeros, samples(1, 9, 9) + Words{0, 0, 0, 4, 2, 7} + samples(1, 9, 9), 1);
    EXPECT_EQ(kinds(zeros), (std::vector<ColumnKind>{S, G, S}));

    // Every overrun word is a column; a not-armed run is one, across blocks too.
    ColumnRings marks;
    add(marks, Words{1, 1, 1, 1, 1, 2, 2, 2}, 1);
    add(marks, Words{2, 2} + samples(1, 5, 5) + Words{2}, 1);
    EXPECT_EQ(kinds(marks), (std::vector<ColumnKind>{O, O, O, O, O, N, S, N}));

    // A real sample whose channel B code is 0 stays a sample column.
    ColumnRings low;
    add(low, Words{3, 255, sample(7, 0)}, 1);
    EXPECT_EQ(kinds(low), (std::vector<ColumnKind>{S, S, S}));
    EXPECT_EQ(low.minWord(2) >> 8, 255);
}

TEST(ColumnRings, RecordsCutByTheEndOfABlockAreContinued) {
    // The record's values would be samples 0x0102 and 0x0180 if read as such.
    for (size_t cut = 1; cut < kRecord.size(); ++cut) {
        ColumnRings rings;
        add(rings, samples(1, 50, 50) + Words(kRecord.begin(), kRecord.begin() + cut), 1);
        add(rings, Words(kRecord.begin() + cut, kRecord.end()) + samples(1, 60, 60), 1);
        EXPECT_EQ(kinds(rings), (std::vector<ColumnKind>{S, G, S})) << "cut after " << cut;
        EXPECT_EQ(rings.value(RingChoice::Single, 2), (255 - 60) * 0x101);
    }
    // A long record spread over three blocks.
    ColumnRings rings;
    add(rings, Words{0, 8, 10}, 1);
    add(rings, Words{0x0101, 0x0101}, 1);
    add(rings, Words{0x0101, 0x0101, 0x0101} + samples(1, 60, 60), 1);
    EXPECT_EQ(kinds(rings), (std::vector<ColumnKind>{G, S}));
}

TEST(ColumnRings, WideBlocksKeepTheirNewestPart) {
    ColumnRings rings;
    Words block = samples(32768, 1, 1);
    for (int i = 0; i < 585; ++i)
        block[32768 - 585 + i] = sample(10 + i % 200, 20);
    EXPECT_EQ(add(rings, block, 1), 585);
    EXPECT_EQ(rings.value(RingChoice::Single, 0), (255 - 10) | (255 - 20) << 8);
    EXPECT_EQ(rings.value(RingChoice::Single, 584), (255 - (10 + 584 % 200)) | (255 - 20) << 8);

    // A record that starts in the skipped part and ends in the kept one.
    ColumnRings cut;
    Words withRecord = samples(1000, 9, 9);
    const Words longRecord = {0, 12, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    std::copy(longRecord.begin(), longRecord.end(), withRecord.end() - 100 - 6);
    EXPECT_EQ(add(cut, withRecord, 1, 100), 94);
    for (int s = 0; s < cut.RingIndex(); ++s)
        EXPECT_EQ(cut.kind(s), S);
}

TEST(ColumnRings, RingWrapsAndCountsEveryColumn) {
    ColumnRings rings;
    add(rings, samples(2000, 5, 5), 1, 4000);
    EXPECT_EQ(add(rings, samples(100, 6, 6), 1, 4000), 100);
    EXPECT_EQ(rings.RingIndex(), 52);
    EXPECT_TRUE(rings.RingWrapped());
    EXPECT_EQ(rings.columnsHeld(), ColumnRings::kRingSize);

    // More marker columns than the ring holds: the count is still exact.
    ColumnRings marks;
    EXPECT_EQ(add(marks, Words(5000, 1), 10), 5000);
    EXPECT_EQ(marks.RingIndex(), 5000 % ColumnRings::kRingSize);

    rings.emptyRings();
    EXPECT_EQ(rings.RingIndex(), 0);
    EXPECT_FALSE(rings.RingWrapped());
    EXPECT_EQ(rings.kind(ColumnRings::slot(-1)), ColumnKind::Empty);
}

} // namespace
