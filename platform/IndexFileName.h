#pragma once

#include <string>

namespace rm {

// The index file that belongs to a data file: the data file's name with its
// last three characters replaced by "ind" ("sdata.rmd" gives "sdata.ind"); a
// name of three characters or fewer gives "ind".
std::string indexFileName(const std::string& dataFileName);

} // namespace rm
