#pragma once

#include "ExclusiveFile.h"
#include "MeasurementBounds.h"

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

class FileSizeCounter;

// The open roll-mode data file. The user-interface thread opens, clears and
// closes it while the processing thread appends; one lock covers every append
// and every replacement of the stream, so an append never reaches a closed or
// replaced file. Each call keeps `fileSize` in step with the stream under that
// lock. Messages are the caller's, after the call has returned.
//
// A measurement is written whole into one file, from its start block to its
// stop block: a file named while one runs replaces the open file only right
// after the stop block has been written to it.
class DataFileWriter {
public:
    explicit DataFileWriter(FileSizeCounter& fileSize) : fileSize_(fileSize) {}

    enum class OpenResult {
        Kept,       // `name` is the open file: it goes on as it is
        Appending,  // opened at its end, its index file deleted
        Created,    // did not exist, created empty, an index file of its name deleted
        Deferred,   // opened by append() after the running measurement's stop block
        Failed,     // no file open, size 0
    };

    // Makes `name` the file to write. While a file is open and a measurement
    // runs (`measurementRunning`, or the file holds a start block whose stop
    // block has not come yet) the open file is kept and `name` waits for the
    // measurement's end; a later call replaces the wait. Otherwise the current
    // file is closed and `name` opened at its end, its index file deleted, or
    // created when it does not exist (an index file of its name is deleted
    // too); both under the one lock, so an append lands whole in the old file
    // or in the new one. A file that exists but cannot be opened (held by
    // another program, no permission, no write bit, not a regular file) or
    // does not begin as a recording is left as it is (Failed). A file of odd
    // size is continued at the next whole word. The size is stored without
    // showing it.
    OpenResult open(const std::string& name, bool measurementRunning);

    // Closes the current file, shows size 0 and creates `name` empty, its
    // index file deleted. An existing file is emptied only once it is held
    // exclusively, and only when it may be appended to: a file without a
    // write bit, or one that is not empty and does not begin as a recording,
    // stays whole. False when it cannot be created or emptied; no file is
    // open then.
    bool recreate(const std::string& name);

    // Closes the file; a name waiting for the measurement's end is dropped.
    void close();
    bool isOpen() const;

    struct AppendResult {
        enum Status { Written, WriteFailed, OpenFailed } status = Written;
        std::string fileName;  // with OpenFailed: the waiting name that could not be opened
    };
    // Writes the words at the end of the open file and adds their bytes to
    // the size; nothing to do without an open file. A stop block among them
    // brings in the name waiting for it: the words after it go to that file.
    // A failed write takes back what part of the words reached the file and
    // closes it (it is no longer held, another program can take it).
    AppendResult append(const uint16_t* words, size_t count);

private:
    OpenResult openLocked(const std::string& name);
    // Whether the open file of `size` bytes may be appended to: it is empty or
    // begins as a recording does (a file typed by mistake, "notes.txt", is not).
    bool continuesRecording(int64_t size);
    bool writeLocked(const uint16_t* words, size_t count);
    void deleteIndexFileOf(const std::string& name);

    FileSizeCounter& fileSize_;
    mutable std::mutex streamLock_;
    rm::ExclusiveFile stream_;
    int64_t endPosition_ = 0;
    MeasurementBounds bounds_;
    std::optional<std::string> waitingName_;
};
