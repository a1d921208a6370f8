#include "SafeLabel.h"
#include "UnitValueLabel.h"
#include "WidgetTestApp.h"

#include <QAccessible>
#include <QEnterEvent>
#include <QGroupBox>
#include <QPointer>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

class Label : public WidgetTest {
protected:
    QString textOf(int type, double value) {
        label.setControlType(type);
        label.setMainValue(value);
        return label.MyString();
    }

    void hover(TSafeLabel& target, bool inside) {
        if (inside) {
            QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
            QApplication::sendEvent(&target, &enter);
        } else {
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(&target, &leave);
        }
    }

    TUnitValueLabel label;
};

struct Case {
    int type;
    double value;
    const char* text;
};

TEST_F(Label, UnitAndPrefixTables) {
    const std::vector<Case> cases = {
        // time in ns
        {1, 0, "0ns"}, {1, 999, "999ns"}, {1, 1000, "1us"}, {1, 999'999, "999.999us"},
        {1, 1'000'000, "1ms"}, {1, 2.5e9, "2.5s"}, {1, 0.0004, "0ns"},
        // voltage in mV, by magnitude
        {2, 2000, "2V"}, {2, 1.5, "1.5mV"}, {2, -1500, "-1.5V"}, {2, 999, "999mV"},
        {2, 999.5, "1V"}, {2, 2'500'000, "2.5kV"}, {2, -2'500'000, "-2.5kV"},
        // size in bytes, one decimal
        {3, 1023, "1023 B"}, {3, 1024, "1 KB"}, {3, 1'048'576, "1 MB"}, {3, 155'555'000, "148.3 MB"},
        {3, 1000, "1000 B"}, {3, 1'073'741'824, "1024 MB"}, {3, 3'221'225'472.0, "3 GB"}, {3, 10.5, "10.5 B"},
        // deflection, signed
        {4, 5000, "5V/d"}, {4, 200, "200mV/d"}, {4, -1500, "-1500mV/d"}, {4, 2e6, "2kV/d"},
        // time per division in s
        {5, 0.1, "0.1s/d"}, {5, 59, "59s/d"}, {5, 60, "1min/d"}, {5, 100, "1min 40s/d"},
        {5, 3600, "1h/d"}, {5, 5000, "1h 23min 20s/d"}, {5, 10000, "2h 46min 40s/d"}, {5, 7260, "2h 1min/d"},
        // sample rate
        {6, 50, "50S/s"}, {6, 5020, "5.02kS/s"}, {6, 5'000'000, "5MS/s"},
        // frequency per division
        {7, 2000, "2kHz/d"}, {7, 20, "20Hz/d"}, {7, 1, "1Hz/d"}, {7, 0.5, "500mHz/d"},
        {7, 0.001, "1mHz/d"}, {7, 0.0005, "500uHz/d"}, {7, 0, "0uHz/d"},
        // prefix only and samples
        {8, 5020, "5.02k"}, {8, 3, "3"}, {8, 0.25, "250m"}, {8, 2e-6, "2u"}, {8, 4e9, "4G"}, {8, 2.5e6, "2.5M"},
        {9, 5020, "5.02kS"}, {9, 7, "7S"}, {9, 2e6, "2MS"}, {9, 0.002, "2mS"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(textOf(c.type, c.value).toStdString(), c.text) << "type " << c.type << " value " << c.value;
}

TEST_F(Label, HalfwayValuesRoundToEven) {
    EXPECT_EQ(textOf(6, 2500.5), "2.5kS/s");
    EXPECT_EQ(textOf(6, 2501.5), "2.502kS/s");
    EXPECT_EQ(textOf(2, 0.0125), "0.012mV");
    EXPECT_EQ(textOf(2, 0.0135), "0.014mV");
    EXPECT_EQ(textOf(3, 1024 * 1.25), "1.2 KB");
    EXPECT_EQ(textOf(3, 1024 * 1.35), "1.4 KB");
    EXPECT_EQ(textOf(5, 90.5), "1min 30s/d");
    EXPECT_EQ(textOf(5, 91.5), "1min 32s/d");
}

TEST_F(Label, MinutesAndHoursFollowTheWholeSecondsShown) {
    EXPECT_EQ(textOf(5, 59.4), "59.4s/d");
    EXPECT_EQ(textOf(5, 59.5), "1min/d");
    EXPECT_EQ(textOf(5, 3599.4), "59min 59s/d");
    EXPECT_EQ(textOf(5, 3599.5), "1h/d");
}

TEST_F(Label, InvalidAndUnknownKinds) {
    EXPECT_EQ(textOf(2, 2000), "2V");
    label.setValueInValid(true);
    EXPECT_EQ(label.MyString(), "N/A");
    label.setMainValue(3000);
    EXPECT_EQ(label.MyString(), "N/A");
    EXPECT_EQ(textOf(5, 7200), "N/A");  // the hours form too
    label.setValueInValid(false);
    EXPECT_EQ(label.MyString(), "2h/d");

    // An unknown kind shows the last number shown, without a unit.
    EXPECT_EQ(textOf(6, 5020), "5.02kS/s");
    EXPECT_EQ(textOf(12, 99), "5.02");
    EXPECT_EQ(textOf(0, 1), "5.02");
    TUnitValueLabel fresh;
    fresh.setMainValue(42);
    EXPECT_EQ(fresh.MyString(), "0");
}

TEST_F(Label, HovereredMouseSensitiveLabelHoldsItsReading) {
    label.resize(120, 20);
    label.setMouseSensitive(true);
    label.setMyString("12.5mV");
    const QImage normal = rendered(label);

    hover(label, true);
    EXPECT_TRUE(label.isHovered());
    const QImage boldWhileHovered = rendered(label);
    EXPECT_NE(boldWhileHovered, normal);

    label.setMyString("13mV");
    label.setControlType(2);
    label.setMainValue(14);
    EXPECT_EQ(label.MyString(), "12.5mV");
    EXPECT_EQ(label.MainValue(), 14);  // the value is kept, only not shown
    EXPECT_TRUE(label.isHeld());

    hover(label, false);
    EXPECT_FALSE(label.isHovered());
    EXPECT_EQ(label.MyString(), "12.5mV");
    EXPECT_EQ(rendered(label), boldWhileHovered);  // still bold

    label.setMainValue(12.5);
    EXPECT_FALSE(label.isHeld());
    EXPECT_EQ(rendered(label), normal);
}

TEST_F(Label, InsensitiveLabelIgnoresThePointer) {
    label.resize(120, 20);
    label.setMyString("1V");
    const QImage normal = rendered(label);
    hover(label, true);
    label.setMyString("2V");
    EXPECT_EQ(label.MyString(), "2V");
    EXPECT_FALSE(label.isHovered());
    EXPECT_FALSE(label.isHeld());
    label.setMyString("1V");
    EXPECT_EQ(rendered(label), normal);
}

// Records the text each paint of a label found.
class PaintRecorder : public QObject {
public:
    explicit PaintRecorder(TSafeLabel& label) : label_(label) { label.installEventFilter(this); }
    std::vector<QString> painted;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &label_ && event->type() == QEvent::Paint)
            painted.push_back(label_.MyString());
        return false;
    }

private:
    TSafeLabel& label_;
};

TEST_F(Label, TextFromAWorkerThreadIsPaintedByTheUiThread) {
    TSafeLabel shown;
    shown.resize(160, 20);
    shown.show();
    ASSERT_TRUE(processEventsUntil([&] { return shown.isVisible(); }));
    QApplication::processEvents();
    PaintRecorder recorder(shown);

    std::thread worker([&] { shown.setMyString("Creating index file"); });
    worker.join();
    EXPECT_TRUE(recorder.painted.empty());  // the worker only queued the repaint
    EXPECT_EQ(shown.MyString(), "Creating index file");
    ASSERT_TRUE(processEventsUntil([&] {
        return !recorder.painted.empty() && recorder.painted.back() == "Creating index file";
    }));

    TSafeLabel reference;
    reference.resize(160, 20);
    reference.setMyString("Creating index file");
    EXPECT_EQ(rendered(shown), rendered(reference));
}

// The text painted is the accessible name, not the title of the group around.
TEST_F(Label, AccessibleNameIsTheTextShown) {
    QGroupBox group(" File ");
    auto* size = new TUnitValueLabel(&group);
    size->setControlType(3);
    std::thread worker([&] { size->setMainValue(3'124'000); });
    worker.join();
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(size);
    ASSERT_TRUE(accessible);
    ASSERT_TRUE(processEventsUntil([&] { return accessible->text(QAccessible::Name) == "3 MB"; }));
    size->setMainValue(0);
    ASSERT_TRUE(processEventsUntil([&] { return accessible->text(QAccessible::Name) == "0 B"; }));
}

TEST_F(Label, ValuesFromAWorkerThreadEndOnTheLastOne) {
    label.setControlType(2);
    label.resize(100, 20);
    label.show();
    PaintRecorder recorder(label);
    std::thread worker([&] {
        for (int i = 0; i <= 2000; ++i)
            label.setMainValue(i);
    });
    while (label.MainValue() < 2000)
        QApplication::processEvents();
    worker.join();
    EXPECT_EQ(label.MyString(), "2V");
    ASSERT_TRUE(processEventsUntil([&] { return !recorder.painted.empty() && recorder.painted.back() == "2V"; }));
}

// Counts the paints a widget receives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget& widget) : widget_(widget) { widget.installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &widget_ && event->type() == QEvent::Paint)
            ++paints;
        return false;
    }

