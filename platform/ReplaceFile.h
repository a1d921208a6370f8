#pragma once

#include <cstddef>
#include <functional>
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
// - The new file gets the old file's permissions, or the process's defaults
//   (0666 less the umask) when there was none.
ReplaceResult replaceFile(const std::string& path, const std::function<bool(int fd)>& write);

// Writes all `count` bytes at the descriptor's position; false when a write
// failed or wrote nothing. Interrupted writes are resumed.
bool writeWhole(int fd, const void* data, size_t count);

} // namespace rm
