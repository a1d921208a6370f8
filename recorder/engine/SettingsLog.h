#pragma once

#include "ParameterBlock.h"

#include <array>
#include <cstdint>

// The parameter blocks collected between two takes, on their way into the
// ring buffer as one chunk. It holds whole blocks only: a block that no longer
// fits is left out rather than cut, so the stream never carries a torn block.
class SettingsLog {
public:
    static constexpr int32_t kCapacityWords = 1025;

    // False when the block did not fit and was left out.
    bool append(const TParameterBlock& block);
    void clear();
    // Copies the logged words to `destination` (room for kCapacityWords),
    // empties the log and returns the number of words copied.
    int32_t take(uint16_t* destination);

    int32_t wordCount() const { return count_; }
    const uint16_t* words() const { return words_.data(); }

private:
    std::array<uint16_t, kCapacityWords> words_{};
    int32_t count_ = 0;
};
