#include "MainBuffer.h"

#include "IndexFileWrapper.h"
#include "LargeFileWrapper.h"

#include <algorithm>
#include <chrono>

namespace rm::viewer {

namespace {

// Reads up to `capacity` consecutive samples from `start` into `words`, run
// by run, each from its own file position; returns how many it placed.
int64_t readSamples(uint16_t* words, int64_t start, int64_t capacity, const TIndexFileWrapperVornRMPrv& index,
                    TLargeFileWrapper& file) {
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

} // namespace

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
        blockBase_ = 0;
        std::lock_guard lock(memoryLock_);
        memory_ = std::make_shared<uint16_t[]>(2 * kMainBufferSamples);
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
                                                    TLargeFileWrapper& file) {
    const int64_t capacity = bufferSize_;
    const bool hit = !bufferInvalid_ && s >= bufferStart_ && s < bufferStart_ + validSamplesCount_;
    if (!hit) {
        // Refill from the buffer position the engine accepts for s (at or
        // before s), so that the engine's position and word 0 stay the same.
        int64_t start = s;
        if (!pass_ || !pass_->scratch_) {
            start = engine_.SetMainBufferPosition(s);
            if (start > s || s - start >= capacity)
                start = s;
        }
        bufferInvalid_ = false;
        const std::optional<int64_t> ahead = pass_ ? pass_->Take(start) : std::nullopt;
        if (ahead)
            blockBase_ = capacity - blockBase_;  // the block read ahead becomes the buffer
        const int64_t placed = ahead ? *ahead : readSamples(words + blockBase_, start, capacity, index, file);
        bufferStart_ = start;
        validSamplesCount_ = static_cast<uint32_t>(placed);
        if (pass_ && placed == capacity && start + placed < pass_->endSample_)
            pass_->Start({start + placed, capacity, words + (capacity - blockBase_), &index, &file});
    }
    const int64_t end = bufferStart_ + validSamplesCount_;
    if (s >= end) {
        offset = blockBase_;
        moreData = false;
        return 0;
    }
    offset = blockBase_ + s - bufferStart_;
    const int64_t available = std::min(end - s, wanted);
    const bool dataEnds = validSamplesCount_ < capacity || end >= index.TotalSamples();
    if (dataEnds && end - s <= wanted)
        moreData = false;
    return available;
}

// --- pass with read ahead ------------------------------------------------------------------

namespace {

// Waits under `lock` until `ready()`. The two threads hand a block to each
// other about every 100 microseconds, so each first looks again for a short
// while before it sleeps: waking a sleeping thread costs more than that.
template <typename Ready>
void awaitHandOver(std::unique_lock<std::mutex>& lock, std::condition_variable& changed, Ready ready) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(200);
    while (!ready() && std::chrono::steady_clock::now() < until) {
        lock.unlock();
        std::this_thread::yield();
        lock.lock();
    }
    changed.wait(lock, ready);
}

} // namespace

TMainBufferPass::TMainBufferPass(TMainBufferComponentVornPrv& buffer, int64_t endSample, bool scratch)
    : buffer_(buffer), endSample_(endSample), scratch_(scratch) {
    buffer_.pass_ = this;
}

TMainBufferPass::~TMainBufferPass() {
    buffer_.pass_ = nullptr;
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

void TMainBufferPass::Start(const Read& read) {
    {
        std::unique_lock lock(mutex_);
        awaitHandOver(lock, changed_, [this] { return state_ == State::Idle || state_ == State::Done; });
        read_ = read;
        state_ = State::Asked;
    }
    changed_.notify_all();
    if (!thread_.joinable())
        thread_ = std::thread([this] { Run(); });
}

std::optional<int64_t> TMainBufferPass::Take(int64_t start) {
    std::unique_lock lock(mutex_);
    if (state_ == State::Idle)
        return std::nullopt;
    awaitHandOver(lock, changed_, [this] { return state_ == State::Done; });
    state_ = State::Idle;
    if (read_.start != start)
        return std::nullopt;
    return wordsRead_;
}

void TMainBufferPass::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        awaitHandOver(lock, changed_, [this] { return state_ == State::Asked || quit_; });
        if (quit_)
            return;
        state_ = State::Reading;
        const Read read = read_;
        lock.unlock();
        const int64_t words = readSamples(read.block, read.start, read.count, *read.index, *read.file);
        lock.lock();
        wordsRead_ = words;
        state_ = State::Done;
        changed_.notify_all();
    }
}

} // namespace rm::viewer
