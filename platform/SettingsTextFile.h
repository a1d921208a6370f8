#pragma once

#include "ReplaceFile.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rm {

// The settings text file both programs keep their settings in: two header
// lines ("Inproper modification ..." and 61 "-"), then one "key: value" line
// per setting, every line ended with CR LF. Booleans are "true"/"false",
// integers signed decimal, reals in the general number form ("." always).
// No toolkit here; the callers show the boxes.

// One "key: value" line to write.
struct SettingsEntry {
    std::string key;
    std::string value;
};

// Collects the key lines of one file in the order they are written.
class SettingsTextWriter {
public:
    void addBoolean(std::string key, bool value);
    void addInteger(std::string key, int64_t value);
    void addReal(std::string key, double value);

    const std::vector<SettingsEntry>& entries() const { return entries_; }

private:
    std::vector<SettingsEntry> entries_;
};

using SettingsWriteResult = ReplaceResult;

// Writes the header lines and `entries` in place of `fileName` (replaceFile:
// through a temporary file beside it, renamed over it only when every line
// was written, so a failed or cut write never loses the settings the file
// held). A link is written through; a folder, a pipe, a device or a file the
// user may not write gives CannotCreate and stays as it is.
SettingsWriteResult writeSettingsFile(const std::string& fileName, const std::vector<SettingsEntry>& entries);

// One line as read: the text between line ends, nothing trimmed.
struct SettingsLine {
    std::string text;
    // The characters before the first ":"; empty when there is none.
    std::string key;
    // From the second character after the first ":" to the end (the character
    // right after the colon is skipped whatever it is); may be empty.
    std::string value;
    bool hasColon = false;
};

struct SettingsReadResult {
    bool opened = false;     // false: missing or held by another program
    bool readError = false;  // a read failed; the lines up to it are kept
    std::vector<SettingsLine> lines;  // every non-empty line, in file order
};

// A settings file holds about 1.3 kB; what lies beyond this bound is not
// read, as if it were a line that does not convert.
inline constexpr int64_t kSettingsFileBound = 64 * 1024;

// Reads a settings file held exclusively while it is read; the file is closed
// before this returns. Lines end at CR or LF (CR LF, empty lines and lone CRs
// or LFs read alike); reading stops when at most one byte is left unread, on
// a read that fails or returns nothing, and at kSettingsFileBound (the line
// the bound cuts is dropped). Anything but a regular file (a folder, a named
// pipe, a device) is a read error with no lines; the open never waits.
SettingsReadResult readSettingsFile(const std::string& fileName);

// Value conversions of the reading side. A Boolean is true exactly for
// "true"; integers are signed 32-bit decimal; reals use "." as separator.
// Nothing for a value that does not convert: the caller skips that line.
bool settingsBoolean(std::string_view value);
std::optional<int32_t> settingsInteger(std::string_view value);
std::optional<double> settingsReal(std::string_view value);

} // namespace rm
