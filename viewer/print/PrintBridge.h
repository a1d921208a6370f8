#pragma once

#include "PrintManagerApi.h"
#include "SharedLibrary.h"

#include <string>
#include <string_view>

#include <QSize>

class QPainter;

namespace rm::viewer {

// What a print takes from the viewer's window: the cursor voltages as text
// and the main display's picture, drawn in print colours.
class IPrintSource {
public:
    // "A = ... 1A = ... 2A = ...\r\nB = ... 1B = ... 2B = ..."
    virtual std::string CursorInfoText() const = 0;
    // Draws the main display onto `painter`, stretched to width x height.
    virtual void PaintForPrint(QPainter& painter, int width, int height) = 0;
    // The main display's size on the screen, whose proportions the printed
    // picture keeps.
    virtual QSize PictureSize() const = 0;

protected:
    ~IPrintSource() = default;
};

// Prints through the print-manager library: loads it for one print,
// describes the five print objects, hands over control and answers the
// library's callback (showing the messages it hands over), then unloads it.
// User-interface thread only.
class TPrintBridge {
public:
    static constexpr char kLibraryName[] = "printdll.dll";
    static constexpr char kLayoutFile[] = "PelkView.lay";
    static constexpr char kLayoutKey[] = "Pelk_VIEW";

    explicit TPrintBridge(IPrintSource& source, std::string libraryName = kLibraryName);

    // The whole print; true when the page was printed. False after the
    // warning box when the library is missing or lacks its export, and when
    // the print was cancelled or failed (the library's message then shown).
    bool Print();

    // The callback the library calls (registered with request 1).
    static intptr_t PrintRegionCallback(int32_t request, int32_t objectId, intptr_t value, void* data);

private:
    bool LoadPrintLibrary();
    void ReleasePrintLibrary();
    intptr_t Send(int32_t request, int32_t objectId = 0, intptr_t value = 0, void* data = nullptr);
    void DefinePrintObject(int id, const char* name, int kind, int flag, int left, int top, int width,
                           int height);
    void SetPrintObjectRect(int id, int left, int top, int right, int bottom);
    int GetPrintPageWidth();
    int GetPrintPageHeight();
    int PageMillimetres(int32_t divisorRequest, int32_t countRequest);
    void DefaultLayout();
    void DrawPicture(QPainter& painter, QSize region);
    std::string ObjectText(int objectId) const;
    intptr_t Answer(int32_t request, int32_t objectId, intptr_t value, void* data);

    IPrintSource& source_;
    std::string libraryName_;
    rm::SharedLibrary library_;
    printmgr::ApplicationRequestFunction request_ = nullptr;
    std::string snapshot_[6];  // each text as served at request 1, for request 2
};

} // namespace rm::viewer
