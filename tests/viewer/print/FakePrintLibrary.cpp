// A print-manager library for the bridge's tests: it records every request
// and, when asked to print, calls the viewer back the way the real library
// does (default layout, texts, picture).
#include "PrintManagerApi.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

struct Logged {
    int32_t request;
    int32_t objectId;
    intptr_t value;
    std::string text;  // string data of requests 3, 16 and 19
};

std::vector<Logged> requests;
std::vector<std::string> texts(6);
std::vector<int32_t> lengths(6);
printmgr::Callback callback = nullptr;
int textCapacity = 0;  // 0: length + 1
std::string failure;  // told through the callback; the page is then not printed
void* painter = nullptr;
int32_t painterWidth = 0;
int32_t painterHeight = 0;

bool printPage()
{
    if (!callback)
        return false;
    callback(printmgr::DefaultLayout, 0, 0, nullptr);
    for (int id = 1; id <= 5; ++id) {
        int32_t length = -1;
        callback(printmgr::TextLength, id, 0, &length);
        lengths[id] = length;
        const int capacity = textCapacity > 0 ? textCapacity : length + 1;
        std::vector<char> buffer(capacity + 8, 'x');
        callback(printmgr::TextCopy, id, capacity, buffer.data());
        texts[id] = std::string(buffer.data(), strnlen(buffer.data(), capacity));
    }
    if (painter) {
        printmgr::PrintRegion region{};
        region.width = painterWidth;
        region.height = painterHeight;
        region.painter = painter;
        callback(printmgr::DrawPicture, 1, 0, &region);
    }
    if (!failure.empty())
        callback(printmgr::UserMessage, 0, 0, failure.data());
    return failure.empty();
}

} // namespace

extern "C" {

__attribute__((visibility("default"))) intptr_t ApplicationRequest(int32_t request, int32_t objectId,
                                                                   intptr_t value, void* data)
{
    Logged entry{request, objectId, value, {}};
    if (request == printmgr::ObjectName || request == printmgr::LayoutKey || request == printmgr::LayoutFileName)
        entry.text = static_cast<const char*>(data);
    requests.push_back(entry);
    switch (request) {
    case printmgr::RegisterCallback: callback = reinterpret_cast<printmgr::Callback>(data); break;
    case printmgr::PageWidthDivisor:
    case printmgr::PageHeightDivisor: *static_cast<double*>(data) = 10.0; break;
    case printmgr::PageWidthCount: *static_cast<int32_t*>(data) = 290; break;
    case printmgr::PageHeightCount: *static_cast<int32_t*>(data) = 203; break;
    case printmgr::Print: *static_cast<uint8_t*>(data) = printPage() ? 1 : 0; break;
    default: break;
    }
    return 0;
}

__attribute__((visibility("default"))) int FakePrintRequestCount() { return static_cast<int>(requests.size()); }

__attribute__((visibility("default"))) void FakePrintRequest(int index, int32_t* request, int32_t* objectId,
                                                             intptr_t* value, const char** text)
{
    *request = requests[index].request;
    *objectId = requests[index].objectId;
    *value = requests[index].value;
    *text = requests[index].text.c_str();
}

__attribute__((visibility("default"))) const char* FakePrintText(int id) { return texts[id].c_str(); }
__attribute__((visibility("default"))) int32_t FakePrintLength(int id) { return lengths[id]; }
__attribute__((visibility("default"))) void FakePrintSetCapacity(int capacity) { textCapacity = capacity; }

__attribute__((visibility("default"))) void FakePrintSetFailure(const char* text) { failure = text; }

__attribute__((visibility("default"))) void FakePrintSetPainter(void* p, int32_t width, int32_t height)
{
    painter = p;
    painterWidth = width;
    painterHeight = height;
}

} // extern "C"
