#pragma once

#include <QPoint>

#include <array>

class QAction;
class QMenu;

namespace rm::viewer {

// The pop-up menus of the main display: each holder names the items of its
// menu (their object names are the design's).
class TPreviewScreenPopup {
public:
    explicit TPreviewScreenPopup(QMenu& menu) : menu_(menu) {}
    virtual ~TPreviewScreenPopup() = default;

    QMenu& PopupMenu() const { return menu_; }
    // Opens the menu at a point of the screen (it does not wait for a choice).
    bool PopupAt(QPoint screenPoint);

protected:
    QAction* item(const char* name);

private:
    QMenu& menu_;
};

// The menu over a cursor.
class TCursorPopup : public TPreviewScreenPopup {
public:
    explicit TCursorPopup(QMenu& menu);
    QAction* ChangeCursor;
    QAction* DeleteCursor;
};

// The menu over the waveform.
class TGeneralPopup : public TPreviewScreenPopup {
public:
    explicit TGeneralPopup(QMenu& menu);
    QAction* AddWaveformCursor;
    QAction* SetTimeOrigin;
    QAction* BringCursor;
    QAction* DeleteLastCursor;
    QAction* DeleteAllCursors;
    QAction* DisplayTimes;
    QAction* DeleteTimeOrigin;
};

// "C1" ... "C10": brings a cursor to the click point.
class TBringCursorPopup : public TPreviewScreenPopup {
public:
    explicit TBringCursorPopup(QMenu& menu);
    std::array<QAction*, 10> Cursor{};
};

} // namespace rm::viewer
