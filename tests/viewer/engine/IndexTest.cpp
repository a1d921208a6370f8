#include "IndexBuilder.h"
#include "IndexFileWrapper.h"
#include "LargeFileWrapper.h"
#include "PreviewEngine.h"
#include "ProgressDisplay.h"
#include "RollModeStream.h"
#include "ViewerTestFiles.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

namespace rm::viewer {
namespace {

using test::TempDir;

// The index built from a file, as the viewer holds it after the build.
struct Built {
    TIndexContent content;
    bool finished = false;
};

Built build(TLargeFileWrapper& file, size_t chunkBytes = kIndexChunkBytes) {
    Built b;
    ProgressGauge gauge(nullptr);
    b.finished = BuildIndex(file, b.content, gauge, [] { return false; }, chunkBytes);
    return b;
}

class IndexTest : public ::testing::Test {
protected:
    // Writes the words, opens them, builds and saves the index.
    void open(const std::vector<uint16_t>& words, bool oddByte = false) {
        test::writeWords(dataName, words, oddByte);
        ASSERT_EQ(file.OpenFile(dataName), kOpenOk);
        built = build(file);
        ASSERT_TRUE(built.finished);
        index.SaveIndex(indexName, built.content, file);
    }

    void expectEverySampleReachable(const std::vector<uint16_t>& samples) {
        ASSERT_EQ(index.TotalSamples(), static_cast<int64_t>(samples.size()));
        for (int64_t s = 0; s < static_cast<int64_t>(samples.size()); ++s) {
            int64_t run = 0;
            const int64_t position = index.SampleToFilePosition(s, run);
            ASSERT_GT(run, 0) << "sample " << s;
            ASSERT_LE(s + run, static_cast<int64_t>(samples.size()));
            uint16_t word = 0;
            ASSERT_EQ(file.ReadAt(&word, 2, position), 2);
            ASSERT_EQ(word, samples[static_cast<size_t>(s)]) << "sample " << s;
        }
        int64_t run = 1;
        index.SampleToFilePosition(static_cast<int64_t>(samples.size()), run);
        EXPECT_EQ(run, 0);
    }

