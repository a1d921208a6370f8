#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>

namespace printmgr {

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

// One layout: the output file ("" = the default) and a placement per object.
struct PrintLayout {
    std::string output;
    std::map<int, ObjectPlacement> objects;
    bool operator==(const PrintLayout&) const = default;
};

// The layout file: text sections "[key]", each with an optional line
// "output=<file>" and one line "object=<id> <visible 0|1> <left> <top>
// <width> <height>" per object. One file holds the layouts of several keys.
namespace layout_file {

// The layout stored under `key`, or nothing when the file, the section or a
// line of it cannot be read, or when the section's objects are not exactly
// `objectIds`.
std::optional<PrintLayout> load(const std::string& path, const std::string& key,
                                const std::set<int>& objectIds);

// Stores `layout` under `key`, keeping the other sections; the file is
// written whole beside the old one and renamed over it. False on failure
// (the old file stays as it was).
bool save(const std::string& path, const std::string& key, const PrintLayout& layout);

} // namespace layout_file
} // namespace printmgr
