#include "ShellSeams.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QProcess>

namespace rm {
namespace {

QFileDialog::Options dialogOptions(const FileDialogRequest& request)
{
    QFileDialog::Options options;
    if (!request.confirmOverwrite)
        options |= QFileDialog::DontConfirmOverwrite;
    return options;
}

// A dialog object rather than the static helpers, so the default suffix holds.
std::optional<QString> runFileDialog(QWidget* parent, const FileDialogRequest& request,
                                     QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent, request.caption, request.folder, request.filter);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOptions(dialogOptions(request));
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().front();
}

class DesktopShell : public Shell {
public:
    bool openUrl(const QUrl& url) override { return QDesktopServices::openUrl(url); }
    bool startProgram(const QString& program) override { return QProcess::startDetached(program, {}); }
    std::optional<QString> openFileName(QWidget* parent, const FileDialogRequest& request) override
    {
        return runFileDialog(parent, request, QFileDialog::AcceptOpen);
    }
    std::optional<QString> saveFileName(QWidget* parent, const FileDialogRequest& request) override
    {
        return runFileDialog(parent, request, QFileDialog::AcceptSave);
    }
    std::optional<QColor> pickColor(QWidget* parent, const QColor& initial) override
    {
        const QColor chosen = QColorDialog::getColor(initial, parent);
        if (!chosen.isValid())
            return std::nullopt;
        return chosen;
    }
    void setClipboardText(const QString& text) override { QApplication::clipboard()->setText(text); }
    QString clipboardText() override { return QApplication::clipboard()->text(); }
};

DesktopShell desktopShell;
std::mutex installedMutex;
Shell* installed = nullptr;

} // namespace

Shell& shell()
{
    std::lock_guard lock(installedMutex);
    return installed ? *installed : desktopShell;
}

void setShell(Shell* newShell)
{
    std::lock_guard lock(installedMutex);
    installed = newShell;
}

ScriptedShell::ScriptedShell() { setShell(this); }
ScriptedShell::~ScriptedShell() { setShell(nullptr); }

bool ScriptedShell::openUrl(const QUrl& url)
{
    std::lock_guard lock(mutex_);
    urls_.push_back(url);
    return opensUrls_;
}

bool ScriptedShell::startProgram(const QString& program)
{
    std::lock_guard lock(mutex_);
    programs_.push_back(program);
    return true;
}

std::optional<QString> ScriptedShell::openFileName(QWidget*, const FileDialogRequest& request)
{
    std::lock_guard lock(mutex_);
    fileDialogs_.push_back(request);
    if (fileNames_.empty())
        return std::nullopt;
    std::optional<QString> answer;
    answer.swap(fileNames_.front());
    fileNames_.pop_front();
    return answer;
}

std::optional<QString> ScriptedShell::saveFileName(QWidget* parent, const FileDialogRequest& request)
{
    return openFileName(parent, request);
}

std::optional<QColor> ScriptedShell::pickColor(QWidget*, const QColor& initial)
{
    std::lock_guard lock(mutex_);
    colorInitials_.push_back(initial);
    if (colors_.empty())
        return std::nullopt;
    auto answer = colors_.front();
    colors_.pop_front();
    return answer;
}

void ScriptedShell::setClipboardText(const QString& text)
{
    std::lock_guard lock(mutex_);
    clipboard_ = text;
}

QString ScriptedShell::clipboardText()
{
    std::lock_guard lock(mutex_);
    return clipboard_;
}

void ScriptedShell::setOpensUrls(bool opens)
{
    std::lock_guard lock(mutex_);
    opensUrls_ = opens;
}

void ScriptedShell::queueFileName(std::optional<QString> answer)
{
    std::lock_guard lock(mutex_);
    fileNames_.push_back(std::move(answer));
}

void ScriptedShell::queueColor(std::optional<QColor> answer)
{
    std::lock_guard lock(mutex_);
    colors_.push_back(answer);
}

std::vector<QUrl> ScriptedShell::openedUrls() const
{
    std::lock_guard lock(mutex_);
    return urls_;
}

std::vector<QString> ScriptedShell::startedPrograms() const
{
    std::lock_guard lock(mutex_);
    return programs_;
}

std::vector<FileDialogRequest> ScriptedShell::fileDialogs() const
{
    std::lock_guard lock(mutex_);
    return fileDialogs_;
}

std::vector<QColor> ScriptedShell::colorDialogInitials() const
{
    std::lock_guard lock(mutex_);
    return colorInitials_;
}

} // namespace rm
