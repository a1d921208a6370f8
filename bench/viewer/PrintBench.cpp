// Peak memory of one print from the viewer's window through the print-manager
// library into a PDF, at 300 and at 1200 dots per inch: the picture of the
// main display goes onto the page at the display's own size and the painter
// stretches it. Target: under 30 MB more than before the print, at any
// resolution. For comparison, the size the picture would take scaled to its
// place on the page (what a page-sized copy of it would cost).
//
//   rmviewer_print_bench [display width] [display height]   (default 1280 x 700)
//
// Peaks are read from /proc/self/status (VmHWM, reset through
// /proc/self/clear_refs before each print).

#include "MessageBoxes.h"
#include "PreviewEngine.h"
#include "PreviewMenuCommands.h"
#include "PreviewScreenPelkRM.h"
#include "PrintDialogSeam.h"

#include "ui_PreviewScreenRM.h"

#include <QApplication>
#include <QDir>
#include <QMainWindow>
#include <QTemporaryDir>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

using namespace rm::viewer;

namespace {

// A "VmRSS:"-style field of /proc/self/status, in kB; -1 when missing.
long statusKilobytes(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::atol(line.c_str() + std::string(field).size());
    return -1;
}

bool resetPeak()
{
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return static_cast<bool>(clear);
}

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const int width = argc > 1 ? std::atoi(argv[1]) : 1280;
    const int height = argc > 2 ? std::atoi(argv[2]) : 700;
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    rm::ScriptedMessages messages;
    rm::ScriptedPrintDialog dialog;

    QTemporaryDir folder;
    QDir::setCurrent(folder.path());
    QMainWindow window;
    Ui::TPreviewScreenRM form;
    form.setupUi(&window);
    TPreviewEnginePelkRM engine;
    engine.Startup();
    engine.NewFileOpened = true;
    form.PreviewScreenVornRM->resize(width, height);
    TPreviewMenuCommands commands(form, engine, *form.PreviewScreenVornRM);
    std::printf("main display %d x %d\n", form.PreviewScreenVornRM->width(), form.PreviewScreenVornRM->height());

    // The first print loads the print plugins and fonts once; not measured.
    dialog.queueAnswer(rm::ScriptedPrintDialog::Answer{QStringLiteral("warm-up.pdf"), 300});
    TPrintBridge(commands).Print();

    bool measured = true;
    for (const int dpi : {300, 1200}) {
        dialog.queueAnswer(rm::ScriptedPrintDialog::Answer{QStringLiteral("print-%1.pdf").arg(dpi), dpi});
        if (!resetPeak()) {
            measured = false;
            break;
        }
        const long before = statusKilobytes("VmRSS:");
        const bool printed = TPrintBridge(commands).Print();
        const long peak = statusKilobytes("VmHWM:");
        // The picture's place on an A4 landscape page (257 x 90 mm).
        const double scaledMegabytes = std::nearbyint(257 * dpi / 25.4) * std::nearbyint(90 * dpi / 25.4) * 4 / 1e6;
        std::printf("%5d dpi: %s, peak extra memory %6.1f MB (target < 30); the picture scaled to the page "
                    "would take %6.1f MB\n",
                    dpi, printed ? "printed" : "NOT printed", (peak - before) / 1024.0, scaledMegabytes);
    }
    if (!measured)
        std::printf("peak memory not measured: /proc/self/clear_refs cannot be written here\n");
    for (const auto& text : messages.texts())
        std::printf("message: %s\n", text.c_str());
    engine.Shutdown();
    return 0;
}
