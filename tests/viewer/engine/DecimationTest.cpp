#include "DecimateView.h"
#include "Decimation.h"
#include "IndexedTestFile.h"
#include "Rounding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <random>

namespace rm::viewer {
namespace {

// The plain sample-by-sample decimation: a point closes when the sample count
// reaches its rounded boundary; its mean divides by the samples it really
// holds; a last, partial point is written too.
TViewPoints reference(const std::vector<uint16_t>& words, int64_t start, double spp, int maxPoints) {
    TViewPoints out(maxPoints);
    int points = 0;
    double boundary = static_cast<double>(start) + spp;
    int64_t s = start;
    int maxA = 0, minA = 255, maxB = 0, minB = 255, n = 0;
    uint64_t sumA = 0, sumB = 0;
    uint16_t last = 0;
    bool gap = false;
    const auto close = [&] {
        const auto p = static_cast<size_t>(points++);
        const bool z = gap;
        out.MaxA[p] = z ? 0 : static_cast<uint8_t>(maxA);
        out.MinA[p] = z ? 0 : static_cast<uint8_t>(minA);
        out.AvgA[p] = z ? 0 : static_cast<uint8_t>(roundHalfEven(static_cast<double>(sumA) / n));
        out.LastA[p] = z ? 0 : static_cast<uint8_t>(last & 0xFF);
        out.MaxB[p] = z ? 0 : static_cast<uint8_t>(maxB);
        out.MinB[p] = z ? 0 : static_cast<uint8_t>(minB);
        out.AvgB[p] = z ? 0 : static_cast<uint8_t>(roundHalfEven(static_cast<double>(sumB) / n));
        out.LastB[p] = z ? 0 : static_cast<uint8_t>(last >> 8);
        maxA = maxB = 0;
        minA = minB = 255;
        sumA = sumB = 0;
        n = 0;
        gap = false;
    };
    for (uint16_t w : words) {
        if (points == maxPoints)
            break;
        gap = gap || w == 0;
        const int a = w & 0xFF, b = w >> 8;
        maxA = std::max(maxA, a);
        minA = std::min(minA, a);
        maxB = std::max(maxB, b);
        minB = std::min(minB, b);
        sumA += static_cast<uint64_t>(a);
        sumB += static_cast<uint64_t>(b);
        last = w;
        ++n;
        ++s;
        if (s >= roundHalfEven(boundary)) {
            close();
            boundary += spp;
        }
    }
    if (n > 0 && points < maxPoints)
        close();
    out.Points = points;
    return out;
}

void expectSame(const TViewPoints& a, const TViewPoints& b, const std::string& what) {
    ASSERT_EQ(a.Points, b.Points) << what;
    const auto n = static_cast<size_t>(a.Points);
    const auto eq = [&](const std::vector<uint8_t>& x, const std::vector<uint8_t>& y, const char* name) {
        EXPECT_TRUE(std::equal(x.begin(), x.begin() + static_cast<long>(n), y.begin())) << what << " " << name;
    };
    eq(a.MaxA, b.MaxA, "MaxA");
    eq(a.MinA, b.MinA, "MinA");
    eq(a.AvgA, b.AvgA, "AvgA");
    eq(a.LastA, b.LastA, "LastA");
    eq(a.MaxB, b.MaxB, "MaxB");
    eq(a.MinB, b.MinB, "MinB");
    eq(a.AvgB, b.AvgB, "AvgB");
    eq(a.LastB, b.LastB, "LastB");
}

TViewPoints decimate(const std::vector<uint16_t>& words, int64_t start, double spp, int maxPoints,
                     std::mt19937& rng) {
    TViewPoints out(maxPoints);
    TDecimator decimator(start, spp, maxPoints, out);
    for (size_t at = 0; at < words.size();) {  // in pieces, as the main buffer hands them over
        const size_t piece = std::min<size_t>(words.size() - at, 1 + rng() % 70000);
        if (!decimator.Add(words.data() + at, static_cast<int64_t>(piece)))
            break;
        at += piece;
    }
    decimator.Finish();
    return out;
}

TEST(Decimation, MatchesThePlainFoldForFractionalAndLargeSpans) {
    std::mt19937 rng(3);
    struct Case {
        double spp;
        int64_t samples;
        int maxPoints;
    } cases[] = {{1, 5000, 10000},     {2.5, 24999, 10000},    {3.7, 37001, 10000},
                 {100000, 1'000'050, 10000}, {1, 3000, 2048}, {131072, 300000, 2048}};
    for (const Case& c : cases) {
        std::vector<uint16_t> words(static_cast<size_t>(c.samples));
        for (uint16_t& w : words)
            w = static_cast<uint16_t>(0x0100 + rng() % 0xFF00);
        for (int g = 0; g < 5; ++g)  // a few 0x0000 words make gaps
            words[rng() % words.size()] = 0;
        const int64_t start = static_cast<int64_t>(rng() % 1000);
        const std::string what = "spp " + std::to_string(c.spp);
        expectSame(decimate(words, start, c.spp, c.maxPoints, rng), reference(words, start, c.spp, c.maxPoints),
                   what);
    }
}

TEST(Decimation, PointsCloseAtRoundedBoundariesAndGapsAreZero) {
    std::vector<uint16_t> words = {0x0A01, 0x1402, 0x0000, 0x0503, 0x0604, 0x0705, 0x0806, 0x0907};
    TViewPoints out(10);
    TDecimator decimator(0, 2.5, 10, out);  // boundaries 2.5, 5, 7.5 close after 2, 5, 8 samples
    decimator.Add(words.data(), static_cast<int64_t>(words.size()));
    ASSERT_EQ(decimator.Finish(), 3);
    EXPECT_EQ(out.MaxA[0], 2);
    EXPECT_EQ(out.MaxB[0], 0x14);
    EXPECT_EQ(out.AvgB[0], 15);  // (10 + 20) / 2, not / 2.5
    EXPECT_EQ(out.MaxA[1], 0);   // the point holding 0x0000 is a gap
    EXPECT_EQ(out.LastB[1], 0);
    EXPECT_EQ(out.AvgA[0], 2);   // 1.5 rounds to even
    EXPECT_EQ(out.MinA[2], 5);
    EXPECT_EQ(out.LastA[2], 7);
    EXPECT_EQ(out.AvgA[2], 6);
}

TEST(Decimation, AFullViewTakesNoMorePoints) {
    std::vector<uint16_t> words(100, 0x0101);
    TViewPoints out(8);
    TDecimator decimator(0, 10, 8, out);
    EXPECT_FALSE(decimator.Add(words.data(), 100));
    EXPECT_EQ(decimator.Finish(), 8);
}

// Views read from a file through the main buffer, block after block (a long
// one cut in two halves folded at once), against the same samples folded
// directly.
TEST(Decimation, ViewsOverManyBufferBlocksSeeEverySampleOnce) {
    RollModeStream s;
    s.SamplesPerSecond(1000);
    for (int k = 0; k < 9; ++k) {  // runs that end anywhere inside the buffer's blocks
        s.Samples(300'001 + 7 * k);
        s.Marker(static_cast<uint16_t>(1 + k % 2));
    }
    s.Samples(1234);
    test::IndexedTestFile t(s);
    const auto total = static_cast<int64_t>(t.samples.size());
    struct Case {
        int64_t first, count;
        double spp;
    } cases[] = {{0, total, static_cast<double>(total) / 10000},
                 {12345, 2'500'000, 977.5},
                 // Near the end the engine moves the buffer's start back.
                 {total - 700'000, 700'000, 70},
                 // Views that reach past the data, which ends after the
                 // halves' cut or before it.
                 {total - 2'200'000, 3'000'000, 300},
                 {total - 1'000'000, 3'000'000, 300}};
    ProgressGauge gauge(nullptr);
    for (const Case& c : cases) {
        TViewPoints viaBuffer(10000);
        t.buffer.SetBufferInvalid(true);
        ASSERT_TRUE(DecimateView({10000, 0, c.first, c.count, c.spp, 10000, {}}, viaBuffer, t.buffer,
                                 t.words.get(), t.index, t.file, gauge, [] { return false; }));
        TViewPoints direct(10000);
        TDecimator decimator(c.first, c.spp, 10000, direct);
        decimator.Add(t.samples.data() + c.first, std::min(c.count, total - c.first));
        decimator.Finish();
        expectSame(viaBuffer, direct, "from " + std::to_string(c.first));
    }
}

// The gauge of a pass cut in two counts both halves: it reaches 100 only
// once the second half, slowed down here, has ended too.
TEST(Decimation, TheGaugeOfASplitPassCountsBothHalves) {
    RollModeStream s;
    s.SamplesPerSecond(1000);
    s.Samples(3'000'000);
    test::IndexedTestFile t(s);
    struct Recorder : IProgressDisplay {
        void SetProgressText(const std::string&) override {}
        void SetProgressPercent(int percent) override {
            std::lock_guard lock(m);
            published.emplace_back(percent, secondHalfBlocks.load());
        }
        std::mutex m;
        std::vector<std::pair<int, int>> published;  // percent, blocks the second half had begun
        std::atomic<int> secondHalfBlocks{0};
    } recorder;
    const std::thread::id mainThread = std::this_thread::get_id();
    const auto slowSecondHalf = [&] {
        if (std::this_thread::get_id() != mainThread) {
            ++recorder.secondHalfBlocks;
            std::this_thread::sleep_for(std::chrono::milliseconds(40));
        }
        return false;
    };
    ProgressGauge gauge(&recorder);
    TViewPoints points(10000);
    t.buffer.SetBufferInvalid(true);
    ASSERT_TRUE(DecimateView({10000, 0, 0, 3'000'000, 300, 10000, {}}, points, t.buffer, t.words.get(), t.index,
                             t.file, gauge, slowSecondHalf));
    const int blocks = recorder.secondHalfBlocks;
    ASSERT_GE(blocks, 2);  // the pass was cut in two
    ASSERT_FALSE(recorder.published.empty());
    EXPECT_EQ(recorder.published.back().first, 100);
    for (size_t k = 0; k < recorder.published.size(); ++k) {
        const auto [percent, begun] = recorder.published[k];
        if (k > 0) {
            EXPECT_GE(percent, recorder.published[k - 1].first);
        }
        if (percent >= 75) {
            EXPECT_GE(begun, blocks / 2) << percent << " % with the second half at block " << begun;
        }
        if (percent == 100) {
            EXPECT_EQ(begun, blocks);
        }
    }
}

} // namespace
} // namespace rm::viewer
