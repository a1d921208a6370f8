#include "FileSizeCounter.h"

#include "ValueLabelLink.h"

int64_t FileSizeCounter::value() const {
    std::lock_guard lock(fileSizeLock_);
    return bytes_;
}

void FileSizeCounter::set(int64_t bytes) {
    std::lock_guard lock(fileSizeLock_);
    bytes_ = bytes;
    showLocked();
}

void FileSizeCounter::store(int64_t bytes) {
    std::lock_guard lock(fileSizeLock_);
    bytes_ = bytes;
    labelBehind_ = true;
}

void FileSizeCounter::add(int64_t bytes) {
    std::lock_guard lock(fileSizeLock_);
    bytes_ += bytes;
    showLocked();
}

void FileSizeCounter::show() {
    std::lock_guard lock(fileSizeLock_);
    if (labelBehind_)
        showLocked();
}

void FileSizeCounter::showLocked() {
    labelBehind_ = false;
    if (label_)
        label_->setMainValue(static_cast<double>(bytes_));
}

void FileSizeCounter::setLabel(ValueLabelLink* label) {
    std::lock_guard lock(fileSizeLock_);
    label_ = label;
}

ValueLabelLink* FileSizeCounter::label() const {
    std::lock_guard lock(fileSizeLock_);
    return label_;
}
