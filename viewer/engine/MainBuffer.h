#pragma once

#include "PreviewEngine.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

namespace rm::viewer {

class TIndexFileWrapperVornRMPrv;
class TLargeFileWrapper;

inline constexpr uint32_t kMainBufferSamples = 0x80000;

// Reads up to `capacity` consecutive samples from sample `start` on into
// `words`, run by run, each from its own file position; returns how many it
// placed (fewer where the data or a read ends).
int64_t ReadConsecutiveSamples(uint16_t* words, int64_t start, int64_t capacity,
                               const TIndexFileWrapperVornRMPrv& index, TLargeFileWrapper& file);

// The main buffer: 0x80000 consecutive samples of the open file, read by the
// view jobs on the worker thread. Word i holds sample BufferStart() + i; a
// refill starts at the engine's MainBufferPosition whenever that range holds
// the sample asked for, and never moves the engine's positions.
class TMainBufferComponentVornPrv : public IEngineListener {
public:
    explicit TMainBufferComponentVornPrv(TPreviewEnginePelkRM& engine);
    ~TMainBufferComponentVornPrv();

    void EngineNotify(int code, int senderGroup) override;

    uint32_t BufferSize() const { return bufferSize_; }
    uint32_t ValidSamplesCount() const { return validSamplesCount_; }
    bool BufferInvalid() const { return bufferInvalid_; }
    void SetBufferInvalid(bool invalid) { bufferInvalid_ = invalid; }
    int64_t BufferStart() const { return bufferStart_; }

    // The buffer memory; a job keeps its handle while it works, so a shutdown
    // that frees the buffer meanwhile cannot pull it away.
    std::shared_ptr<uint16_t[]> Memory() const;

    // Makes sample s available in `words` (the job's Memory()) and returns how
    // many of the `wanted` samples from s lie at `offset`. Reads the file when
    // s lies outside the buffer. Clears `moreData` when the data ends first.
    // A `scratch` fill (the quick view's pass over the whole file, which
    // marks the buffer invalid afterwards) always reads from s.
    int64_t FillMainBuffer(uint16_t* words, int64_t wanted, int64_t& offset, bool& moreData, int64_t s,
                           const TIndexFileWrapperVornRMPrv& index, TLargeFileWrapper& file,
                           bool scratch = false);

private:
    TPreviewEnginePelkRM& engine_;
    bool linked_ = true;  // registered on the engine's bus
    mutable std::mutex memoryLock_;
    std::shared_ptr<uint16_t[]> memory_;
    std::atomic<uint32_t> bufferSize_{0};
    std::atomic<uint32_t> validSamplesCount_{10000};
    std::atomic<bool> bufferInvalid_{true};
    std::atomic<int64_t> bufferStart_{0};
};

} // namespace rm::viewer
