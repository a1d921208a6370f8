#pragma once

#include <map>
#include <string>
#include <vector>

namespace printmgr {

// Object coordinates lie within this many millimetres (100 m) of the page's
// corner: far beyond any page, and far from overflowing in device dots.
inline constexpr int kMaxMillimetres = 100000;

// Where one print object stands on the page, in millimetres, and whether it
// is printed.
struct ObjectPlacement {
    bool visible = true;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const ObjectPlacement&) const = default;
};

// The layout file: text sections "[key]", each with an optional line
// "output=<file>" and one line "object=<id> <visible 0|1> <left> <top>
// <width> <height>" per object. One file holds the layouts of several keys;
// comments (";" or "#") before the first section and other keys' sections are
// the user's and pass through untouched. Lines end with CR LF, LF or CR alone;
// a byte-order mark may open the file; blanks around a line do not count, and
// section names are compared regardless of case.
namespace layout_file {

// Whether the layout file's reader takes `placement` back: every value within
// the ranges an object line may hold.
bool readable(const ObjectPlacement& placement);

// What the file holds under one key.
struct StoredLayout {
    enum class State {
        Missing,     // no file of that name
        Read,        // read whole
        Unreadable,  // there, but not a regular file, too large or not readable
    };
    State state = State::Missing;
    std::string problem;  // why it is unreadable
    std::string output;   // the output file the section names ("" = the default)
    std::map<int, ObjectPlacement> objects;  // the object lines that parsed, the first of each id
    std::vector<std::string> notUnderstood;  // the lines of the section (or before any) that did not parse

    // Bytes of the file and where the key's section ends (at the next
    // section's header or the end of the file; npos when there is no such
    // section).
    std::string bytes;
    size_t sectionEnd = std::string::npos;
};

// Reads the section `key` of the layout file `path`. The file is opened
// without blocking and refused unless it is a regular file.
StoredLayout read(const std::string& path, const std::string& key);

// Adds an object line for each of `placements` that the reader takes back to
// the key's section (adding the section when the file lacks it), keeping every
// other byte of the file.
// Only a file that is missing, or was read whole, every line of its section
// understood, and that the user may write, is written: into a temporary file
// beside it, renamed over it once complete (a link is written through, the old
// file's permissions carry over). False when nothing was written.
bool addObjects(const std::string& path, const std::string& key, const StoredLayout& stored,
                const std::map<int, ObjectPlacement>& placements);

} // namespace layout_file
} // namespace printmgr
