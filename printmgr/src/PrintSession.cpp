#include "PrintSession.h"

#include "PageDevice.h"
#include "PrintDialogSeam.h"
#include "printmgr/PrintManagerStrings.h"

#include <QFileInfo>
#include <QFont>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QStringList>

#include <algorithm>
#include <cstring>

namespace printmgr {
namespace {

constexpr char kDefaultOutput[] = "PelkView.pdf";
constexpr int kTextHeightMillimetres = 3;

std::string text(const void* data)
{
    return data ? std::string(static_cast<const char*>(data)) : std::string();
}

std::string folderOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
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

    QPrinter printer(QPrinter::HighResolution);
    printer.setFullPage(true);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(0, 0, 0, 0),
                                      QPageLayout::Millimeter));
    switch (rm::runPrintDialog(printer, proposedOutput(stored))) {
    case rm::PrintDialogResult::Cancelled:
        return false;
    case rm::PrintDialogResult::Unavailable:
        say(QString::fromUtf8(PrintManagerStrings::NoPrintDialog));
        return false;
    case rm::PrintDialogResult::Accepted:
        break;
    }

    PageDevice page(printer);
    page_ = &page;
    const auto defaulted = placeObjects(stored);
    bool printed = page.begin();
    if (printed) {
        renderObjects(page);
        printed = page.end();
    }
    page_ = nullptr;
    if (!printed) {
        say(page.failure());
        return false;
    }
    layout_file::addObjects(layoutPath(), layoutKey_, stored, defaulted);
    return true;
}

void PrintSession::sayLayoutProblems(const layout_file::StoredLayout& stored)
{
    const QString path = QFileInfo(QString::fromStdString(layoutPath())).absoluteFilePath();
    if (stored.state == layout_file::StoredLayout::State::Unreadable) {
        say(QString::fromUtf8(PrintManagerStrings::LayoutNotRead).arg(path, QString::fromStdString(stored.problem)));
    } else if (!stored.notUnderstood.empty()) {
        QStringList lines;
        for (const auto& line : stored.notUnderstood)
            lines.append(QString::fromStdString(line));
        say(QString::fromUtf8(PrintManagerStrings::LayoutLinesNotUnderstood).arg(path, lines.join(u'\n')));
    }
}

std::map<int, ObjectPlacement> PrintSession::placeObjects(const layout_file::StoredLayout& stored)
{
    // The default layout places every object; the file's lines then move
    // those it places.
    std::map<int, ObjectPlacement> defaulted;
    for (const auto& o : objects_)
        if (!stored.objects.contains(o.id))
            defaulted[o.id] = {};
    if (!defaulted.empty())
        callBack(DefaultLayout, 0, 0, nullptr);
    for (auto& o : objects_) {
        if (const auto it = stored.objects.find(o.id); it != stored.objects.end())
            o.placement = it->second;
        else
            defaulted[o.id] = o.placement;
    }
    return defaulted;
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
            QFont font(QStringLiteral("DejaVu Sans"));
            font.setPixelSize(std::max(1, page.millimetresToDots(kTextHeightMillimetres)));
            painter.setFont(font);
            painter.setPen(Qt::black);
            painter.drawText(QRect(0, 0, rect.width(), rect.height()), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                             QString::fromStdString(objectText(id)));
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
        *static_cast<int32_t*>(data) = request == PageWidthCount ? page_->widthDots() : page_->heightDots();
}

void PrintSession::reset()
{
    callback_ = nullptr;
    objects_.clear();
    layoutFileName_.clear();
    layoutKey_.clear();
}

} // namespace printmgr
