#pragma once

#include "RmVersion.h"

#include <QString>

#include <optional>

// "1.05" for version 1.5, "1.12" for 1.12: the minor number has at least two
// digits.
QString VersionToString(int major, int minor);

// The about boxes' version text: VersionToString of `version`, or "N/A"
// when the program carries none.
QString VersionText(const std::optional<rm::ProgramVersion>& version);
