#include "DataSourceModuleVornRM.h"

#include "VirtualScopeVornRM.h"

#include <algorithm>

void TDataSourceModuleVornRM::SetVirtualScope(TVirtualScopeVornRM* scope) {
    virtualScope_ = scope;
    if (!scope)
        return;
    scope->RegisterListener(controlGroup_, this, [this](TScopeNotifyCode code, int&) {
        if (code == TScopeNotifyCode::snShutdown)
            Detach();
    });
}

void TDataSourceModuleVornRM::Detach() {
    if (virtualScope_)
        virtualScope_->UnregisterListener(this);
    virtualScope_ = nullptr;
}

void TDataSourceModuleVornRM::Reset() {
    {
        std::lock_guard lock(ringLock_);
        readIndex_ = writeIndex_ = readableCount_ = wrappedCount_ = 0;
        wrapped_ = false;
        stopRequested_ = false;
    }
    spaceAvailableEvent_.set();
    std::fill_n(ring_.begin(), 0x40000, uint16_t{0xA5A5});
}

void TDataSourceModuleVornRM::RequestStop() {
    {
        std::lock_guard lock(ringLock_);
        stopRequested_ = true;
    }
    spaceAvailableEvent_.set();
}

bool TDataSourceModuleVornRM::hasRoomLocked() const {
    // In the same lap as the reader, everything from the write position to the
    // end of the ring is free. After the writer wrapped, the room ends where
    // the unread words begin; while the reader is still in the slack the
    // writer waits for it to wrap, so it never wraps a second time first.
    if (!wrapped_)
        return true;
    return readIndex_ < kRingWrapIndex && readIndex_ - writeIndex_ >= kMaxChunkWords;
}

uint16_t* TDataSourceModuleVornRM::GetWritePointer() {
    for (;;) {
        {
            std::lock_guard lock(ringLock_);
            if (stopRequested_)
                return nullptr;
            if (hasRoomLocked())
                return ring_.data() + writeIndex_;
        }
        spaceAvailableEvent_.wait();
    }
}

void TDataSourceModuleVornRM::CommitWrite(int32_t count) {
    bool dataReady = false;
    {
        std::lock_guard lock(ringLock_);
        count = std::clamp(count, 0, kMaxChunkWords);
        writeIndex_ += count;
        if (wrapped_)
            wrappedCount_ += count;
        else
            readableCount_ += count;
        if (writeIndex_ >= kRingWrapIndex) {
            writeIndex_ = 0;
            wrapped_ = true;
        }
        dataReady = readableCount_ > 0;
    }
    if (dataReady)
        dataAvailableEvent_.set();
}

const uint16_t* TDataSourceModuleVornRM::GetReadPointer(int32_t& count, std::chrono::milliseconds wait) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        {
            std::lock_guard lock(ringLock_);
            if (readableCount_ > 0) {
                count = readableCount_;
                return ring_.data() + readIndex_;
            }
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !dataAvailableEvent_.waitFor(left))
            return nullptr;
    }
}

void TDataSourceModuleVornRM::CommitRead(int32_t count) {
    bool room = false;
    bool dataReady = false;
    {
        std::lock_guard lock(ringLock_);
        count = std::clamp(count, 0, readableCount_);
        readableCount_ -= count;
        readIndex_ += count;
        if (wrapped_ && readableCount_ == 0) {  // reached the point where the writer wrapped
            readIndex_ = 0;
            wrapped_ = false;
            readableCount_ += wrappedCount_;
            wrappedCount_ = 0;
        }
        room = hasRoomLocked();
        dataReady = readableCount_ > 0;
    }
    if (room)
        spaceAvailableEvent_.set();
    if (dataReady)
        dataAvailableEvent_.set();
}
