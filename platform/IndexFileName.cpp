#include "IndexFileName.h"

#include <sys/stat.h>
#include <unistd.h>

namespace rm {

namespace {

constexpr int64_t kRecordNumberByte = 4;
constexpr int64_t kSamplesFollowByte = 84;

uint32_t little32(const unsigned char* bytes) {
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

bool opensRecord(const unsigned char* record, uint32_t number) {
    return (record[0] | record[1] << 8) == kIndexMagic && little32(record + kRecordNumberByte) == number;
}

// The record the viewer writes first when a data file begins with samples.
bool isZeroRecord(const unsigned char* record) {
    for (int64_t i = 0; i < kIndexRecordBytes; ++i)
        if (i != kSamplesFollowByte && record[i] != 0)
            return false;
    return true;
}

} // namespace

std::string indexFileName(const std::string& dataFileName) {
    if (dataFileName.size() <= 3)
        return "ind";
    return dataFileName.substr(0, dataFileName.size() - 3) + "ind";
}

bool readsAsIndexFile(int fd) {
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    const int64_t size = status.st_size;
    if (size < kIndexRecordBytes + kIndexTrailerBytes || (size - kIndexTrailerBytes) % kIndexRecordBytes != 0)
        return false;
    const bool single = size == kIndexRecordBytes + kIndexTrailerBytes;
    unsigned char head[2 * kIndexRecordBytes] = {};
    const auto wanted = static_cast<size_t>(single ? kIndexRecordBytes : 2 * kIndexRecordBytes);
    if (::pread(fd, head, wanted, 0) != static_cast<ssize_t>(wanted))
        return false;
    if (opensRecord(head, 0))
        return true;
    if (!isZeroRecord(head))
        return false;
    if (!single)
        return opensRecord(head + kIndexRecordBytes, 1);
    unsigned char count[4] = {};
    return ::pread(fd, count, sizeof count, size - 4) == sizeof count && little32(count) == 1;
}

} // namespace rm
