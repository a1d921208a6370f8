#pragma once

// The recorder's string table: every text the recorder shows, exactly as the
// user sees it (blanks and spellings included).
namespace RecorderStrings {

// recorder engine

// main window, start-up and splash

// display, sweep, time-base and vertical position panels

// coupling, range, information, channel, trigger, arm, file and record panels

// settings component and demo setup dialog

} // namespace RecorderStrings
