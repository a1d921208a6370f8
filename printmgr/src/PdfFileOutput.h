#pragma once

#include <QByteArray>
#include <QString>

namespace printmgr::pdf_file {

// Why the page may not be written to `path` (an absolute path), or "" when
// it may: it exists and is not a regular file (a pipe, a socket, a device, a
// folder: none is opened, so none can block), cannot be looked at (a loop of
// links), is read-only, or is the layout file `layoutPath` itself.
QString refusal(const QString& path, const QString& layoutPath);

// Writes `pdf` to `path` (links followed), replacing the old file only once
// every byte was written and synced: beside it, then renamed over it; the old
// file's permissions carry over. "" when written, else why not (the system's
// reason, such as "No space left on device"); the old file then stays.
QString write(const QString& path, const QByteArray& pdf);

} // namespace printmgr::pdf_file
