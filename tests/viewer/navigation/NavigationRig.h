#pragma once

#include "BufferBarVornPrv.h"
#include "DataSource.h"
#include "IndexFileWrapper.h"
#include "LargeFileWrapper.h"
#include "MainBuffer.h"
#include "MessageBoxes.h"
#include "QuickBarVornPrv.h"
#include "SampleRecording.h"
#include "TimeBarVornPrv.h"
#include "WidgetTestApp.h"
#include "WinColor.h"

#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace rm::viewer::test {

using rm::toQColor;

// Every broadcast on the bus, heard at once on the sending thread.
class BusLog : public IEngineListener {
public:
    explicit BusLog(TPreviewEnginePelkRM& engine) : engine_(engine) { engine.RegisterListener(kGroupAll, this); }
    void EngineNotify(int code, int senderGroup) override {
        if (code == enShutdown)
            engine_.UnregisterListener(kGroupAll, this);
        std::lock_guard lock(m_);
        ++count_[code];
        lastSender_[code] = senderGroup;
        last_ = std::chrono::steady_clock::now();
    }
    int of(int code) const {
        std::lock_guard lock(m_);
        const auto it = count_.find(code);
        return it == count_.end() ? 0 : it->second;
    }
    int senderOf(int code) const {
        std::lock_guard lock(m_);
        const auto it = lastSender_.find(code);
        return it == lastSender_.end() ? -1 : it->second;
    }
    std::chrono::steady_clock::duration quietFor() const {
        std::lock_guard lock(m_);
        return std::chrono::steady_clock::now() - last_;
    }

private:
    TPreviewEnginePelkRM& engine_;
    mutable std::mutex m_;
    std::map<int, int> count_;
    std::map<int, int> lastSender_;
    std::chrono::steady_clock::time_point last_ = std::chrono::steady_clock::now();
};

// The progress texts of the view jobs: each "Creating ..." is a job that ran.
class ProgressLog : public IProgressDisplay {
public:
    void SetProgressText(const std::string& text) override {
        std::lock_guard lock(m_);
        if (text.rfind("Creating", 0) == 0)
            ++jobs_;
    }
    void SetProgressPercent(int) override {}
    int jobs() const {
        std::lock_guard lock(m_);
        return jobs_;
    }

private:
    mutable std::mutex m_;
    int jobs_ = 0;
};

inline void sendMouse(QWidget& widget, QEvent::Type type, int x, int y = 10) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(x, y), widget.mapToGlobal(QPointF(x, y)), button, held, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}
inline void click(QWidget& widget, int x) {
    sendMouse(widget, QEvent::MouseButtonPress, x);
    sendMouse(widget, QEvent::MouseButtonRelease, x);
}

// Processes events until `done` holds or `ms` milliseconds have passed.
inline bool processEventsUntilMs(const std::function<bool()>& done, int ms) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

// Processes events for about `ms` milliseconds.
inline void spin(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}

// The viewer's data engine on a generated recording, with the two view bars
// and the time bar linked in the viewer's registration order. Broadcasts
// from the worker reach the bars through the event loop, as in the program.
class NavigationRig {
public:
    static constexpr int kBarWidth = 820;
    static constexpr int kScreenPoints = 800;

    explicit NavigationRig(int64_t samples) {
        summary = writeSampleRecording(path, samples);
        engine.SetUiPoster([](std::function<void()> call) {
            QMetaObject::invokeMethod(qApp, std::move(call), Qt::QueuedConnection);
        });
        for (TViewBarVornPrv* bar : {static_cast<TViewBarVornPrv*>(&quick), static_cast<TViewBarVornPrv*>(&buffer)}) {
            bar->resize(kBarWidth, 50);
            bar->SetDataModule(&source);
            bar->SetPreviewEngine(&engine);
            bar->show();
        }
        quick.SetBarTimer(&quickTimer);
        buffer.SetBarTimer(&bufferTimer);
        timeBar.resize(kBarWidth, 25);
        timeBar.SetDataModule(&source);
        timeBar.SetPreviewEngine(&engine);
        timeBar.show();
        engine.Startup();
        engine.MainScreenWidth = kScreenPoints;
        engine.SetActualPointsCount(kScreenPoints);
    }
    ~NavigationRig() { engine.Shutdown(); }

    // What the open panel does for a chosen file and Open; then waits until
    // the views are built and the bus is quiet.
    void open() {
        engine.SetOpenFileName(path);
        engine.FileTargeted = true;
        engine.Notify(enOpenDataFile, kGroupOpenPanel);
        ASSERT_TRUE(engine.FileTargeted);
        engine.Notify(enFileTargeted, kGroupOpenPanel);
        engine.Notify(enFileNameChanged, kGroupOpenPanel);
        engine.Notify(enPrepareIndex, kGroupOpenPanel);
        engine.Notify(enRedraw, kGroupOpenPanel);
        settle(1);
    }
    // Waits until `views` more normal views were announced and nothing has
    // been broadcast for a while.
    void settle(int views = 1) {
        const int wanted = normalViews + views;
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 30000) {
            QApplication::processEvents(QEventLoop::AllEvents, 10);
            if (log.of(enNormalViewReady) >= wanted && log.quietFor() > std::chrono::milliseconds(150))
                break;
        }
        QApplication::processEvents();
        normalViews = log.of(enNormalViewReady);
        ASSERT_GE(normalViews, wanted);
    }

    QApplication& app = widgetTestApp();  // before any widget
    QTemporaryDir dir;
    const std::string path = dir.filePath("run.rmd").toStdString();
    RecordingSummary summary;
    ScriptedMessages messages;
    TPreviewEnginePelkRM engine;
    TMainBufferComponentVornPrv mainBuffer{engine};
    TLargeFileWrapper file;
    TIndexFileWrapperVornRMPrv index{engine};
    ProgressLog progress;
    TDataSourcePelkRMPrv source{engine, mainBuffer, file, index, &progress};
    BusLog log{engine};
    QTimer quickTimer, bufferTimer;
    TQuickBarVornPrv quick;
    TBufferBarVornPrv buffer;
    TTimeBarVornPrv timeBar;
    int normalViews = 0;
};

// A cursor as the display adds it.
inline int addCursor(TDataSourcePelkRMPrv& source, int64_t sample, TColor color,
                     uint8_t type = ctWaveform) {
    TCursorObjectTable& cursors = source.Cursors();
    TGeneralCursorObject cursor;
    cursor.CursorType = type;
    cursor.CursorColor = color;
    cursor.SamplePosition = sample;
    cursor.CursorName = cursors.NextCursorName();
    cursors.AddCursorObject(cursor);
    return cursors.CursorObjectsCount() - 1;
}

} // namespace rm::viewer::test