    TempDir dir;
    std::string dataName = dir.file("run.rmd");
    std::string indexName = dir.file("run.ind");
    TPreviewEnginePelkRM engine;
    TLargeFileWrapper file;
    TIndexFileWrapperVornRMPrv index{engine};
    Built built;
};

// [block of 6][100 samples][block of 5][50 samples][block of 4]
std::vector<uint16_t> exampleFile() {
    RollModeStream s;
    s.Block(2, {2047, 128, 0});
    s.Samples(100);
    s.SamplesPerSecond(1000000);
    s.Samples(50);
    s.Block(1, {0});
    return s.Words();
}

void put(std::vector<uint8_t>& bytes, size_t at, uint64_t value, int size) {
    for (int k = 0; k < size; ++k)
        bytes[at + static_cast<size_t>(k)] = static_cast<uint8_t>(value >> (8 * k));
}

TEST_F(IndexTest, ExampleFileGivesTheGoldenIndex) {
    open(exampleFile());
    std::vector<uint8_t> expected(3 * 88 + 12, 0);
    const struct {
        uint64_t number, item, before, firstAfter, end, sampling;
    } records[] = {{0, 0, 0, 0, 12, 0}, {1, 212, 100, 101, 222, 1000000}, {2, 322, 150, 151, 320, 1000000}};
    for (size_t r = 0; r < 3; ++r) {
        const size_t at = r * 88;
        put(expected, at + 0, 0xAA55, 2);
        put(expected, at + 4, records[r].number, 4);
        put(expected, at + 8, records[r].item, 8);
        put(expected, at + 16, records[r].before, 8);
        put(expected, at + 24, records[r].item - 2, 8);
        put(expected, at + 32, records[r].firstAfter, 8);
        put(expected, at + 40, records[r].end, 8);
        put(expected, at + 56, 1, 8);                   // one item per run
        put(expected, at + 64, records[r].sampling, 4);
        put(expected, at + 72, 128, 2);                 // zero position of A
        put(expected, at + 84, 1, 1);                   // samples follow (kept on the last)
    }
    put(expected, 264, 150, 8);
    put(expected, 272, 3, 4);
    EXPECT_EQ(test::readBytes(indexName), expected);

    int64_t run = 0;
    EXPECT_EQ(index.SampleToFilePosition(0, run), 12);
    EXPECT_EQ(run, 100);
    EXPECT_EQ(index.SampleToFilePosition(100, run), 222);
    EXPECT_EQ(run, 50);
    EXPECT_EQ(index.SampleToFilePosition(101, run), 224);
    EXPECT_EQ(run, 49);
    EXPECT_EQ(index.SampleToFilePosition(149, run), 320);
    EXPECT_EQ(run, 1);
    index.SampleToFilePosition(150, run);
    EXPECT_EQ(run, 0);
}

TEST_F(IndexTest, RandomStreamsGiveTheSameIndexForEveryChunkSize) {
    std::mt19937 rng(7);
    for (int round = 0; round < 12; ++round) {
        const std::vector<uint16_t> words = test::randomStream(rng, 300);
        const bool odd = round % 4 == 3;
        test::writeWords(dataName, words, odd);
        ASSERT_EQ(file.OpenFile(dataName), kOpenOk);
        const Built whole = build(file);
        for (size_t chunk : {size_t{16}, size_t{18}, size_t{30}, size_t{1000}, size_t{4096}}) {
            const Built part = build(file, chunk);
            ASSERT_EQ(part.content.Records.size(), whole.content.Records.size()) << "chunk " << chunk;
            EXPECT_TRUE(std::equal(part.content.Records.begin(), part.content.Records.end(),
                                   whole.content.Records.begin(), [](const TIndexRecord& a, const TIndexRecord& b) {
                                       return std::memcmp(&a, &b, sizeof a) == 0;
                                   }))
                << "chunk " << chunk;
            EXPECT_EQ(part.content.TotalSamples, whole.content.TotalSamples);
            EXPECT_EQ(part.content.LastRunEnd, whole.content.LastRunEnd);
            EXPECT_EQ(part.content.DamagedWords, whole.content.DamagedWords);
            EXPECT_EQ(part.content.EndsInsideBlock, whole.content.EndsInsideBlock);
        }
        EXPECT_EQ(whole.content.OddSize, odd);
        index.SaveIndex(indexName, whole.content, file);
        expectEverySampleReachable(test::referenceSamples(words));
        // The saved index fits its data file and loads with the same answers.
        ASSERT_TRUE(index.LoadIndex(indexName, file)) << "round " << round;
        expectEverySampleReachable(test::referenceSamples(words));
    }
}

TEST_F(IndexTest, SamplesBeforeTheFirstAndAfterTheLastControlItemAreReachable) {
    RollModeStream s;
    s.Samples(30);
    s.Marker(2);
    s.Marker(2);
    s.Block(4, {2});
    s.Samples(20);
    open(s.Words());
    ASSERT_EQ(built.content.Records.size(), 3u);
    EXPECT_EQ(built.content.Records[0].Magic, 0);  // samples first: an all-zero record 0
    EXPECT_EQ(built.content.Records[1].ItemCount, 2);  // two adjacent markers make one run
    EXPECT_EQ(built.content.Records[1].SamplesFollow, 0);  // a block follows the markers directly
    expectEverySampleReachable(s.SampleWords());
}

TEST_F(IndexTest, AFileWithoutControlItemsIsOneRunOfSamples) {
    RollModeStream s;
    s.Samples(500);
    open(s.Words());
    EXPECT_EQ(built.content.Records.size(), 1u);
    expectEverySampleReachable(s.SampleWords());
}

TEST_F(IndexTest, DamagedFilesEndOrSkipAndSaySo) {
    // A zero block length, a length that does not fit its type, then a block
    // cut by the end of the file after an odd number of bytes.
    // Samples first, so that the index takes less room than the file and is written.
    std::vector<uint16_t> words(1000, 0x0101);
    words.insert(words.end(), {0, 0, 0x0202, 0, 6, 10, 0x0303, 0x0404, 0x0505, 0, 5});
    open(words, true);
    EXPECT_EQ(built.content.DamagedWords, 3);
    EXPECT_TRUE(built.content.EndsInsideBlock);
    EXPECT_TRUE(built.content.OddSize);
    expectEverySampleReachable(test::referenceSamples(words));
    EXPECT_TRUE(index.LoadIndex(indexName, file));
}

TEST_F(IndexTest, ALongLastRunIsPlacedFromTheEndOfTheDataFileOnLoad) {
    // A rate, ten thousand probe blocks and a zeroed stretch (damaged
    // one-word items) form one run of 60,000 words before the last samples.
    const auto longRun = [](bool rateAtTheEnd) {
        RollModeStream s;
        s.Samples(3000);
        if (!rateAtTheEnd)
            s.Block(10, {1000, 0});
        for (int k = 0; k < 10000; ++k)
            s.Block(4, {static_cast<uint16_t>(1 + k % 4)});
        s.Words().insert(s.Words().end(), 20000, 0);
        if (rateAtTheEnd)
            s.Block(10, {1000, 0});
        s.Samples(7000);
        return s.Words();
    };
    open(longRun(false));
    ASSERT_EQ(built.content.Records.size(), 2u);
    EXPECT_EQ(built.content.Records[1].ItemCount, 30001);
    ASSERT_TRUE(index.LoadIndex(indexName, file));
    expectEverySampleReachable(test::referenceSamples(longRun(false)));
    // A setting that changes past the part of a long run the check walks
    // cannot be confirmed: such an index is built anew at each open.
    open(longRun(true));
    EXPECT_FALSE(index.LoadIndex(indexName, file));
}

TEST_F(IndexTest, AnIndexThatDoesNotFitItsDataFileIsNotLoaded) {
    const std::vector<uint16_t> words = exampleFile();
    open(words);
    ASSERT_TRUE(index.LoadIndex(indexName, file));
    const std::vector<uint8_t> good = test::readBytes(indexName);

    std::vector<uint8_t> bad = good;
    bad.pop_back();  // not 12 + 88n bytes
    test::writeBytes(indexName, bad);
    EXPECT_FALSE(index.LoadIndex(indexName, file));
    EXPECT_EQ(index.RecordCount(), 0);

    bad = good;
    bad[88] = 0x12;  // Magic of record 1
    test::writeBytes(indexName, bad);
    EXPECT_FALSE(index.LoadIndex(indexName, file));

    bad = good;
    put(bad, 88 + 40, 1 << 20, 8);  // EndPosition beyond the data file
    test::writeBytes(indexName, bad);
    EXPECT_FALSE(index.LoadIndex(indexName, file));

    // The recorder appended to the data file: its size no longer fits.
    test::writeBytes(indexName, good);
    std::vector<uint16_t> longer = words;
    longer.insert(longer.end(), {0x0101, 0x0202});
    test::writeWords(dataName, longer);
    ASSERT_EQ(file.OpenFile(dataName), kOpenOk);
    EXPECT_FALSE(index.LoadIndex(indexName, file));

    EXPECT_FALSE(index.LoadIndex(dir.file("missing.ind"), file));
}

// Two measurements with rate changes, overruns and suppressed samples:
// records of blocks and of both marker types, samples between them.
std::vector<uint16_t> recordingWithManyRuns() {
    RollModeStream s;
    RollModeStream::Settings settings;
    for (int measurement = 0; measurement < 2; ++measurement) {
        s.StartMeasurement(settings);
        s.Samples(300);
        s.Marker(1);
        s.Samples(200);
        s.SamplesPerSecond(500000);
        s.Samples(250);
        s.Raw({2, 2, 2});
        s.Block(4, {2});
        s.Samples(100);
        s.StopMeasurement();
        s.Block(6, {0});
        settings.samplesPerSecond = 2000;
    }
    s.Samples(77);
    return s.Words();
}

// The samples an index gives, run by run, as the main buffer reads them.
std::vector<uint16_t> samplesThrough(const TIndexFileWrapperVornRMPrv& index, TLargeFileWrapper& file) {
    std::vector<uint16_t> samples;
    for (int64_t s = 0; s < index.TotalSamples();) {
        int64_t run = 0;
        const int64_t position = index.SampleToFilePosition(s, run);
        if (run <= 0)
            break;
        std::vector<uint16_t> words(static_cast<size_t>(run));
        words.resize(static_cast<size_t>(file.ReadAt(words.data(), 2 * run, position) / 2));
        samples.insert(samples.end(), words.begin(), words.end());
        s += run;
    }
    return samples;
}

TEST_F(IndexTest, AnIndexWithOddPositionsOrSamplesOutOfStepWithItsPositionsIsNotLoaded) {
    open(recordingWithManyRuns());
    const std::vector<uint8_t> good = test::readBytes(indexName);
    ASSERT_TRUE(index.LoadIndex(indexName, file));
    const size_t records = index.RecordCount();
    ASSERT_GE(records, 6u);
    const auto edited = [&](size_t record, size_t offset, int64_t delta) {
        std::vector<uint8_t> bad = good;
        int64_t value = 0;
        std::memcpy(&value, &bad[record * 88 + offset], 8);
        put(bad, record * 88 + offset, static_cast<uint64_t>(value + delta), 8);
        test::writeBytes(indexName, bad);
        return index.LoadIndex(indexName, file);
    };
    for (size_t r = 1; r + 1 < records; ++r) {
        SCOPED_TRACE(r);
        EXPECT_FALSE(edited(r, 8, 1));    // ItemPosition at an odd byte
        EXPECT_FALSE(edited(r, 40, 1));   // EndPosition at an odd byte
        EXPECT_FALSE(edited(r, 40, 2));   // samples after the run one word later than counted
        EXPECT_FALSE(edited(r, 16, 1));   // SamplesBefore out of step with ItemPosition
        EXPECT_FALSE(edited(r, 8, 2));    // ItemPosition out of step with SamplesBefore
        EXPECT_FALSE(edited(r, 32, 1));   // FirstSampleAfter
    }
    test::writeBytes(indexName, good);
    EXPECT_TRUE(index.LoadIndex(indexName, file));
}

// Everything the viewer takes from an index of the file: each sample, the
// calibration in force at it and the time to it from the file's start.
std::string whatTheIndexTells(const TIndexFileWrapperVornRMPrv& index, TLargeFileWrapper& file) {
    std::ostringstream told;
    const std::vector<uint16_t> samples = samplesThrough(index, file);
    told << index.TotalSamples() << '/' << samples.size() << '\n';
    for (int64_t s = 0; s < static_cast<int64_t>(samples.size()); ++s) {
        const std::optional<TCalibration> c = index.GetCalibrationAt(s);
        bool exact = true;
        const std::string time = index.TimeBetweenSamples(0, s, false, exact);
        told << samples[static_cast<size_t>(s)] << ' ' << (c ? c->ChannelAZeroPosition : -1) << ' '
             << (c ? c->ChannelADensity : 0) << ' ' << (c ? c->ChannelBZeroPosition : -1) << ' '
             << (c ? c->ChannelBDensity : 0) << ' ' << time << ' ' << exact << '\n';
    }
    return told.str();
}

// Bit flips, changed positions, counts and settings (also to extreme
// values), and truncations of a good index: every index the viewer loads
// gives the same samples, times and voltages as a fresh build; the others
// are rebuilt.
TEST_F(IndexTest, SeededIndexMutationsReadTheSameSamplesTimesAndVoltagesOrAreRebuilt) {
    open(recordingWithManyRuns());
    const std::vector<uint8_t> good = test::readBytes(indexName);
    ASSERT_TRUE(index.LoadIndex(indexName, file));
    ASSERT_EQ(samplesThrough(index, file), test::referenceSamples(recordingWithManyRuns()));
    const std::string expected = whatTheIndexTells(index, file);
    const size_t records = (good.size() - 12) / 88;
    const size_t positions[] = {8, 16, 24, 32, 40, 56};  // the 64-bit positions and counts of a record
    // The settings of a record: rate, deflection and zero position of A and
    // of B (offset, size in bytes), and the item type.
    const std::pair<size_t, int> settings[] = {{64, 4}, {68, 4}, {72, 2}, {76, 4}, {80, 2}, {48, 1}};
    const int64_t extremes[] = {INT64_MIN, INT64_MIN + 1, -1, 0, INT64_MAX - 1, INT64_MAX};

    std::mt19937 rng(20261209);
    int loaded = 0;
    int rebuilt = 0;
    for (int round = 0; round < 4000; ++round) {
        std::vector<uint8_t> bad = good;
        const int edits = 1 + static_cast<int>(rng() % 3);
        for (int edit = 0; edit < edits; ++edit) {
            const unsigned kind = rng() % 6;
            switch (kind) {
            case 0: {  // a bit flip anywhere
                if (bad.empty())
                    break;
                const size_t byte = rng() % bad.size();
                bad[byte] = static_cast<uint8_t>(bad[byte] ^ (1u << (rng() % 8)));
                break;
            }
            case 1:    // a position or a count moved a little
            case 2:    // ... or set to anything
            case 3: {  // ... or to an extreme
                const size_t at = (rng() % records) * 88 + positions[rng() % 6];
                if (at + 8 > bad.size())
                    break;
                int64_t value = 0;
                std::memcpy(&value, &bad[at], 8);
                const int64_t deltas[] = {-88, -4, -2, -1, 1, 2, 4, 88};
                // Moved with wrap-around: an earlier edit may have left an extreme value.
                const auto moved = static_cast<uint64_t>(value) + static_cast<uint64_t>(deltas[rng() % 8]);
                value = kind == 1   ? static_cast<int64_t>(moved)
                        : kind == 2 ? static_cast<int64_t>(rng() % 4000)
                                    : extremes[rng() % 6];
                put(bad, at, static_cast<uint64_t>(value), 8);
                break;
            }
            case 4: {  // a setting moved by one or set to anything
                const auto [offset, size] = settings[rng() % 6];
                const size_t at = (rng() % records) * 88 + offset;
                if (at + static_cast<size_t>(size) > bad.size())
                    break;
                uint64_t value = 0;
                std::memcpy(&value, &bad[at], static_cast<size_t>(size));
                put(bad, at, rng() % 2 == 0 ? value + 1 : rng(), size);
                break;
            }
            default:  // the trailer's total, or the file cut short (to whole records or anywhere)
                if (rng() % 2 == 0 && bad.size() >= 12) {
                    const uint64_t total =
                        rng() % 2 == 0 ? rng() % 4000 : static_cast<uint64_t>(extremes[rng() % 6]);
                    put(bad, bad.size() - 12, total, 8);
                } else {
                    const size_t keep = rng() % 2 == 0 ? 12 + 88 * (rng() % records) : rng() % (bad.size() + 1);
                    bad.resize(std::min(bad.size(), keep));
                }
                break;
            }
        }
        if (bad == good)
            continue;
        test::writeBytes(indexName, bad);
        if (!index.LoadIndex(indexName, file)) {
            ++rebuilt;
            continue;
        }
        ++loaded;
        ASSERT_EQ(whatTheIndexTells(index, file), expected) << "round " << round;
    }
    EXPECT_GT(rebuilt, 3000);
    EXPECT_GT(loaded, 0);  // flips in the reserved fields change nothing
}

// A recording cleared and made again with the same length at another rate
// and range: the old index fits its layout but not its parameter blocks.
TEST_F(IndexTest, AnIndexOfAnEarlierRecordingOfTheSameLengthIsRebuilt) {
    const auto recording = [](uint32_t rate, uint32_t deflection, uint16_t zero) {
        RollModeStream s;
        RollModeStream::Settings settings;
        settings.samplesPerSecond = rate;
        settings.deflectionA = deflection;
        settings.zeroA = zero;
        s.StartMeasurement(settings);
        s.Samples(5000);
        s.StopMeasurement();
        return s.Words();
    };
    const std::vector<uint16_t> before = recording(100000, 1000, 128);
    const std::vector<uint16_t> after = recording(10000, 5000, 100);
    ASSERT_EQ(before.size(), after.size());
    open(before);
    engine.SetSamplesPerPoint(20);
    EXPECT_EQ(index.TimePerDivisionText(), " 10ms/div");
    ASSERT_TRUE(index.LoadIndex(indexName, file));

    test::writeWords(dataName, after);
    ASSERT_EQ(file.OpenFile(dataName), kOpenOk);
    EXPECT_FALSE(index.LoadIndex(indexName, file));
    index.SaveIndex(indexName, build(file).content, file);
    ASSERT_TRUE(index.LoadIndex(indexName, file));
    EXPECT_EQ(index.TimePerDivisionText(), " 100ms/div");
    const std::optional<TCalibration> c = index.GetCalibrationAt(100);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->ChannelADensity, 5000u);
    EXPECT_EQ(c->ChannelAZeroPosition, 100);
}

// A named pipe in the index's place is neither read (its open would wait for
// good) nor replaced: the index is built and kept in memory.
TEST_F(IndexTest, APipeNamedAsTheIndexIsNeitherReadNorReplaced) {
    test::writeWords(dataName, exampleFile());
    ASSERT_EQ(file.OpenFile(dataName), kOpenOk);
    ASSERT_EQ(mkfifo(indexName.c_str(), 0644), 0);
    EXPECT_FALSE(index.LoadIndex(indexName, file));
    EXPECT_EQ(index.SaveIndex(indexName, build(file).content, file).Outcome, TIndexSaveOutcome::NotAnIndex);
    struct stat status {};
    ASSERT_EQ(stat(indexName.c_str(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));
    int64_t run = 0;
    EXPECT_EQ(index.SampleToFilePosition(100, run), 222);
}

// The recorder continues a file cut at an odd byte at the next whole word,
// the byte between zero: whatever the cut byte was, the words before stay
// and the new measurement reads whole.
TEST_F(IndexTest, AFileContinuedAfterAnOddByteReadsTheNewMeasurementWhole) {
    RollModeStream next;
    next.StartMeasurement({});
    next.Samples(500);
    next.StopMeasurement();
    const std::vector<uint16_t> nextSamples = next.SampleWords();
    for (const uint8_t cutByte : {uint8_t{0x00}, uint8_t{0x37}, uint8_t{0x81}}) {
        SCOPED_TRACE(static_cast<int>(cutByte));
        RollModeStream first;
        first.StartMeasurement({});
        first.Samples(100);
        std::vector<uint16_t> words = first.Words();
        words.push_back(cutByte);  // the cut byte and the zero byte after it
        words.insert(words.end(), next.Words().begin(), next.Words().end());
        open(words);
        const std::vector<uint16_t> samples = samplesThrough(index, file);
        ASSERT_GE(samples.size(), 600u);
        EXPECT_EQ(std::vector<uint16_t>(samples.end() - 500, samples.end()), nextSamples);
        EXPECT_EQ(std::vector<uint16_t>(samples.begin(), samples.begin() + 100), first.SampleWords());
    }
}

TEST_F(IndexTest, AnIndexThatCannotBeWrittenIsKeptInMemory) {
    test::writeWords(dataName, exampleFile());
    ASSERT_EQ(file.OpenFile(dataName), kOpenOk);
    const Built b = build(file);
    // A folder the index cannot be written to (as for a read-only one).
    const std::string unwritable = dir.file("no-such-folder/run.ind");
    EXPECT_EQ(index.SaveIndex(unwritable, b.content, file).Outcome, TIndexSaveOutcome::CannotWrite);
    EXPECT_FALSE(test::exists(unwritable));
    int64_t run = 0;
    EXPECT_EQ(index.SampleToFilePosition(100, run), 222);
    EXPECT_EQ(run, 50);
}

TEST_F(IndexTest, SaveWritesThroughATemporaryFile) {
    test::writeWords(dataName, exampleFile());
    ASSERT_EQ(file.OpenFile(dataName), kOpenOk);
    // An old index of ours, of another length and damaged past its first record, is replaced.
    std::vector<uint8_t> old(2 * 88 + 12, 0x77);
    put(old, 0, 0xAA55, 2);
    put(old, 4, 0, 4);
    test::writeBytes(indexName, old);
    EXPECT_EQ(index.SaveIndex(indexName, build(file).content, file).Outcome, TIndexSaveOutcome::Written);
    EXPECT_FALSE(test::exists(indexName + ".tmp"));
    EXPECT_EQ(test::readBytes(indexName).size(), 3u * 88 + 12);
}

// What holds the index's name but reads as no index of ours (a LaTeX
// "thesis.ind", a link to the user's notes, a file of the index's length
// without its mark, a pipe) stays as it is; the index is kept in memory.
TEST_F(IndexTest, OnlyAnIndexIsReplacedByAnIndex) {
    test::writeWords(dataName, exampleFile());
    ASSERT_EQ(file.OpenFile(dataName), kOpenOk);
    const std::string latex = "\\begin{theindex}\n  \\item roll mode, 3\n\\end{theindex}\n";
    std::vector<uint8_t> sameLength(3 * 88 + 12, 0);
    put(sameLength, 88, 0xAA55, 2);  // the mark, but in the second record
    const std::vector<std::vector<uint8_t>> others = {
        std::vector<uint8_t>(latex.begin(), latex.end()), sameLength, {}, std::vector<uint8_t>(100, 0)};
    for (const auto& other : others) {
        SCOPED_TRACE(other.size());
        test::writeBytes(indexName, other);
        EXPECT_FALSE(index.LoadIndex(indexName, file));
        EXPECT_EQ(index.SaveIndex(indexName, build(file).content, file).Outcome, TIndexSaveOutcome::NotAnIndex);
        EXPECT_EQ(test::readBytes(indexName), other);
        int64_t run = 0;
        EXPECT_EQ(index.SampleToFilePosition(100, run), 222);  // kept in memory
    }
    // Through a link: the linked notes stay, and so does the link.
    const std::string notes = dir.file("notes.txt");
    test::writeBytes(notes, {'m', 'y', ' ', 'n', 'o', 't', 'e', 's'});
    ASSERT_EQ(std::remove(indexName.c_str()), 0);
    ASSERT_EQ(symlink(notes.c_str(), indexName.c_str()), 0);
    EXPECT_EQ(index.SaveIndex(indexName, build(file).content, file).Outcome, TIndexSaveOutcome::NotAnIndex);
    EXPECT_EQ(test::readBytes(notes), (std::vector<uint8_t>{'m', 'y', ' ', 'n', 'o', 't', 'e', 's'}));
    struct stat status {};
    ASSERT_EQ(lstat(indexName.c_str(), &status), 0);
    EXPECT_TRUE(S_ISLNK(status.st_mode));
}

TEST_F(IndexTest, AReadOnlyIndexIsNotReplaced) {
    open(recordingWithManyRuns());
    const std::vector<uint8_t> good = test::readBytes(indexName);
    std::vector<uint8_t> stale = good;
    put(stale, 88 + 64, 12345, 4);  // another rate in record 1
    test::writeBytes(indexName, stale);
    ASSERT_EQ(chmod(indexName.c_str(), 0444), 0);
    EXPECT_FALSE(index.LoadIndex(indexName, file));
    EXPECT_EQ(index.SaveIndex(indexName, build(file).content, file).Outcome, TIndexSaveOutcome::CannotWrite);
    EXPECT_EQ(test::readBytes(indexName), stale);
}

// A mark after every sample makes an index far larger than its data file: it
// is kept in memory and not written.
TEST_F(IndexTest, AnIndexLargerThanItsDataFileIsNotWritten) {
    RollModeStream s;
    s.StartMeasurement({});
    for (int k = 0; k < 2000; ++k) {
        s.Samples(1);
        s.Marker(1);
    }
    test::writeWords(dataName, s.Words());
    ASSERT_EQ(file.OpenFile(dataName), kOpenOk);
    EXPECT_EQ(index.SaveIndex(indexName, build(file).content, file).Outcome,
              TIndexSaveOutcome::LargerThanDataFile);
    EXPECT_FALSE(test::exists(indexName));
    expectEverySampleReachable(s.SampleWords());
}

// Runs at 1000 samples/s, then an overrun, then 500 samples/s with three
// suppressed samples, then 100 samples/s.
class IndexTimeTest : public IndexTest {
protected:
    void SetUp() override {
        RollModeStream s;
        s.SamplesPerSecond(1000);
        s.Block(11, {500, 0});
        s.Samples(1000);  // 0 .. 999
        s.Marker(1);
        s.Samples(1000);  // 1000 .. 1999
        s.SamplesPerSecond(500);
        s.Samples(1000);  // 2000 .. 2999
        s.Raw({2, 2, 2});
        s.Samples(1000);  // 3000 .. 3999
        s.SamplesPerSecond(100);
        s.Samples(100);   // 4000 .. 4099
        open(s.Words());
    }
    std::string time(int64_t a, int64_t b, bool* exactOut = nullptr, bool origin = false) {
        bool exact = true;
        std::string text = index.TimeBetweenSamples(a, b, origin, exact);
        if (exactOut)
            *exactOut = exact;
        return text;
    }
};

TEST_F(IndexTimeTest, TimesFollowTheRateOfEverySegment) {
    bool exact = false;
    EXPECT_EQ(time(0, 500, &exact), " 500ms");
    EXPECT_TRUE(exact);
    EXPECT_EQ(time(500, 1500, &exact), " 1s");
    EXPECT_FALSE(exact);  // the overrun lies between
    EXPECT_EQ(time(1500, 500), "- 1s");
    EXPECT_EQ(time(1000, 1500, &exact), " 500ms");
    EXPECT_TRUE(exact);  // the overrun lies before sample 1000
    EXPECT_EQ(time(1000, 1000), "0s");
    // 1000 samples at 1000/s, 1000 at 500/s, 3 suppressed at 500/s, 1000 at 500/s, 50 at 100/s.
    EXPECT_EQ(time(1000, 4050), " 5s 506ms");
    engine.TimeOriginUserValue = 1000;
    EXPECT_EQ(time(0, 500, nullptr, true), " 1s 500ms");
    // A span of no samples from the origin still carries the origin's time.
    EXPECT_EQ(time(700, 700, nullptr, true), " 1s");
    EXPECT_EQ(time(700, 700), "0s");
}

TEST_F(IndexTimeTest, CalibrationAndRecordRangesFollowTheRuns) {
    const auto at0 = index.GetCalibrationAt(0);
    ASSERT_TRUE(at0);
    EXPECT_EQ(at0->ChannelADensity, 500u);
    int64_t endRecord = -1;
    const int64_t startRecord = index.RecordRangeOfSamples(3500, 1500, endRecord);
    EXPECT_EQ(index.RecordFirstSample(startRecord), 1001);
    EXPECT_EQ(index.RecordFirstSample(endRecord), 3001);
    EXPECT_EQ(index.RecordFirstSample(99), 0);
}

TEST_F(IndexTimeTest, TimePerDivisionUsesTheRateAtTheScreenStart) {
    engine.SetSamplesPerPoint(2);
    engine.FileRealSamplesCount = index.TotalSamples();
    engine.SetActualPointsCount(10);
    EXPECT_EQ(index.TimePerDivisionText(), " 100ms/div");  // 2 x 50 samples at 1000/s
    engine.SetScreenPosition(2500);
    ASSERT_EQ(engine.ScreenBeginning(), 2500);
    EXPECT_EQ(index.TimePerDivisionText(), " 200ms/div");  // at 500/s
    engine.SetScreenPosition(4050);
    ASSERT_EQ(engine.ScreenBeginning(), 4050);
    EXPECT_EQ(index.TimePerDivisionText(), " 1s/div");  // at 100/s
}

TEST_F(IndexTest, ZeroPositionsOffTheScreenReadAsSignedCodes) {
    // 0 V of channel A 20 codes below the screen (stored as the 16-bit word
    // 65516), of channel B above it at code 300.
    RollModeStream s;
    s.SamplesPerSecond(1000);
    s.Block(2, {2047, static_cast<uint16_t>(-20), 0});
    s.Block(3, {3000, 300, 0});
    s.Block(11, {1000, 0});
    s.Block(12, {2000, 0});
    s.Samples(100);
    open(s.Words());
    const auto calibration = index.GetCalibrationAt(50);
    ASSERT_TRUE(calibration);
    EXPECT_EQ(calibration->ChannelAZeroPosition, -20);
    EXPECT_EQ(calibration->ChannelBZeroPosition, 300);
}

// Bytes this process has read from files and pipes so far; -1 where the
// system does not count them.
int64_t bytesReadSoFar() {
    std::ifstream io("/proc/self/io");
    std::string key;
    int64_t value = 0;
    while (io >> key >> value)
        if (key == "rchar:")
            return value;
    return -1;
}

TEST_F(IndexTest, ReopeningAFileEndingInALongZeroedStretchReadsOnlyAFewWordsOfIt) {
    if (bytesReadSoFar() < 0)
        GTEST_SKIP() << "no read counts in /proc/self/io";
    for (const int64_t samplesAfter : {0, 777}) {
        SCOPED_TRACE(samplesAfter);
        RollModeStream s;
        s.StartMeasurement({});
        s.Samples(1000);
        s.Words().insert(s.Words().end(), 4'000'000, 0);  // 8 MB of zero words: one damaged run
        s.Samples(samplesAfter);
        open(s.Words());
        ASSERT_GE(built.content.Records.back().ItemCount, 3'999'999);
        const int64_t before = bytesReadSoFar();
        ASSERT_TRUE(index.LoadIndex(indexName, file));
        EXPECT_LT(bytesReadSoFar() - before, 16 * 1024);
        expectEverySampleReachable(test::referenceSamples(s.Words()));
    }
}

TEST_F(IndexTest, AnIndexNameThatIsTheDataFileWritesNothing) {
    const std::vector<uint16_t> words = exampleFile();
    test::writeWords(dataName, words);
    ASSERT_EQ(link(dataName.c_str(), indexName.c_str()), 0);  // the same file under the index's name
    ASSERT_EQ(file.OpenFile(dataName), kOpenOk);
    const std::vector<uint8_t> bytes = test::readBytes(dataName);
    EXPECT_FALSE(index.LoadIndex(indexName, file));
    EXPECT_EQ(index.SaveIndex(indexName, build(file).content, file).Outcome, TIndexSaveOutcome::IsDataFile);
    EXPECT_EQ(test::readBytes(dataName), bytes);
    EXPECT_EQ(test::readBytes(indexName), bytes);
    EXPECT_FALSE(test::exists(indexName + ".tmp"));
    // The index is kept in memory.
    int64_t run = 0;
    EXPECT_EQ(index.SampleToFilePosition(100, run), 222);
    EXPECT_EQ(run, 50);
}

// " 1s 200ms 5us" back into nanoseconds; -1 for a text that is not blanks
// and parts of a number and a unit.
int64_t parseDuration(const std::string& text) {
    std::istringstream parts(text);
    std::string part;
    int64_t ns = 0;
    while (parts >> part) {
        size_t digits = 0;
        while (digits < part.size() && std::isdigit(static_cast<unsigned char>(part[digits])))
            ++digits;
        if (digits == 0)
            return -1;
        const int64_t value = std::stoll(part.substr(0, digits));
        const std::string unit = part.substr(digits);
        const std::map<std::string, int64_t> units = {{"h", 3'600'000'000'000}, {"m", 60'000'000'000},
                                                      {"s", 1'000'000'000},     {"ms", 1'000'000},
                                                      {"us", 1'000},            {"ns", 1}};
        if (!units.count(unit))
            return -1;
        ns += value * units.at(unit);
    }
    return ns;
}

TEST_F(IndexTest, TimeTextsOfWholeMicrosecondSpansReadExactly) {
    for (const uint32_t rate : {2500u, 5000u, 10000u, 20000u, 25000u, 50000u, 100000u}) {
        SCOPED_TRACE(rate);
        RollModeStream s;
        s.SamplesPerSecond(rate);
        s.Samples(1001);
        open(s.Words());
        for (int64_t span = 1; span <= 1000; ++span) {
            bool exact = false;
            const std::string text = index.TimeBetweenSamples(0, span, false, exact);
            ASSERT_EQ(parseDuration(text), span * 1'000'000'000 / rate) << text;
            ASSERT_EQ(text.find("ns"), std::string::npos) << text;
            ASSERT_EQ(text.rfind(" ", 0), 0u) << text;  // below an hour every text starts with a blank
            ASSERT_EQ(index.TimeBetweenSamples(span, 0, false, exact), "-" + text);
        }
    }
}

TEST_F(IndexTest, AMissingSamplingRateGivesAQuestionMark) {
    RollModeStream s;
    s.Samples(10);
    s.Block(4, {1});
    s.Samples(10);
    open(s.Words());
    bool exact = true;
    EXPECT_EQ(index.TimeBetweenSamples(0, 15, false, exact), "?");
    EXPECT_EQ(index.TimePerDivisionText(), "?");
    index.CloseIndexFile();
    EXPECT_EQ(index.TimeBetweenSamples(0, 15, false, exact), "?");
    EXPECT_FALSE(index.GetCalibrationAt(0));
}

} // namespace
} // namespace rm::viewer
