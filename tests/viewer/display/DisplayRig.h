#pragma once

#include "../ViewerUiTest.h"

#include "DataSource.h"
#include "IndexFileWrapper.h"
#include "LargeFileWrapper.h"
#include "MainBuffer.h"
#include "MessageBoxes.h"
#include "PreviewScreenPelkRM.h"
#include "RollModeStream.h"

#include <atomic>
#include <string>

namespace rm::viewer::test {

// Counts the normal views the data source announces.
struct NormalViewCounter : IEngineListener {
    void EngineNotify(int code, int) override {
        if (code == enNormalViewReady)
            ++count;
    }
    std::atomic<int> count{0};
};

// The data engine of the viewer with a main display of the given size, in a
// temporary current folder, its worker's broadcasts reaching the display
// through the event loop.
class DisplayRig {
public:
    DisplayRig(int width, int height) {
        postToUiThread(engine);
        display.resize(width, height);
        display.SetDataModule(&source);
        display.SetPreviewEngine(&engine);
        engine.RegisterListener(kGroupAll, &views);
        engine.Startup();
        resize(width, height);
    }
    ~DisplayRig() {
        engine.Shutdown();
        engine.UnregisterListener(kGroupAll, &views);
    }

    // As the main window does: the display's size into the engine, then code 11.
    void resize(int width, int height) {
        display.resize(width, height);
        engine.MainScreenWidth = static_cast<uint32_t>(width);
        engine.MainScreenHeight = static_cast<uint32_t>(height);
        engine.SetActualPointsCount(static_cast<uint32_t>(width));
        engine.Notify(enFormResized, kGroupAll);
    }

    // Writes the stream, opens it as the open panel does and waits until the
    // display has drawn its first normal view.
    bool open(RollModeStream& stream, const std::string& name = "a.rmd") {
        if (!stream.WriteFile(folder.file(name)))
            return false;
        const int before = views.count;
        engine.SetOpenFileName(folder.file(name));
        engine.FileTargeted = true;
        engine.Notify(enOpenDataFile, kGroupOpenPanel);
        if (!engine.FileTargeted)
            return false;
        engine.Notify(enFileTargeted, kGroupOpenPanel);
        engine.Notify(enPrepareIndex, kGroupOpenPanel);
        engine.Notify(enRedraw, kGroupOpenPanel);
        return waitForView(before);
    }

    // Sends `code` (a view request) and waits for the normal view it makes.
    bool request(int code) {
        const int before = views.count;
        engine.Notify(code, kGroupDisplay);
        return waitForView(before);
    }

    bool waitForView(int before) {
        const bool done = waitUntil([&] { return views.count > before && engine.NewDataReady; });
        settle();
        return done;
    }

    QApplication& app = widgetTestApp();  // before any widget
    ScriptedMessages messages;
    TempCurrentFolder folder;
    TPreviewEnginePelkRM engine;
    TMainBufferComponentVornPrv buffer{engine};
    TLargeFileWrapper file;
    TIndexFileWrapperVornRMPrv index{engine};
    TDataSourcePelkRMPrv source{engine, buffer, file, index};
    TPreviewScreenPelkRM display;
    NormalViewCounter views;
};

// A measurement of `count` samples of the codes a (channel A) and b (B).
inline void constantSamples(RollModeStream& stream, int64_t count, uint8_t a, uint8_t b) {
    for (int64_t i = 0; i < count; ++i)
        stream.Sample(static_cast<uint16_t>(a | (b << 8)));
}

} // namespace rm::viewer::test
