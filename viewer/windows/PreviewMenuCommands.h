#pragma once

#include "PrintBridge.h"

#include <QObject>

#include <functional>

class QDialog;

namespace Ui {
class TPreviewScreenRM;
}

namespace rm::viewer {

class TPreviewEnginePelkRM;
class TPreviewScreenPelkRM;

// The viewer's menu commands beyond the window's own: Print, Color settings,
// the help page, the maker's web page and support address, and About. It is
// also what a print takes from the window: the cursor voltages and the main
// display's picture.
class TPreviewMenuCommands : public QObject, public IPrintSource {
    Q_OBJECT

public:
    TPreviewMenuCommands(Ui::TPreviewScreenRM& form, TPreviewEnginePelkRM& engine, TPreviewScreenPelkRM& display,
                         QObject* parent = nullptr);

    // Runs a dialog modally; true on OK. Tests answer the dialogs themselves.
    using DialogRunner = std::function<bool(QDialog&)>;
    void SetDialogRunner(DialogRunner runner) { runDialog_ = std::move(runner); }

    void Print1Click();
    void ColorSettings1Click();
    void IndexMenuItemClick();
    void NorvakWebClick();
    void SupportClick();
    void About1Click();

    std::string CursorInfoText() const override;
    void PaintForPrint(QPainter& painter, int width, int height) override;
    QSize PictureSize() const override;

private:
    Ui::TPreviewScreenRM& form_;
    TPreviewEnginePelkRM& engine_;
    TPreviewScreenPelkRM& display_;
    DialogRunner runDialog_;
};

} // namespace rm::viewer
