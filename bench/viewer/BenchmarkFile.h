#pragma once

#include <cstdint>
#include <string>

namespace rm::viewer {

// Writes a recorder-format data file of about `bytes` bytes: measurements
// with their settings headers, long sample runs, probe and sampling-rate
// changes and overrun marks between them. False when it cannot be written.
bool WriteBenchmarkFile(const std::string& path, int64_t bytes);

} // namespace rm::viewer
