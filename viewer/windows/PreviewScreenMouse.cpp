#include "PreviewScreenMouse.h"

#include "CursorDialog.h"
#include "DataSource.h"
#include "IndexFileWrapper.h"
#include "MessageBoxes.h"
#include "PreviewEngine.h"
#include "PreviewScreenPelkRM.h"
#include "viewer/ViewerStrings.h"

#include <QMouseEvent>
#include <QTimer>
#include <QToolTip>

#include <cstdlib>

namespace rm::viewer {

TPreviewScreenMouse::TPreviewScreenMouse(TPreviewScreenPelkRM& display, TPreviewEnginePelkRM& engine,
                                         TDataSourcePelkRMPrv& dataSource, QObject* parent)
    : QObject(parent),
      display_(display),
      engine_(engine),
      dataSource_(dataSource),
      cursorPopup_(cursorMenu_),
      generalPopup_(generalMenu_),
      bringPopup_(bringMenu_),
      runDialog_([](TCursorDialog& dialog) { return dialog.exec() == QDialog::Accepted; })
{
    cursorMenu_.setObjectName("CursorPopup");
    generalMenu_.setObjectName("GeneralMenu");
    bringMenu_.setObjectName("BringCursorPopupMenu");
    for (QMenu* menu : {&cursorMenu_, &generalMenu_, &bringMenu_})
        connect(menu, &QMenu::triggered, this, &TPreviewScreenMouse::PopupItemClick);
    display_.setMouseTracking(true);
    display_.installEventFilter(this);
    engine_.RegisterListener(display_.ControlGroup(), this, TListenerThread::UserInterface);
    listening_ = true;
}

TPreviewScreenMouse::~TPreviewScreenMouse()
{
    if (listening_)
        engine_.UnregisterListener(display_.ControlGroup(), this);
    display_.removeEventFilter(this);
}

void TPreviewScreenMouse::EngineNotify(int code, int)
{
    if (code == enInitialize) {
        MouseUp();
        selectedCursor_ = 0;
    } else if (code == enShutdown && listening_) {
        engine_.UnregisterListener(display_.ControlGroup(), this);
        listening_ = false;
    }
}

bool TPreviewScreenMouse::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &display_)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        MouseDown(mouse->button(), mouse->position().toPoint());
        return true;
    }
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        MouseMove(mouse->position().toPoint(), mouse->globalPosition().toPoint());
        return true;
    }
    case QEvent::MouseButtonRelease:
        MouseUp();
        return true;
    default:
        return false;
    }
}

// --- mouse ---------------------------------------------------------------

void TPreviewScreenMouse::MouseDown(Qt::MouseButton button, QPoint at)
{
    if (!engine_.NewFileOpened)
        return;
    if (button == Qt::RightButton) {
        contextMenu(at);
        return;
    }
    MouseUp();
    const auto near = cursorNear(at.x());
    selectedCursor_ = near.value_or(0);
    lastMouseX_ = at.x();
    if (near)
        draggingCursor_ = true;
    else if (engine_.VoltageCursorsActive && nearCross(display_.Cross1(), at))
        draggingCross1_ = true;
    else if (engine_.VoltageCursorsActive && nearCross(display_.Cross2(), at))
        draggingCross2_ = true;
    else
        draggingScreen_ = true;
}

void TPreviewScreenMouse::MouseUp()
{
    draggingScreen_ = draggingCursor_ = draggingCross1_ = draggingCross2_ = false;
}

void TPreviewScreenMouse::MouseMove(QPoint at, QPoint screenPoint)
{
    if (draggingScreen_)
        pan(at.x());
    else if (draggingCursor_)
        moveCursor(at.x());
    else if (draggingCross1_ || draggingCross2_)
        moveCross(draggingCross1_, at);
    else
        hover(at, screenPoint);
}

