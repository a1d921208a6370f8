#include "ReplaceFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <optional>

namespace rm {

namespace {

constexpr int kMaxLinks = 40;  // as the system follows them

// The file `path` finally names once every symbolic link on its last part is
// followed; none for a loop of links.
std::optional<std::string> followLinks(std::string path) {
    for (int hops = 0; hops < kMaxLinks; ++hops) {
        std::error_code error;
        const std::filesystem::path name(path);
        if (!std::filesystem::is_symlink(std::filesystem::symlink_status(name, error)))
            return path;
        const std::filesystem::path target = std::filesystem::read_symlink(name, error);
        if (error)
            return std::nullopt;
        path = target.is_absolute() ? target.string() : (name.parent_path() / target).string();
    }
    return std::nullopt;
}

// Whether the user may write the file: the system says so, and it is not
// read-only for everybody (which the superuser would be let through).
bool mayWrite(const std::string& path, const struct stat& status) {
    return (status.st_mode & 0222) != 0 && ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

// A new file beside `target`, created with `mode` (less the umask); -1 when
// the folder takes none.
int createBeside(const std::string& target, mode_t mode, std::string& name) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = target + ".tmp" + std::to_string(getpid()) + "-" + std::to_string(counter++);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

} // namespace

ReplaceResult replaceFile(const std::string& path, const std::function<bool(int fd)>& write) {
    const std::optional<std::string> target = followLinks(path);
    if (!target)
        return ReplaceResult::CannotCreate;
    struct stat old {};
    const bool exists = ::stat(target->c_str(), &old) == 0;
    if (!exists && errno != ENOENT)
        return ReplaceResult::CannotCreate;
    if (exists && (!S_ISREG(old.st_mode) || !mayWrite(*target, old)))
        return ReplaceResult::CannotCreate;

    std::string temporary;
    const int fd = createBeside(*target, exists ? (old.st_mode & 07777) : 0666, temporary);
    if (fd < 0)
        return ReplaceResult::CannotCreate;
    // The umask may have taken bits of the old permissions away: they are set whole.
    const bool written = (!exists || ::fchmod(fd, old.st_mode & 07777) == 0) && write(fd) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temporary.c_str(), target->c_str()) != 0) {
        ::unlink(temporary.c_str());
        return ReplaceResult::WriteFailed;
    }
    return ReplaceResult::Written;
}

bool writeWhole(int fd, const void* data, size_t count) {
    const auto* bytes = static_cast<const char*>(data);
    size_t done = 0;
    while (done < count) {
        const ssize_t n = ::write(fd, bytes + done, count - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

} // namespace rm
