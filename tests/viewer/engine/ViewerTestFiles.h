#pragma once

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace rm::viewer::test {

// A fresh folder under /tmp, removed with everything in it.
class TempDir {
public:
    TempDir() {
        char name[] = "/tmp/rmviewer_test_XXXXXX";
        path_ = mkdtemp(name);
    }
    ~TempDir() { std::system(("chmod -R u+w '" + path_ + "' && rm -rf '" + path_ + "'").c_str()); }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

inline void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline void writeWords(const std::string& path, const std::vector<uint16_t>& words, bool oddByte = false) {
    std::vector<uint8_t> bytes(reinterpret_cast<const uint8_t*>(words.data()),
                               reinterpret_cast<const uint8_t*>(words.data() + words.size()));
    if (oddByte)
        bytes.push_back(0x42);
    writeBytes(path, bytes);
}

inline std::vector<uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline bool exists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

// The sample words of a data file as the format defines them, written
// without the viewer's code: a zero word starts a block of its length when
// that is 4 to 6 and fits a known type (1 to 12), otherwise it stands alone;
// a block cut by the end of the data ends it.
inline std::vector<uint16_t> referenceSamples(const std::vector<uint16_t>& w) {
    const auto expected = [](uint16_t type) -> int {
        if (type == 2 || type == 3)
            return 6;
        if (type >= 10 && type <= 12)
            return 5;
        return type >= 1 && type <= 9 ? 4 : 0;
    };
    std::vector<uint16_t> samples;
    size_t i = 0;
    while (i < w.size()) {
        if (w[i] & 0xFF00) {
            samples.push_back(w[i++]);
        } else if (w[i] != 0) {
            ++i;
        } else {
            const size_t left = w.size() - i;
            if (left < 2)
                break;
            const int length = w[i + 1];
            if (length < 4 || length > 6) {
                ++i;
                continue;
            }
            if (left < 3)
                break;
            const int known = expected(w[i + 2]);
            if (known != 0 && known != length) {
                ++i;
                continue;
            }
            if (left < static_cast<size_t>(length))
                break;
            i += static_cast<size_t>(length);
        }
    }
    return samples;
}

// A random word stream: sample runs, markers, sound and damaged parameter
// blocks, anywhere, possibly ending inside a block.
inline std::vector<uint16_t> randomStream(std::mt19937& rng, size_t items) {
    std::vector<uint16_t> w;
    const auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const auto sample = [&] { return static_cast<uint16_t>(0x0100 + rng() % 0xFF00); };
    for (size_t k = 0; k < items; ++k) {
        switch (pick(8)) {
        case 0:
        case 1:
        case 2: {
            const int run = pick(3) == 0 ? pick(3000) : pick(40);
            for (int s = 0; s < run; ++s)
                w.push_back(sample());
            break;
        }
        case 3: w.push_back(static_cast<uint16_t>(1 + pick(3))); break;
        case 4: {
            const uint16_t type = static_cast<uint16_t>(1 + pick(12));
            const uint16_t length = type == 2 || type == 3 ? 6 : (type >= 10 ? 5 : 4);
            w.insert(w.end(), {0, length, type});
            for (int v = 3; v < length; ++v)
                w.push_back(static_cast<uint16_t>(rng()));
            break;
        }
        case 5: {  // a block of an unknown type
            const uint16_t length = static_cast<uint16_t>(4 + pick(3));
            w.insert(w.end(), {0, length, static_cast<uint16_t>(13 + pick(50))});
            for (int v = 3; v < length; ++v)
                w.push_back(sample());
            break;
        }
        case 6:  // damaged: a length that fits no block, or the wrong one for its type
            if (pick(2))
                w.insert(w.end(), {0, static_cast<uint16_t>(pick(2) ? pick(4) : 7 + pick(100))});
            else
                w.insert(w.end(), {0, 6, 10, sample(), sample(), sample()});
            break;
        default: break;
        }
    }
    if (pick(3) == 0)
        w.insert(w.end(), {0, 6, 2});  // cut by the end of the file
    return w;
}

} // namespace rm::viewer::test
