#include "DataFileFormat.h"
#include "IndexedTestFile.h"
#include "SampleRecording.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace rm::viewer {
namespace {

// The generated recording read through the viewer's index: every feature it
// promises sits where its summary says, and the samples read back are the
// ones written.
TEST(SampleRecording, ReadsBackAsRecorded) {
    test::TempDir dir;
    const std::string path = dir.file("run.rmd");
    const RecordingSummary made = writeSampleRecording(path, 1'000'000, {});
    ASSERT_TRUE(made.written);
    const std::vector<uint8_t> bytes = test::readBytes(path);
    ASSERT_EQ(static_cast<int64_t>(bytes.size()), made.bytes);
    std::vector<uint16_t> words(bytes.size() / 2);
    std::memcpy(words.data(), bytes.data(), bytes.size());
    const std::vector<uint16_t> samples = test::referenceSamples(words);
    ASSERT_EQ(static_cast<int64_t>(samples.size()), made.samples);
    EXPECT_EQ(made.samples, 1'000'000);

    TPreviewEnginePelkRM engine;
    TLargeFileWrapper file;
    ASSERT_EQ(file.OpenFile(path), kOpenOk);
    TIndexContent content;
    ProgressGauge gauge(nullptr);
    ASSERT_TRUE(BuildIndex(file, content, gauge, [] { return false; }));
    TIndexFileWrapperVornRMPrv index(engine);
    index.SaveIndex(dir.file("run.ind"), content, file);
    EXPECT_EQ(content.DamagedWords, 0);
    EXPECT_FALSE(content.EndsInsideBlock);
    EXPECT_EQ(index.TotalSamples(), made.samples);

    // The runs of control items, in order: header, overrun, rate change,
    // stop with the probe change and the second header, not-armed stretch,
    // stop.
    const auto& r = content.Records;
    ASSERT_EQ(r.size(), 6u);
    EXPECT_EQ(r[1].ItemType, mkOverrun);
    EXPECT_EQ(r[1].SamplesBefore, made.overrunSample);
    EXPECT_EQ(r[2].SamplesBefore, made.rateChangeSample);
    EXPECT_EQ(r[2].Sampling, 50000u);
    EXPECT_EQ(r[3].SamplesBefore, made.secondMeasurement);
    EXPECT_EQ(r[4].ItemType, mkNotArmed);
    EXPECT_EQ(r[4].SamplesBefore, made.notArmedSample);
    EXPECT_EQ(r[4].ItemCount, made.notArmedWords);
    EXPECT_EQ(index.GetCalibrationAt(0)->ChannelADensity, made.deflectionA);
    EXPECT_EQ(index.GetCalibrationAt(made.secondMeasurement)->ChannelADensity, made.deflectionA10);
    EXPECT_EQ(index.GetCalibrationAt(0)->ChannelBZeroPosition, made.zeroB);

    bool exact = true;
    // 300,000 samples at 100 kS/s, 700,000 at 50 kS/s and 10,000 suppressed ones.
    EXPECT_EQ(index.TimeBetweenSamples(0, made.samples, false, exact), " 17s 200ms");
    EXPECT_FALSE(exact);
    // The first sample after the stretch comes after its suppressed slots too.
    EXPECT_EQ(index.TimeBetweenSamples(made.rateChangeSample, made.notArmedSample, false, exact), " 8s 200ms");
    EXPECT_TRUE(exact);

    std::vector<uint16_t> read(samples.size());
    ASSERT_EQ(ReadConsecutiveSamples(read.data(), 0, made.samples, index, file), made.samples);
    EXPECT_EQ(read, samples);

    // Both channels a waveform around their zero positions, with noise.
    const auto [minA, maxA] = std::minmax_element(samples.begin(), samples.end(),
                                                  [](uint16_t x, uint16_t y) { return (x & 0xFF) < (y & 0xFF); });
    const auto [minB, maxB] = std::minmax_element(samples.begin(), samples.end(),
                                                  [](uint16_t x, uint16_t y) { return (x >> 8) < (y >> 8); });
    EXPECT_NEAR((*maxA & 0xFF) + (*minA & 0xFF), 2 * made.zeroA, 8);
    EXPECT_GT((*maxA & 0xFF) - (*minA & 0xFF), 150);
    EXPECT_NEAR((*maxB >> 8) + (*minB >> 8), 2 * made.zeroB, 8);
    EXPECT_GT((*maxB >> 8) - (*minB >> 8), 110);
    EXPECT_NE(samples[1000], samples[1001]);  // noise: no two neighbours alike all along
}

TEST(SampleRecording, IsTheSameForTheSameSeedAndSmallSizesHoldEveryFeature) {
    test::TempDir dir;
    ASSERT_TRUE(writeSampleRecording(dir.file("a.rmd"), 20, {}).written);
    ASSERT_TRUE(writeSampleRecording(dir.file("b.rmd"), 20, {}).written);
    EXPECT_EQ(test::readBytes(dir.file("a.rmd")), test::readBytes(dir.file("b.rmd")));
    RecordingOptions other;
    other.seed = 2;
    const RecordingSummary small = writeSampleRecording(dir.file("c.rmd"), 20, other);
    EXPECT_NE(test::readBytes(dir.file("a.rmd")), test::readBytes(dir.file("c.rmd")));
    EXPECT_EQ(small.samples, 100);  // the smallest recording
    EXPECT_GT(small.overrunSample, 0);
    EXPECT_LT(small.overrunSample, small.rateChangeSample);
    EXPECT_LT(small.rateChangeSample, small.secondMeasurement);
    EXPECT_LT(small.secondMeasurement, small.notArmedSample);
    EXPECT_EQ(small.notArmedWords, 1);
    EXPECT_FALSE(writeSampleRecording(dir.file("no-such-folder/d.rmd"), 100, {}).written);
}

} // namespace
} // namespace rm::viewer