void TPreviewScreenMouse::pan(int x)
{
    // The engine holds the screen inside the buffer and the file; a pan past
    // either end stops there and is shown like any other move.
    const int64_t delta = static_cast<int64_t>(engine_.SamplesPerPoint()) * (int64_t{lastMouseX_} - x);
    engine_.SetScreenPosition(engine_.ScreenPosition() + delta);
    // The crosses keep their pixels; the samples under them follow the
    // screen as far as it really moved.
    engine_.AbsoluteScreenCursor = display_.SampleAtX(display_.Cross1().x());
    engine_.RelativeScreenCursor = display_.SampleAtX(display_.Cross2().x());
    lastMouseX_ = x;
    engine_.Notify(enScreenMoved, display_.ControlGroup());
}

void TPreviewScreenMouse::moveCursor(int x)
{
    if (x < 1 || x > display_.width() - 1)
        return;
    cursorMoved(selectedCursor_, x);
    engine_.Notify(enCursorDragged, kGroupAll);
}

void TPreviewScreenMouse::moveCross(bool first, QPoint at)
{
    if (at.x() < 1 || at.x() > display_.width() - 1 || at.y() < 1 || at.y() > display_.height() - 1)
        return;
    if (first)
        display_.SetCross1(at);
    else
        display_.SetCross2(at);
    display_.UpdateVoltageCursorValues();
    engine_.Notify(enVoltageCursorMoved, display_.ControlGroup());
}

void TPreviewScreenMouse::hover(QPoint at, QPoint screenPoint)
{
    const auto near = cursorNear(at.x());
    const TCursorObjectTable& cursors = dataSource_.Cursors();
    const int64_t origin = engine_.TimeOriginSample;
    std::string text;
    if (!engine_.VoltageCursorsActive) {
        if (near && cursors.Cursor(*near).CursorType != ctTimeSynchro) {
            const auto& c = cursors.Cursor(*near);
            text = c.CursorName + "\r\n" + ViewerStrings::HintTime + timeText(origin, c.SamplePosition, true);
        }
    } else if (nearCross(display_.Cross1(), at)) {
        text = timeText(origin, engine_.AbsoluteScreenCursor, true);
    } else if (nearCross(display_.Cross2(), at)) {
        text = timeText(engine_.AbsoluteScreenCursor, engine_.RelativeScreenCursor, false);
    } else if (near) {
        const auto& c = cursors.Cursor(*near);
        if (c.CursorType == ctTimeSynchro)
            text = TPreviewEnginePelkRM::MillisecondsToText(engine_.TimeOriginUserValue);
        else
            text = c.CursorName + "\r\n" + ViewerStrings::HintTime + timeText(origin, c.SamplePosition, true) +
                   "\r\n" + ViewerStrings::HintTimeDifference +
                   timeText(c.SamplePosition, engine_.AbsoluteScreenCursor, false);
    }
    showHint(text, screenPoint);
}

void TPreviewScreenMouse::showHint(const std::string& text, QPoint screenPoint)
{
    if (text.empty()) {
        if (!hint_.empty())
            QToolTip::hideText();
        hint_.clear();
        return;
    }
    hint_ = text;
    display_.setToolTip(QString::fromStdString(text));
    QToolTip::showText(screenPoint, QString::fromStdString(text), &display_);
}

// --- menus ---------------------------------------------------------------

void TPreviewScreenMouse::contextMenu(QPoint at)
{
    const auto near = cursorNear(at.x());
    cursorPopup_.ChangeCursor->setText(ViewerStrings::EditCursor);
    cursorPopup_.DeleteCursor->setText(ViewerStrings::DeleteSelectedCursor);
    generalPopup_.AddWaveformCursor->setText(ViewerStrings::AddWaveformCursor);
    generalPopup_.SetTimeOrigin->setText(ViewerStrings::SetTimeSynchro);
    generalPopup_.DeleteLastCursor->setText(ViewerStrings::DeleteLastCursor);
    generalPopup_.DeleteAllCursors->setText(ViewerStrings::DeleteAllCursors);
    generalPopup_.DisplayTimes->setText(ViewerStrings::DisplayTimes);
    generalPopup_.BringCursor->setText(ViewerStrings::BringCursor);
    generalPopup_.DeleteTimeOrigin->setText(ViewerStrings::DeleteTimeSynchro);
    popupPoint_ = at;
    popupScreenPoint_ = display_.mapToGlobal(at);
    if (near)
        cursorPopup_.PopupAt(popupScreenPoint_);
    else
        generalPopup_.PopupAt(popupScreenPoint_);
}

