#include "LargeFileWrapper.h"

#include <cerrno>

namespace rm::viewer {

int TLargeFileWrapper::OpenFile(const std::string& fileName) {
    CloseFile();
    fileName_ = fileName;
    switch (file_.open(fileName, ExclusiveFile::Mode::ReadOnly)) {
    case ExclusiveFile::Result::Ok: break;
    case ExclusiveFile::Result::SharingViolation: return kOpenSharingViolation;
    case ExclusiveFile::Result::NotFound: return kOpenFileNotFound;
    case ExclusiveFile::Result::NotRegular:  // a folder, a pipe, a device: no data file
    case ExclusiveFile::Result::Failed:
        return file_.lastErrno() == ENOTDIR ? kOpenPathNotFound : file_.lastErrno();
    }
    const int64_t size = file_.size();
    if (size < 0) {
        const int error = errno;
        file_.close();
        return error;
    }
    if (size == 0) {
        file_.close();
        return kOpenFileEmpty;
    }
    openFileSize_ = size;
    return kOpenOk;
}

void TLargeFileWrapper::CloseFile() {
    file_.close();
    openFileSize_ = 0;
}

bool TLargeFileWrapper::IsOpenFile(const std::string& path) const { return file_.isFile(path); }

int64_t TLargeFileWrapper::ReadAt(void* buffer, int64_t count, int64_t position) {
    if (!file_.isOpen() || count <= 0 || position < 0)
        return 0;
    const int64_t read = file_.readAt(position, buffer, static_cast<size_t>(count));
    return read < 0 ? 0 : read;
}

} // namespace rm::viewer
