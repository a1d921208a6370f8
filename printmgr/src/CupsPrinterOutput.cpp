#include "CupsPrinterOutput.h"

#include <cups/cups.h>

#include <string>

namespace printmgr::cups_printer {

QString submit(const QString& printer, const QString& title, int copies, const QByteArray& pdf)
{
    const QByteArray name = printer.toUtf8();
    const QByteArray jobTitle = title.toUtf8();
    cups_option_t* options = nullptr;
    const int optionCount = cupsAddOption("copies", std::to_string(copies > 0 ? copies : 1).c_str(), 0, &options);
    const int job = cupsCreateJob(CUPS_HTTP_DEFAULT, name.constData(), jobTitle.constData(), optionCount, options);
    cupsFreeOptions(optionCount, options);
    if (job == 0)
        return QString::fromUtf8(cupsLastErrorString());

    const auto refused = [&] {
        const QString reason = QString::fromUtf8(cupsLastErrorString());
        cupsCancelJob2(CUPS_HTTP_DEFAULT, name.constData(), job, 0);
        return reason;
    };
    if (cupsStartDocument(CUPS_HTTP_DEFAULT, name.constData(), job, jobTitle.constData(), CUPS_FORMAT_PDF, 1) !=
        HTTP_STATUS_CONTINUE)
        return refused();
    const bool written = cupsWriteRequestData(CUPS_HTTP_DEFAULT, pdf.constData(), static_cast<size_t>(pdf.size())) ==
                         HTTP_STATUS_CONTINUE;
    // The server's answer is read even after a failed write: it holds the reason.
    if (cupsFinishDocument(CUPS_HTTP_DEFAULT, name.constData()) != IPP_STATUS_OK || !written)
        return refused();
    return {};
}

} // namespace printmgr::cups_printer
