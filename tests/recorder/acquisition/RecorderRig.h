#pragma once

#include "DataSourceModuleVornRM.h"
#include "DisplayOffLabel.h"
#include "FlowManagerVornRM.h"
#include "LiveDisplay.h"
#include "StatusLamp.h"
#include "UiCall.h"
#include "VirtualDriverVornRM.h"
#include "VirtualScopeVornRM.h"

#include <QCoreApplication>

#include <chrono>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// The user-interface thread of a test: the process's one application object
// (a widget test's own application when it made one first).
inline QCoreApplication& testApplication() {
    if (QCoreApplication* existing = QCoreApplication::instance())
        return *existing;
    static int argc = 1;
    static char name[] = "recorder_acquisition_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// Serves the worker threads' calls until `done` or the time limit; true when done.
inline bool serveUntil(const std::function<bool()>& done,
                       std::chrono::milliseconds limit = std::chrono::seconds(20)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    rm::UiCall::waitServing([&] { return done() || std::chrono::steady_clock::now() > deadline; });
    QCoreApplication::processEvents();
    return done();
}

// A live display that keeps every word it is fed.
class RecordingDisplay : public LiveDisplay {
public:
    void NewData(const uint16_t* words, int64_t count) override {
        std::lock_guard lock(mutex_);
        words_.insert(words_.end(), words, words + count);
        ++blocks_;
    }
    void ResizeBuffer() override { ++resizes; }
    void ClearScreen() override { ++clears; }
    void setDisplayVisible(bool value) override { visible = value; }

    std::vector<uint16_t> words() const {
        std::lock_guard lock(mutex_);
        return words_;
    }
    int blocks() const {
        std::lock_guard lock(mutex_);
        return blocks_;
    }

    bool visible = false;
    int resizes = 0;
    int clears = 0;

private:
    mutable std::mutex mutex_;
    std::vector<uint16_t> words_;
    int blocks_ = 0;
};

class RecordingLamp : public StatusLamp {
public:
    void SetLampColor(rm::WinColor value) override { colour = value; }
    std::optional<rm::WinColor> colour;
};

class RecordingLabel : public DisplayOffLabel {
public:
    void SetLabelVisible(bool value) override { visible = value; }
    bool visible = false;
};

// The recorder's engine as the main window wires it, without widgets.
struct RecorderRig {
    explicit RecorderRig(const std::string& driverFolder) {
        testApplication();
        driver.SetLibraryFolder(driverFolder);
        driver.SetTerminateHandler([this] { ++terminateRequests; });
        scope.SetVirtualDriver(&driver);
        ring.SetVirtualScope(&scope);
        flow.SetDataSourceInstance(&ring);
        flow.SetRollScreen(&roll);
        flow.SetEKGScreen(&ekg);
        flow.SetArmLED(&armLed);
        flow.SetTriggerLED(&triggerLed);
        flow.SetLinkToDispInactiveCaption(&displayOff);
        flow.SetVirtualScope(&scope);
        scope.RegisterListener(99, this, [this](TScopeNotifyCode code, int& group) {
            std::lock_guard lock(noticesMutex);
            notices.emplace_back(code, group);
            if (code == TScopeNotifyCode::snShutdown)
                scope.UnregisterListener(this);
        });
    }
    ~RecorderRig() {
        if (!shutDown)
            scope.Shutdown();
    }

    void shutdown() {
        scope.Shutdown();
        shutDown = true;
    }

    // A panel's change: the settings broadcast with the panel's group.
    void settingsChanged() { scope.Notify(TScopeNotifyCode::snSettingsChanged, 9); }

    int noticesOf(TScopeNotifyCode code, int group) {
        std::lock_guard lock(noticesMutex);
        int n = 0;
        for (const auto& [c, g] : notices)
            n += c == code && g == group;
        return n;
    }

    // Every word the processing thread has taken so far is in the display.
    bool displayHasWords() const { return roll.blocks() + ekg.blocks() > 0; }

    // Serves until the blocks of the start-up have passed the displays: words
    // have come and then none for 50 ms (giving up on quiet after a second),
    // so that saving switched on afterwards starts with the next measurement.
    bool startUpBlocksPassed() {
        if (!serveUntil([&] { return displayHasWords(); }))
            return false;
        for (int quiet = 0, seen = -1, round = 0; quiet < 5 && round < 100; ++round) {
            const int now = roll.blocks() + ekg.blocks();
            quiet = now == seen ? quiet + 1 : 0;
            seen = now;
            serveUntil([] { return false; }, std::chrono::milliseconds(10));
        }
        return true;
    }

    RecordingDisplay roll;
    RecordingDisplay ekg;
    RecordingLamp armLed;
    RecordingLamp triggerLed;
    RecordingLabel displayOff;
    TVirtualScopeVornRM scope;
    TVirtualDriverVornRM driver;
    TDataSourceModuleVornRM ring;
    TFlowManagerVornRM flow;
    int terminateRequests = 0;
    bool shutDown = false;
    std::mutex noticesMutex;
    std::vector<std::pair<TScopeNotifyCode, int>> notices;
};

// The words of a data file.
inline std::vector<uint16_t> readWords(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<uint16_t> words(bytes.size() / 2);
    std::memcpy(words.data(), bytes.data(), words.size() * 2);
    return words;
}

// The data file's words in order, each parameter block checked to be whole.
struct StreamSummary {
    std::vector<std::vector<uint16_t>> blocks;  // in stream order
    std::vector<size_t> blockPositions;         // word index of each block
    std::vector<uint16_t> samples;
    int overrunMarks = 0;
    int otherMarkers = 0;
    bool wellFormed = true;  // whole blocks of a known type and length only

    // Index into `blocks` of the first block of `type` at or after `from`.
    std::optional<size_t> findBlock(uint16_t type, size_t from = 0) const {
        for (size_t i = from; i < blocks.size(); ++i)
            if (blocks[i][2] == type)
                return i;
        return std::nullopt;
    }
};

inline StreamSummary summarise(const std::vector<uint16_t>& words) {
    StreamSummary s;
    for (size_t i = 0; i < words.size();) {
        const uint16_t w = words[i];
        if (w == 0) {
            const size_t length = i + 1 < words.size() ? words[i + 1] : 0;
            const uint16_t type = i + 2 < words.size() ? words[i + 2] : 0;
            if (length < 4 || length > 6 || i + length > words.size() || type < 1 || type > 12) {
                s.wellFormed = false;
                return s;
            }
            s.blockPositions.push_back(i);
            s.blocks.emplace_back(words.begin() + static_cast<long>(i), words.begin() + static_cast<long>(i + length));
            i += length;
        } else if (w >> 8) {
            s.samples.push_back(w);
            ++i;
        } else {
            (w == 1 ? s.overrunMarks : s.otherMarkers)++;
            ++i;
        }
    }
    return s;
}
