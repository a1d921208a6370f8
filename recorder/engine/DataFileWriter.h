#pragma once

#include "ExclusiveFile.h"

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

class FileSizeCounter;

// The open roll-mode data file. The user-interface thread opens, clears and
// closes it while the processing thread appends; one lock covers every append
// and every replacement of the stream, so an append never reaches a closed or
// replaced file. Each call keeps `fileSize` in step with the stream under that
// lock. Messages are the caller's, after the call has returned.
class DataFileWriter {
public:
    explicit DataFileWriter(FileSizeCounter& fileSize) : fileSize_(fileSize) {}

    enum class OpenResult { Appending, Created, Failed };

    // Closes the current file, then opens `name` at its end and deletes its
    // index file, or creates it when it does not exist; both under the one
    // lock, so an append lands whole in the old file or in the new one. A file
    // that exists but cannot be opened (held by another program, no
    // permission) is left as it is: Failed, no file open, size 0. The size is
    // stored without showing it.
    OpenResult openForAppend(const std::string& name);

    // True when the open file is the file `name` names (the same file under
    // another spelling of its path too).
    bool holds(const std::string& name) const;

    // Closes the current file, shows size 0 and creates `name` empty (an
    // existing file is emptied only once it is held exclusively). False when
    // it cannot be created; no file is open then.
    bool recreate(const std::string& name);

    void close();
    bool isOpen() const;

    // Writes the words at the end of the open file and adds their bytes to
    // the size; true without an open file (nothing to do). A failed write
    // takes back what part of the words reached the file and closes it (it is
    // no longer held, another program can take it): false.
    bool append(const uint16_t* words, size_t count);

private:
    void deleteIndexFileOf(const std::string& name);

    FileSizeCounter& fileSize_;
    mutable std::mutex streamLock_;
    rm::ExclusiveFile stream_;
    int64_t endPosition_ = 0;
};
