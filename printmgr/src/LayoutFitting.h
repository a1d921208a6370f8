#pragma once

#include "PrintLayoutFile.h"

#include <map>
#include <optional>
#include <set>

namespace printmgr::layout_fitting {

// A page's size in whole millimetres.
struct PageSize {
    int width = 0;
    int height = 0;
};

using Placements = std::map<int, ObjectPlacement>;

// Whether each of the `printed` objects of `placements` lies on the page,
// with an area.
bool fits(const Placements& placements, const std::set<int>& printed, PageSize page);

// Every placement scaled by `factor` about the page's corner, in whole
// millimetres.
Placements scaled(const Placements& placements, double factor);

// `placements` shrunk about the page's corner just so far that the printed
// objects lie on the page; none when no shrinking makes them fit (an object
// left of or above the page, or one without an area).
std::optional<Placements> shrunkToFit(const Placements& placements, const std::set<int>& printed, PageSize page);

} // namespace printmgr::layout_fitting
