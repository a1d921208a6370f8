#pragma once

#include <cstdint>

// What the flow manager and the processing thread need of a live display. The
// shift and the sweeping display implement it; tests use plain stand-ins.
class LiveDisplay {
public:
    virtual ~LiveDisplay() = default;

    // Processing thread: `count` consecutive words of the ring buffer.
    virtual void NewData(const uint16_t* words, int64_t count) = 0;

    // User-interface thread.
    virtual void ResizeBuffer() = 0;
    virtual void ClearScreen() = 0;
    virtual void setDisplayVisible(bool visible) = 0;
};
