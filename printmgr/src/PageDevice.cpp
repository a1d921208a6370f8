#include "PageDevice.h"

#include <QGuiApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include <cmath>

namespace printmgr {
namespace {

constexpr int kPdfResolution = 300;

void setUpPage(QPagedPaintDevice& device)
{
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                     QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
}

std::unique_ptr<QPagedPaintDevice> chosenPrinter()
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setFullPage(true);
    setUpPage(*printer);
    QPrintDialog dialog(printer.get());
    if (dialog.exec() != QDialog::Accepted)
        return nullptr;
    return printer;
}

} // namespace

PageDevice::PageDevice(std::unique_ptr<QPagedPaintDevice> device) : device_(std::move(device)) {}

PageDevice::~PageDevice()
{
    if (painter_ && painter_->isActive())
        painter_->end();
}

std::unique_ptr<PageDevice> PageDevice::open(const std::string& pdfPath)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return nullptr;
    std::unique_ptr<QPagedPaintDevice> device;
    if (!QPrinterInfo::availablePrinters().isEmpty()) {
        device = chosenPrinter();
        if (!device)
            return nullptr;
    } else {
        auto writer = std::make_unique<QPdfWriter>(QString::fromStdString(pdfPath));
        writer->setResolution(kPdfResolution);
        writer->setCreator(QStringLiteral("Norvak print manager"));
        setUpPage(*writer);
        device = std::move(writer);
    }
    return std::unique_ptr<PageDevice>(new PageDevice(std::move(device)));
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
    painter_ = std::make_unique<QPainter>();
    return painter_->begin(device_.get());
}

QPainter& PageDevice::painter() { return *painter_; }

bool PageDevice::end()
{
    return painter_ && painter_->end();
}

} // namespace printmgr
