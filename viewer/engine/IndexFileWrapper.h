#pragma once

#include "IndexBuilder.h"
#include "IndexRecord.h"

#include <cstdint>
#include <deque>
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

// What became of a built index that was to be written beside its data file.
struct TIndexSaveOutcome {
    enum Result {
        Written,
        IsDataFile,          // the index's name is the data file itself
        LargerThanDataFile,  // the index would take more room than the data file
        NotAnIndex,          // a file that is no index of ours holds the name: it stays as it is
        CannotWrite,         // the folder or the old index may not be written
        WriteFailed,         // writing failed (`Error` says why, a full disk for one)
    };
    Result Outcome = Written;
    int Error = 0;  // the system's error number of a failed write
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

    // Loads the index file `name` when it exists as a regular file no larger
    // than `data`, is not the data file itself and fits `data`: whole-word
    // positions, runs in file order whose sample numbers keep step with
    // their positions, and an end that fits the data file's. Each run is
    // also checked against the data file where the index places it: its
    // items of its kind, sample words around it, and the rate, deflections
    // and zero positions its parameter blocks leave, so that an index of an
    // earlier recording of the same length, or a damaged one, is not
    // believed. False means a build must follow (no index is loaded then).
    // Reads the records and one small piece of the data file per record.
    bool LoadIndex(const std::string& name, TLargeFileWrapper& data);
    // Takes a built index of `data` and writes it to `name` (replaceFile:
    // through a temporary file renamed when complete, never over anything
    // but a regular file the user may write that reads as an index). When
    // it is not written, the index is kept in memory only and the outcome
    // says why. An index never replaces or touches its data file (a data
    // file named "wind" or "x.ind"), and one larger than its data file is
    // not written.
    TIndexSaveOutcome SaveIndex(const std::string& name, TIndexContent content, const TLargeFileWrapper& data);
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
        std::deque<TIndexRecord> records;
        int64_t totalSamples = 0;
        int64_t lastRunEnd = 0;  // byte after the last run (its record holds PositionBefore)

        // The byte where the samples after record r start.
        int64_t runEnd(size_t r) const { return r + 1 == records.size() ? lastRunEnd : records[r].EndPosition; }
    };

    static std::shared_ptr<const Loaded> makeLoaded(std::deque<TIndexRecord> records, int64_t totalSamples,
                                                    int64_t lastRunEnd);
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