private:
    QWidget& widget_;
};

// A live reading arrives with every block: only a new text may cost a paint,
// and the paint must stay inside the label, not repaint the panel around it.
TEST_F(Label, OnlyANewTextRepaintsAndOnlyTheLabel) {
    QWidget panel;
    panel.resize(200, 60);
    TUnitValueLabel* reading = new TUnitValueLabel(&panel);
    reading->setGeometry(10, 10, 100, 20);
    reading->setControlType(2);
    reading->setMainValue(1500);
    panel.show();
    ASSERT_TRUE(processEventsUntil([&] { return panel.isVisible(); }));
    QApplication::processEvents();
    PaintCounter panelPaints(panel);
    PaintCounter labelPaints(*reading);

    std::thread same([&] {
        for (int i = 0; i < 200; ++i)
            reading->setMainValue(1500.0001);  // "1.5V" again
    });
    same.join();
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    EXPECT_EQ(labelPaints.paints, 0);

    std::thread changing([&] {
        for (int i = 0; i < 200; ++i)
            reading->setMainValue(1000 + i);
    });
    changing.join();
    ASSERT_TRUE(processEventsUntil([&] { return labelPaints.paints > 0; }));
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    EXPECT_LE(labelPaints.paints, 2);  // the texts that came before the repaint ran share it
    EXPECT_EQ(panelPaints.paints, 0);
    EXPECT_EQ(reading->MyString(), "1.199V");
}

