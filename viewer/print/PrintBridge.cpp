#include "PrintBridge.h"

#include "MessageBoxes.h"
#include "Rounding.h"
#include "viewer/ViewerStrings.h"

#include <QDateTime>
#include <QPainter>

#include <algorithm>
#include <cstring>

namespace rm::viewer {
namespace {

// The bridge of the print under way, for the library's plain callback.
TPrintBridge* activeBridge = nullptr;

struct PrintObjectDefinition {
    int id;
    const char* name;
    int kind;
    int flag;
};

constexpr PrintObjectDefinition kObjects[] = {
    {1, "Main screen", printmgr::KindPicture, 1},  {2, "Cursor info", printmgr::KindText, 1},
    {3, "Date and time", printmgr::KindText, 1},   {4, "Free text 1", printmgr::KindFreeText, 0},
    {5, "Free text 2", printmgr::KindFreeText, 0},
};

} // namespace

TPrintBridge::TPrintBridge(IPrintSource& source, std::string libraryName)
    : source_(source), libraryName_(std::move(libraryName))
{
}

bool TPrintBridge::Print()
{
    if (!LoadPrintLibrary()) {
        rm::showMessage(ViewerStrings::PrintLibraryMissing, {}, rm::MsgButtons::Ok, rm::MsgIcon::Warning);
        return false;
    }
    activeBridge = this;
    Send(printmgr::BeginPrint);
    Send(printmgr::LayoutFileName, 0, 0, const_cast<char*>(kLayoutFile));
    Send(printmgr::LayoutKey, 0, 0, const_cast<char*>(kLayoutKey));
    Send(printmgr::RegisterCallback, 0, 0, reinterpret_cast<void*>(&TPrintBridge::PrintRegionCallback));
    for (const auto& o : kObjects)
        DefinePrintObject(o.id, o.name, o.kind, o.flag, 0, 0, 10000, 5000);
    uint8_t printed = 0;
    Send(printmgr::Print, 0, 0, &printed);
    Send(printmgr::AfterPrint);
    Send(printmgr::EndPrint);
    ReleasePrintLibrary();
    activeBridge = nullptr;
    return printed == 1;
}

bool TPrintBridge::LoadPrintLibrary()
{
    if (!library_.openModule(libraryName_))
        return false;
    request_ = reinterpret_cast<printmgr::ApplicationRequestFunction>(library_.symbol(printmgr::kExportName));
    if (!request_) {
        library_.close();
        return false;
    }
    return true;
}

void TPrintBridge::ReleasePrintLibrary()
{
    Send(printmgr::EndPrint);
    request_ = nullptr;
    library_.close();
}

intptr_t TPrintBridge::Send(int32_t request, int32_t objectId, intptr_t value, void* data)
{
    return request_ ? request_(request, objectId, value, data) : 0;
}

void TPrintBridge::DefinePrintObject(int id, const char* name, int kind, int flag, int left, int top,
                                     int width, int height)
{
    Send(printmgr::DefineObject, id);
    Send(printmgr::ObjectName, id, 0, const_cast<char*>(name));
    Send(printmgr::ObjectKind, id, kind);
    Send(printmgr::ObjectLeft, id, left);
    Send(printmgr::ObjectTop, id, top);
    Send(printmgr::ObjectWidth, id, width);
    Send(printmgr::ObjectHeight, id, height);
    Send(printmgr::ObjectFlag, id, flag);
}

void TPrintBridge::SetPrintObjectRect(int id, int left, int top, int right, int bottom)
{
    Send(printmgr::ObjectLeft, id, left);
    Send(printmgr::ObjectTop, id, top);
    Send(printmgr::ObjectWidth, id, right - left);
    Send(printmgr::ObjectHeight, id, bottom - top);
}

int TPrintBridge::GetPrintPageWidth() { return PageMillimetres(printmgr::PageWidthDivisor, printmgr::PageWidthCount); }

int TPrintBridge::GetPrintPageHeight()
{
    return PageMillimetres(printmgr::PageHeightDivisor, printmgr::PageHeightCount);
}

int TPrintBridge::PageMillimetres(int32_t divisorRequest, int32_t countRequest)
{
    double divisor = 1;
    int32_t count = 0;
    Send(divisorRequest, 0, 0, &divisor);
    Send(countRequest, 0, 0, &count);
    if (!(divisor > 0))
        return 0;
    return static_cast<int>(rm::roundHalfEven(count * 10.0 / divisor));
}

void TPrintBridge::DefaultLayout()
{
    const int w = GetPrintPageWidth();
    const int h = GetPrintPageHeight();
    SetPrintObjectRect(1, 20, 20, w - 20, h - 100);
    SetPrintObjectRect(2, 20, h - 100, 70, h - 50);
    SetPrintObjectRect(3, 70, h - 100, 120, h - 50);
    SetPrintObjectRect(4, 120, h - 100, 170, h - 50);
    SetPrintObjectRect(5, 170, h - 100, 220, h - 50);
}

void TPrintBridge::DrawPicture(QPainter& painter, QSize region)
{
    // The screen's proportions, centred in the region.
    QSize picture = source_.PictureSize();
    picture = picture.isEmpty() ? region : picture.scaled(region, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    painter.save();
    painter.translate((region.width() - picture.width()) / 2, (region.height() - picture.height()) / 2);
    source_.PaintForPrint(painter, picture.width(), picture.height());
    painter.restore();
}

std::string TPrintBridge::ObjectText(int objectId) const
{
    if (objectId == 2)
        return source_.CursorInfoText();
    if (objectId == 3)
        return "Date: " + QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yy hh:mm")).toStdString() +
               "\r\n";
    return {};
}

intptr_t TPrintBridge::PrintRegionCallback(int32_t request, int32_t objectId, intptr_t value, void* data)
{
    return activeBridge ? activeBridge->Answer(request, objectId, value, data) : 0;
}

intptr_t TPrintBridge::Answer(int32_t request, int32_t objectId, intptr_t value, void* data)
{
    const bool hasText = objectId == 2 || objectId == 3;
    switch (request) {
    case printmgr::TextLength:
        if (hasText)
            snapshot_[objectId] = ObjectText(objectId);
        if (data)
            *static_cast<int32_t*>(data) = hasText ? static_cast<int32_t>(snapshot_[objectId].size()) : 0;
        break;
    case printmgr::TextCopy: {
        // The library gives the buffer's capacity, terminator included.
        if (!data || value <= 0)
            break;
        const std::string& text = hasText ? snapshot_[objectId] : std::string();
        const size_t n = std::min(text.size(), static_cast<size_t>(value) - 1);
        std::memcpy(data, text.data(), n);
        static_cast<char*>(data)[n] = '\0';
        break;
    }
    case printmgr::DefaultLayout:
        DefaultLayout();
        break;
    case printmgr::DrawPicture: {
        const auto* region = static_cast<const printmgr::PrintRegion*>(data);
        if (region && region->painter && region->width > 0 && region->height > 0)
            DrawPicture(*static_cast<QPainter*>(region->painter), QSize(region->width, region->height));
        break;
    }
    case printmgr::UserMessage:
        if (data)
            rm::showMessage(static_cast<const char*>(data), {}, rm::MsgButtons::Ok, rm::MsgIcon::Warning);
        break;
    default:
        break;
    }
    return 0;
}

} // namespace rm::viewer
