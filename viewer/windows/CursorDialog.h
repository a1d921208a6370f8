#pragma once

#include "CursorTable.h"

#include <QDialog>

#include <memory>

namespace Ui {
class TCursorDialog;
}

namespace rm::viewer {

class TPreviewEnginePelkRM;

// "Cursor properties": shows a cursor's type, lets the user choose its colour
// and name, and gives the time origin its user time. It edits a copy of the
// cursor; the caller takes colour, name and user time on OK.
class TCursorDialog : public QDialog {
    Q_OBJECT

public:
    explicit TCursorDialog(QWidget* parent = nullptr);
    ~TCursorDialog() override;

    // Set the engine first: the time origin's user time is read from it.
    void SetPreviewEngine(const TPreviewEnginePelkRM* engine) { engine_ = engine; }
    void SetCursorObject(const TGeneralCursorObject& cursor);
    const TGeneralCursorObject& CursorObject() const { return cursor_; }
    // The time typed for the origin, in milliseconds.
    double UserTimeValue() const;

    Ui::TCursorDialog& Form() { return *ui_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CursorColorShapeMouseDown();
    void OKClick();
    void showColor();

    std::unique_ptr<Ui::TCursorDialog> ui_;
    const TPreviewEnginePelkRM* engine_ = nullptr;
    TGeneralCursorObject cursor_;
};

} // namespace rm::viewer
