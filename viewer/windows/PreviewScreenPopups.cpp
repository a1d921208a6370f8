#include "PreviewScreenPopups.h"

#include <QMenu>

namespace rm::viewer {

bool TPreviewScreenPopup::PopupAt(QPoint screenPoint)
{
    menu_.popup(screenPoint);
    return true;
}

QAction* TPreviewScreenPopup::item(const char* name)
{
    auto* action = new QAction(&menu_);
    action->setObjectName(name);
    menu_.addAction(action);
    return action;
}

TCursorPopup::TCursorPopup(QMenu& menu)
    : TPreviewScreenPopup(menu), ChangeCursor(item("ChangeCursor")), DeleteCursor(item("DeleteCursor"))
{
}

TGeneralPopup::TGeneralPopup(QMenu& menu)
    : TPreviewScreenPopup(menu),
      AddWaveformCursor(item("AddWaveFormCursor")),
      SetTimeOrigin(item("SetTimeOrigin")),
      BringCursor(item("BringCursor"))
{
    menu.addSeparator();
    DeleteLastCursor = item("DeleteLastCursor");
    DeleteAllCursors = item("DeleteAllCursors");
    DisplayTimes = item("DisplayTimes");
    DeleteTimeOrigin = item("DeleteTimeOrigin");
}

TBringCursorPopup::TBringCursorPopup(QMenu& menu) : TPreviewScreenPopup(menu)
{
    static const char* const names[] = {"Cursor1", "Cursor2", "Cursor3", "Cursor4", "Cursor5",
                                        "Cursor6", "Cursor7", "Cursor8", "Cursor9", "Cursor10"};
    for (size_t k = 0; k < Cursor.size(); ++k) {
        Cursor[k] = item(names[k]);
        Cursor[k]->setText(QStringLiteral("C%1").arg(k + 1));
    }
}

} // namespace rm::viewer
