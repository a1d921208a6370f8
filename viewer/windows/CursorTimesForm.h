#pragma once

#include "CursorTable.h"

#include <QMainWindow>

#include <array>
#include <memory>

namespace Ui {
class TCursorTimesForm;
}

namespace rm::viewer {

class TPreviewEnginePelkRM;

// "Time relations": the time differences between every pair of cursors, blue
// where exact and red where the span crosses an overrun mark, each cell's
// text as its hint, and an export of all pairs to the clipboard. It stays on
// top; closing only hides it (the cursor table makes a new one at the next
// opening).
class TCursorTimesForm : public QMainWindow, public ICursorTimesWindow {
    Q_OBJECT

public:
    static constexpr int kCells = TCursorObjectTable::kMaxCursors + 1;

    TCursorTimesForm(TCursorObjectTable& cursors, const TPreviewEnginePelkRM& engine, QWidget* parent = nullptr);
    ~TCursorTimesForm() override;

    void Show() override;
    void RefreshTimes() override;
    void ExportToClipboard1Click();

    bool ExactFlag(int column, int row) const { return exactFlags_[column][row]; }
    Ui::TCursorTimesForm& Form() { return *ui_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void setCell(int column, int row, const std::string& text);
    void colourCells();
    QString cellText(int column, int row) const;

    std::unique_ptr<Ui::TCursorTimesForm> ui_;
    TCursorObjectTable& cursors_;
    const TPreviewEnginePelkRM& engine_;
    // [column][row] of the body cells, 1..10; true where the time is exact.
    std::array<std::array<bool, kCells>, kCells> exactFlags_{};
};

} // namespace rm::viewer
