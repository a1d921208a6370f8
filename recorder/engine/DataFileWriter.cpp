#include "DataFileWriter.h"

#include "DataFileFormat.h"
#include "FileSizeCounter.h"
#include "IndexFileName.h"
#include "ReplaceFile.h"

#include <filesystem>

using rm::ExclusiveFile;

DataFileWriter::OpenResult DataFileWriter::open(const std::string& name, bool measurementRunning) {
    std::lock_guard lock(streamLock_);
    // Appending to the file already open is what the open stream does: it is
    // kept, so no block is lost between a close and a reopen.
    if (stream_.isFile(name)) {
        waitingName_.reset();
        return OpenResult::Kept;
    }
    if (stream_.isOpen() && (measurementRunning || bounds_.inMeasurement())) {
        waitingName_ = name;
        return OpenResult::Deferred;
    }
    return openLocked(name);
}

DataFileWriter::OpenResult DataFileWriter::openLocked(const std::string& name) {
    stream_.close();
    waitingName_.reset();
    bounds_.restart();
    endPosition_ = 0;
    fileSize_.store(0);
    ExclusiveFile::Result opened = stream_.open(name, ExclusiveFile::Mode::ReadWrite);
    const bool existed = opened != ExclusiveFile::Result::NotFound;
    if (!existed)
        opened = stream_.open(name, ExclusiveFile::Mode::Create);
    const int64_t size = opened == ExclusiveFile::Result::Ok ? stream_.size() : -1;
    if (size < 0 || !continuesRecording(size)) {
        stream_.close();
        return OpenResult::Failed;
    }
    // A file cut at an odd byte goes on at the next whole word: the first
    // write fills the byte between with zero, so the words before stay as
    // they were and the new ones are read whole.
    endPosition_ = size + size % 2;
    fileSize_.store(endPosition_);
    deleteIndexFileOf(name);
    return existed ? OpenResult::Appending : OpenResult::Created;
}

bool DataFileWriter::continuesRecording(int64_t size) {
    if (size == 0)
        return true;
    uint16_t words[rm::kMaxBlockLength] = {};
    const int64_t read = stream_.readAt(0, words, sizeof words);
    return read > 0 && rm::beginsAsRecording(words, static_cast<size_t>(read) / 2);
}

bool DataFileWriter::recreate(const std::string& name) {
    std::lock_guard lock(streamLock_);
    stream_.close();
    waitingName_.reset();
    bounds_.restart();
    fileSize_.set(0);
    endPosition_ = 0;
    // Only what the recorder may append to is emptied: no other file, and
    // none without a write bit (the open refuses that one).
    const bool opened = stream_.open(name, ExclusiveFile::Mode::Create) == ExclusiveFile::Result::Ok;
    const int64_t size = opened ? stream_.size() : -1;
    if (size < 0 || !continuesRecording(size) || !stream_.truncate(0)) {
        stream_.close();
        return false;
    }
    deleteIndexFileOf(name);
    return true;
}

void DataFileWriter::close() {
    std::lock_guard lock(streamLock_);
    stream_.close();
    waitingName_.reset();
}

bool DataFileWriter::isOpen() const {
    std::lock_guard lock(streamLock_);
    return stream_.isOpen();
}

DataFileWriter::AppendResult DataFileWriter::append(const uint16_t* words, size_t count) {
    std::lock_guard lock(streamLock_);
    while (count > 0 && stream_.isOpen()) {
        const MeasurementBounds::Span span = bounds_.follow(words, count);
        if (!writeLocked(words, span.words))
            return {AppendResult::WriteFailed, {}};
        words += span.words;
        count -= span.words;
        if (span.endsMeasurement && waitingName_) {
            const std::string name = *waitingName_;
            if (openLocked(name) == OpenResult::Failed)
                return {AppendResult::OpenFailed, name};
        }
    }
    return {};
}

bool DataFileWriter::writeLocked(const uint16_t* words, size_t count) {
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
    waitingName_.reset();
    return false;
}

void DataFileWriter::deleteIndexFileOf(const std::string& name) {
    namespace fs = std::filesystem;
    const std::string index = rm::indexFileName(name);
    std::error_code error;
    // Only an index file goes: never the open data file itself, whose own
    // name may end in "ind" (it is then its own index name) or which another
    // link may carry; not a folder, and no file of the user's that only
    // shares the name ("thesis.ind" beside "thesis.rmd").
    if (stream_.isFile(index) || rm::testExistingFile(index, rm::readsAsIndexFile) != true)
        return;
    fs::remove(index, error);
}
