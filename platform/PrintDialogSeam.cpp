#include "PrintDialogSeam.h"

#include <QApplication>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QVariant>

namespace rm {
namespace {

// The installed dialog lives as a property of the application object: the
// program and a library it loads each hold their own copy of this code, but
// they share the one application.
constexpr char kInstalledProperty[] = "rmPrintDialog";

PrintDialog* installedDialog()
{
    const QCoreApplication* application = QCoreApplication::instance();
    return application ? static_cast<PrintDialog*>(application->property(kInstalledProperty).value<void*>())
                       : nullptr;
}

PrintDialogResult runToolkitDialog(QPrinter& printer, const QString& proposedPdf)
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return PrintDialogResult::Unavailable;
    // The job's name; the dialog also builds the file it offers from it.
    printer.setDocName(QFileInfo(proposedPdf).completeBaseName());
    if (QPrinterInfo::availablePrinters().isEmpty())
        printer.setOutputFileName(proposedPdf);
    QPrintDialog dialog(&printer, QApplication::activeWindow());
    return dialog.exec() == QDialog::Accepted ? PrintDialogResult::Accepted : PrintDialogResult::Cancelled;
}

} // namespace

PrintDialogResult runPrintDialog(QPrinter& printer, const QString& proposedPdf)
{
    if (PrintDialog* dialog = installedDialog())
        return dialog->choose(printer, proposedPdf);
    return runToolkitDialog(printer, proposedPdf);
}

void setPrintDialog(PrintDialog* dialog)
{
    if (QCoreApplication* application = QCoreApplication::instance())
        application->setProperty(kInstalledProperty, dialog ? QVariant::fromValue<void*>(dialog) : QVariant());
}

ScriptedPrintDialog::ScriptedPrintDialog() { setPrintDialog(this); }
ScriptedPrintDialog::~ScriptedPrintDialog() { setPrintDialog(nullptr); }

PrintDialogResult ScriptedPrintDialog::choose(QPrinter& printer, const QString& proposedPdf)
{
    std::optional<Answer> answer;
    {
        std::lock_guard lock(mutex_);
        proposals_.push_back(proposedPdf);
        if (!answers_.empty()) {
            answer = answers_.front();
            answers_.pop_front();
        }
    }
    if (!answer)
        return PrintDialogResult::Cancelled;
    if (answer->printer.isEmpty())
        printer.setOutputFileName(answer->file.isEmpty() ? proposedPdf : answer->file);
    else
        printer.setPrinterName(answer->printer);
    printer.setResolution(answer->dotsPerInch);
    printer.setPageSize(QPageSize(answer->paper));
    printer.setPageOrientation(answer->orientation);
    return PrintDialogResult::Accepted;
}

void ScriptedPrintDialog::queueAnswer(std::optional<Answer> answer)
{
    std::lock_guard lock(mutex_);
    answers_.push_back(std::move(answer));
}

std::vector<QString> ScriptedPrintDialog::proposals() const
{
    std::lock_guard lock(mutex_);
    return proposals_;
}

} // namespace rm
