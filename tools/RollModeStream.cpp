#include "RollModeStream.h"

namespace rm {

void RollModeStream::Block(uint16_t type, std::initializer_list<uint16_t> values) {
    words_.push_back(0);
    words_.push_back(static_cast<uint16_t>(3 + values.size()));
    words_.push_back(type);
    words_.insert(words_.end(), values);
}

void RollModeStream::SamplesPerSecond(uint32_t rate) {
    Block(10, {static_cast<uint16_t>(rate & 0xFFFF), static_cast<uint16_t>(rate >> 16)});
}

void RollModeStream::StartMeasurement(const Settings& s) {
    Block(1, {1});
    Block(2, {static_cast<uint16_t>(4095 - 2048), s.zeroA, 0});
    Block(3, {static_cast<uint16_t>(4095 - 2048), s.zeroB, 0});
    Block(4, {s.probeA});
    Block(5, {s.probeB});
    Block(6, {1});
    Block(7, {1});
    Block(8, {0});
    Block(9, {0});
    SamplesPerSecond(s.samplesPerSecond);
    Block(11, {static_cast<uint16_t>(s.deflectionA & 0xFFFF), static_cast<uint16_t>(s.deflectionA >> 16)});
    Block(12, {static_cast<uint16_t>(s.deflectionB & 0xFFFF), static_cast<uint16_t>(s.deflectionB >> 16)});
}

void RollModeStream::StopMeasurement() { Block(1, {0}); }

void RollModeStream::Marker(uint16_t type) { words_.push_back(type); }

void RollModeStream::Raw(std::initializer_list<uint16_t> words) { words_.insert(words_.end(), words); }

void RollModeStream::Samples(int64_t count) {
    const size_t first = words_.size();
    words_.resize(first + static_cast<size_t>(count));
    uint64_t x = random_;
    for (size_t i = first; i < words_.size(); ++i) {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        const auto word = static_cast<uint16_t>(x >> 40);
        words_[i] = (word & 0xFF00) ? word : static_cast<uint16_t>(word | 0x0100);
    }
    random_ = x;
}

std::vector<uint16_t> RollModeStream::SampleWords() const {
    std::vector<uint16_t> samples;
    for (size_t i = 0; i < words_.size();) {
        const uint16_t w = words_[i];
        if (w & 0xFF00) {
            samples.push_back(w);
            ++i;
        } else if (w != 0) {
            ++i;
        } else {
            i += i + 1 < words_.size() ? words_[i + 1] : 1;
        }
    }
    return samples;
}

bool RollModeStream::AppendTo(std::FILE* file) {
    const bool ok = std::fwrite(words_.data(), 2, words_.size(), file) == words_.size();
    words_.clear();
    return ok;
}

bool RollModeStream::WriteFile(const std::string& path) const {
    std::FILE* file = std::fopen(path.c_str(), "wbe");
    if (!file)
        return false;
    const bool ok = std::fwrite(words_.data(), 2, words_.size(), file) == words_.size();
    return std::fclose(file) == 0 && ok;
}

} // namespace rm
