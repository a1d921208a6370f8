#include "PageDevice.h"

#include <QPageLayout>
#include <QPrinter>

#include <cmath>

namespace printmgr {

PageDevice::PageDevice(const QPrinter& printer) : buffer_(&pdf_), writer_(&buffer_)
{
    writer_.setResolution(printer.resolution());
    writer_.setCreator(QStringLiteral("Norvak print manager"));
    writer_.setTitle(printer.docName());
    // The whole sheet, as the printer's full-page mode paints it.
    QPageLayout layout = printer.pageLayout();
    layout.setMinimumMargins(QMarginsF());
    layout.setMargins(QMarginsF());
    writer_.setPageLayout(layout);
}

PageDevice::~PageDevice()
{
    if (painter_.isActive())
        painter_.end();
}

double PageDevice::dotsPerCentimetre() const { return writer_.logicalDpiX() / 2.54; }
int PageDevice::widthDots() const { return writer_.width(); }
int PageDevice::heightDots() const { return writer_.height(); }

int PageDevice::millimetresToDots(int millimetres) const
{
    return static_cast<int>(std::nearbyint(millimetres * writer_.logicalDpiX() / 25.4));
}

layout_fitting::PageSize PageDevice::sizeMillimetres() const
{
    const auto millimetres = [this](int dots) {
        return static_cast<int>(std::nearbyint(dots * 10 / dotsPerCentimetre()));
    };
    return {millimetres(widthDots()), millimetres(heightDots())};
}

bool PageDevice::begin() { return buffer_.open(QIODevice::WriteOnly) && painter_.begin(&writer_); }

bool PageDevice::end()
{
    const bool ended = painter_.end();
    buffer_.close();
    return ended && !pdf_.isEmpty();
}

} // namespace printmgr
