#pragma once

#include "../ViewerUiTest.h"

#include "MessageBoxes.h"
#include "PreviewScreenRM.h"
#include "ShellSeams.h"

#include <memory>

namespace rm::viewer::test {

// The viewer's main window as the program starts it, in a temporary current
// folder, with scripted boxes and dialogs.
struct WindowRig {
    void start() {
        window = std::make_unique<TPreviewScreenRM>();
        window->Startup();
        window->show();
        settle();
    }
    void stop() {
        window->close();
        window.reset();
        settle();
    }

    QApplication& app = widgetTestApp();
    ScriptedMessages messages;
    ScriptedShell desktop;
    TempCurrentFolder folder;
    std::unique_ptr<TPreviewScreenRM> window;
};

} // namespace rm::viewer::test
