#pragma once

#include <string>

namespace rm {

// The folder that holds the running program (no trailing slash).
std::string programFolder();

} // namespace rm
