#include "OpenSaveControlsVornRM.h"

#include "BoundControl.h"
#include "MessageBoxes.h"
#include "ShellSeams.h"
#include "VirtualScopeVornRM.h"
#include "recorder/RecorderStrings.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>

namespace {

// Blue while the typed name is not taken yet, the window-text colour once it is.
void showTaken(QLineEdit& edit, bool taken)
{
    const QColor color = taken ? QApplication::palette(&edit).color(QPalette::Text) : QColor(Qt::blue);
    QPalette palette = edit.palette();
    palette.setColor(QPalette::Active, QPalette::Text, color);
    palette.setColor(QPalette::Inactive, QPalette::Text, color);
    edit.setPalette(palette);
}

} // namespace

TOpenSaveControlsVornRM::TOpenSaveControlsVornRM(QObject* parent)
    : TWrapperComponentVornRM(ScopeGroup::FilePanel,
                              {TScopeNotifyCode::snStart, TScopeNotifyCode::snSettingsChanged,
                               TScopeNotifyCode::snRefreshFilePanel}, parent)
{
}

void TOpenSaveControlsVornRM::SetSaveFileEdit(QLineEdit* edit)
{
    if (saveFileEdit_)
        saveFileEdit_->removeEventFilter(this);
    saveFileEdit_ = edit;
    if (edit)
        edit->installEventFilter(this);
}

void TOpenSaveControlsVornRM::SetSaveFileBrowse(QToolButton* button)
{
    bindClick(this, saveFileBrowse_, button, &TOpenSaveControlsVornRM::ButtonClick);
}

void TOpenSaveControlsVornRM::SetSaveButton(TOnOffButtonVorn* button)
{
    bindClick(this, saveButton_, button, &TOpenSaveControlsVornRM::ButtonClick);
}

void TOpenSaveControlsVornRM::SetCLFButton(TOnOffButtonVorn* button)
{
    bindClick(this, clfButton_, button, &TOpenSaveControlsVornRM::ButtonClick);
}

bool TOpenSaveControlsVornRM::eventFilter(QObject* watched, QEvent* event)
{
    // A disabled edit takes no name, whatever reaches it.
    if (watched == saveFileEdit_ && saveFileEdit_->isEnabled() && event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!key->isAutoRepeat())
            FileEditKeyUp(key->key());
    }
    return TWrapperComponentVornRM::eventFilter(watched, event);
}

void TOpenSaveControlsVornRM::ButtonClick(QAbstractButton* sender)
{
    TVirtualScopeVornRM* scope = VirtualScope();
    if (!scope)
        return;
    // The dialog may move the process's current folder; the recorder's
    // relative file names count from the one it had.
    const QString folder = QDir::currentPath();
    if (sender == saveFileBrowse_)
        browse();
    else if (sender == saveButton_)
        scope->SetSavingActivated(!scope->SavingActivated());
    else if (sender == clfButton_)
        clearFile();
    QDir::setCurrent(folder);
    // Twice: the second gets through even when the first was dropped.
    Broadcast(TScopeNotifyCode::snSettingsChanged);
    Broadcast(TScopeNotifyCode::snSettingsChanged);
}

// No overwrite question: the recorder appends to an existing file.
void TOpenSaveControlsVornRM::browse()
{
    rm::FileDialogRequest request;
    request.fileName = QString::fromStdString(VirtualScope()->GetFileName());
    request.filter = RecorderStrings::DataFileFilter;
    request.defaultSuffix = RecorderStrings::DataFileExtension;
    request.confirmOverwrite = false;
    QWidget* parent = saveFileBrowse_ ? saveFileBrowse_->window() : nullptr;
    const std::optional<QString> chosen = rm::shell().saveFileName(parent, request);
    if (!chosen)
        return;
    VirtualScope()->SetFileName(chosen->toStdString());
    if (saveFileEdit_)
        saveFileEdit_->setToolTip(*chosen);
}

void TOpenSaveControlsVornRM::clearFile()
{
    if (rm::showMessage(RecorderStrings::ClearFileQuestion, {}, rm::MsgButtons::YesNoCancel, rm::MsgIcon::Question) ==
        rm::MsgResult::Yes)
        VirtualScope()->ClearFile();
    panelview::setDown(clfButton_, false);
}

void TOpenSaveControlsVornRM::FileEditKeyUp(int key)
{
    TVirtualScopeVornRM* scope = VirtualScope();
    if (!scope || !saveFileEdit_)
        return;
    if (!isEnterKey(key)) {
        showTaken(*saveFileEdit_, false);
        return;
    }
    showTaken(*saveFileEdit_, true);
    saveFileEdit_->setToolTip(saveFileEdit_->text());
    scope->SetFileName(saveFileEdit_->text().toStdString());
    Broadcast(TScopeNotifyCode::snSettingsChanged);
}

void TOpenSaveControlsVornRM::UpdateFromScope()
{
    const TVirtualScopeVornRM* scope = VirtualScope();
    if (!scope)
        return;
    panelview::setDown(saveButton_, scope->SavingActivated());
    const QString name = QString::fromStdString(scope->GetFileName());
    if (saveFileEdit_ && saveFileEdit_->text() != name)  // keeps the cursor where it is
        saveFileEdit_->setText(name);
    // The edit stays enabled: a name typed during a measurement is the next
    // file, which the writer opens right after this measurement's stop block.
    const bool idle = !scope->MeasurementStarted();
    for (QWidget* control : std::initializer_list<QWidget*>{saveFileBrowse_, saveButton_, clfButton_})
        panelview::setEnabled(control, idle);
}
