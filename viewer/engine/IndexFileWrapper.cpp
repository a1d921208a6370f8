#include "IndexFileWrapper.h"

#include "DataFileFormat.h"
#include "ExclusiveFile.h"
#include "LargeFileWrapper.h"
#include "PreviewEngine.h"
#include "RateTables.h"
#include "ReplaceFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
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

// The build's all-zero first record when samples come first; it is closed
// as any other, with SamplesFollow set.
bool isAllZeroRecord(const TIndexRecord& record) {
    static constexpr TIndexRecord kZeroRecord{};
    TIndexRecord zero = record;
    zero.SamplesFollow = 0;
    return std::memcmp(&zero, &kZeroRecord, sizeof zero) == 0;
}

// Whether the records tell one consistent story of a data file of
// `dataSize` bytes: every position a whole word, runs in file order, each
// run as long as its items can be, the fields that follow from others equal
// to them, and the sample numbers in step with the positions: only sample
// words lie between two runs, so the bytes from one run's end to the next
// run's start are twice the samples between them.
bool recordsFit(const std::deque<TIndexRecord>& records, int64_t total, int64_t dataSize) {
    if (total < 0 || total > dataSize / 2)
        return false;
    int64_t previousSamples = 0;
    int64_t previousEnd = 0;
    for (size_t r = 0; r < records.size(); ++r) {
        const TIndexRecord& record = records[r];
        const bool last = r + 1 == records.size();
        if (record.Magic == 0) {
            if (r != 0 || !isAllZeroRecord(record))
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
        // Items of one kind that touch each other make one run.
        if (r > 0 && record.ItemPosition == previousEnd && record.ItemType == records[r - 1].ItemType)
            return false;
        if (last) {
            if (record.EndPosition != record.PositionBefore)
                return false;
        } else {
            if (record.EndPosition < record.ItemPosition || record.EndPosition > dataSize)
                return false;
            const int64_t words = (record.EndPosition - record.ItemPosition) / 2;
            // A marker is one word; a block, or a damaged zero word standing
            // alone, one to six.
            const bool lengthFits = record.ItemType != 0
                                        ? words == record.ItemCount
                                        : words >= record.ItemCount && words <= kMaxBlockLength * record.ItemCount;
            if (record.EndPosition % 2 != 0 || !lengthFits)
                return false;
        }
        previousSamples = record.SamplesBefore;
        previousEnd = record.EndPosition;
    }
    return true;
}

// How the data file holds one run of the index: the run from its first item
// to `end`, with samples right before it (`samplesBefore`) and after it
// (`samplesAfter`) or another run touching it.
struct RunPlace {
    int64_t end;
    bool samplesBefore;
    bool samplesAfter;
};

// Whether the data file holds `record`'s run where the index places it:
// ItemCount items of its kind (markers of its type, or parameter blocks)
// ending at `place.end`, sample words where samples lie next to it, and the
// settings the record keeps equal to those its blocks leave (`settings`:
// those in force before the run, on return those after it). One read of the
// run and the words around it. Of a run longer than kWalkedItems blocks
// (a file damaged into a long run of zero words) that much is walked, and its
// settings must stand after that part (an index whose settings change later
// in such a run cannot be confirmed and is built anew); of a long run of
// markers its first items and its last word are read.
bool runMatches(const TIndexRecord& record, const RunPlace& place, TRunSettings& settings,
                TLargeFileWrapper& data) {
    constexpr int64_t kReadWords = kWalkedItems * kMaxBlockLength;
    // A zero word is judged by up to five words after it, which may lie
    // after the run.
    constexpr int64_t kLookAhead = kMaxBlockLength - 1;
    const int64_t runWords = (place.end - record.ItemPosition) / 2;
    const bool whole = runWords <= kReadWords;
    const int64_t before = place.samplesBefore ? 1 : 0;
    const int64_t after = whole ? std::min(kLookAhead, data.OpenFileSize() / 2 - place.end / 2) : 0;
    const int64_t wanted = before + std::min(runWords, kReadWords) + after;
    uint16_t words[1 + kReadWords + kLookAhead];
    if (data.ReadAt(words, 2 * wanted, record.ItemPosition - 2 * before) != 2 * wanted)
        return false;
    if (place.samplesBefore && !isSampleWord(words[0]))
        return false;
    const auto runStart = static_cast<size_t>(before);
    const size_t runEnd = runStart + static_cast<size_t>(std::min(runWords, kReadWords));
    int64_t items = 0;
    for (size_t i = runStart; i < runEnd; ++items) {
        if (record.ItemType != 0) {
            if (words[i] != record.ItemType)
                return false;
            ++i;
            continue;
        }
        if (words[i] != kBlockStart)
            return false;
        const BlockShape shape = classifyBlock(&words[i], static_cast<size_t>(wanted) - i);
        if (shape.kind == BlockShape::Incomplete || i + shape.length > runEnd) {
            if (whole)
                return false;
            break;  // the walk ends at the window's end
        }
        if (shape.kind == BlockShape::Complete)
            settings.Apply(&words[i]);
        i += shape.length;
    }
    if (settings != TRunSettings::Of(record))
        return false;
    if (whole)
        return items == record.ItemCount && (!place.samplesAfter || (after > 0 && isSampleWord(words[runEnd])));
    // The run's last word and the word after it.
    uint16_t tail[2] = {};
    const int64_t tailWords = place.samplesAfter ? 2 : 1;
    if (data.ReadAt(tail, 2 * tailWords, place.end - 2) != 2 * tailWords)
        return false;
    return (record.ItemType == 0 || tail[0] == record.ItemType) && (!place.samplesAfter || isSampleWord(tail[1]));
}

// Whether every run of the records (which fit the data file's size, see
// recordsFit) lies in the data file as the index says.
bool runsMatch(const std::deque<TIndexRecord>& records, int64_t total, int64_t lastEnd, TLargeFileWrapper& data) {
    TRunSettings settings;
    int64_t previousEnd = 0;
    for (size_t r = 0; r < records.size(); ++r) {
        const TIndexRecord& record = records[r];
        if (record.Magic == 0)
            continue;  // the all-zero first record: samples first
        const bool last = r + 1 == records.size();
        const int64_t end = last ? lastEnd : record.EndPosition;
        const bool samplesAfter = last ? total > record.SamplesBefore : records[r + 1].ItemPosition > end;
        if (!runMatches(record, {end, record.ItemPosition > previousEnd, samplesAfter}, settings, data))
            return false;
        previousEnd = end;
    }
    return true;
}

// Records are written and read this many at a time.
constexpr size_t kRecordsPerPiece = 1024;

bool writeIndex(int fd, const TIndexContent& content) {
    std::vector<TIndexRecord> piece;
    piece.reserve(kRecordsPerPiece);
    for (size_t r = 0; r < content.Records.size(); r += piece.size()) {
        const size_t end = std::min(r + kRecordsPerPiece, content.Records.size());
        piece.assign(content.Records.begin() + static_cast<ptrdiff_t>(r),
                     content.Records.begin() + static_cast<ptrdiff_t>(end));
        if (!writeWhole(fd, piece.data(), piece.size() * sizeof(TIndexRecord)))
            return false;
    }
    unsigned char trailer[kIndexTrailerBytes];
    const TIndexTrailer values{content.TotalSamples, static_cast<uint32_t>(content.Records.size())};
    std::memcpy(trailer, &values.TotalSamples, 8);
    std::memcpy(trailer + 8, &values.RecordCount, 4);
    return writeWhole(fd, trailer, sizeof trailer);
}

bool readRecords(ExclusiveFile& file, int64_t count, std::deque<TIndexRecord>& records) {
    std::vector<TIndexRecord> piece(kRecordsPerPiece);
    for (int64_t r = 0; r < count;) {
        const auto n = static_cast<size_t>(std::min<int64_t>(count - r, kRecordsPerPiece));
        const auto bytes = static_cast<int64_t>(n * sizeof(TIndexRecord));
        if (file.readAt(r * kIndexRecordBytes, piece.data(), static_cast<size_t>(bytes)) != bytes)
            return false;
        records.insert(records.end(), piece.begin(), piece.begin() + static_cast<ptrdiff_t>(n));
        r += static_cast<int64_t>(n);
    }
    return true;
}

} // namespace

