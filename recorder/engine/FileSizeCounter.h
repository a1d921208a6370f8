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
    // Stores the value only (under the writer's lock); show() brings the label
    // up to it once the writer's call has returned.
    void store(int64_t bytes);
    void add(int64_t bytes);
    // Shows a value stored since the label was last set.
    void show();

    void setLabel(ValueLabelLink* label);
    ValueLabelLink* label() const;

private:
    void showLocked();

    mutable std::mutex fileSizeLock_;
    int64_t bytes_ = 0;
    bool labelBehind_ = false;
    ValueLabelLink* label_ = nullptr;
};
