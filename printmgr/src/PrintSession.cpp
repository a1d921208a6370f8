#include "PrintSession.h"

#include "CupsPrinterOutput.h"
#include "PageDevice.h"
#include "PageText.h"
#include "PdfFileOutput.h"
#include "PrintDialogSeam.h"
#include "printmgr/PrintManagerStrings.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace printmgr {
namespace {

constexpr char kDefaultOutput[] = "PelkView.pdf";
constexpr int kTextHeightMillimetres = 3;
constexpr int kTextGapMillimetres = 1;
// A page whose shorter side is less gets the viewer's default layout for a
// page of this shorter side, scaled down.
constexpr int kReferenceShortSide = 210;
// Lines not understood that a message lists, and the characters shown of each.
constexpr size_t kLinesShown = 10;
constexpr int kLineCharactersShown = 120;

std::string text(const void* data)
{
    return data ? std::string(static_cast<const char*>(data)) : std::string();
}

std::string folderOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A line of the layout file as a message shows it: control characters (a
// NUL among them) escaped, a very long line cut.
QString shownLine(const std::string& line)
{
    const QString text = QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
    QString shown;
    for (const QChar c : text) {
        if (shown.size() >= kLineCharactersShown) {
            shown += QStringLiteral("...");
            break;
        }
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            shown += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            shown += c;
    }
    return shown;
}

} // namespace

intptr_t PrintSession::request(int32_t request, int32_t objectId, intptr_t value, void* data)
{
    switch (request) {
    case RegisterCallback:
        callback_ = reinterpret_cast<Callback>(data);
        return 1;
    case DefineObject:
        if (!object(objectId))
            objects_.push_back(PrintObject{objectId, {}, KindPicture, false, {}});
        return 1;
    case ObjectName:
        if (auto* o = object(objectId))
            o->name = text(data);
        return 1;
    case ObjectKind:
        if (auto* o = object(objectId))
            o->kind = static_cast<int>(value);
        return 1;
    case ObjectFlag:
        if (auto* o = object(objectId))
            o->flag = value != 0;
        return 1;
    case ObjectLeft:
    case ObjectTop:
    case ObjectWidth:
    case ObjectHeight:
        if (auto* o = object(objectId)) {
            const int v = static_cast<int>(std::clamp<intptr_t>(value, -kMaxMillimetres, kMaxMillimetres));
            auto& p = o->placement;
            (request == ObjectLeft ? p.left : request == ObjectTop ? p.top
                                          : request == ObjectWidth ? p.width : p.height) = v;
        }
        return 1;
    case PageWidthDivisor:
    case PageHeightDivisor:
    case PageWidthCount:
    case PageHeightCount:
        answerPageSize(request, data);
        return 1;
    case LayoutKey:
        layoutKey_ = text(data);
        return 1;
    case LayoutFileName:
        layoutFileName_ = text(data);
        return 1;
    case Print: {
        const bool printed = print();
        if (data)
            *static_cast<uint8_t*>(data) = printed ? 1 : 0;
        return printed ? 1 : 0;
    }
    case BeginPrint:
    case EndPrint:
        reset();
        return 1;
    default:
        return 0;
    }
}

PrintSession::PrintObject* PrintSession::object(int id)
{
    const auto it = std::find_if(objects_.begin(), objects_.end(), [id](const auto& o) { return o.id == id; });
    return it == objects_.end() ? nullptr : &*it;
}

std::string PrintSession::layoutPath() const
{
    return layoutFileName_.empty() ? std::string("PelkView.lay") : layoutFileName_;
}

QString PrintSession::absoluteLayoutPath() const
{
    return QFileInfo(QString::fromStdString(layoutPath())).absoluteFilePath();
}

QString PrintSession::proposedOutput(const layout_file::StoredLayout& stored) const
{
    const std::string name = stored.output.empty() ? kDefaultOutput : stored.output;
    return QFileInfo(QString::fromStdString(name.front() == '/' ? name : folderOf(layoutPath()) + name))
        .absoluteFilePath();
}

bool PrintSession::print()
{
    const auto stored = layout_file::read(layoutPath(), layoutKey_);
    sayLayoutProblems(stored);
    // The toolkit's dialog opens the file it offers to check it: a pipe
    // would block it for good.
    const QString proposed = proposedOutput(stored);
    if (const QString reason = pdf_file::refusal(proposed, absoluteLayoutPath()); !reason.isEmpty()) {
        say(QString::fromUtf8(PrintManagerStrings::FileNotWritten).arg(proposed, reason));
        return false;
    }

    QPrinter printer(QPrinter::HighResolution);
    printer.setFullPage(true);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(0, 0, 0, 0),
                                      QPageLayout::Millimeter));
    switch (rm::runPrintDialog(printer, proposed)) {
    case rm::PrintDialogResult::Cancelled:
        return false;
    case rm::PrintDialogResult::Unavailable:
        say(QString::fromUtf8(PrintManagerStrings::NoPrintDialog));
        return false;
    case rm::PrintDialogResult::Accepted:
        break;
    }
    return printPage(printer, stored);
}

