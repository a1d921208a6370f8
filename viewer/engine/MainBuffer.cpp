#include "MainBuffer.h"

#include "IndexFileWrapper.h"
#include "LargeFileWrapper.h"

#include <algorithm>

namespace rm::viewer {

int64_t ReadConsecutiveSamples(uint16_t* words, int64_t start, int64_t capacity,
                               const TIndexFileWrapperVornRMPrv& index, TLargeFileWrapper& file) {
    int64_t placed = 0;
    while (placed < capacity) {
        int64_t run = 0;
        const int64_t position = index.SampleToFilePosition(start + placed, run);
        if (run == 0)
            break;
        const int64_t count = std::min(run, capacity - placed);
        const int64_t read = file.ReadAt(words + placed, 2 * count, position) / 2;
        placed += read;
        if (read < count)
            break;
    }
    return placed;
}

TMainBufferComponentVornPrv::TMainBufferComponentVornPrv(TPreviewEnginePelkRM& engine) : engine_(engine) {
    engine.RegisterListener(kGroupNone, this);
}

TMainBufferComponentVornPrv::~TMainBufferComponentVornPrv() {
    if (linked_)
        engine_.UnregisterListener(kGroupNone, this);
}

void TMainBufferComponentVornPrv::EngineNotify(int code, int) {
    switch (code) {
    case enInitialize: {
        validSamplesCount_ = 10000;
        bufferSize_ = kMainBufferSamples;
        engine_.MainBufferSize = kMainBufferSamples;
        engine_.MainBufferRealSamples = kMainBufferSamples;
        bufferInvalid_ = true;
        std::lock_guard lock(memoryLock_);
        memory_ = std::make_shared<uint16_t[]>(kMainBufferSamples);
        break;
    }
    case enShutdown: {
        engine_.UnregisterListener(kGroupNone, this);
        linked_ = false;
        std::lock_guard lock(memoryLock_);
        memory_.reset();
        break;
    }
    case enFileTargeted: bufferInvalid_ = true; break;
    default: break;
    }
}

std::shared_ptr<uint16_t[]> TMainBufferComponentVornPrv::Memory() const {
    std::lock_guard lock(memoryLock_);
    return memory_;
}

int64_t TMainBufferComponentVornPrv::FillMainBuffer(uint16_t* words, int64_t wanted, int64_t& offset,
                                                    bool& moreData, int64_t s,
                                                    const TIndexFileWrapperVornRMPrv& index,
                                                    TLargeFileWrapper& file, bool scratch) {
    const int64_t capacity = bufferSize_;
    const bool hit = !bufferInvalid_ && s >= bufferStart_ && s < bufferStart_ + validSamplesCount_;
    if (!hit) {
        // Refill from the engine's MainBufferPosition when s lies in its
        // range, so that word 0 is the buffer view's first sample, else
        // from s. The positions are the user's: a fill never moves them.
        int64_t start = s;
        if (const int64_t bufferPosition = engine_.MainBufferPosition();
            !scratch && s >= bufferPosition && s - bufferPosition < capacity)
            start = bufferPosition;
        bufferInvalid_ = false;
        validSamplesCount_ = static_cast<uint32_t>(ReadConsecutiveSamples(words, start, capacity, index, file));
        bufferStart_ = start;
    }
    const int64_t end = bufferStart_ + validSamplesCount_;
    if (s >= end) {
        offset = 0;
        moreData = false;
        return 0;
    }
    offset = s - bufferStart_;
    const int64_t available = std::min(end - s, wanted);
    const bool dataEnds = validSamplesCount_ < capacity || end >= index.TotalSamples();
    if (dataEnds && end - s <= wanted)
        moreData = false;
    return available;
}

} // namespace rm::viewer