TIndexFileWrapperVornRMPrv::TIndexFileWrapperVornRMPrv(TPreviewEnginePelkRM& engine) : engine_(engine) {}

std::shared_ptr<const TIndexFileWrapperVornRMPrv::Loaded> TIndexFileWrapperVornRMPrv::makeLoaded(
    std::deque<TIndexRecord> records, int64_t totalSamples, int64_t lastRunEnd) {
    auto loaded = std::make_shared<Loaded>();
    loaded->totalSamples = totalSamples;
    loaded->lastRunEnd = lastRunEnd;
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
    // No index larger than its data file is written: such a one belongs to
    // another file (and checking it would read more than the data file).
    if (size > data.OpenFileSize())
        return false;
    const int64_t count = (size - kIndexTrailerBytes) / kIndexRecordBytes;
    std::deque<TIndexRecord> records;
    int64_t total = 0;
    if (!readRecords(file, count, records) ||
        file.readAt(size - kIndexTrailerBytes, &total, sizeof total) != static_cast<int64_t>(sizeof total))
        return false;
    if (!recordsFit(records, total, data.OpenFileSize()))
        return false;
    const std::optional<int64_t> end = lastRunEnd(records.back(), total - records.back().SamplesBefore, data);
    if (!end || !runsMatch(records, total, *end, data))
        return false;
    install(makeLoaded(std::move(records), total, *end));
    return true;
}

