#include "ReplaceFile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
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

// Temporary files are named "<target>.tmp<process id>-<counter>".
constexpr char kTemporaryMark[] = ".tmp";

// A new file beside `target`, created with `mode` (less the umask); -1 when
// the folder takes none.
int createBeside(const std::string& target, mode_t mode, std::string& name) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = target + kTemporaryMark + std::to_string(getpid()) + "-" + std::to_string(counter++);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// The process id of a temporary name "<process id>-<counter>" (the part
// after the target's name and the mark); none for any other name.
std::optional<pid_t> temporaryOwner(const std::string& rest) {
    const size_t dash = rest.find('-');
    const auto digits = [](const std::string& text) {
        return !text.empty() && text.size() < 10 &&
               std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
    };
    if (dash == std::string::npos || !digits(rest.substr(0, dash)) || !digits(rest.substr(dash + 1)))
        return std::nullopt;
    return static_cast<pid_t>(std::stol(rest.substr(0, dash)));
}

// What `test` says of the file `target` (`status` its status), opened anew:
// false when it is no longer that file.
bool testFile(const std::string& target, const struct stat& status, const std::function<bool(int fd)>& test) {
    if (!S_ISREG(status.st_mode))
        return false;
    const int fd = ::open(target.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat opened {};
    const bool same =
        ::fstat(fd, &opened) == 0 && opened.st_dev == status.st_dev && opened.st_ino == status.st_ino;
    const bool yes = same && test(fd);
    ::close(fd);
    return yes;
}

// Gives the new file the old one's owner and group (a superuser's run must not
// take a user's file from them); false when they cannot be kept.
bool keepOwner(int fd, const struct stat& old) {
    struct stat created {};
    if (::fstat(fd, &created) != 0)
        return false;
    return (created.st_uid == old.st_uid && created.st_gid == old.st_gid) ||
           ::fchown(fd, old.st_uid, old.st_gid) == 0;
}

} // namespace

ReplaceResult replaceFile(const std::string& path, const std::function<bool(int fd)>& write,
                          const std::function<bool(int fd)>& mayReplace) {
    const std::optional<std::string> target = followLinks(path);
    if (!target)
        return ReplaceResult::CannotCreate;
    struct stat old {};
    const bool exists = ::stat(target->c_str(), &old) == 0;
    if (!exists && errno != ENOENT)
        return ReplaceResult::CannotCreate;
    if (exists && (!S_ISREG(old.st_mode) || !mayWrite(*target, old) ||
                   (mayReplace && !testFile(*target, old, mayReplace))))
        return ReplaceResult::CannotCreate;

    std::string temporary;
    const int fd = createBeside(*target, exists ? (old.st_mode & 07777) : 0666, temporary);
    if (fd < 0)
        return ReplaceResult::CannotCreate;
    // The umask may have taken bits of the old permissions away: they are set
    // whole, after the owner (a change of owner may clear some of them).
    const bool written = (!exists || (keepOwner(fd, old) && ::fchmod(fd, old.st_mode & 07777) == 0)) &&
                         write(fd) && ::fsync(fd) == 0;
    const int writeError = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temporary.c_str(), target->c_str()) != 0) {
        const int error = written && closed ? errno : writeError;
        ::unlink(temporary.c_str());
        errno = error;
        return ReplaceResult::WriteFailed;
    }
    return ReplaceResult::Written;
}

std::optional<bool> testExistingFile(const std::string& path, const std::function<bool(int fd)>& test) {
    const std::optional<std::string> target = followLinks(path);
    if (!target)
        return false;  // a loop of links
    struct stat status {};
    if (::stat(target->c_str(), &status) != 0)
        return errno == ENOENT ? std::nullopt : std::optional<bool>(false);
    return testFile(*target, status, test);
}

void removeLeftoverTemporaries(const std::string& path) {
    const std::optional<std::string> target = followLinks(path);
    if (!target)
        return;
    const std::filesystem::path name(*target);
    const std::string prefix = name.filename().string() + kTemporaryMark;
    std::error_code error;
    const std::filesystem::path folder = name.has_parent_path() ? name.parent_path() : ".";
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string file = entry.path().filename().string();
        if (file.compare(0, prefix.size(), prefix) != 0)
            continue;
        const std::optional<pid_t> owner = temporaryOwner(file.substr(prefix.size()));
        // A running process may still be writing it (also one that reused an
        // old id: its file stays until the next open).
        if (!owner || *owner == getpid() || ::kill(*owner, 0) == 0 || errno != ESRCH)
            continue;
        struct stat status {};
        if (::lstat(entry.path().c_str(), &status) == 0 && S_ISREG(status.st_mode))
            ::unlink(entry.path().c_str());
    }
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
