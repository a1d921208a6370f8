#pragma once

// The viewer's string table: every text the viewer shows, exactly as the user
// sees it (blanks and spellings included).
namespace ViewerStrings {

// viewer engine

// main window, open panel, settings and main display

// view bars, time bar, zoom, channel and display-mode panels

// cursors, pop-up menus, voltage-cursor panel, cursor dialog, cursor-times window

// printing
inline constexpr char PrintLibraryMissing[] = "Print manager library is missing";

} // namespace ViewerStrings
