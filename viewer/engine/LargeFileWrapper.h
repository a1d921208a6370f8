#pragma once

#include "ExclusiveFile.h"

#include <cstdint>
#include <string>

namespace rm::viewer {

// Result codes of TLargeFileWrapper::OpenFile besides the system's own.
inline constexpr int kOpenOk = 0;
inline constexpr int kOpenFileNotFound = 2;
inline constexpr int kOpenPathNotFound = 3;
inline constexpr int kOpenSharingViolation = 32;
inline constexpr int kOpenFileEmpty = 0xFFFFFF;

// The open data file: held exclusively and read-only while it is targeted,
// read at 64-bit positions. One wrapper serves both threads; the caller keeps
// the open and the reads apart in time.
class TLargeFileWrapper {
public:
    // Closes the open file, then opens `fileName`. 0 when it opened and is not
    // empty; kOpenSharingViolation when another program holds it;
    // kOpenFileNotFound / kOpenPathNotFound when it is missing; kOpenFileEmpty
    // for an empty file; else the system's error number (EISDIR for a folder,
    // EINVAL for a pipe, a device or a socket). Every failure leaves
    // no file open (and so holds no lock).
    int OpenFile(const std::string& fileName);
    void CloseFile();

    int64_t OpenFileSize() const { return openFileSize_; }
    bool FileOpened() const { return openFileSize_ > 0; }
    const std::string& FileName() const { return fileName_; }
    // Whether `path` names the open file, under its own or another name.
    bool IsOpenFile(const std::string& path) const;

    // Reads up to `count` bytes at `position` into `buffer`; returns the bytes
    // read, fewer at the end of the file and 0 on a read error.
    int64_t ReadAt(void* buffer, int64_t count, int64_t position);

private:
    ExclusiveFile file_;
    std::string fileName_ = "none";
    int64_t openFileSize_ = 0;
};

} // namespace rm::viewer
