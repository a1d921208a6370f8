#pragma once

#include "IndexRecord.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>

namespace rm::viewer {

class TLargeFileWrapper;
class ProgressGauge;

// What one pass over a data file found.
struct TIndexContent {
    // A deque grows without moving what it holds, so a build of millions of
    // records needs about their own size, never a second copy.
    std::deque<TIndexRecord> Records;
    int64_t TotalSamples = 0;
    int64_t LastRunEnd = 0;       // byte after the last run (its record holds PositionBefore)
    int64_t DamagedWords = 0;     // zero words whose block length or type did not fit
    bool EndsInsideBlock = false; // the file ends inside a parameter block
    bool OddSize = false;         // the file ends with half a word
};

// Turns the words of a data file, chunk by chunk, into index records: every
// run of adjacent control items of one kind (markers of one type, or
// parameter blocks) becomes one record with the settings in force after it.
class TIndexBuilder {
public:
    // Scans `count` words read from byte `chunkPosition`. Returns the bytes of
    // a parameter block cut by the chunk's end, which the next chunk must
    // start with; 0 when the chunk was taken whole. With `atFileEnd` a cut
    // block ends the data instead (its words are no samples).
    int64_t ScanChunk(const uint16_t* words, size_t count, int64_t chunkPosition, bool atFileEnd);
    // Closes the last record; the content is ready afterwards.
    TIndexContent& FinishIndex();
    TIndexContent& Content() { return content_; }

private:
    void AddItem(const uint16_t* item, int64_t samplesBefore, int64_t position, int64_t length,
                 bool soundBlock);
    void WriteRecord();

    TIndexContent content_;
    int64_t samples_ = 0;
    uint32_t indexElementsCount_ = 0;
    TIndexRecord open_{};
    TRunSettings actual_;
};

inline constexpr size_t kIndexChunkBytes = 0x100000;
inline constexpr size_t kMinIndexChunkBytes = 16;

// Reads the whole data file front to back in chunks of `chunkBytes` (halved
// while that much memory cannot be had) and builds its index. Returns false
// when `stopRequested` said so between two chunks.
bool BuildIndex(TLargeFileWrapper& file, TIndexContent& result, ProgressGauge& gauge,
                const std::function<bool()>& stopRequested, size_t chunkBytes = kIndexChunkBytes);

} // namespace rm::viewer
