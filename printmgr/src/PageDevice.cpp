#include "PageDevice.h"

#include "printmgr/PrintManagerStrings.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>

#include <cmath>

namespace printmgr {

PageDevice::PageDevice(QPrinter& printer) : printer_(printer)
{
    if (printer.outputFormat() != QPrinter::PdfFormat) {
        device_ = &printer;
        return;
    }
    file_ = std::make_unique<QSaveFile>(printer.outputFileName());
    writer_ = std::make_unique<QPdfWriter>(file_.get());
    writer_->setResolution(printer.resolution());
    writer_->setCreator(QStringLiteral("Norvak print manager"));
    writer_->setTitle(printer.docName());
    // The whole sheet, as the printer's full-page mode paints it.
    QPageLayout layout = printer.pageLayout();
    layout.setMinimumMargins(QMarginsF());
    layout.setMargins(QMarginsF());
    writer_->setPageLayout(layout);
    device_ = writer_.get();
}

PageDevice::~PageDevice()
{
    if (painter_.isActive())
        painter_.end();
}

double PageDevice::dotsPerCentimetre() const { return device_->logicalDpiX() / 2.54; }
int PageDevice::widthDots() const { return device_->width(); }
int PageDevice::heightDots() const { return device_->height(); }

int PageDevice::millimetresToDots(int millimetres) const
{
    return static_cast<int>(std::nearbyint(millimetres * device_->logicalDpiX() / 25.4));
}

bool PageDevice::begin()
{
    if (file_) {
        const QFileInfo existing(file_->fileName());
        constexpr auto kWritable = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
        // Only a regular file is replaced, and never one marked read-only,
        // whoever prints (a folder QSaveFile refuses with its own reason).
        const char* refused = nullptr;
        if (existing.exists() && !existing.isFile() && !existing.isDir())
            refused = PrintManagerStrings::NotRegularFile;
        else if (existing.isFile() && !(existing.permissions() & kWritable))
            refused = PrintManagerStrings::FileReadOnly;
        if (refused) {
            fail(PrintManagerStrings::FileNotWritten, QString::fromUtf8(refused));
            return false;
        }
        if (!file_->open(QIODevice::WriteOnly)) {
            fail(PrintManagerStrings::FileNotWritten, file_->errorString());
            return false;
        }
    }
    if (!painter_.begin(device_)) {
        if (file_)
            fail(PrintManagerStrings::FileNotWritten, file_->errorString());
        else
            fail(PrintManagerStrings::PrinterFailed, QString::fromUtf8(PrintManagerStrings::PrinterNotStarted));
        return false;
    }
    return true;
}

bool PageDevice::end()
{
    const bool ended = painter_.end();
    if (file_) {
        if (!ended || !file_->commit()) {
            fail(PrintManagerStrings::FileNotWritten, file_->errorString());
            return false;
        }
        return true;
    }
    if (!ended || printer_.printerState() == QPrinter::Error) {
        fail(PrintManagerStrings::PrinterFailed, QString::fromUtf8(PrintManagerStrings::PrinterError));
        return false;
    }
    return true;
}

void PageDevice::fail(const char* format, const QString& reason)
{
    const QString target = file_ ? QFileInfo(file_->fileName()).absoluteFilePath() : printer_.printerName();
    failure_ = QString::fromUtf8(format).arg(target, reason);
}

} // namespace printmgr
