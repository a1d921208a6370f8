#include "IndexFileName.h"

namespace rm {

std::string indexFileName(const std::string& dataFileName) {
    if (dataFileName.size() <= 3)
        return "ind";
    return dataFileName.substr(0, dataFileName.size() - 3) + "ind";
}

} // namespace rm
