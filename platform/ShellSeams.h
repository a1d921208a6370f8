#pragma once

#include <QColor>
#include <QString>
#include <QUrl>

#include <deque>
#include <mutex>
#include <optional>
#include <vector>

class QWidget;

namespace rm {

// What a file dialog is asked to show.
struct FileDialogRequest {
    QString caption;
    QString folder;         // the folder it opens in ("" = the current folder)
    QString fileName;       // preset name
    QString filter;         // "Roll mode files (*.rmd)"
    QString defaultSuffix;  // "rmd"
    bool confirmOverwrite = true;
};

// The programs' ways out to the desktop: the shell, the other program, the
// standard dialogs and the clipboard. The programs use the one installed with
// setShell; by default that is the real desktop. Tests install ScriptedShell.
class Shell {
public:
    virtual ~Shell() = default;
    // Opens a document, web page or mail address with its desktop program.
    virtual bool openUrl(const QUrl& url) = 0;
    // Starts a program detached (path relative to the current folder), no arguments.
    virtual bool startProgram(const QString& program) = 0;
    // The chosen file's path, or nothing when cancelled.
    virtual std::optional<QString> openFileName(QWidget* parent, const FileDialogRequest& request) = 0;
    virtual std::optional<QString> saveFileName(QWidget* parent, const FileDialogRequest& request) = 0;
    // The chosen colour, or nothing when cancelled.
    virtual std::optional<QColor> pickColor(QWidget* parent, const QColor& initial) = 0;
    virtual void setClipboardText(const QString& text) = 0;
    virtual QString clipboardText() = 0;
};

Shell& shell();
// Installs `shell` (not owned); nullptr restores the real desktop.
void setShell(Shell* shell);

// A shell for tests: records every request and answers dialogs from queues
// (an empty queue cancels). Installs itself while it lives. Thread-safe.
class ScriptedShell : public Shell {
public:
    ScriptedShell();
    ~ScriptedShell() override;

    bool openUrl(const QUrl& url) override;
    bool startProgram(const QString& program) override;
    std::optional<QString> openFileName(QWidget* parent, const FileDialogRequest& request) override;
    std::optional<QString> saveFileName(QWidget* parent, const FileDialogRequest& request) override;
    std::optional<QColor> pickColor(QWidget* parent, const QColor& initial) override;
    void setClipboardText(const QString& text) override;
    QString clipboardText() override;

    // Whether openUrl finds a program for what it is asked to open (true at first).
    void setOpensUrls(bool opens);
    // Answers for the next dialogs; std::nullopt cancels.
    void queueFileName(std::optional<QString> answer);
    void queueColor(std::optional<QColor> answer);

    std::vector<QUrl> openedUrls() const;
    std::vector<QString> startedPrograms() const;
    std::vector<FileDialogRequest> fileDialogs() const;
    std::vector<QColor> colorDialogInitials() const;  // the colour each colour dialog opened with

private:
    mutable std::mutex mutex_;
    std::deque<std::optional<QString>> fileNames_;
    std::deque<std::optional<QColor>> colors_;
    std::vector<QUrl> urls_;
    std::vector<QString> programs_;
    std::vector<FileDialogRequest> fileDialogs_;
    std::vector<QColor> colorInitials_;
    QString clipboard_;
    bool opensUrls_ = true;
};

} // namespace rm
