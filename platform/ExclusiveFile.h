#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace rm {

// A file held exclusively by this process: opened with O_CLOEXEC, then locked
// with flock(LOCK_EX | LOCK_NB). Another holder of the lock (the other program)
// makes open() fail with SharingViolation. Only regular files are taken (links
// to them are followed): the open never waits, so a named pipe, a device or a
// socket in the file's place is refused with NotRegular at once, and nothing
// is truncated. A file without any write bit is opened for reading only: the
// write modes refuse it (Failed, EACCES) for every user, the superuser
// included. Positions and sizes are 64-bit.
class ExclusiveFile {
public:
    enum class Mode {
        ReadOnly,   // existing file, read only
        ReadWrite,  // existing file, read and write
        Create,     // create when missing, else open; truncated only once locked
    };
    enum class Result { Ok, NotFound, SharingViolation, NotRegular, Failed };

    ExclusiveFile() = default;
    ~ExclusiveFile();
    ExclusiveFile(ExclusiveFile&& other) noexcept;
    ExclusiveFile& operator=(ExclusiveFile&& other) noexcept;
    ExclusiveFile(const ExclusiveFile&) = delete;
    ExclusiveFile& operator=(const ExclusiveFile&) = delete;

    // With Mode::Create and `truncate`, the file is emptied after the lock is
    // held. The errno of a failure is kept in lastErrno(); with NotRegular it
    // is EISDIR for a folder and EINVAL for anything else.
    Result open(const std::string& path, Mode mode, bool truncate = false);
    void close();

    bool isOpen() const { return fd_ >= 0; }
    int lastErrno() const { return lastErrno_; }
    int fd() const { return fd_; }
    // True when `path` names the open file (same device and inode), under
    // whatever spelling or other link of it; false without an open file.
    bool isFile(const std::string& path) const;

    int64_t size() const;  // -1 on failure
    // Reads up to `count` bytes at `position`; returns the bytes read (short
    // only at the end of the file) or -1 on failure. Retries interrupted reads.
    int64_t readAt(int64_t position, void* buffer, size_t count);
    // Writes all `count` bytes at `position`; returns the bytes actually
    // written, which is less than `count` only on failure.
    int64_t writeAt(int64_t position, const void* buffer, size_t count);
    // Writes at the end of the file; same result as writeAt.
    int64_t append(const void* buffer, size_t count);
    bool truncate(int64_t size);

private:
    int fd_ = -1;
    int lastErrno_ = 0;
};

} // namespace rm
