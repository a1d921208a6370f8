#include "SettingsTextFile.h"

#include "ExclusiveFile.h"
#include "FloatText.h"
#include "ReplaceFile.h"
#include "dialogs/DialogStrings.h"

#include <algorithm>
#include <limits>

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

// ---- Reading ------------------------------------------------------------------

enum class LineEnd { Ended, EndOfData, Failed };

// Collects one line from `position` on, reading 32 bytes at a time and
// nothing at or after `end`. A CR or LF ends a line that holds something and
// `position` moves to just after it; while the line is still empty they are
// skipped. Every other byte belongs to the line.
LineEnd readLine(ExclusiveFile& file, int64_t& position, int64_t end, std::string& line) {
    char block[kReadBlock];
    while (position < end) {
        const auto wanted = static_cast<size_t>(std::min<int64_t>(kReadBlock, end - position));
        const int64_t n = file.readAt(position, block, wanted);
        if (n < 0)
            return LineEnd::Failed;
        if (n == 0)
            break;
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
    return LineEnd::EndOfData;
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
    const std::string text = fileText(entries);
    return replaceFile(fileName, [&text](int fd) { return writeWhole(fd, text.data(), text.size()); });
}

SettingsReadResult readSettingsFile(const std::string& fileName) {
    SettingsReadResult result;
    ExclusiveFile file;
    switch (file.open(fileName, ExclusiveFile::Mode::ReadOnly)) {
    case ExclusiveFile::Result::Ok: break;
    case ExclusiveFile::Result::NotRegular:  // a folder, a pipe, a device: nothing to read
        result.opened = true;
        result.readError = true;
        return result;
    default: return result;
    }
    result.opened = true;

    const int64_t size = file.size();
    if (size < 0) {
        result.readError = true;
        return result;
    }
    // Nothing beyond the bound is read; a line it cuts is dropped.
    const bool cut = size > kSettingsFileBound;
    const int64_t end = cut ? kSettingsFileBound : size;
    int64_t position = 0;
    // One unread byte left (the LF of a final CR LF, say) ends the reading.
    while (position < end - 1) {
        std::string text;
        const LineEnd lineEnd = readLine(file, position, end, text);
        if (lineEnd == LineEnd::Failed)
            result.readError = true;
        if (!text.empty() && !(cut && lineEnd == LineEnd::EndOfData))
            result.lines.push_back(splitLine(std::move(text)));
        if (lineEnd != LineEnd::Ended)
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