TIndexSaveOutcome TIndexFileWrapperVornRMPrv::SaveIndex(const std::string& name, TIndexContent content,
                                                       const TLargeFileWrapper& data) {
    const int64_t bytes = static_cast<int64_t>(content.Records.size()) * kIndexRecordBytes + kIndexTrailerBytes;
    TIndexSaveOutcome outcome;
    if (data.IsOpenFile(name))
        outcome.Outcome = TIndexSaveOutcome::IsDataFile;
    else if (bytes > data.OpenFileSize())
        outcome.Outcome = TIndexSaveOutcome::LargerThanDataFile;
    else if (testExistingFile(name, readsAsIndexFile) == false)
        outcome.Outcome = TIndexSaveOutcome::NotAnIndex;
    else {
        // Asked again as the file is replaced, should another have taken its place since.
        switch (replaceFile(name, [&](int fd) { return writeIndex(fd, content); }, readsAsIndexFile)) {
        case ReplaceResult::Written: break;
        case ReplaceResult::CannotCreate: outcome.Outcome = TIndexSaveOutcome::CannotWrite; break;
        case ReplaceResult::WriteFailed:
            outcome = {TIndexSaveOutcome::WriteFailed, errno};
            break;
        }
    }
    install(makeLoaded(std::move(content.Records), content.TotalSamples, content.LastRunEnd));
    return outcome;
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
    const auto it = std::upper_bound(index.records.begin(), index.records.end(), s,
                                     [](int64_t sample, const TIndexRecord& r) { return sample < r.SamplesBefore; });
    return it == index.records.begin() ? 0 : static_cast<size_t>(it - index.records.begin() - 1);
}

int64_t TIndexFileWrapperVornRMPrv::SampleToFilePosition(int64_t s, int64_t& run) const {
    run = 0;
    const auto index = snapshot();
    if (!index || s < 0 || s >= index->totalSamples)
        return 0;
    const size_t r = recordAt(*index, s);
    const int64_t next = r + 1 < index->records.size() ? index->records[r + 1].SamplesBefore : index->totalSamples;
    run = next - s;
    return index->runEnd(r) + 2 * (s - index->records[r].SamplesBefore);
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
    for (size_t i = r + 1; i < index.records.size() && index.records[i].SamplesBefore <= end; ++i) {
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
