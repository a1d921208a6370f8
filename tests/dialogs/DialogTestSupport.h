#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

// The application the dialog tests run in (off-screen platform); it lives
// until the process ends.
inline QApplication& dialogTestApp() {
    static int argc = 1;
    static char name[] = "dialog_tests";
    static char* argv[] = {name, nullptr};
    static auto* app = new QApplication(argc, argv);
    return *app;
}

// Runs `act` on the modal dialog as soon as one is shown: the way a test
// answers a dialog that the code under test runs with exec().
inline void whenModalShown(std::function<void(QWidget& dialog)> act) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (QWidget* dialog = QApplication::activeModalWidget(); dialog && dialog->isVisible()) {
            timer->stop();
            timer->deleteLater();
            act(*dialog);
        }
    });
    timer->start();
}
