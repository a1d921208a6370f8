#include "IndexFileWrapper.h"

#include "DataFileFormat.h"
#include "ExclusiveFile.h"
#include "LargeFileWrapper.h"
#include "PreviewEngine.h"
#include "RateTables.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace rm::viewer {

namespace {

// Where the samples after the last run start: the last run's end, which the
// stored record no longer holds. A marker run is one word per item; a run of
// parameter blocks is walked in the data file. None when the data file does
// not hold that run.
std::optional<int64_t> lastRunEnd(const TIndexRecord& last, TLargeFileWrapper& data) {
    if (last.Magic == 0)
        return 0;
    const int64_t size = data.OpenFileSize();
    if (last.ItemCount <= 0 || last.ItemCount > size / 2)
        return std::nullopt;
    if (last.ItemType != 0) {
        const int64_t end = last.ItemPosition + 2 * last.ItemCount;
        return end <= size ? std::optional(end) : std::nullopt;
    }
    // The blocks are walked through a window of the file, so a long run (a
    // zeroed stretch of a damaged file) costs no more memory than a short one.
    constexpr int64_t kWindowWords = 0x8000;
    std::vector<uint16_t> window(static_cast<size_t>(kWindowWords));
    int64_t position = last.ItemPosition;
    int64_t windowStart = position;
    int64_t windowWords = 0;
    for (int64_t item = 0; item < last.ItemCount; ++item) {
        if ((position - windowStart) / 2 + kMaxBlockLength > windowWords && windowStart + 2 * windowWords < size) {
            windowStart = position;
            windowWords = data.ReadAt(window.data(), std::min(2 * kWindowWords, size - position), position) / 2;
        }
        const int64_t i = (position - windowStart) / 2;
        if (i >= windowWords || window[static_cast<size_t>(i)] != kBlockStart)
            return std::nullopt;
        const BlockShape shape =
            classifyBlock(window.data() + i, static_cast<size_t>(windowWords - i));
        if (shape.kind == BlockShape::Incomplete)
            return std::nullopt;
        position += 2 * shape.length;
    }
    return position;
}

// Whether the bytes after the last sample are what a build leaves unindexed:
// nothing, half a word, or a parameter block cut by the end of the file.
bool tailFits(TLargeFileWrapper& data, int64_t impliedEnd) {
    const int64_t rest = data.OpenFileSize() - impliedEnd;
    if (rest == 0 || rest == 1)
        return true;
    if (rest < 0 || rest >= 2 * kMaxBlockLength)
        return false;
    uint16_t words[kMaxBlockLength] = {};
    const size_t count = static_cast<size_t>(rest / 2);
    if (data.ReadAt(words, 2 * static_cast<int64_t>(count), impliedEnd) != 2 * static_cast<int64_t>(count))
        return false;
    return words[0] == kBlockStart && classifyBlock(words, count).kind == BlockShape::Incomplete;
}

bool recordsFit(const std::vector<TIndexRecord>& records, int64_t total, int64_t dataSize) {
    if (total < 0 || total > dataSize / 2)
        return false;
    int64_t previousSamples = 0;
    int64_t previousEnd = 0;
    for (size_t r = 0; r < records.size(); ++r) {
        const TIndexRecord& record = records[r];
        const bool last = r + 1 == records.size();
        if (record.Magic == 0) {
            if (r != 0 || record.SamplesBefore != 0 || record.EndPosition != 0)
                return false;
            continue;
        }
        if (record.Magic != kIndexMagic || record.SamplesBefore < previousSamples || record.SamplesBefore > total)
            return false;
        if (record.ItemPosition < previousEnd || record.ItemPosition >= dataSize)
            return false;
        if (r == 0 && (record.ItemPosition != 0 || record.SamplesBefore != 0))
            return false;
        if (!last && (record.EndPosition <= record.ItemPosition || record.EndPosition > dataSize))
            return false;
        previousSamples = record.SamplesBefore;
        previousEnd = last ? record.ItemPosition : record.EndPosition;
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
    const std::optional<int64_t> end = lastRunEnd(records.back(), data);
    if (!end || !tailFits(data, *end + 2 * (total - records.back().SamplesBefore)))
        return false;
    install(makeLoaded(std::move(records), total, *end));
    return true;
}

bool TIndexFileWrapperVornRMPrv::SaveIndex(const std::string& name, const TIndexContent& content) {
    install(makeLoaded(content.Records, content.TotalSamples, content.LastRunEnd));
    const std::string temporary = name + ".tmp";
    ExclusiveFile file;
    if (file.open(temporary, ExclusiveFile::Mode::Create, true) != ExclusiveFile::Result::Ok)
        return false;
    const auto recordBytes = static_cast<int64_t>(content.Records.size()) * kIndexRecordBytes;
    unsigned char trailer[kIndexTrailerBytes];
    const TIndexTrailer values{content.TotalSamples, static_cast<uint32_t>(content.Records.size())};
    std::memcpy(trailer, &values.TotalSamples, 8);
    std::memcpy(trailer + 8, &values.RecordCount, 4);
    const bool written =
        file.writeAt(0, content.Records.data(), static_cast<size_t>(recordBytes)) == recordBytes &&
        file.writeAt(recordBytes, trailer, sizeof trailer) == kIndexTrailerBytes;
    file.close();
    if (!written || std::rename(temporary.c_str(), name.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
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

std::string TIndexFileWrapperVornRMPrv::TimeBetweenSamples(int64_t a, int64_t b, bool addOrigin,
                                                           bool& exact) const {
    exact = true;
    const auto index = snapshot();
    if (!index || index->records.empty())
        return "?";
    if (a == b)
        return "0s";
    const int64_t start = std::min(a, b);
    const int64_t end = std::max(a, b);
    // The samples from start to end, segment by segment between the runs
    // that lie strictly between the two samples.
    size_t r = recordAt(*index, start);
    double seconds = 0;
    int64_t from = start;
    for (size_t i = r + 1; i < index->records.size() && index->samplesBefore[i] <= end; ++i) {
        const TIndexRecord& run = index->records[i];
        if (index->records[r].Sampling == 0 || run.Sampling == 0)
            return "?";
        seconds += static_cast<double>(run.SamplesBefore - from) / index->records[r].Sampling;
        if (run.ItemType == mkOverrun)
            exact = false;
        else if (run.ItemType == mkNotArmed)
            seconds += static_cast<double>(run.ItemCount) / run.Sampling;
        from = run.SamplesBefore;
        r = i;
    }
    if (index->records[r].Sampling == 0)
        return "?";
    seconds += static_cast<double>(end - from) / index->records[r].Sampling;
    if (a > b)
        seconds = -seconds;
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
