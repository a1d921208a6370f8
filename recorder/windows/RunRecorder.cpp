#include "RunRecorder.h"

#include "MainForm.h"
#include "MessageBoxes.h"
#include "ProgramFolder.h"
#include "SingleInstance.h"
#include "SplashScreenVorn.h"
#include "recorder/RecorderStrings.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QScreen>

#include <clocale>
#include <memory>

namespace {

namespace S = RecorderStrings;

// The window's stored size clamped to the screen, centred on it.
void placeOnScreen(QWidget& window) {
    const QScreen* screen = window.screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    window.resize(window.size().boundedTo(area.size()).expandedTo(window.minimumSize()));
    window.move(area.center() - window.rect().center());
}

} // namespace

int RunRecorder(int& argc, char** argv, const QString& instanceName) {
    // 1. The application object, with "." in numbers and the one font.
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    app.setFont(QFont(QStringLiteral("DejaVu Sans"), 8));

    // 2.-5. One recorder per device; a running one is asked to come forward.
    const QString name = instanceName.isEmpty() ? QString::fromUtf8(S::InstanceName) : instanceName;
    rm::SingleInstance instance(name, {name});
    switch (instance.start()) {
    case rm::SingleInstance::StartDecision::OtherRaised:
        return 0;
    case rm::SingleInstance::StartDecision::DeviceInUse:
        rm::showMessage(S::DeviceInUse, {}, rm::MsgButtons::Ok, rm::MsgIcon::Error);
        return 0;
    case rm::SingleInstance::StartDecision::Run:
        break;
    }

    // 6. The splash.
    auto splash = std::make_unique<TSplashScreenVorn>();
    splash->show();
    splash->SetStatus(QString::fromUtf8(S::SplashEnvironment));

    // 7. Settings and help are found beside the program.
    QDir::setCurrent(QString::fromStdString(rm::programFolder()));

    // 8. The main window with every component; later starts may now ask it
    // to come forward.
    auto form = std::make_unique<TMainForm>();
    QObject::connect(&instance, &rm::SingleInstance::restoreRequested, form.get(), &TMainForm::RestoreRequest);
    instance.listen();

    // 9.-10. Settings loaded, threads started, the device initialised with its dialogs.
    splash->SetStatus(QString::fromUtf8(S::SplashDevice));
    form->Scope().Startup();

    // 11. The splash goes.
    splash.reset();

    // The user ended the program in a device dialog: end before the loop.
    if (form->TerminationRequested()) {
        form->close();
        return 0;
    }

    // 12. The message loop, until the window is closed.
    placeOnScreen(*form);
    form->show();
    form->SetMessageLoopRunning(true);
    const int code = app.exec();
    form.reset();  // runs the shutdown when no close did
    // 13. The lock goes with `instance`.
    return code;
}
