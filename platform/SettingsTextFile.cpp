#include "SettingsTextFile.h"

#include "ExclusiveFile.h"
#include "FloatText.h"
#include "dialogs/DialogStrings.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace rm {

namespace {

constexpr char kLineEnd[] = "\r\n";
constexpr size_t kReadBlock = 32;

// ---- Writing ------------------------------------------------------------------

std::string fileText(const std::vector<SettingsEntry>& entries) {
    std::string text;
    text.append(DialogStrings::SettingsHeaderLine).append(kLineEnd);
    text.append(DialogStrings::SettingsSeparatorLine).append(kLineEnd);
    for (const auto& entry : entries)
        text.append(entry.key).append(": ").append(entry.value).append(kLineEnd);
    return text;
}

bool writeAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// The permissions the new file gets: those of the file it replaces, else the
// usual ones of a user's file.
mode_t modeFor(const std::string& fileName) {
    struct stat st {};
    if (::stat(fileName.c_str(), &st) == 0)
        return st.st_mode & 07777;
    return 0644;
}

// ---- Reading ------------------------------------------------------------------

enum class LineEnd { Ended, EndOfFile, Failed };

// Collects one line from `position` on, reading 32 bytes at a time. A CR or
// LF ends a line that holds something and `position` moves to just after it;
// while the line is still empty they are skipped. Every other byte belongs to
// the line.
LineEnd readLine(ExclusiveFile& file, int64_t& position, std::string& line) {
    char block[kReadBlock];
    for (;;) {
        const int64_t n = file.readAt(position, block, sizeof block);
        if (n < 0)
            return LineEnd::Failed;
        if (n == 0)
            return LineEnd::EndOfFile;
        for (int64_t i = 0; i < n; ++i) {
            const char c = block[i];
            if (c == '\r' || c == '\n') {
                if (!line.empty()) {
                    position += i + 1;
                    return LineEnd::Ended;
                }
                continue;
            }
            line += c;
        }
        position += n;
    }
}

SettingsLine splitLine(std::string text) {
    SettingsLine line;
    const auto colon = text.find(':');
    if (colon != std::string::npos) {
        line.hasColon = true;
        line.key = text.substr(0, colon);
        if (colon + 2 < text.size())
            line.value = text.substr(colon + 2);
    }
    line.text = std::move(text);
    return line;
}

} // namespace

void SettingsTextWriter::addBoolean(std::string key, bool value) {
    entries_.push_back({std::move(key), value ? "true" : "false"});
}

void SettingsTextWriter::addInteger(std::string key, int64_t value) {
    entries_.push_back({std::move(key), std::to_string(value)});
}

void SettingsTextWriter::addReal(std::string key, double value) {
    entries_.push_back({std::move(key), formatGeneral(value)});
}

SettingsWriteResult writeSettingsFile(const std::string& fileName, const std::vector<SettingsEntry>& entries) {
    std::string tempName = fileName + ".XXXXXX";
    const int fd = ::mkostemp(tempName.data(), O_CLOEXEC);
    if (fd < 0)
        return SettingsWriteResult::CannotCreate;

    const bool written = ::fchmod(fd, modeFor(fileName)) == 0 && writeAll(fd, fileText(entries)) &&
                         ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(tempName.c_str(), fileName.c_str()) != 0) {
        ::unlink(tempName.c_str());
        return SettingsWriteResult::WriteFailed;
    }
    return SettingsWriteResult::Written;
}

SettingsReadResult readSettingsFile(const std::string& fileName) {
    SettingsReadResult result;
    ExclusiveFile file;
    if (file.open(fileName, ExclusiveFile::Mode::ReadOnly) != ExclusiveFile::Result::Ok)
        return result;
    result.opened = true;

    const int64_t size = file.size();
    if (size < 0) {
        result.readError = true;
        return result;
    }
    int64_t position = 0;
    // One unread byte left (the LF of a final CR LF, say) ends the reading.
    while (position < size - 1) {
        std::string text;
        const LineEnd end = readLine(file, position, text);
        if (!text.empty())
            result.lines.push_back(splitLine(std::move(text)));
        if (end == LineEnd::Failed)
            result.readError = true;
        if (end != LineEnd::Ended)
            break;
    }
    return result;
}

bool settingsBoolean(std::string_view value) {
    return value == "true";
}

std::optional<int32_t> settingsInteger(std::string_view value) {
    const auto number = parseInteger(value);
    if (!number || *number < std::numeric_limits<int32_t>::min() || *number > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return static_cast<int32_t>(*number);
}

std::optional<double> settingsReal(std::string_view value) {
    return parseDouble(value);
}

} // namespace rm
