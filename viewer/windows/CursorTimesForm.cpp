#include "CursorTimesForm.h"

#include "MessageBoxes.h"
#include "PreviewEngine.h"
#include "ShellSeams.h"
#include "WinColor.h"
#include "ui_CursorTimesForm.h"
#include "viewer/ViewerStrings.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QTableWidgetItem>

namespace rm::viewer {
namespace {

constexpr TColor kExactColour = 0xFF0000;    // blue
constexpr TColor kInexactColour = 0x0000FF;  // red
constexpr TColor kBodyColour = 0xFFFFFF;

} // namespace

TCursorTimesForm::TCursorTimesForm(TCursorObjectTable& cursors, const TPreviewEnginePelkRM& engine,
                                   QWidget* parent)
    : QMainWindow(parent), ui_(std::make_unique<Ui::TCursorTimesForm>()), cursors_(cursors), engine_(engine)
{
    ui_->setupUi(this);
    setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowTitle(ViewerStrings::TimeRelationsCaption);
    ui_->ExportToClipboard1->setText(ViewerStrings::ExportToClipboard);
    setFixedSize(size());

    QTableWidget& grid = *ui_->TimesGrid;
    grid.horizontalHeader()->hide();
    grid.verticalHeader()->hide();
    grid.setSelectionMode(QAbstractItemView::NoSelection);
    grid.setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid.setFocusPolicy(Qt::NoFocus);
    // A cell shows its text from the top-left corner, cut at the cell's edge.
    grid.setWordWrap(false);
    grid.setTextElideMode(Qt::ElideNone);
    for (int column = 0; column < kCells; ++column) {
        grid.setColumnWidth(column, 64);
        for (int row = 0; row < kCells; ++row) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignLeft | Qt::AlignTop);
            grid.setItem(row, column, item);
        }
    }
    for (int row = 0; row < kCells; ++row)
        grid.setRowHeight(row, 24);
    for (auto& column : exactFlags_)
        column.fill(true);
    connect(ui_->ExportToClipboard1, &QAction::triggered, this, &TCursorTimesForm::ExportToClipboard1Click);
    RefreshTimes();
}

TCursorTimesForm::~TCursorTimesForm() = default;

void TCursorTimesForm::Show()
{
    show();
    raise();
    activateWindow();
}

void TCursorTimesForm::RefreshTimes()
{
    for (int i = 1; i < kCells; ++i) {
        const auto& cursor = cursors_.Cursor(i - 1);
        const std::string name = cursor.Used ? cursor.CursorName : ViewerStrings::FreeCursorSlot;
        setCell(i, 0, name);
        setCell(0, i, name);
        setCell(i, i, "");
    }
    for (int row = 1; row < kCells; ++row) {
        for (int column = 1; column < kCells; ++column) {
            if (row == column)
                continue;
            bool exact = true;
            setCell(column, row, cursors_.CursorTimeDifference(row - 1, column - 1, exact));
            exactFlags_[column][row] = exact;
        }
    }
    colourCells();
}

void TCursorTimesForm::ExportToClipboard1Click()
{
    std::string text;
    for (int row = 1; row < kCells; ++row) {
        for (int column = 1; column < kCells; ++column) {
            if (row == column || !cursors_.Cursor(row - 1).Used || !cursors_.Cursor(column - 1).Used)
                continue;
            const char* mark = exactFlags_[column][row] ? "" : ViewerStrings::InexactTimeMark;
            text += cellText(0, row).toStdString() + "-" + cellText(0, column).toStdString() + " = " +
                    cellText(column, row).toStdString() + mark + "\r\n";
        }
    }
    rm::shell().setClipboardText(QString::fromStdString(text));
    rm::showMessage(ViewerStrings::TimesExported, {}, rm::MsgButtons::Ok, rm::MsgIcon::Question);
}

void TCursorTimesForm::closeEvent(QCloseEvent* event)
{
    cursors_.CursorTimesClosed();
    event->accept();  // hidden; the table frees it when it makes the next one
}

void TCursorTimesForm::setCell(int column, int row, const std::string& text)
{
    QTableWidgetItem* item = ui_->TimesGrid->item(row, column);
    const QString shown = QString::fromStdString(text);
    item->setText(shown);
    item->setToolTip(shown);
}

QString TCursorTimesForm::cellText(int column, int row) const { return ui_->TimesGrid->item(row, column)->text(); }

void TCursorTimesForm::colourCells()
{
    const QColor header = rm::toQColor(engine_.BackgroundColor);
    for (int row = 0; row < kCells; ++row) {
        for (int column = 0; column < kCells; ++column) {
            QTableWidgetItem* item = ui_->TimesGrid->item(row, column);
            if (row == 0 || column == 0) {
                item->setBackground(header);
                const int cursor = (row == 0 ? column : row) - 1;
                if (cursor >= 0)
                    item->setForeground(rm::toQColor(cursors_.Cursor(cursor).CursorColor));
            } else {
                item->setBackground(rm::toQColor(kBodyColour));
                item->setForeground(rm::toQColor(exactFlags_[column][row] ? kExactColour : kInexactColour));
            }
        }
    }
}

} // namespace rm::viewer
