#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace rm {

enum class ReplaceResult {
    Written,       // the file now holds what was written
    CannotCreate,  // the file may not be replaced, or nothing could be created beside it; it is untouched
    WriteFailed,   // writing the new content failed; the old file is untouched
};

// Replaces the file `path` names whole and atomically: `write` fills a new
// file created beside it (given its descriptor; false when a write failed),
// which is renamed over the old one only when everything was written.
// - A symbolic link is written through: the new file goes beside the file it
//   points to (a dangling link gets its file created) and the link stays.
// - Only a regular file is replaced, and only one the user may write: a
//   folder, a pipe, a device or a read-only file gives CannotCreate.
// - With `mayReplace`, an existing file is replaced only when it says yes to
//   the file (given a descriptor open for reading); CannotCreate otherwise.
// - The new file gets the old file's owner, group and permissions, or the
//   process's defaults (0666 less the umask) when there was none. When the
//   owner cannot be kept, the old file stays (WriteFailed).
// - On WriteFailed `errno` tells why (ENOSPC for a full disk).
ReplaceResult replaceFile(const std::string& path, const std::function<bool(int fd)>& write,
                          const std::function<bool(int fd)>& mayReplace = {});

// What `test` says of the file `path` names (links followed), given a
// descriptor open for reading: none when nothing is there, false for
// anything but a regular file (a pipe is not opened for good).
std::optional<bool> testExistingFile(const std::string& path, const std::function<bool(int fd)>& test);

// Removes the temporary files a replaceFile of `path` left beside its target
// when the process writing them ended before renaming (a killed program).
// Only names of that form are touched, and only those of processes that no
// longer run.
void removeLeftoverTemporaries(const std::string& path);

// Writes all `count` bytes at the descriptor's position; false when a write
// failed or wrote nothing. Interrupted writes are resumed.
bool writeWhole(int fd, const void* data, size_t count);

} // namespace rm