// The bold of a held reading goes when the next text arrives, even an equal one.
TEST_F(Label, EqualTextAfterAHeldReadingStillRepaintsInNormalWeight) {
    QWidget panel;
    panel.resize(200, 60);
    TSafeLabel* reading = new TSafeLabel(&panel);
    reading->setGeometry(10, 10, 120, 20);
    reading->setMouseSensitive(true);
    reading->setMyString("7mV");
    const QImage normal = rendered(*reading);
    panel.show();
    ASSERT_TRUE(processEventsUntil([&] { return panel.isVisible(); }));
    QApplication::processEvents();
    hover(*reading, true);
    reading->setMyString("8mV");
    hover(*reading, false);
    ASSERT_TRUE(reading->isHeld());
    QApplication::processEvents();
    PaintCounter paints(*reading);
    reading->setMyString("7mV");
    ASSERT_TRUE(processEventsUntil([&] { return paints.paints > 0; }));
    EXPECT_FALSE(reading->isHeld());
    EXPECT_EQ(rendered(*reading), normal);
}

TEST_F(Label, LabelDestroyedWithARepaintQueuedIsSafe) {
    auto* doomed = new TSafeLabel;
    QPointer<TSafeLabel> watch(doomed);
    std::thread worker([&] { doomed->setMyString("late"); });
    worker.join();
    delete doomed;
    QApplication::processEvents();
    EXPECT_TRUE(watch.isNull());
}

} // namespace