bool PrintSession::printPage(const QPrinter& printer, const layout_file::StoredLayout& stored)
{
    const bool toFile = printer.outputFormat() == QPrinter::PdfFormat;
    const QString target = toFile ? QFileInfo(printer.outputFileName()).absoluteFilePath() : printer.printerName();
    QString failure = toFile ? pdf_file::refusal(target, absoluteLayoutPath()) : QString();
    if (failure.isEmpty()) {
        PageDevice page(printer);
        page_ = &page;
        const Placements defaulted = placeObjects(stored, page);
        bool drawn = page.begin();
        if (drawn) {
            renderObjects(page);
            drawn = page.end();
        }
        page_ = nullptr;
        if (!drawn)
            failure = QString::fromUtf8(PrintManagerStrings::NotWrittenWhole);
        else if (toFile)
            failure = pdf_file::write(target, page.pdf());
        else
            failure = cups_printer::submit(target, printer.docName(), printer.copyCount(), page.pdf());
        if (failure.isEmpty()) {
            layout_file::addObjects(layoutPath(), layoutKey_, stored, defaulted);
            return true;
        }
    }
    const char* format = toFile ? PrintManagerStrings::FileNotWritten : PrintManagerStrings::PrinterFailed;
    say(QString::fromUtf8(format).arg(target, failure));
    return false;
}

void PrintSession::sayLayoutProblems(const layout_file::StoredLayout& stored)
{
    const QString path = absoluteLayoutPath();
    if (stored.state == layout_file::StoredLayout::State::Unreadable) {
        say(QString::fromUtf8(PrintManagerStrings::LayoutNotRead).arg(path, QString::fromStdString(stored.problem)));
        return;
    }
    if (stored.notUnderstood.empty())
        return;
    QStringList lines;
    for (size_t i = 0; i < stored.notUnderstood.size() && i < kLinesShown; ++i)
        lines.append(shownLine(stored.notUnderstood[i]));
    if (stored.notUnderstood.size() > kLinesShown)
        lines.append(QString::fromUtf8(PrintManagerStrings::LayoutMoreLines).arg(
            static_cast<qulonglong>(stored.notUnderstood.size() - kLinesShown)));
    say(QString::fromUtf8(PrintManagerStrings::LayoutLinesNotUnderstood).arg(path, lines.join(u'\n')));
}

PrintSession::Placements PrintSession::placeObjects(const layout_file::StoredLayout& stored, const PageDevice& page)
{
    // The file's lines place the objects they name, the default layout the
    // others; a layout that does not fit the page chosen is shrunk to it, or
    // else replaced by the page's default.
    const layout_fitting::PageSize size = page.sizeMillimetres();
    Placements defaults;
    Placements placed;
    Placements defaulted;
    for (const auto& o : objects_) {
        if (const auto it = stored.objects.find(o.id); it != stored.objects.end()) {
            placed[o.id] = it->second;
            continue;
        }
        if (defaults.empty())
            defaults = defaultLayout(size);
        placed[o.id] = defaulted[o.id] = defaults[o.id];
    }
    if (!stored.objects.empty() && !layout_fitting::fits(placed, printedObjects(placed), size)) {
        const QString path = absoluteLayoutPath();
        if (auto shrunk = layout_fitting::shrunkToFit(placed, printedObjects(placed), size)) {
            placed = *shrunk;
            say(QString::fromUtf8(PrintManagerStrings::LayoutShrunk).arg(path).arg(size.width).arg(size.height));
        } else {
            if (defaults.empty())
                defaults = defaultLayout(size);
            placed = defaults;
            say(QString::fromUtf8(PrintManagerStrings::LayoutReplaced).arg(path).arg(size.width).arg(size.height));
        }
    }
    for (auto& o : objects_)
        o.placement = placed[o.id];
    return defaulted;
}

