#pragma once

// Texts both programs show: the settings text file, the colour dialog and the
// about box.
namespace DialogStrings {

// settings text file

// colour dialog

// about box

} // namespace DialogStrings
