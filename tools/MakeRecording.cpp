// Writes a sample recording (see SampleRecording.h) for tests, benchmarks and
// reviewers:
//
//   MakeRecording <output file> <size>
//
// The size is in bytes, optionally followed by K, M or G (binary multiples):
// "MakeRecording /tmp/run.rmd 2G" writes a recording of about 2 GiB. An
// existing file is not replaced.

#include "SampleRecording.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Bytes from "123", "64K", "10M", "2G"; -1 when the text is no size.
int64_t parseSize(const std::string& text) {
    if (text.empty() || text[0] < '0' || text[0] > '9')
        return -1;
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || value <= 0)
        return -1;
    const std::string unit(end);
    int shift = 0;
    if (unit == "K" || unit == "k")
        shift = 10;
    else if (unit == "M" || unit == "m")
        shift = 20;
    else if (unit == "G" || unit == "g")
        shift = 30;
    else if (!unit.empty())
        return -1;
    if (value > (int64_t{1} << (62 - shift)))
        return -1;
    return static_cast<int64_t>(value) << shift;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <output file> <size in bytes, or with K, M or G>\n", argv[0]);
        return 2;
    }
    const std::string path = argv[1];
    const int64_t bytes = parseSize(argv[2]);
    if (bytes < 0) {
        std::fprintf(stderr, "%s: \"%s\" is no size (examples: 200000, 64K, 10M, 2G)\n", argv[0], argv[2]);
        return 2;
    }
    struct stat st {};
    if (stat(path.c_str(), &st) == 0) {
        std::fprintf(stderr, "%s: %s exists; remove it first or choose another name\n", argv[0], path.c_str());
        return 1;
    }
    const rm::RecordingSummary made = rm::writeSampleRecording(path, bytes / 2);
    if (!made.written) {
        std::fprintf(stderr, "%s: cannot write %s: %s\n", argv[0], path.c_str(), std::strerror(errno));
        std::remove(path.c_str());
        return 1;
    }
    std::printf("%s: %lld bytes, %lld samples\n", path.c_str(), static_cast<long long>(made.bytes),
                static_cast<long long>(made.samples));
    return 0;
}