PrintSession::Placements PrintSession::defaultLayout(layout_fitting::PageSize page)
{
    // The viewer computes its default from the page's size; on a page too
    // small for its margins it is asked for the default of a page as large
    // as A4 of the same shape, scaled down to this one.
    const auto ask = [this] {
        callBack(DefaultLayout, 0, 0, nullptr);
        Placements placements;
        for (const auto& o : objects_)
            placements[o.id] = o.placement;
        return placements;
    };
    Placements placements = ask();
    const int shortSide = std::min(page.width, page.height);
    if (!layout_fitting::fits(placements, printedObjects(placements), page) && shortSide > 0 &&
        shortSide < kReferenceShortSide) {
        pageScale_ = static_cast<double>(kReferenceShortSide) / shortSide;
        placements = layout_fitting::scaled(ask(), 1 / pageScale_);
        pageScale_ = 1;
    }
    return placements;
}

std::set<int> PrintSession::printedObjects(const Placements& placements) const
{
    std::set<int> printed;
    for (const auto& o : objects_)
        if (const auto it = placements.find(o.id); o.flag && it != placements.end() && it->second.visible)
            printed.insert(o.id);
    return printed;
}

void PrintSession::renderObjects(PageDevice& page)
{
    const QRect pageRect(0, 0, page.widthDots(), page.heightDots());
    // The callback may define or move objects; walk a copy of the ids.
    std::vector<int> ids;
    for (const auto& o : objects_)
        ids.push_back(o.id);
    for (const int id : ids) {
        const PrintObject* o = object(id);
        if (!o || !o->flag || !o->placement.visible)
            continue;
        // Placements lie within kMaxMillimetres, so none overflows in dots.
        const auto p = o->placement;
        const QRect rect = QRect(page.millimetresToDots(p.left), page.millimetresToDots(p.top),
                                 page.millimetresToDots(p.width), page.millimetresToDots(p.height))
                               .intersected(pageRect);
        if (rect.isEmpty())
            continue;
        QPainter& painter = page.painter();
        painter.save();
        painter.translate(rect.topLeft());
        painter.setClipRect(QRect(0, 0, rect.width(), rect.height()));
        if (o->kind == KindPicture) {
            PrintRegion region{};
            region.width = rect.width();
            region.height = rect.height();
            region.painter = &painter;
            callBack(DrawPicture, id, 0, &region);
        } else if (o->kind == KindText) {
            // A little room above the text and before the box to its right.
            const int gap = page.millimetresToDots(kTextGapMillimetres);
            painter.translate(0, gap);
            drawTextFitted(painter, rect.size() - QSize(2 * gap, gap), QString::fromStdString(objectText(id)),
                           page.millimetresToDots(kTextHeightMillimetres));
        }
        painter.restore();
    }
}

std::string PrintSession::objectText(int id)
{
    int32_t length = 0;
    callBack(TextLength, id, 0, &length);
    if (length <= 0)
        return {};
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    callBack(TextCopy, id, static_cast<intptr_t>(buffer.size()), buffer.data());
    return std::string(buffer.data(), strnlen(buffer.data(), buffer.size()));
}

void PrintSession::say(const QString& message)
{
    const QByteArray text = message.toUtf8();
    callBack(UserMessage, 0, 0, const_cast<char*>(text.constData()));
}

intptr_t PrintSession::callBack(int32_t request, int32_t objectId, intptr_t value, void* data)
{
    return callback_ ? callback_(request, objectId, value, data) : 0;
}

void PrintSession::answerPageSize(int32_t request, void* data) const
{
    if (!data || !page_)
        return;
    if (request == PageWidthDivisor || request == PageHeightDivisor)
        *static_cast<double*>(data) = page_->dotsPerCentimetre();
    else
        *static_cast<int32_t*>(data) = static_cast<int32_t>(
            std::nearbyint((request == PageWidthCount ? page_->widthDots() : page_->heightDots()) * pageScale_));
}

void PrintSession::reset()
{
    callback_ = nullptr;
    objects_.clear();
    layoutFileName_.clear();
    layoutKey_.clear();
}

} // namespace printmgr
