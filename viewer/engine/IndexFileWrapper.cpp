#include "IndexFileWrapper.h"

#include "DataFileFormat.h"
#include "ExclusiveFile.h"
#include "LargeFileWrapper.h"
#include "PreviewEngine.h"
#include "RateTables.h"
#include "ReplaceFile.h"

#include <algorithm>
#include <cstring>

namespace rm::viewer {

namespace {

// Runs of parameter blocks up to this many items are walked in the data
// file to find their exact end (one read of at most 768 bytes).
constexpr int64_t kWalkedItems = 64;

// The end of a short run of parameter blocks, walked item by item.
std::optional<int64_t> walkedRunEnd(const TIndexRecord& last, TLargeFileWrapper& data) {
    std::vector<uint16_t> words(static_cast<size_t>(kMaxBlockLength * last.ItemCount));
    const auto read = static_cast<size_t>(
        data.ReadAt(words.data(), 2 * static_cast<int64_t>(words.size()), last.ItemPosition) / 2);
    size_t i = 0;
    for (int64_t item = 0; item < last.ItemCount; ++item) {
        if (i >= read || words[i] != kBlockStart)
            return std::nullopt;
        const BlockShape shape = classifyBlock(words.data() + i, read - i);
        if (shape.kind == BlockShape::Incomplete)
            return std::nullopt;
        i += shape.length;
    }
    return last.ItemPosition + 2 * static_cast<int64_t>(i);
}

// Where the samples after the last run start: the last run's end, which the
// stored record no longer holds. A marker run is one word per item and a
// short run of blocks is walked; a long run (a zeroed stretch of a damaged
// file is one run of millions of items) is placed from the end of the data
// file instead, so that the check reads a few words whatever the run holds:
// behind the `samplesAfter` samples a build leaves only half a word and a
// parameter block cut by the end of the file. None when the data file does
// not end that way, or when its end does not tell where a long run ends and
// samples follow it (the index is then built anew).
std::optional<int64_t> lastRunEnd(const TIndexRecord& last, int64_t samplesAfter, TLargeFileWrapper& data) {
    const int64_t size = data.OpenFileSize();
    const int64_t evenEnd = size & ~int64_t{1};
    if (last.Magic == 0)  // no control item at all: the samples start at 0
        return evenEnd == 2 * samplesAfter ? std::optional<int64_t>(0) : std::nullopt;
    if (last.ItemCount <= 0 || last.ItemCount > size / 2 || samplesAfter > size / 2)
        return std::nullopt;
    // The shortest and the longest run of ItemCount items: a marker is one
    // word, a block (or a damaged zero word standing alone) 1 to 6 words.
    int64_t shortest = last.ItemPosition + 2 * last.ItemCount;
    int64_t longest = last.ItemType != 0 ? shortest : last.ItemPosition + 2 * kMaxBlockLength * last.ItemCount;
    if (last.ItemType == 0 && last.ItemCount <= kWalkedItems) {
        const std::optional<int64_t> walked = walkedRunEnd(last, data);
        if (!walked)
            return std::nullopt;
        shortest = longest = *walked;
    }

    constexpr int64_t kWindowWords = 16;
    const int64_t windowWords = std::min<int64_t>(kWindowWords, evenEnd / 2);
    uint16_t window[kWindowWords] = {};
    const int64_t windowStart = evenEnd - 2 * windowWords;
    if (data.ReadAt(window, 2 * windowWords, windowStart) != 2 * windowWords)
        return std::nullopt;
    const auto word = [&](int64_t position) { return window[(position - windowStart) / 2]; };

    std::optional<int64_t> found;
    for (int64_t tailWords = 0; tailWords < kMaxBlockLength && tailWords <= windowWords; ++tailWords) {
        const int64_t tail = evenEnd - 2 * tailWords;
        if (tailWords > 0 && (word(tail) != kBlockStart ||
                              classifyBlock(&window[(tail - windowStart) / 2], static_cast<size_t>(tailWords)).kind !=
                                  BlockShape::Incomplete))
            continue;
        const int64_t end = tail - 2 * samplesAfter;
        if (end < shortest || end > longest)
            continue;
        // The samples just before the tail, as far as the window reaches.
        bool samples = true;
        for (int64_t p = std::max(end, windowStart); p < tail && samples; p += 2)
            samples = isSampleWord(word(p));
        if (!samples)
            continue;
        if (samplesAfter == 0)
            return end;  // nothing is read from there: any end that fits will do
        if (found)
            return std::nullopt;
        found = end;
    }
    if (found && *found < windowStart) {
        uint16_t first = 0;
        if (data.ReadAt(&first, 2, *found) != 2 || !isSampleWord(first))
            return std::nullopt;
    }
    return found;
}

constexpr TIndexRecord kZeroRecord{};

// Whether the records tell one consistent story of a data file of
// `dataSize` bytes: every position a whole word, runs in file order, each
// run as long as its items can be, the fields that follow from others equal
// to them, and the sample numbers in step with the positions: only sample
// words lie between two runs, so the bytes from one run's end to the next
// run's start are twice the samples between them.
bool recordsFit(const std::vector<TIndexRecord>& records, int64_t total, int64_t dataSize) {
    if (total < 0 || total > dataSize / 2)
        return false;
    int64_t previousSamples = 0;
    int64_t previousEnd = 0;
    for (size_t r = 0; r < records.size(); ++r) {
        const TIndexRecord& record = records[r];
        const bool last = r + 1 == records.size();
        if (record.Magic == 0) {
            // The build's all-zero first record when samples come first; it
            // is closed as any other, with SamplesFollow set.
            TIndexRecord zero = record;
            zero.SamplesFollow = 0;
            if (r != 0 || std::memcmp(&zero, &kZeroRecord, sizeof zero) != 0)
                return false;
            continue;
        }
        if (record.Magic != kIndexMagic || record.RecordNumber != r || record.SamplesBefore < previousSamples ||
            record.SamplesBefore > total)
            return false;
        if (record.ItemPosition % 2 != 0 || record.ItemPosition < previousEnd || record.ItemPosition >= dataSize)
            return false;
        if (record.ItemPosition - previousEnd != 2 * (record.SamplesBefore - previousSamples) ||
            (r == 0 && record.ItemPosition != 0))
            return false;
        if (record.PositionBefore != record.ItemPosition - 2 ||
            record.FirstSampleAfter != (record.SamplesBefore == 0 ? 0 : record.SamplesBefore + 1))
            return false;
        if (record.ItemCount <= 0 || record.ItemCount > dataSize / 2)
            return false;
        if (last) {
            if (record.EndPosition != record.PositionBefore)
                return false;
        } else {
            const int64_t words = (record.EndPosition - record.ItemPosition) / 2;
            // A marker is one word; a block, or a damaged zero word standing
            // alone, one to six.
            const bool lengthFits = record.ItemType != 0
                                        ? words == record.ItemCount
                                        : words >= record.ItemCount && words <= kMaxBlockLength * record.ItemCount;
            if (record.EndPosition % 2 != 0 || record.EndPosition > dataSize || !lengthFits)
                return false;
        }
        previousSamples = record.SamplesBefore;
        previousEnd = record.EndPosition;
    }
    return true;
}

} // namespace

TIndexFileWrapperVornRMPrv::TIndexFileWrapperVornRMPrv(TPreviewEnginePelkRM& engine) : engine_(engine) {}

std::shared_ptr<const TIndexFileWrapperVornRMPrv::Loaded> TIndexFileWrapperVornRMPrv::makeLoaded(
    std::vector<TIndexRecord> records, int64_t totalSamples, int64_t lastRunEnd) {
    auto loaded = std::make_shared<Loaded>();
    loaded->totalSamples = totalSamples;
    loaded->samplesBefore.reserve(records.size());
    loaded->runEnd.reserve(records.size());
    for (size_t r = 0; r < records.size(); ++r) {
        loaded->samplesBefore.push_back(records[r].SamplesBefore);
        loaded->runEnd.push_back(r + 1 == records.size() ? lastRunEnd : records[r].EndPosition);
    }
    loaded->records = std::move(records);
    return loaded;
}

bool TIndexFileWrapperVornRMPrv::LoadIndex(const std::string& name, TLargeFileWrapper& data) {
    CloseIndexFile();
    if (data.IsOpenFile(name))
        return false;
    ExclusiveFile file;
    if (file.open(name, ExclusiveFile::Mode::ReadOnly) != ExclusiveFile::Result::Ok)
        return false;
    const int64_t size = file.size();
    if (size < kIndexTrailerBytes + kIndexRecordBytes || (size - kIndexTrailerBytes) % kIndexRecordBytes != 0)
        return false;
    // Every record but an all-zero first one stands for at least one control
    // word of the data file: a larger index belongs to another file.
    const int64_t count = (size - kIndexTrailerBytes) / kIndexRecordBytes;
    if (count > data.OpenFileSize() / 2 + 1)
        return false;
    std::vector<TIndexRecord> records(static_cast<size_t>(count));
    const int64_t recordBytes = size - kIndexTrailerBytes;
    int64_t total = 0;
    if (file.readAt(0, records.data(), static_cast<size_t>(recordBytes)) != recordBytes ||
        file.readAt(recordBytes, &total, sizeof total) != static_cast<int64_t>(sizeof total))
        return false;
    if (!recordsFit(records, total, data.OpenFileSize()))
        return false;
    const std::optional<int64_t> end = lastRunEnd(records.back(), total - records.back().SamplesBefore, data);
    if (!end)
        return false;
    install(makeLoaded(std::move(records), total, *end));
    return true;
}

bool TIndexFileWrapperVornRMPrv::SaveIndex(const std::string& name, const TIndexContent& content,
                                           const TLargeFileWrapper& data) {
    install(makeLoaded(content.Records, content.TotalSamples, content.LastRunEnd));
    if (data.IsOpenFile(name))
        return false;
    const auto recordBytes = static_cast<size_t>(content.Records.size() * kIndexRecordBytes);
    unsigned char trailer[kIndexTrailerBytes];
    const TIndexTrailer values{content.TotalSamples, static_cast<uint32_t>(content.Records.size())};
    std::memcpy(trailer, &values.TotalSamples, 8);
    std::memcpy(trailer + 8, &values.RecordCount, 4);
    return replaceFile(name, [&](int fd) {
               return writeWhole(fd, content.Records.data(), recordBytes) &&
                      writeWhole(fd, trailer, sizeof trailer);
           }) == ReplaceResult::Written;
}

void TIndexFileWrapperVornRMPrv::CloseIndexFile() { install(nullptr); }

void TIndexFileWrapperVornRMPrv::install(std::shared_ptr<const Loaded> loaded) {
    std::lock_guard lock(mutex_);
    loaded_ = std::move(loaded);
}

std::shared_ptr<const TIndexFileWrapperVornRMPrv::Loaded> TIndexFileWrapperVornRMPrv::snapshot() const {
    std::lock_guard lock(mutex_);
    return loaded_;
}

int64_t TIndexFileWrapperVornRMPrv::RecordCount() const {
    const auto index = snapshot();
    return index ? static_cast<int64_t>(index->records.size()) : 0;
}

int64_t TIndexFileWrapperVornRMPrv::TotalSamples() const {
    const auto index = snapshot();
    return index ? index->totalSamples : 0;
}

size_t TIndexFileWrapperVornRMPrv::recordAt(const Loaded& index, int64_t s) {
    const auto it = std::upper_bound(index.samplesBefore.begin(), index.samplesBefore.end(), s);
    return it == index.samplesBefore.begin() ? 0 : static_cast<size_t>(it - index.samplesBefore.begin() - 1);
}

int64_t TIndexFileWrapperVornRMPrv::SampleToFilePosition(int64_t s, int64_t& run) const {
    run = 0;
    const auto index = snapshot();
    if (!index || s < 0 || s >= index->totalSamples)
        return 0;
    const size_t r = recordAt(*index, s);
    const int64_t next = r + 1 < index->records.size() ? index->samplesBefore[r + 1] : index->totalSamples;
    run = next - s;
    return index->runEnd[r] + 2 * (s - index->samplesBefore[r]);
}

std::optional<TCalibration> TIndexFileWrapperVornRMPrv::GetCalibrationAt(int64_t s) const {
    const auto index = snapshot();
    if (!index || index->records.empty())
        return std::nullopt;
    const TIndexRecord& record = index->records[recordAt(*index, s)];
    return TCalibration{record.ChannelAZeroPosition, record.ChannelADensity, record.ChannelBZeroPosition,
                        record.ChannelBDensity};
}

int64_t TIndexFileWrapperVornRMPrv::RecordRangeOfSamples(int64_t end, int64_t start, int64_t& endRecord) const {
    endRecord = 0;
    const auto index = snapshot();
    if (!index || index->records.empty())
        return 0;
    endRecord = static_cast<int64_t>(recordAt(*index, end));
    return std::min(static_cast<int64_t>(recordAt(*index, start)), endRecord);
}

int64_t TIndexFileWrapperVornRMPrv::RecordFirstSample(int64_t record) const {
    const auto index = snapshot();
    if (!index || record < 0 || record >= static_cast<int64_t>(index->records.size()))
        return 0;
    return index->records[static_cast<size_t>(record)].FirstSampleAfter;
}

std::optional<double> TIndexFileWrapperVornRMPrv::secondsBetween(const Loaded& index, int64_t start, int64_t end,
                                                                bool& exact) {
    // Segment by segment between the runs that lie strictly between the two
    // samples, each at the rate in force over it.
    size_t r = recordAt(index, start);
    double seconds = 0;
    int64_t from = start;
    for (size_t i = r + 1; i < index.records.size() && index.samplesBefore[i] <= end; ++i) {
        const TIndexRecord& run = index.records[i];
        if (index.records[r].Sampling == 0 || run.Sampling == 0)
            return std::nullopt;
        seconds += static_cast<double>(run.SamplesBefore - from) / index.records[r].Sampling;
        if (run.ItemType == mkOverrun)
            exact = false;
        else if (run.ItemType == mkNotArmed)
            seconds += static_cast<double>(run.ItemCount) / run.Sampling;
        from = run.SamplesBefore;
        r = i;
    }
    if (index.records[r].Sampling == 0)
        return std::nullopt;
    return seconds + static_cast<double>(end - from) / index.records[r].Sampling;
}

std::string TIndexFileWrapperVornRMPrv::TimeBetweenSamples(int64_t a, int64_t b, bool addOrigin,
                                                           bool& exact) const {
    exact = true;
    const auto index = snapshot();
    if (!index || index->records.empty())
        return "?";
    double seconds = 0;
    if (a != b) {
        const std::optional<double> span = secondsBetween(*index, std::min(a, b), std::max(a, b), exact);
        if (!span)
            return "?";
        seconds = a > b ? -*span : *span;
    }
    // The origin's time counts also for a cursor on the origin itself.
    if (addOrigin)
        seconds += engine_.TimeOriginUserValue / 1000;
    return TPreviewEnginePelkRM::MillisecondsToText(seconds * 1000);
}

std::string TIndexFileWrapperVornRMPrv::TimePerDivisionText() const {
    const auto index = snapshot();
    if (!index || index->records.empty())
        return "?";
    const TIndexRecord& record = index->records[recordAt(*index, engine_.ScreenBeginning())];
    if (record.Sampling == 0)
        return "?";
    return TPreviewEnginePelkRM::MillisecondsToText(static_cast<double>(engine_.SamplesPerPoint()) *
                                                    kPixelsPerDivision * 1000 / record.Sampling) +
           "/div";
}

} // namespace rm::viewer
