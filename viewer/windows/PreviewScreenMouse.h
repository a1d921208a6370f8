#pragma once

#include "PreviewEngine.h"
#include "PreviewScreenPopups.h"

#include <QMenu>
#include <QObject>
#include <QPoint>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace rm::viewer {

class TCursorDialog;
class TDataSourcePelkRMPrv;
class TPreviewScreenPelkRM;

// The interactive side of the main display: panning the screen, dragging
// the time cursors and the voltage crosses, the hover hints with times, and
// the pop-up menus that add, edit, bring and delete cursors. It watches the
// display's mouse events; every change of the cursor table ends with
// enCursorsChanged. It listens on the engine with the display's group, for
// the start of the program (no drag is under way then).
class TPreviewScreenMouse : public QObject, public IEngineListener {
    Q_OBJECT

public:
    TPreviewScreenMouse(TPreviewScreenPelkRM& display, TPreviewEnginePelkRM& engine,
                        TDataSourcePelkRMPrv& dataSource, QObject* parent = nullptr);
    ~TPreviewScreenMouse() override;

    // Shows the cursor dialog modally; true on OK. Tests answer it themselves.
    using DialogRunner = std::function<bool(TCursorDialog&)>;
    void SetDialogRunner(DialogRunner runner) { runDialog_ = std::move(runner); }

    TCursorPopup& CursorPopup() { return cursorPopup_; }
    TGeneralPopup& GeneralPopup() { return generalPopup_; }
    TBringCursorPopup& BringCursorPopup() { return bringPopup_; }
    void EngineNotify(int code, int senderGroup) override;

    // The one click handler of every pop-up item.
    void PopupItemClick(QAction* item);

    // The last hint text popped up, "" while none is up.
    const std::string& HintText() const { return hint_; }
    bool Dragging() const { return draggingScreen_ || draggingCursor_ || draggingCross1_ || draggingCross2_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void MouseDown(Qt::MouseButton button, QPoint at);
    void MouseMove(QPoint at, QPoint screenPoint);
    void MouseUp();
    void pan(int x);
    void moveCursor(int x);
    void moveCross(bool first, QPoint at);
    void hover(QPoint at, QPoint screenPoint);
    void contextMenu(QPoint at);
    void openBringMenu();

    void addCursor(uint8_t type);
    void deleteLastCursor();
    void deleteAllCursors();
    void deleteTimeOrigin();
    void editCursor();
    void deleteCursorAtPopup();
    void bringCursor(int index);

    std::optional<int> cursorNear(int x) const;
    bool nearCross(QPoint cross, QPoint at) const;
    // T(a, b), with "!" when the span is not exact (overruns not ignored).
    std::string timeText(int64_t a, int64_t b, bool addOrigin) const;
    void showHint(const std::string& text, QPoint screenPoint);
    void cursorMoved(int index, int x);
    void cursorsChanged();

    TPreviewScreenPelkRM& display_;
    TPreviewEnginePelkRM& engine_;
    TDataSourcePelkRMPrv& dataSource_;
    QMenu cursorMenu_;
    QMenu generalMenu_;
    QMenu bringMenu_;
    TCursorPopup cursorPopup_;
    TGeneralPopup generalPopup_;
    TBringCursorPopup bringPopup_;
    DialogRunner runDialog_;

    int lastMouseX_ = 0;
    int selectedCursor_ = 0;
    bool draggingScreen_ = false;
    bool draggingCursor_ = false;
    bool draggingCross1_ = false;
    bool draggingCross2_ = false;
    QPoint popupPoint_;        // the client point of the last right click
    QPoint popupScreenPoint_;  // and its screen point
    std::string hint_;
    bool listening_ = false;  // registered on the engine
};

} // namespace rm::viewer
