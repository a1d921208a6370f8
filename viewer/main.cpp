#include "PreviewScreenRM.h"

#include <QApplication>
#include <QFont>

#include <clocale>

// The viewer: the main window with every component, the engine's start-up,
// then the message loop until the main window closes.
int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 8));

    rm::viewer::TPreviewScreenRM window;
    // The cursor-times window is made by the data source's cursor table the
    // first time it is shown (see the window's components).
    window.Startup();
    window.show();
    return QApplication::exec();
}
