#pragma once

#include "MainForm.h"
#include "MessageBoxes.h"
#include "ShellSeams.h"
#include "ui_MainForm.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

// The application every window test runs in (off-screen platform); it lives
// until the process ends.
inline QApplication& windowTestApp() {
    static int argc = 1;
    static char name[] = "recorder_windows_tests";
    static char* argv[] = {name, nullptr};
    static auto* app = new QApplication(argc, argv);
    return *app;
}

// Processes events until `done` holds or `limitMs` has passed.
inline bool processEventsUntil(const std::function<bool()>& done, int limitMs = 2000) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < limitMs)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

// A fresh current folder for one test (settings files land there), with an
// empty "nodriver" folder the driver component is pointed at, so the
// recorder runs in demo mode. Message boxes and the shell are scripted.
class WindowTest : public ::testing::Test {
protected:
    WindowTest() {
        windowTestApp();
        std::string pattern = (std::filesystem::temp_directory_path() / "rmwindow-XXXXXX").string();
        folder_ = mkdtemp(pattern.data());
        std::filesystem::create_directory(folder_ / "nodriver");
        previous_ = QDir::currentPath();
        QDir::setCurrent(QString::fromStdString(folder_.string()));
        messages.setDefaultAnswer(rm::MsgResult::Yes);  // "Continue?" in demo mode
    }
    ~WindowTest() override {
        form.reset();
        QDir::setCurrent(previous_);
        std::error_code error;
        std::filesystem::remove_all(folder_, error);
    }

    std::string noDriverFolder() const { return (folder_ / "nodriver").string(); }
    std::string file(const std::string& name) const { return (folder_ / name).string(); }

    // A window whose driver finds no library (demo mode), started.
    TMainForm& startedDemoWindow() {
        form = std::make_unique<TMainForm>();
        form->Driver().SetLibraryFolder(noDriverFolder());
        form->Scope().Startup();
        return *form;
    }

    // Records every broadcast after the window's own listener (test group 99).
    void recordNotices() {
        TVirtualScopeVornRM* scope = &form->Scope();
        scope->RegisterListener(99, this, [this, scope](TScopeNotifyCode code, int& group) {
            notices.emplace_back(code, group);
            if (code == TScopeNotifyCode::snShutdown)
                scope->UnregisterListener(this);
        });
    }

    rm::ScriptedMessages messages;
    rm::ScriptedShell shell;
    std::unique_ptr<TMainForm> form;
    std::vector<std::pair<TScopeNotifyCode, int>> notices;

private:
    std::filesystem::path folder_;
    QString previous_;
};
