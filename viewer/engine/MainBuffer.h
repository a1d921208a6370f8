#pragma once

#include "PreviewEngine.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace rm::viewer {

class TIndexFileWrapperVornRMPrv;
class TLargeFileWrapper;
class TMainBufferPass;

inline constexpr uint32_t kMainBufferSamples = 0x80000;

// The main buffer: 0x80000 consecutive samples of the open file, read by the
// view jobs on the worker thread. Word i holds sample BufferStart() + i, which
// the refill also makes the engine's MainBufferPosition.
//
// The memory holds two blocks of that size: the buffer, and the block a read
// ahead fills meanwhile (TMainBufferPass); a refill that finds its samples
// read ahead makes that block the buffer.
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

    // The buffer memory (both blocks); a job keeps its handle while it works,
    // so a shutdown that frees the buffer meanwhile cannot pull it away.
    std::shared_ptr<uint16_t[]> Memory() const;

    // Makes sample s available in `words` (the job's Memory()) and returns how
    // many of the `wanted` samples from s lie at `words + offset`. Reads the
    // file when s lies outside the buffer. Clears `moreData` when the data
    // ends first.
    int64_t FillMainBuffer(uint16_t* words, int64_t wanted, int64_t& offset, bool& moreData, int64_t s,
                           const TIndexFileWrapperVornRMPrv& index, TLargeFileWrapper& file);

private:
    friend class TMainBufferPass;

    TPreviewEnginePelkRM& engine_;
    bool linked_ = true;  // registered on the engine's bus
    mutable std::mutex memoryLock_;
    std::shared_ptr<uint16_t[]> memory_;
    std::atomic<uint32_t> bufferSize_{0};
    std::atomic<uint32_t> validSamplesCount_{10000};
    std::atomic<bool> bufferInvalid_{true};
    std::atomic<int64_t> bufferStart_{0};
    std::atomic<int64_t> blockBase_{0};  // where the buffer's block starts in the memory
    TMainBufferPass* pass_ = nullptr;  // worker thread only
};

// One pass of a view job over consecutive samples up to `endSample`: while it
// exists, each refill of the main buffer that does not reach that end also
// starts reading the block after it on a second thread, so the file is read
// while the job folds the samples it has. A `scratch` pass (the quick view's
// pass over the whole file) leaves the engine's MainBufferPosition where it
// is, so the screen keeps its place meanwhile; the job marks the buffer
// invalid afterwards. Made and ended on the worker thread.
class TMainBufferPass {
public:
    TMainBufferPass(TMainBufferComponentVornPrv& buffer, int64_t endSample, bool scratch);
    // Waits for the read in flight.
    ~TMainBufferPass();
    TMainBufferPass(const TMainBufferPass&) = delete;
    TMainBufferPass& operator=(const TMainBufferPass&) = delete;

private:
    friend class TMainBufferComponentVornPrv;
    struct Read {
        int64_t start;
        int64_t count;
        uint16_t* block;
        const TIndexFileWrapperVornRMPrv* index;
        TLargeFileWrapper* file;
    };
    enum class State { Idle, Asked, Reading, Done };

    // Starts reading after the previous read has ended.
    void Start(const Read& read);
    // The words read from `start`, once that read has ended; none when no
    // read began there.
    std::optional<int64_t> Take(int64_t start);
    void Run();

    TMainBufferComponentVornPrv& buffer_;
    const int64_t endSample_;
    const bool scratch_;
    std::mutex mutex_;
    std::condition_variable changed_;
    State state_ = State::Idle;
    Read read_{};
    int64_t wordsRead_ = 0;
    bool quit_ = false;
    std::thread thread_;  // started with the first read
};

} // namespace rm::viewer
