#include "LayoutFitting.h"

#include <algorithm>
#include <cmath>

namespace printmgr::layout_fitting {
namespace {

int scaledValue(int value, double factor) { return static_cast<int>(std::nearbyint(value * factor)); }

} // namespace

bool fits(const Placements& placements, const std::set<int>& printed, PageSize page)
{
    return std::all_of(printed.begin(), printed.end(), [&](int id) {
        const auto it = placements.find(id);
        if (it == placements.end())
            return true;
        const ObjectPlacement& p = it->second;
        return p.width > 0 && p.height > 0 && p.left >= 0 && p.top >= 0 && p.left + p.width <= page.width &&
               p.top + p.height <= page.height;
    });
}

Placements scaled(const Placements& placements, double factor)
{
    Placements result;
    for (auto [id, p] : placements) {
        const int right = scaledValue(p.left + p.width, factor);
        const int bottom = scaledValue(p.top + p.height, factor);
        p.left = scaledValue(p.left, factor);
        p.top = scaledValue(p.top, factor);
        p.width = right - p.left;
        p.height = bottom - p.top;
        result.emplace(id, p);
    }
    return result;
}

std::optional<Placements> shrunkToFit(const Placements& placements, const std::set<int>& printed, PageSize page)
{
    int right = 1;
    int bottom = 1;
    for (const int id : printed) {
        const auto it = placements.find(id);
        if (it == placements.end())
            continue;
        const ObjectPlacement& p = it->second;
        if (p.left < 0 || p.top < 0 || p.width <= 0 || p.height <= 0)
            return std::nullopt;
        right = std::max(right, p.left + p.width);
        bottom = std::max(bottom, p.top + p.height);
    }
    const double factor = std::min({1.0, static_cast<double>(page.width) / right,
                                    static_cast<double>(page.height) / bottom});
    Placements result = scaled(placements, factor);
    if (!fits(result, printed, page))
        return std::nullopt;
    return result;
}

} // namespace printmgr::layout_fitting
