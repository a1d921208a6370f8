#include "IndexBuilder.h"

#include "DataFileFormat.h"
#include "LargeFileWrapper.h"
#include "ProgressDisplay.h"
#include "VectorClones.h"

#include <algorithm>
#include <memory>
#include <new>

namespace rm::viewer {

namespace {

// The first word at or after `i` whose high byte is 0, or `count`. Blocks of
// 128 words are tested with a loop the compiler turns into vector compares.
RM_AVX2_CLONE size_t findControlWord(const uint16_t* words, size_t i,
                                                                          size_t count) {
    constexpr size_t kBlock = 128;
    while (i + kBlock <= count) {
        uint16_t control = 0;
        for (size_t k = 0; k < kBlock; ++k)
            control |= static_cast<uint16_t>((words[i + k] & 0xFF00) == 0);
        if (control)
            break;
        i += kBlock;
    }
    while (i < count && isSampleWord(words[i]))
        ++i;
    return i;
}

} // namespace

int64_t TIndexBuilder::ScanChunk(const uint16_t* words, size_t count, int64_t chunkPosition,
                                 bool atFileEnd) {
    int64_t controlWords = 0;
    size_t i = 0;
    int64_t incompleteBytes = 0;
    for (;;) {
        i = findControlWord(words, i, count);
        if (i >= count)
            break;
        const int64_t samplesBefore = samples_ + static_cast<int64_t>(i) - controlWords;
        const int64_t position = chunkPosition + 2 * static_cast<int64_t>(i);
        if (words[i] != kBlockStart) {
            AddItem(words + i, samplesBefore, position, 1, false);
            controlWords += 1;
            i += 1;
            continue;
        }
        const BlockShape shape = classifyBlock(words + i, count - i);
        if (shape.kind == BlockShape::Incomplete) {
            if (atFileEnd)
                content_.EndsInsideBlock = true;
            else
                incompleteBytes = 2 * static_cast<int64_t>(count - i);
            controlWords += static_cast<int64_t>(count - i);
            break;
        }
        if (shape.kind == BlockShape::Damaged)
            content_.DamagedWords += 1;
        AddItem(words + i, samplesBefore, position, shape.length, shape.kind == BlockShape::Complete);
        controlWords += shape.length;
        i += shape.length;
    }
    samples_ += static_cast<int64_t>(count) - controlWords;
    return incompleteBytes;
}

void TIndexBuilder::AddItem(const uint16_t* item, int64_t samplesBefore, int64_t position,
                            int64_t length, bool soundBlock) {
    if (soundBlock)
        actual_.Apply(item);
    if (open_.EndPosition < position || open_.ItemType != item[0]) {
        open_.SamplesFollow = open_.EndPosition < position ? 1 : 0;
        WriteRecord();
        open_.Magic = 0;
        open_.ItemCount = 0;
        ++indexElementsCount_;
    }
    open_.EndPosition = position + 2 * length;
    open_.ItemCount += 1;
    open_.ItemType = static_cast<uint8_t>(item[0] & 0xFF);
    actual_.StoreIn(open_);
    if (open_.Magic == 0) {
        open_.RecordNumber = indexElementsCount_;
        open_.ItemPosition = position;
        open_.SamplesBefore = samplesBefore;
        open_.FirstSampleAfter = samplesBefore == 0 ? 0 : samplesBefore + 1;
        open_.PositionBefore = position - 2;
    }
    open_.Magic = kIndexMagic;
}

void TIndexBuilder::WriteRecord() { content_.Records.push_back(open_); }

TIndexContent& TIndexBuilder::FinishIndex() {
    ++indexElementsCount_;
    content_.LastRunEnd = open_.EndPosition;
    open_.EndPosition = open_.PositionBefore;
    WriteRecord();
    content_.TotalSamples = samples_;
    return content_;
}

namespace {

std::unique_ptr<uint16_t[]> allocateChunk(size_t& bytes) {
    for (;;) {
        if (auto chunk = std::unique_ptr<uint16_t[]>(new (std::nothrow) uint16_t[bytes / 2]))
            return chunk;
        if (bytes / 2 < kMinIndexChunkBytes)
            return nullptr;
        bytes /= 2;
    }
}

} // namespace

bool BuildIndex(TLargeFileWrapper& file, TIndexContent& result, ProgressGauge& gauge,
                const std::function<bool()>& stopRequested, size_t chunkBytes) {
    chunkBytes = std::max(chunkBytes & ~size_t{1}, kMinIndexChunkBytes);
    const auto chunk = allocateChunk(chunkBytes);
    if (!chunk)
        return false;
    TIndexBuilder builder;
    const int64_t size = file.OpenFileSize();
    int64_t done = 0;
    gauge.Start();
    while (done < size) {
        if (stopRequested())
            return false;
        const int64_t wanted = std::min<int64_t>(static_cast<int64_t>(chunkBytes), size - done);
        const int64_t read = file.ReadAt(chunk.get(), wanted, done);
        if (read <= 0)
            break;  // a read error ends the data here
        const bool atEnd = read < wanted || done + read >= size;
        const int64_t incomplete = builder.ScanChunk(chunk.get(), static_cast<size_t>(read / 2), done, atEnd);
        if (atEnd && read % 2 != 0)
            builder.Content().OddSize = true;
        gauge.Update(done + read, size);
        if (atEnd)
            break;
        done += read - incomplete;
    }
    result = std::move(builder.FinishIndex());
    return true;
}

} // namespace rm::viewer
