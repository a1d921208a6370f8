#include "SettingsLog.h"

#include <algorithm>

bool SettingsLog::append(const TParameterBlock& block) {
    const auto words = block.words();
    if (count_ + static_cast<int32_t>(words.size()) > kCapacityWords)
        return false;
    std::copy(words.begin(), words.end(), words_.begin() + count_);
    count_ += static_cast<int32_t>(words.size());
    return true;
}

void SettingsLog::clear() {
    words_.fill(0);
    count_ = 0;
}

int32_t SettingsLog::take(uint16_t* destination) {
    const int32_t taken = count_;
    std::copy_n(words_.begin(), taken, destination);
    clear();
    return taken;
}
