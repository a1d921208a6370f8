#include "ExclusiveFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace rm {

ExclusiveFile::~ExclusiveFile() { close(); }

ExclusiveFile::ExclusiveFile(ExclusiveFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), lastErrno_(other.lastErrno_) {}

ExclusiveFile& ExclusiveFile::operator=(ExclusiveFile&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
        lastErrno_ = other.lastErrno_;
    }
    return *this;
}

namespace {

// EISDIR for a folder, EINVAL for a pipe, a device or a socket.
int notRegularErrno(const struct stat& status) { return S_ISDIR(status.st_mode) ? EISDIR : EINVAL; }

} // namespace

ExclusiveFile::Result ExclusiveFile::open(const std::string& path, Mode mode, bool truncateFile) {
    close();
    // O_NONBLOCK: opening a named pipe would otherwise wait for its other end
    // for good. It is taken off again once the file is known to be regular.
    int flags = O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
    switch (mode) {
    case Mode::ReadOnly: flags |= O_RDONLY; break;
    case Mode::ReadWrite: flags |= O_RDWR; break;
    case Mode::Create: flags |= O_RDWR | O_CREAT; break;
    }
    struct stat status {};
    const int fd = ::open(path.c_str(), flags, 0644);
    if (fd < 0) {
        lastErrno_ = errno;
        if (lastErrno_ == ENOENT)
            return Result::NotFound;
        // A socket, or a folder opened for writing, fails the open itself.
        if (::stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
            lastErrno_ = notRegularErrno(status);
            return Result::NotRegular;
        }
        return Result::Failed;
    }
    if (fstat(fd, &status) != 0) {
        lastErrno_ = errno;
        ::close(fd);
        return Result::Failed;
    }
    if (!S_ISREG(status.st_mode)) {
        lastErrno_ = notRegularErrno(status);
        ::close(fd);
        return Result::NotRegular;
    }
    // A file with no write bit is never written, not even by the superuser,
    // whom the system would let through.
    if (mode != Mode::ReadOnly && (status.st_mode & 0222) == 0) {
        lastErrno_ = EACCES;
        ::close(fd);
        return Result::Failed;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        lastErrno_ = errno;
        ::close(fd);
        return lastErrno_ == EWOULDBLOCK ? Result::SharingViolation : Result::Failed;
    }
    fd_ = fd;
    if (mode == Mode::Create && truncateFile && !truncate(0)) {
        const int err = lastErrno_;
        close();
        lastErrno_ = err;
        return Result::Failed;
    }
    lastErrno_ = 0;
    return Result::Ok;
}

void ExclusiveFile::close() {
    if (fd_ >= 0) {
        ::close(fd_);  // closing the descriptor releases the lock
        fd_ = -1;
    }
}

bool ExclusiveFile::isFile(const std::string& path) const {
    struct stat open {}, named {};
    return fd_ >= 0 && fstat(fd_, &open) == 0 && stat(path.c_str(), &named) == 0 && open.st_dev == named.st_dev &&
           open.st_ino == named.st_ino;
}

int64_t ExclusiveFile::size() const {
    struct stat st {};
    if (fd_ < 0 || fstat(fd_, &st) != 0)
        return -1;
    return static_cast<int64_t>(st.st_size);
}

int64_t ExclusiveFile::readAt(int64_t position, void* buffer, size_t count) {
    auto* out = static_cast<char*>(buffer);
    size_t done = 0;
    while (done < count) {
        const ssize_t n = pread(fd_, out + done, count - done, static_cast<off_t>(position + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            lastErrno_ = errno;
            return -1;
        }
        if (n == 0)
            break;
        done += static_cast<size_t>(n);
    }
    return static_cast<int64_t>(done);
}

int64_t ExclusiveFile::writeAt(int64_t position, const void* buffer, size_t count) {
    const auto* in = static_cast<const char*>(buffer);
    size_t done = 0;
    while (done < count) {
        const ssize_t n = pwrite(fd_, in + done, count - done, static_cast<off_t>(position + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            lastErrno_ = errno;
            break;
        }
        if (n == 0) {
            lastErrno_ = ENOSPC;
            break;
        }
        done += static_cast<size_t>(n);
    }
    return static_cast<int64_t>(done);
}

int64_t ExclusiveFile::append(const void* buffer, size_t count) {
    const int64_t end = size();
    if (end < 0) {
        lastErrno_ = errno;
        return 0;
    }
    return writeAt(end, buffer, count);
}

bool ExclusiveFile::truncate(int64_t newSize) {
    if (ftruncate(fd_, static_cast<off_t>(newSize)) != 0) {
        lastErrno_ = errno;
        return false;
    }
    return true;
}

} // namespace rm
