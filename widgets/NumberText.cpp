#include "NumberText.h"

#include "FloatText.h"

#include <algorithm>
#include <string>

namespace rm {

std::optional<double> StrToFloatAnySeparator(std::string_view text) {
    std::string copy(text);
    std::replace(copy.begin(), copy.end(), ',', '.');
    return parseDouble(copy);
}

std::optional<double> StrToFloatAnySeparator(const QString& text) {
    return StrToFloatAnySeparator(text.toStdString());
}

} // namespace rm
