#include "OpenControlVornRMPrv.h"

#include "MessageBoxes.h"
#include "OnOffButton.h"
#include "ShellSeams.h"
#include "UnitValueLabel.h"
#include "viewer/ViewerStrings.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPalette>
#include <QToolButton>

namespace rm::viewer {

namespace {

constexpr QRgb kUncommittedColor = 0x0000FF;  // blue, as a Qt value

// The part of a path after its last "/".
QString fileNamePart(const QString& path) { return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1); }

QString folderPart(const QString& path) {
    const auto slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : path.left(slash + 1);
}

void setTextColor(QLineEdit* edit, const QColor& color) {
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Text, color);
    edit->setPalette(palette);
}

} // namespace

QString EnsureExtension(const QString& name) {
    if (fileNamePart(name).contains(QLatin1Char('.')))
        return name;
    return name + QString::fromLatin1(ViewerStrings::DataFileExtension);
}

TOpenControlVornRMPrv::TOpenControlVornRMPrv(QObject* parent)
    : TWrapperControlVornRMPrv(kGroupOpenPanel, {enFileNameChanged, enPrepareIndex, enFileTargeted, enOpenDataFile},
                               parent)
{
}

void TOpenControlVornRMPrv::SetOpenFileEdit(QLineEdit* edit) {
    if (edit_)
        edit_->removeEventFilter(this);
    edit_ = edit;
    if (edit_)
        edit_->installEventFilter(this);
}

void TOpenControlVornRMPrv::SetOpenFileBrowse(QToolButton* button) {
    browse_ = button;
    if (browse_)
        connect(browse_, &QToolButton::clicked, this, &TOpenControlVornRMPrv::BrowseClick);
}

void TOpenControlVornRMPrv::SetOpenButton(TOnOffButtonVorn* button) {
    open_ = button;
    if (open_)
        connect(open_, &TOnOffButtonVorn::OnClick, this, &TOpenControlVornRMPrv::OpenClick);
}

void TOpenControlVornRMPrv::SetMyFileSize(TUnitValueLabel* label) { size_ = label; }

void TOpenControlVornRMPrv::EngineNotify(int code, int senderGroup) {
    TWrapperControlVornRMPrv::EngineNotify(code, senderGroup);
    TPreviewEnginePelkRM* engine = PreviewEngine();
    if (!engine)
        return;
    if (code == enInitialize) {  // a new session starts with no file targeted
        engine->FileTargeted = false;
        UpdateFromEngine();
    }
}

void TOpenControlVornRMPrv::UpdateFromEngine() {
    const TPreviewEnginePelkRM* engine = PreviewEngine();
    if (!engine)
        return;
    if (edit_) {
        edit_->setText(fileNamePart(QString::fromStdString(engine->OpenFileName())));
        edit_->setToolTip(edit_->text());
    }
    if (size_)
        size_->setMainValue(static_cast<double>(engine->OpenFileSize));
}

void TOpenControlVornRMPrv::target(const QString& name) {
    TPreviewEnginePelkRM* engine = PreviewEngine();
    if (!engine)
        return;
    engine->SetOpenFileName(name.toStdString());
    engine->FileTargeted = true;
    Broadcast(enOpenDataFile);
    if (engine->FileTargeted) {
        lastFolder_ = folderPart(name);
        Broadcast(enFileTargeted);
    }
    Broadcast(enFileNameChanged);
}

bool TOpenControlVornRMPrv::browseAndTarget() {
    const TPreviewEnginePelkRM* engine = PreviewEngine();
    if (!engine)
        return false;
    const QString folder = QDir::currentPath();
    FileDialogRequest request;
    request.caption = QString::fromLatin1(ViewerStrings::OpenDialogCaption);
    request.fileName = QString::fromStdString(engine->OpenFileName());
    request.filter = QString::fromLatin1(ViewerStrings::OpenDialogFilter);
    request.defaultSuffix = QString::fromLatin1(ViewerStrings::OpenDialogSuffix);
    request.confirmOverwrite = false;
    QWidget* parent = edit_ ? edit_->window() : nullptr;
    const std::optional<QString> chosen = shell().openFileName(parent, request);
    if (chosen)
        target(*chosen);
    QDir::setCurrent(folder);
    return chosen.has_value();
}

void TOpenControlVornRMPrv::BrowseClick() { browseAndTarget(); }

void TOpenControlVornRMPrv::OpenClick() {
    TPreviewEnginePelkRM* engine = PreviewEngine();
    if (engine) {
        if (!engine->FileTargeted)
            browseAndTarget();
        if (engine->FileTargeted) {
            Broadcast(enPrepareIndex);
            Broadcast(enRedraw);
        }
    }
    if (open_)
        open_->setChecked(false);
}

void TOpenControlVornRMPrv::EditEnter() {
    if (!PreviewEngine())
        return;
    setTextColor(edit_, QApplication::palette().color(QPalette::Text));
    edit_->setToolTip(edit_->text());
    const QString name = EnsureExtension(edit_->text());
    if (name.contains(QLatin1Char('/'))) {
        target(name);
        return;
    }
    if (const std::optional<QString> found = findTypedName(name))
        target(*found);
    else
        UpdateFromEngine();  // the edit shows the file still targeted
}

std::optional<QString> TOpenControlVornRMPrv::findTypedName(const QString& name) const {
    QStringList lookedFor;
    if (!lastFolder_.isEmpty()) {
        const QString inLastFolder = lastFolder_ + name;
        if (QFileInfo::exists(inLastFolder))
            return inLastFolder;
        lookedFor << QFileInfo(inLastFolder).absoluteFilePath();
    }
    const QString inCurrentFolder = QDir::current().absoluteFilePath(name);
    if (QFileInfo::exists(inCurrentFolder))
        return name;
    if (!lookedFor.contains(inCurrentFolder))
        lookedFor << inCurrentFolder;
    const QString text = QString::fromLatin1(ViewerStrings::TypedNameNotFound) + QLatin1Char('\n') +
                         QString::fromLatin1(ViewerStrings::TypedNameLookedFor) + QLatin1Char('\n') +
                         lookedFor.join(QLatin1Char('\n'));
    showMessage(text.toStdString(), {}, MsgButtons::Cancel, MsgIcon::Error);
    return std::nullopt;
}

bool TOpenControlVornRMPrv::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edit_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            EditEnter();
        else
            setTextColor(edit_, QColor::fromRgb(kUncommittedColor));
    }
    return TWrapperControlVornRMPrv::eventFilter(watched, event);
}

} // namespace rm::viewer
