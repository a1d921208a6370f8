// Times the viewer's window from Open to "Ready" on a large recording (the
// index build and the quick, buffer and normal views) against one plain
// sequential read of the same file: with the file in the page cache, and
// cold where the machine lets this program drop the file's cached pages.
// Target: within 1.5 times a plain read.
//
//   rmviewer_window_open_bench [file] [GiB]   (default /tmp/rmviewer_window_bench.rmd, 2 GiB)
//
// The file (a sample recording of tools/) is written first when it is
// missing or of another size. The window runs off screen when no display is
// given (QT_QPA_PLATFORM=offscreen).

#include "MessageBoxes.h"
#include "OnOffButton.h"
#include "PreviewScreenRM.h"
#include "SafeLabel.h"
#include "SampleRecording.h"

#include "ui_PreviewScreenRM.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using namespace rm::viewer;

namespace {

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

int64_t fileSize(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? static_cast<int64_t>(st.st_size) : -1;
}

// Drops the file's pages from the page cache; false when they stay.
bool dropCache(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool dropped = ::fdatasync(fd) == 0 && ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED) == 0;
    ::close(fd);
    return dropped;
}

double plainRead(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    std::vector<char> buffer(1 << 20);
    const auto start = std::chrono::steady_clock::now();
    while (::read(fd, buffer.data(), buffer.size()) > 0) {
    }
    const double time = seconds(start);
    ::close(fd);
    return time;
}

// Counts the views the data source announces.
struct Views : IEngineListener {
    void EngineNotify(int code, int) override {
        if (code == enQuickViewReady)
            ++quick;
        else if (code == enBufferViewReady)
            ++buffer;
        else if (code == enNormalViewReady)
            ++normal;
    }
    std::atomic<int> quick{0}, buffer{0}, normal{0};
};

// One start of the window: the name typed, Enter, Open, until "Ready" with
// all three views. The index file is removed first, so it is built anew.
double openToReady(const std::string& path) {
    std::remove((path.substr(0, path.size() - 3) + "ind").c_str());
    TPreviewScreenRM window;
    Views views;
    window.PreviewEngine().RegisterListener(kGroupAll, &views);
    window.Startup();
    window.show();
    QApplication::processEvents();
    Ui::TPreviewScreenRM& f = window.Form();
    f.SaveFileEdit->setText(QString::fromStdString(path));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(f.SaveFileEdit, &enter);
    const auto start = std::chrono::steady_clock::now();
    f.OpenButton->click();
    while (!(views.quick > 0 && views.buffer > 0 && views.normal > 0 && f.ProgressLabel->MyString() == "Ready"))
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    const double time = seconds(start);
    window.close();
    window.PreviewEngine().UnregisterListener(kGroupAll, &views);
    return time;
}

void report(const char* phase, double viewer, double read) {
    std::printf("%-8s viewer to Ready %7.2f s, plain read %7.2f s, ratio %.2f (target <= 1.5)\n", phase, viewer,
                read, read > 0 ? viewer / read : 0.0);
}

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const std::string path = argc > 1 ? argv[1] : "/tmp/rmviewer_window_bench.rmd";
    const int64_t wantedBytes = (argc > 2 ? std::atoll(argv[2]) : 2) << 30;
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    rm::ScriptedMessages messages;  // the settings file's first-start box

    const int64_t size = fileSize(path);
    if (size < wantedBytes - (64 << 20) || size > wantedBytes + (64 << 20)) {
        std::printf("writing %s ...\n", path.c_str());
        if (!rm::writeSampleRecording(path, wantedBytes / 2).written) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    std::printf("%s: %.2f GiB\n", path.c_str(), static_cast<double>(fileSize(path)) / (1 << 30));

    // The window's settings file goes into a folder of its own.
    QTemporaryDir folder;
    QDir::setCurrent(folder.path());

    plainRead(path);  // into the page cache
    const double warmRead = plainRead(path);
    const double warmViewer = openToReady(path);
    report("cached", warmViewer, warmRead);

    if (dropCache(path)) {
        const double coldRead = plainRead(path);
        dropCache(path);
        const double coldViewer = openToReady(path);
        report("cold", coldViewer, coldRead);
    } else {
        std::printf("cold     not measured: the page cache cannot be dropped here\n");
    }
    for (const auto& text : messages.texts())
        if (text.find("Preview.ini") == std::string::npos)
            std::printf("message: %s\n", text.c_str());
    return 0;
}
