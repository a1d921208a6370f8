#pragma once

// What passes between the viewer and the print-manager library
// (libprintdll.so): one export, ApplicationRequest, and a callback of the same
// shape that the viewer registers with request 1. Free of Qt, so the library
// and the viewer share it as it is.

#include <cstddef>
#include <cstdint>

namespace printmgr {

// Requests the viewer sends to the library.
enum Request : int32_t {
    RegisterCallback = 1,  // data: the callback
    DefineObject = 2,      // object id
    ObjectName = 3,        // data: zero-terminated name
    ObjectKind = 4,        // value: kind
    PageWidthDivisor = 5,  // data out: double, device dots per centimetre
    PageHeightDivisor = 6, // data out: double, device dots per centimetre
    PageWidthCount = 7,    // data out: int32_t, page width in device dots
    PageHeightCount = 8,   // data out: int32_t, page height in device dots
    ObjectLeft = 9,        // value: left
    ObjectTop = 10,        // value: top
    ObjectWidth = 11,      // value: width
    ObjectHeight = 12,     // value: height
    AfterPrint = 13,       // sent after Print
    Print = 14,            // shows the print dialog and prints; data out: one byte, 1 when the
                           // page was printed, 0 when cancelled or failed (the failure told
                           // through UserMessage)
    ObjectFlag = 15,       // value: flag (0 or 1)
    LayoutKey = 16,        // data: zero-terminated key
    EndPrint = 17,         // sent before the library is unloaded (may come twice)
    BeginPrint = 18,       // first request of a print
    LayoutFileName = 19,   // data: zero-terminated file name
};

// Requests the library sends to the viewer's callback.
enum CallbackRequest : int32_t {
    TextLength = 1,     // data out: int32_t, characters of the object's text
    TextCopy = 2,       // value: capacity in bytes (terminator included); data out: characters
    DefaultLayout = 3,  // the viewer answers with requests 5 to 12
    DrawPicture = 4,    // data: PrintRegion
    UserMessage = 5,    // data: zero-terminated UTF-8 text for the host to show the user (a failed
                        // print, layout lines not understood); a host may ignore it
};

// Kinds of print objects.
enum ObjectKindValue : int32_t { KindPicture = 0, KindText = 1, KindFreeText = 2 };

// The record of callback request 4: where the viewer draws a picture object.
// The painter is active on the page, translated to the object's top-left and
// clipped to it; width and height are the object's size in device dots.
struct PrintRegion {
    uint8_t reserved0[8];
    int32_t width;
    int32_t height;
    uint8_t reserved16[16];
    void* painter;  // QPainter*
};
static_assert(offsetof(PrintRegion, width) == 8);
static_assert(offsetof(PrintRegion, height) == 12);
static_assert(offsetof(PrintRegion, painter) == 32);
static_assert(sizeof(PrintRegion) == 40);

using Callback = intptr_t (*)(int32_t request, int32_t objectId, intptr_t value, void* data);

// The library's export, looked up by this name.
inline constexpr char kExportName[] = "ApplicationRequest";
using ApplicationRequestFunction = intptr_t (*)(int32_t request, int32_t objectId, intptr_t value,
                                                void* data);

} // namespace printmgr

extern "C" intptr_t ApplicationRequest(int32_t request, int32_t objectId, intptr_t value, void* data);
