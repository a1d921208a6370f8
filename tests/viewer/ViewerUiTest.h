#pragma once

#include "../widgets/WidgetTestApp.h"

#include "PreviewEngine.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMetaObject>

#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <string>

namespace rm::viewer::test {

// A fresh folder made the current folder while the test runs; the previous
// current folder comes back and the folder goes with everything in it.
class TempCurrentFolder {
public:
    TempCurrentFolder() {
        char name[] = "/tmp/rmviewer_ui_XXXXXX";
        path_ = mkdtemp(name);
        char* before = getcwd(nullptr, 0);
        previous_ = before ? before : "/tmp";
        std::free(before);
        if (chdir(path_.c_str()) != 0)
            ADD_FAILURE() << "cannot enter " << path_;
    }
    ~TempCurrentFolder() {
        if (chdir(previous_.c_str()) != 0)
            ADD_FAILURE() << "cannot go back to " << previous_;
        std::system(("rm -rf '" + path_ + "'").c_str());
    }
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
    std::string previous_;
};

// Processes events until `done` holds; false after `ms` milliseconds.
inline bool waitUntil(const std::function<bool()>& done, int ms = 20000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// Processes the events queued so far (and what they queue) for a moment.
inline void settle(int ms = 50) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// Worker broadcasts reach user-interface listeners through the event loop,
// as in the program.
inline void postToUiThread(TPreviewEnginePelkRM& engine) {
    engine.SetUiPoster([](std::function<void()> work) {
        QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(work), Qt::QueuedConnection);
    });
}

} // namespace rm::viewer::test
