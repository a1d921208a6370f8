#include "DataFileWriter.h"

#include "FileSizeCounter.h"
#include "IndexFileName.h"

#include <sys/stat.h>

#include <filesystem>

using rm::ExclusiveFile;

DataFileWriter::OpenResult DataFileWriter::openForAppend(const std::string& name) {
    std::lock_guard lock(streamLock_);
    stream_.close();
    fileSize_.store(0);
    const ExclusiveFile::Result opened = stream_.open(name, ExclusiveFile::Mode::ReadWrite);
    if (opened == ExclusiveFile::Result::Ok) {
        endPosition_ = stream_.size();
        if (endPosition_ < 0) {
            stream_.close();
            return OpenResult::Failed;
        }
        fileSize_.store(endPosition_);
        deleteIndexFileOf(name);
        return OpenResult::Appending;
    }
    if (opened != ExclusiveFile::Result::NotFound)
        return OpenResult::Failed;
    if (stream_.open(name, ExclusiveFile::Mode::Create) != ExclusiveFile::Result::Ok)
        return OpenResult::Failed;
    endPosition_ = stream_.size();
    fileSize_.store(endPosition_);
    return OpenResult::Created;
}

bool DataFileWriter::holds(const std::string& name) const {
    std::lock_guard lock(streamLock_);
    struct stat open {}, named {};
    return stream_.isOpen() && ::fstat(stream_.fd(), &open) == 0 && ::stat(name.c_str(), &named) == 0 &&
           open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

bool DataFileWriter::recreate(const std::string& name) {
    std::lock_guard lock(streamLock_);
    stream_.close();
    fileSize_.set(0);
    endPosition_ = 0;
    return stream_.open(name, ExclusiveFile::Mode::Create, true) == ExclusiveFile::Result::Ok;
}

void DataFileWriter::close() {
    std::lock_guard lock(streamLock_);
    stream_.close();
}

bool DataFileWriter::isOpen() const {
    std::lock_guard lock(streamLock_);
    return stream_.isOpen();
}

bool DataFileWriter::append(const uint16_t* words, size_t count) {
    std::lock_guard lock(streamLock_);
    if (!stream_.isOpen() || count == 0)
        return true;
    const size_t bytes = count * sizeof(uint16_t);
    const int64_t written = stream_.writeAt(endPosition_, words, bytes);
    if (written == static_cast<int64_t>(bytes)) {
        endPosition_ += written;
        fileSize_.add(written);
        return true;
    }
    // A torn block would make the rest of the file unreadable: the part of
    // the words that reached the file is cut off again where possible.
    if (written > 0 && !stream_.truncate(endPosition_))
        fileSize_.add(written);
    stream_.close();
    return false;
}

void DataFileWriter::deleteIndexFileOf(const std::string& name) {
    namespace fs = std::filesystem;
    const fs::path index = rm::indexFileName(name);
    std::error_code error;
    // Only an index file goes: not a folder of that name, and not a data file
    // whose own name ends in "ind" (it is its own index name).
    if (!fs::is_regular_file(index, error) || fs::equivalent(index, name, error))
        return;
    fs::remove(index, error);
}
