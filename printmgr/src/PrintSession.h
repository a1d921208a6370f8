#pragma once

#include "LayoutFitting.h"
#include "PrintLayoutFile.h"
#include "PrintManagerApi.h"

#include <QString>

#include <map>
#include <set>
#include <string>
#include <vector>

class QPrinter;

namespace printmgr {

class PageDevice;

// One print as the viewer describes it: its callback, its objects, the layout
// file and key. Requests come in on the user-interface thread; the callback
// may send requests back while it runs (the default layout), so nothing here
// holds a lock or walks a list while calling out.
class PrintSession {
public:
    intptr_t request(int32_t request, int32_t objectId, intptr_t value, void* data);

private:
    struct PrintObject {
        int id = 0;
        std::string name;
        int kind = KindPicture;
        bool flag = false;
        ObjectPlacement placement;
    };

    using Placements = layout_fitting::Placements;

    PrintObject* object(int id);
    std::string layoutPath() const;
    QString absoluteLayoutPath() const;
    QString proposedOutput(const layout_file::StoredLayout& stored) const;
    bool print();
    // The page as the dialog left `printer`, into the file or onto the
    // printer it chose; false after the message saying why not.
    bool printPage(const QPrinter& printer, const layout_file::StoredLayout& stored);
    void sayLayoutProblems(const layout_file::StoredLayout& stored);
    Placements placeObjects(const layout_file::StoredLayout& stored, const PageDevice& page);
    Placements defaultLayout(layout_fitting::PageSize page);
    std::set<int> printedObjects(const Placements& placements) const;
    void renderObjects(PageDevice& page);
    void say(const QString& message);
    std::string objectText(int id);
    intptr_t callBack(int32_t request, int32_t objectId, intptr_t value, void* data);
    void answerPageSize(int32_t request, void* data) const;
    void reset();

    Callback callback_ = nullptr;
    std::vector<PrintObject> objects_;
    std::string layoutFileName_;
    std::string layoutKey_;
    PageDevice* page_ = nullptr;  // while a print runs
    double pageScale_ = 1;        // the page size told to the viewer is the page's times this
};

} // namespace printmgr
