// Navigation on a 10 GiB recording in the real viewer window (off-screen):
// at every zoom level from 1 to 0x20000 samples per point one pan step (a
// drag on the display), one quick-bar move (a click in its right end zone)
// and one zoom step (the "+" button, "-" at the top level), each timed from
// the input event to the display's repaint with the new normal view. Prints
// the median and the maximum per kind; the target is 50 ms for every step.
//
//   rmviewer_navigation_bench [recording]
//
// The recording (default /tmp/rm_navigation_10g.rmd) is generated when it
// does not exist and kept for later runs, with its index beside it.

#include "MessageBoxes.h"
#include "PreviewScreenPelkRM.h"
#include "PreviewScreenRM.h"
#include "QuickBarVornPrv.h"
#include "SampleRecording.h"

#include "ui_PreviewScreenRM.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

using namespace rm::viewer;

namespace {

constexpr int64_t kRecordingBytes = int64_t{10} << 30;

// Counts the normal views the data source announces.
class ViewCounter : public IEngineListener {
public:
    explicit ViewCounter(TPreviewEnginePelkRM& engine) : engine_(engine) { engine.RegisterListener(kGroupAll, this); }
    void EngineNotify(int code, int) override {
        if (code == enShutdown)
            engine_.UnregisterListener(kGroupAll, this);
        else if (code == enNormalViewReady)
            ++views;
    }
    std::atomic<int> views{0};

private:
    TPreviewEnginePelkRM& engine_;
};

// Notes the display's first repaint once a newer normal view has come.
class RepaintWatch : public QObject {
public:
    explicit RepaintWatch(const ViewCounter& counter) : counter_(counter) {}
    void arm() {
        viewsBefore_ = counter_.views;
        painted_ = false;
    }
    bool painted() const { return painted_; }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && counter_.views > viewsBefore_)
            painted_ = true;
        return false;
    }

private:
    const ViewCounter& counter_;
    int viewsBefore_ = 0;
    bool painted_ = false;
};

void mouse(QWidget& widget, QEvent::Type type, QPoint at) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(at), widget.mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

bool waitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

// Milliseconds from `input` to the repaint it causes; -1 when none came.
double timeStep(RepaintWatch& watch, const std::function<void()>& input) {
    watch.arm();
    QElapsedTimer timer;
    timer.start();
    input();
    if (!waitFor([&] { return watch.painted(); }, 60000))
        return -1;
    const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    QApplication::processEvents();  // what else the step left queued
    return ms;
}

bool fileExists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

} // namespace

int main(int argc, char* argv[]) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::string path = argc > 1 ? argv[1] : "/tmp/rm_navigation_10g.rmd";
    if (!fileExists(path)) {
        std::printf("writing a recording of 10 GiB to %s ...\n", path.c_str());
        std::fflush(stdout);
        const rm::RecordingSummary written = rm::writeSampleRecording(path, kRecordingBytes / 2);
        if (!written.written) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }

    QApplication application(argc, argv);
    QTemporaryDir folder;  // the settings file goes here
    QDir::setCurrent(folder.path());
    rm::ScriptedMessages messages;  // "Preview.ini is missing" and the like are answered
    TPreviewScreenRM window;
    TPreviewEnginePelkRM& engine = window.PreviewEngine();
    ViewCounter counter(engine);
    window.Startup();
    window.show();
    waitFor([] { return false; }, 200);

    QElapsedTimer opening;
    opening.start();
    engine.SetOpenFileName(path);
    engine.FileTargeted = true;
    engine.Notify(enOpenDataFile, kGroupOpenPanel);
    if (!engine.FileTargeted) {
        std::fprintf(stderr, "cannot open %s\n", path.c_str());
        return 1;
    }
    engine.Notify(enFileTargeted, kGroupOpenPanel);
    engine.Notify(enFileNameChanged, kGroupOpenPanel);
    engine.Notify(enPrepareIndex, kGroupOpenPanel);
    if (!waitFor([&] { return counter.views > 0; }, 30 * 60 * 1000)) {
        std::fprintf(stderr, "no view within 30 minutes\n");
        return 1;
    }
    waitFor([] { return false; }, 500);
    std::printf("file: %s, %lld samples; opened with its views in %.1f s\n", path.c_str(),
                static_cast<long long>(engine.FileRealSamplesCount.load()), opening.elapsed() / 1000.0);

    Ui::TPreviewScreenRM& form = window.Form();
    TPreviewScreenPelkRM& display = window.MainDisplay();
    RepaintWatch watch(counter);
    display.installEventFilter(&watch);
    const QPoint grip(display.width() * 3 / 4, display.height() * 3 / 4);  // away from crosses and cursors

    std::map<std::string, std::vector<double>> times;
    const auto record = [&](const char* kind, double ms) {
        if (ms < 0)
            std::printf("  %s: no repaint\n", kind);
        times[kind].push_back(ms);
    };
    for (uint32_t level = 1; level <= kMaxSamplesPerPoint; level *= 2) {
        record("pan step", timeStep(watch, [&] {
                   mouse(display, QEvent::MouseButtonPress, grip);
                   mouse(display, QEvent::MouseMove, grip - QPoint(200, 0));
                   mouse(display, QEvent::MouseButtonRelease, grip - QPoint(200, 0));
               }));
        record("quick-bar move", timeStep(watch, [&] {
                   const QPoint end(form.QuickView->width() - 5, form.QuickView->height() / 2);
                   mouse(*form.QuickView, QEvent::MouseButtonPress, end);
                   mouse(*form.QuickView, QEvent::MouseButtonRelease, end);
               }));
        QPushButton* zoom = level < kMaxSamplesPerPoint ? form.SweepPlus : form.SweepMinus;
        record("zoom step", timeStep(watch, [&] { zoom->click(); }));
        std::printf("  %6u samples per point: pan %.1f ms, quick bar %.1f ms, zoom %.1f ms\n", level,
                    times["pan step"].back(), times["quick-bar move"].back(), times["zoom step"].back());
        std::fflush(stdout);
        if (level < kMaxSamplesPerPoint && engine.SamplesPerPoint() != 2 * level)
            std::printf("  zoom did not reach %u\n", 2 * level);
    }

    std::printf("kind            median ms  maximum ms  (target: every step under 50 ms)\n");
    bool allUnder = true;
    for (auto& [kind, ms] : times) {
        std::sort(ms.begin(), ms.end());
        const double median = ms.size() % 2 ? ms[ms.size() / 2] : (ms[ms.size() / 2 - 1] + ms[ms.size() / 2]) / 2;
        const double maximum = ms.front() < 0 ? -1 : ms.back();
        allUnder = allUnder && maximum >= 0 && maximum < 50;
        std::printf("%-15s %9.1f  %10.1f\n", kind.c_str(), median, maximum);
    }
    std::printf("%s\n", allUnder ? "every step under 50 ms" : "NOT every step under 50 ms");
    return 0;
}
