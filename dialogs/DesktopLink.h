#pragma once

class QUrl;

namespace rm {

// Opens a help page, web page or mail address with the desktop's program for
// it. When the machine has none (the shell reports failure) a message names
// the page or address, so the user knows where to look by other means.
// Returns whether it was opened.
bool openOrTell(const QUrl& url);

} // namespace rm
