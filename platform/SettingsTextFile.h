#pragma once

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

enum class SettingsWriteResult {
    Written,       // the file now holds every line
    CannotCreate,  // nothing could be created beside the file; the old file is untouched
    WriteFailed,   // a line could not be written; the old file is untouched
};

// Writes the header lines and `entries` into a temporary file beside
// `fileName` and renames it over `fileName` only when every line was written,
// so a failed or cut write never loses the settings the file held.
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

// Reads a settings file held exclusively while it is read; the file is closed
// before this returns. Lines end at CR or LF (CR LF, empty lines and lone CRs
// or LFs read alike); reading stops when at most one byte is left unread, and
// on a read that fails or returns nothing.
SettingsReadResult readSettingsFile(const std::string& fileName);

// Value conversions of the reading side. A Boolean is true exactly for
// "true"; integers are signed 32-bit decimal; reals use "." as separator.
// Nothing for a value that does not convert: the caller skips that line.
bool settingsBoolean(std::string_view value);
std::optional<int32_t> settingsInteger(std::string_view value);
std::optional<double> settingsReal(std::string_view value);

} // namespace rm
