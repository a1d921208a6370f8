// Worker threads and the user-interface thread on one label at once; built
// with ThreadSanitizer.
#include "UnitValueLabel.h"
#include "WidgetTestApp.h"

#include <QEnterEvent>

#include <atomic>
#include <thread>
#include <vector>

namespace {

class LabelThreads : public WidgetTest {};

TEST_F(LabelThreads, WorkersSetValuesWhileTheUiPaintsAndHovers) {
    TUnitValueLabel label;
    label.setMouseSensitive(true);
    label.resize(120, 20);
    label.show();

    std::atomic<int> running{2};
    std::vector<std::thread> workers;
    workers.emplace_back([&] {
        for (int i = 0; i < 3000; ++i)
            label.setMainValue(i % 7 == 0 ? -i : i);
        --running;
    });
    workers.emplace_back([&] {
        for (int i = 0; i < 3000; ++i) {
            label.setControlType(1 + i % 9);
            label.setValueInValid(i % 11 == 0);
        }
        --running;
    });
    for (int round = 0; running > 0; ++round) {
        if (round % 10 == 0) {
            QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
            QApplication::sendEvent(&label, &enter);
        } else if (round % 10 == 5) {
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(&label, &leave);
        }
        label.grab();
        QApplication::processEvents();
    }
    for (auto& worker : workers)
        worker.join();

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&label, &leave);
    label.setValueInValid(false);
    label.setControlType(2);
    label.setMainValue(2000);
    EXPECT_EQ(label.MyString(), "2V");
    EXPECT_FALSE(label.isHeld());
}

} // namespace
