#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

// The application every widget test runs in (off-screen platform). It lives
// until the process ends: the test library's input devices outlive any
// static destruction order.
inline QApplication& widgetTestApp() {
    static int argc = 1;
    static char name[] = "widgets_tests";
    static char* argv[] = {name, nullptr};
    static auto* app = new QApplication(argc, argv);
    return *app;
}

// The base of every widget test: the application comes first.
class WidgetTest : public ::testing::Test {
protected:
    WidgetTest() { widgetTestApp(); }
};

// Processes events until `done` holds or a second has passed.
inline bool processEventsUntil(const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 1000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

// What the widget shows, as plain RGB pixels.
inline QImage rendered(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}
