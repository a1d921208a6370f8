#pragma once

#include "AutoResetEvent.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <mutex>

class TVirtualScopeVornRM;

// The sample ring buffer between the acquisition thread (the one writer) and
// the processing thread (the one reader). The writer asks for a pointer to
// contiguous room, lets the device, the demo generator or the settings log
// fill it and commits the words; the reader asks for the contiguous readable
// span, processes it whole and commits it. Words leave in the order they were
// committed; a wrap leaves no trace in the stream.
class TDataSourceModuleVornRM {
public:
    static constexpr int32_t kRingWords = 0x100000;
    // Chunks start below this index; the words beyond it are slack that a
    // chunk of at most kMaxChunkWords may run into.
    static constexpr int32_t kRingWrapIndex = 0xF0000;
    static constexpr int32_t kMaxChunkWords = kRingWords - kRingWrapIndex;
    static constexpr std::chrono::milliseconds kReadWait{1000};

    TDataSourceModuleVornRM() = default;
    TDataSourceModuleVornRM(const TDataSourceModuleVornRM&) = delete;
    TDataSourceModuleVornRM& operator=(const TDataSourceModuleVornRM&) = delete;

    // Joins the scope's bus, only to leave it again on the shutdown code.
    void SetVirtualScope(TVirtualScopeVornRM* scope);
    TVirtualScopeVornRM* VirtualScope() const { return virtualScope_; }
    int ControlGroup() const { return controlGroup_; }
    void SetControlGroup(int group) { controlGroup_ = group; }
    void Detach();

    // Empties the ring and clears a stop request. Before the threads start.
    void Reset();
    // Wakes a writer waiting for room; GetWritePointer gives no pointer from
    // now until the next Reset.
    void RequestStop();

    // Writer: waits without limit until kMaxChunkWords of contiguous room are
    // free at the write position and returns it; nullptr once a stop was
    // requested.
    uint16_t* GetWritePointer();
    void CommitWrite(int32_t count);

    // Reader: the readable span at the read position, waiting up to `wait`
    // for words; nullptr (and `count` untouched) when none came. Never an
    // empty span.
    const uint16_t* GetReadPointer(int32_t& count, std::chrono::milliseconds wait = kReadWait);
    void CommitRead(int32_t count);

private:
    bool hasRoomLocked() const;

    TVirtualScopeVornRM* virtualScope_ = nullptr;
    int controlGroup_ = 16;

    std::mutex ringLock_;
    int32_t readIndex_ = 0;
    int32_t writeIndex_ = 0;
    int32_t readableCount_ = 0;
    bool wrapped_ = false;
    int32_t wrappedCount_ = 0;
    bool stopRequested_ = false;
    rm::AutoResetEvent spaceAvailableEvent_;
    rm::AutoResetEvent dataAvailableEvent_;

    std::array<uint16_t, kRingWords> ring_{};
};
