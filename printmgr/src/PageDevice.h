#pragma once

#include "LayoutFitting.h"

#include <QBuffer>
#include <QByteArray>
#include <QPainter>
#include <QPdfWriter>

class QPrinter;

namespace printmgr {

// The page being printed, as the print dialog chose it (paper, orientation,
// resolution), drawn into a PDF held in memory; where the finished PDF goes
// (a file or a printer) is up to the caller.
class PageDevice {
public:
    explicit PageDevice(const QPrinter& printer);
    ~PageDevice();

    double dotsPerCentimetre() const;
    int widthDots() const;
    int heightDots() const;
    int millimetresToDots(int millimetres) const;
    // The page's size in whole millimetres, as the viewer computes it.
    layout_fitting::PageSize sizeMillimetres() const;

    // Starts painting on the page; false when the page cannot be drawn.
    bool begin();
    QPainter& painter() { return painter_; }
    // Finishes the page; false when it could not be drawn whole.
    bool end();
    // The finished PDF.
    const QByteArray& pdf() const { return pdf_; }

private:
    QByteArray pdf_;
    QBuffer buffer_;
    QPdfWriter writer_;
    QPainter painter_;
};

} // namespace printmgr