void TPreviewScreenMouse::PopupItemClick(QAction* item)
{
    if (item == generalPopup_.AddWaveformCursor)
        addCursor(ctWaveform);
    else if (item == generalPopup_.SetTimeOrigin)
        addCursor(ctTimeSynchro);
    else if (item == generalPopup_.DeleteLastCursor)
        deleteLastCursor();
    else if (item == generalPopup_.DeleteAllCursors)
        deleteAllCursors();
    else if (item == generalPopup_.DeleteTimeOrigin)
        deleteTimeOrigin();
    else if (item == generalPopup_.DisplayTimes)
        dataSource_.Cursors().ShowCursorTimes();
    else if (item == generalPopup_.BringCursor)
        // Opened once the general menu has closed, at the click that opened it.
        QTimer::singleShot(0, this, &TPreviewScreenMouse::openBringMenu);
    else if (item == cursorPopup_.ChangeCursor)
        editCursor();
    else if (item == cursorPopup_.DeleteCursor)
        deleteCursorAtPopup();
    else
        for (size_t k = 0; k < bringPopup_.Cursor.size(); ++k)
            if (item == bringPopup_.Cursor[k])
                bringCursor(static_cast<int>(k));
}

void TPreviewScreenMouse::openBringMenu()
{
    const TCursorObjectTable& cursors = dataSource_.Cursors();
    for (size_t k = 0; k < bringPopup_.Cursor.size(); ++k) {
        QAction* item = bringPopup_.Cursor[k];
        const auto& c = cursors.Cursor(static_cast<int>(k));
        item->setEnabled(c.Used);
        item->setText(c.Used ? QString::fromStdString(c.CursorName) : QString(ViewerStrings::FreeCursorSlot));
    }
    bringPopup_.PopupAt(popupScreenPoint_);
}

// --- cursor table ----------------------------------------------------------

void TPreviewScreenMouse::addCursor(uint8_t type)
{
    TCursorObjectTable& cursors = dataSource_.Cursors();
    if (cursors.CursorObjectsCount() >= TCursorObjectTable::kMaxCursors) {
        rm::showMessage(ViewerStrings::MaximumCursorsReached, {}, rm::MsgButtons::Ok, rm::MsgIcon::Warning);
        return;
    }
    TGeneralCursorObject cursor;
    cursor.CursorType = type;
    cursor.CursorColor = cursors.NextCursorColor();
    cursor.SamplePosition = display_.SampleAtX(popupPoint_.x());
    cursor.ScreenX = popupPoint_.x();
    cursor.CursorName = cursors.NextCursorName();
    cursors.AddCursorObject(cursor);
    display_.RepaintCursors();
    cursorsChanged();
}

void TPreviewScreenMouse::deleteLastCursor()
{
    TCursorObjectTable& cursors = dataSource_.Cursors();
    if (cursors.CursorObjectsCount() > 0)
        cursors.DeleteCursorObject(cursors.CursorObjectsCount() - 1);
    display_.RedrawAll();
    cursorsChanged();
}

