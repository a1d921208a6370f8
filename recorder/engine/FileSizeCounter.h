#pragma once

#include <cstdint>
#include <mutex>

class ValueLabelLink;

// The bytes in the data file, guarded by FileSizeLock together with the label
// that shows them. Set from the user-interface and the processing thread.
class FileSizeCounter {
public:
    int64_t value() const;
    // Stores the value and shows it on the label.
    void set(int64_t bytes);
    // Stores the value only; the label follows at the next set() or add().
    void store(int64_t bytes);
    void add(int64_t bytes);

    void setLabel(ValueLabelLink* label);
    ValueLabelLink* label() const;

private:
    mutable std::mutex fileSizeLock_;
    int64_t bytes_ = 0;
    ValueLabelLink* label_ = nullptr;
};
