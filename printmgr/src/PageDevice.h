#pragma once

#include <QPainter>
#include <QString>

#include <memory>

class QPagedPaintDevice;
class QPdfWriter;
class QPrinter;
class QSaveFile;

namespace printmgr {

// The page being printed, where the print dialog sent it: the chosen
// printer, or a PDF file. A PDF is written beside the file it replaces and
// takes its place only once complete, so a failed print leaves the old file.
class PageDevice {
public:
    // `printer` as the print dialog left it; it outlives the page.
    explicit PageDevice(QPrinter& printer);
    ~PageDevice();

    double dotsPerCentimetre() const;
    int widthDots() const;
    int heightDots() const;
    int millimetresToDots(int millimetres) const;

    // Starts painting on the page; false when the output cannot be written.
    bool begin();
    QPainter& painter() { return painter_; }
    // Finishes the page; false when it could not be written or printed.
    bool end();
    // After a false begin() or end(): the file or printer and the reason.
    const QString& failure() const { return failure_; }

private:
    void fail(const char* format, const QString& reason);

    QPrinter& printer_;
    std::unique_ptr<QSaveFile> file_;
    std::unique_ptr<QPdfWriter> writer_;
    QPagedPaintDevice* device_ = nullptr;
    QPainter painter_;
    QString failure_;
};

} // namespace printmgr
