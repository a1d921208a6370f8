#pragma once

#include <QPageLayout>
#include <QPageSize>
#include <QString>

#include <deque>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

class QPrinter;

namespace rm {

enum class PrintDialogResult {
    Accepted,     // the printer now says where the page goes
    Cancelled,    // nothing is to be printed
    Unavailable,  // the program has no QApplication, so no dialog can be shown
};

// Asks the user where a print goes. The print-manager library asks through
// the one installed with setPrintDialog; by default that is the toolkit's
// print dialog.
class PrintDialog {
public:
    virtual ~PrintDialog() = default;
    // Shows the machine's printers or, when it has none, printing into a PDF
    // file, proposed as `proposedPdf` (an absolute path). On Accepted the
    // printer holds the choice: a printer, or the PDF format and a file name.
    virtual PrintDialogResult choose(QPrinter& printer, const QString& proposedPdf) = 0;
};

// Runs the installed dialog, else the toolkit's QPrintDialog, which needs a
// QApplication (Unavailable without one). User-interface thread only.
PrintDialogResult runPrintDialog(QPrinter& printer, const QString& proposedPdf);

// Installs `dialog` (not owned) for the whole process, a print-manager
// library loaded into it included (the choice is kept with the application
// object, which the program and the library share); nullptr restores the
// toolkit's dialog. Needs the application object.
void setPrintDialog(PrintDialog* dialog);

// A print dialog for tests: records every proposal and answers from a queue
// (an empty queue cancels); it never looks at the machine's printers, so a
// test runs alike with and without them. Installs itself while it lives.
class ScriptedPrintDialog : public PrintDialog {
public:
    // Print into `file` ("" = the proposed file) at `dotsPerInch`, on
    // `paper` in `orientation`; or, when `printer` names a CUPS queue, on it.
    struct Answer {
        Answer(QString file = {}, int dotsPerInch = 300) : file(std::move(file)), dotsPerInch(dotsPerInch) {}
        QString file;
        int dotsPerInch = 300;
        QPageSize::PageSizeId paper = QPageSize::A4;
        QPageLayout::Orientation orientation = QPageLayout::Landscape;
        QString printer;
    };

    ScriptedPrintDialog();
    ~ScriptedPrintDialog() override;

    PrintDialogResult choose(QPrinter& printer, const QString& proposedPdf) override;

    // std::nullopt cancels.
    void queueAnswer(std::optional<Answer> answer);
    std::vector<QString> proposals() const;

private:
    mutable std::mutex mutex_;
    std::deque<std::optional<Answer>> answers_;
    std::vector<QString> proposals_;
};

} // namespace rm
