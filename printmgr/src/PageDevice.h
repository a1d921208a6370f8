#pragma once

#include <memory>
#include <string>

class QPagedPaintDevice;
class QPainter;
class QRect;

namespace printmgr {

// The page being printed: the printer chosen in the print dialog when the
// machine has printers, else a PDF file. A4 landscape, no margins.
class PageDevice {
public:
    // Nothing when the user cancelled the print dialog or the output cannot
    // be opened, or when the host program has no graphical application.
    static std::unique_ptr<PageDevice> open(const std::string& pdfPath);
    ~PageDevice();

    double dotsPerCentimetre() const;
    int widthDots() const;
    int heightDots() const;
    int millimetresToDots(int millimetres) const;

    // Starts painting on the page; false when the output cannot be written.
    bool begin();
    QPainter& painter();
    bool end();

private:
    explicit PageDevice(std::unique_ptr<QPagedPaintDevice> device);

    std::unique_ptr<QPagedPaintDevice> device_;
    std::unique_ptr<QPainter> painter_;
};

} // namespace printmgr
