#pragma once

#include <cstdint>
#include <string>

namespace rm {

// The index file that belongs to a data file: the data file's name with its
// last three characters replaced by "ind" ("sdata.rmd" gives "sdata.ind"); a
// name of three characters or fewer gives "ind".
std::string indexFileName(const std::string& dataFileName);

// The index file's layout as far as both programs need it: whole records, each
// beginning with the mark and its number, then a trailer whose last four bytes
// count the records.
inline constexpr uint16_t kIndexMagic = 0xAA55;
inline constexpr int64_t kIndexRecordBytes = 88;
inline constexpr int64_t kIndexTrailerBytes = 12;

// Whether the file open at `fd` reads as an index file: a regular file of
// whole records and a trailer, whose first record is as the viewer writes it
// (the mark and number 0, or all zero but its samples-follow flag before a
// record 1 or as the only record the trailer counts). Only such a file may be
// replaced or deleted as an index; anything else of that name is the user's.
bool readsAsIndexFile(int fd);

} // namespace rm
