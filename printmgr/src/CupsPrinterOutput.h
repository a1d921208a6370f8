#pragma once

#include <QByteArray>
#include <QString>

namespace printmgr::cups_printer {

// Submits `pdf` as one job named `title` to the CUPS queue `printer`, in
// `copies` copies, and waits for the server's answer to every step. "" when
// the server took the job, else its reason (such as "Destination ... is not
// accepting jobs."); a job begun and then refused is cancelled.
QString submit(const QString& printer, const QString& title, int copies, const QByteArray& pdf);

} // namespace printmgr::cups_printer