void TPreviewScreenMouse::deleteAllCursors()
{
    TCursorObjectTable& cursors = dataSource_.Cursors();
    std::optional<TGeneralCursorObject> origin;
    for (int i = 0; i < cursors.CursorObjectsCount(); ++i)
        if (cursors.Cursor(i).CursorType == ctTimeSynchro)
            origin = cursors.Cursor(i);
    const double userTime = engine_.TimeOriginUserValue;
    for (int i = cursors.CursorObjectsCount() - 1; i >= 0; --i)
        cursors.DeleteCursorObject(i);
    if (origin) {
        cursors.AddCursorObject(*origin);
        // The table names and colours a new origin its own way; it keeps the user's.
        TGeneralCursorObject& restored = cursors.Cursor(cursors.CursorObjectsCount() - 1);
        restored.CursorName = origin->CursorName;
        restored.CursorColor = origin->CursorColor;
        engine_.TimeOriginUserValue = userTime;
        cursors.RefreshCursorTimes();
    }
    display_.RedrawAll();
    cursorsChanged();
}

void TPreviewScreenMouse::deleteTimeOrigin()
{
    TCursorObjectTable& cursors = dataSource_.Cursors();
    for (int i = 0; i < cursors.CursorObjectsCount(); ++i) {
        if (cursors.Cursor(i).CursorType == ctTimeSynchro) {
            cursors.DeleteCursorObject(i);
            display_.RedrawAll();
            cursorsChanged();
            return;
        }
    }
}

void TPreviewScreenMouse::editCursor()
{
    const auto near = cursorNear(popupPoint_.x());
    if (!near)
        return;
    TCursorObjectTable& cursors = dataSource_.Cursors();
    TCursorDialog dialog(&display_);
    dialog.SetPreviewEngine(&engine_);
    dialog.SetCursorObject(cursors.Cursor(*near));
    if (runDialog_(dialog)) {
        TGeneralCursorObject& cursor = cursors.Cursor(*near);
        cursor.CursorColor = dialog.CursorObject().CursorColor;
        cursor.CursorName = dialog.CursorObject().CursorName;
        if (cursor.CursorType == ctTimeSynchro) {
            engine_.IsTimeOriginSet = true;
            engine_.TimeOriginSample = cursor.SamplePosition;
            engine_.TimeOriginUserValue = dialog.UserTimeValue();
        }
        display_.RepaintCursors();
        cursors.RefreshCursorTimes();
    }
    cursorsChanged();
}

void TPreviewScreenMouse::deleteCursorAtPopup()
{
    const auto near = cursorNear(popupPoint_.x());
    if (!near)
        return;
    dataSource_.Cursors().DeleteCursorObject(*near);
    display_.RedrawAll();
    cursorsChanged();
}

void TPreviewScreenMouse::bringCursor(int index)
{
    if (!dataSource_.Cursors().Cursor(index).Used)
        return;
    cursorMoved(index, popupPoint_.x());
    cursorsChanged();
}

void TPreviewScreenMouse::cursorMoved(int index, int x)
{
    TCursorObjectTable& cursors = dataSource_.Cursors();
    TGeneralCursorObject& cursor = cursors.Cursor(index);
    cursor.ScreenX = x;
    cursor.SamplePosition = display_.SampleAtX(x);
    if (cursor.CursorType == ctTimeSynchro)
        engine_.TimeOriginSample = cursor.SamplePosition;
    display_.RedrawAll();
    cursors.RefreshCursorTimes();
}

void TPreviewScreenMouse::cursorsChanged() { engine_.Notify(enCursorsChanged, display_.ControlGroup()); }

// --- helpers ---------------------------------------------------------------

std::optional<int> TPreviewScreenMouse::cursorNear(int x) const
{
    return dataSource_.Cursors().FindCursorNear(display_.SampleAtX(x));
}

bool TPreviewScreenMouse::nearCross(QPoint cross, QPoint at) const
{
    const int reach = TPreviewScreenPelkRM::kCrossHalf;
    return std::abs(cross.x() - at.x()) < reach && std::abs(cross.y() - at.y()) < reach;
}

std::string TPreviewScreenMouse::timeText(int64_t a, int64_t b, bool addOrigin) const
{
    return dataSource_.Cursors().MarkedTimeBetween(a, b, addOrigin);
}

} // namespace rm::viewer
