#include "CursorDialog.h"

#include "PreviewEngine.h"
#include "ShellSeams.h"
#include "WinColor.h"
#include "ui_CursorDialog.h"
#include "viewer/ViewerStrings.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace rm::viewer {

TCursorDialog::TCursorDialog(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TCursorDialog>())
{
    ui_->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowTitle(ViewerStrings::CursorDialogCaption);
    ui_->CursorTypeLabel->setText(ViewerStrings::CursorTypeLabel);
    ui_->CursorColorLabel->setText(ViewerStrings::CursorColorLabel);
    ui_->Cancel->setText(ViewerStrings::CancelButton);
    ui_->CursorName->setText(ViewerStrings::CursorNameLabel);
    ui_->UserTime->setText(ViewerStrings::UserTimeLabel);
    ui_->OK->setDefault(false);
    ui_->OK->setAutoDefault(false);
    ui_->Cancel->setAutoDefault(false);
    ui_->CursorColorShape->installEventFilter(this);
    ui_->CursorNameEdit->installEventFilter(this);
    connect(ui_->OK, &QPushButton::clicked, this, &TCursorDialog::OKClick);
    connect(ui_->Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

TCursorDialog::~TCursorDialog() = default;

void TCursorDialog::SetCursorObject(const TGeneralCursorObject& cursor)
{
    cursor_ = cursor;
    showColor();
    const bool origin = cursor.CursorType == ctTimeSynchro;
    ui_->CursorTypeValue->setText(cursor.CursorType == ctWaveform ? ViewerStrings::CursorTypeWaveform
                                  : cursor.CursorType == ctScreen ? ViewerStrings::CursorTypeScreen
                                  : origin                         ? ViewerStrings::CursorTypeTimeSynchro
                                                                   : "");
    if (origin && engine_)
        ui_->UserTimeEdit->setTimeValue(engine_->TimeOriginUserValue);
    ui_->CursorNameEdit->setText(QString::fromStdString(cursor.CursorName));
    ui_->UserTime->setEnabled(origin);
    ui_->UserTimeEdit->setEnabled(origin);
}

double TCursorDialog::UserTimeValue() const { return ui_->UserTimeEdit->TimeValue(); }

bool TCursorDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui_->CursorColorShape && event->type() == QEvent::MouseButtonPress) {
        CursorColorShapeMouseDown();
        return true;
    }
    if (watched == ui_->CursorNameEdit && event->type() == QEvent::KeyRelease)
        cursor_.CursorName = ui_->CursorNameEdit->text().toStdString();
    return QDialog::eventFilter(watched, event);
}

void TCursorDialog::CursorColorShapeMouseDown()
{
    if (const auto chosen = rm::shell().pickColor(this, rm::toQColor(cursor_.CursorColor))) {
        cursor_.CursorColor = rm::toWinColor(*chosen);
        showColor();
    }
}

void TCursorDialog::OKClick()
{
    // A time typed but not yet confirmed with Enter is taken as well.
    if (ui_->UserTimeEdit->isEnabled() && ui_->UserTimeEdit->isUncommitted())
        ui_->UserTimeEdit->CommitText();
    accept();
}

void TCursorDialog::showColor()
{
    const QColor color = rm::toQColor(cursor_.CursorColor);
    ui_->CursorColorShape->setStyleSheet(
        QStringLiteral("QFrame { background-color: %1; border: 1px solid black; border-radius: 5px; }")
            .arg(color.name()));
}

} // namespace rm::viewer
