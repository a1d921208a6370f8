#pragma once

#include "IndexBuilder.h"
#include "IndexRecord.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace rm::viewer {

class TLargeFileWrapper;
class TPreviewEnginePelkRM;

// Zero positions (sample codes) and deflections (mV per division) of both
// channels in force at a sample.
struct TCalibration {
    int16_t ChannelAZeroPosition;  // 16-bit two's complement: 0 V may lie below the screen
    uint32_t ChannelADensity;
    int16_t ChannelBZeroPosition;
    uint32_t ChannelBDensity;
};

// The index of the open data file: loads, checks and writes the index file
// beside it and answers every lookup from a sample number.
//
// Samples are numbered 0 .. TotalSamples - 1, one number per sample word of
// the data file. Record r's run of control items has SamplesBefore(r) samples
// before it; the samples SamplesBefore(r) .. SamplesBefore(r + 1) - 1 follow
// it (up to TotalSamples after the last record). Lookups may come from any
// thread; a load or a build's end replaces the records whole.
class TIndexFileWrapperVornRMPrv {
public:
    explicit TIndexFileWrapperVornRMPrv(TPreviewEnginePelkRM& engine);

    // Loads the index file `name` when it exists as a regular file, is not
    // the data file itself and fits `data`: whole-word positions, runs in
    // file order whose sample numbers keep step with their positions, and an
    // end that fits the data file's. False means a build must follow (no
    // index is loaded then). Reads the records and a few words of the data
    // file, whatever the file's length or content.
    bool LoadIndex(const std::string& name, TLargeFileWrapper& data);
    // Takes a built index of `data` and writes it to `name` (replaceFile:
    // through a temporary file renamed when complete, never over anything
    // but a regular file the user may write). Returns false when it was not
    // written; the index is then kept in memory only. An index never
    // replaces or touches its data file: when `name` is the data file (a data
    // file named "wind" or "x.ind"), nothing is written.
    bool SaveIndex(const std::string& name, const TIndexContent& content, const TLargeFileWrapper& data);
    void CloseIndexFile();

    int64_t RecordCount() const;
    int64_t TotalSamples() const;

    // Byte position of sample s and, in `run`, the consecutive sample words
    // that can be read from there; a run of 0 means no data.
    int64_t SampleToFilePosition(int64_t s, int64_t& run) const;
    // None while no index is loaded.
    std::optional<TCalibration> GetCalibrationAt(int64_t s) const;
    // The records holding `start` (result) and `end` (`endRecord`).
    int64_t RecordRangeOfSamples(int64_t end, int64_t start, int64_t& endRecord) const;
    // The record's FirstSampleAfter; 0 when there is no such record.
    int64_t RecordFirstSample(int64_t record) const;
    // The time from sample a to sample b ("-" in front when b lies before a),
    // plus the time origin's user time when `addOrigin`; `exact` is false when
    // an overrun lies between them. "?" without an index or a sampling rate.
    std::string TimeBetweenSamples(int64_t a, int64_t b, bool addOrigin, bool& exact) const;
    // The time one display division (50 points) covers at the screen's start.
    std::string TimePerDivisionText() const;

private:
    struct Loaded {
        std::vector<TIndexRecord> records;
        std::vector<int64_t> samplesBefore;  // per record, for binary search
        std::vector<int64_t> runEnd;         // per record: byte where its samples start
        int64_t totalSamples = 0;
    };

    static std::shared_ptr<const Loaded> makeLoaded(std::vector<TIndexRecord> records,
                                                    int64_t totalSamples, int64_t lastRunEnd);
    std::shared_ptr<const Loaded> snapshot() const;
    void install(std::shared_ptr<const Loaded> loaded);
    // The last record with SamplesBefore <= s, or 0.
    static size_t recordAt(const Loaded& index, int64_t s);
    // Seconds from sample start to sample end (start < end); none where a
    // segment has no sampling rate. Clears `exact` across an overrun.
    static std::optional<double> secondsBetween(const Loaded& index, int64_t start, int64_t end, bool& exact);

    TPreviewEnginePelkRM& engine_;
    mutable std::mutex mutex_;
    std::shared_ptr<const Loaded> loaded_;
};

} // namespace rm::viewer
