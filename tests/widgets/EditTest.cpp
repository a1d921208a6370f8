#include "LongerTimeEdit.h"
#include "NumEdit.h"
#include "NumberText.h"
#include "VoltageValueEdit.h"
#include "WidgetTestApp.h"

#include <QClipboard>
#include <QKeyEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

QColor textColor(const QLineEdit& edit) {
    return edit.palette().color(QPalette::Active, QPalette::Text);
}

QColor windowText() {
    return QApplication::palette().color(QPalette::Active, QPalette::Text);
}

// Types `text` and presses Enter.
void typeAndEnter(QLineEdit& edit, const QString& text) {
    edit.clear();
    QTest::keyClicks(&edit, text);
    QTest::keyClick(&edit, Qt::Key_Return);
}

class Edits : public WidgetTest {};

TEST_F(Edits, TextToNumberTakesPointOrComma) {
    EXPECT_EQ(rm::StrToFloatAnySeparator("1.5"), 1.5);
    EXPECT_EQ(rm::StrToFloatAnySeparator("1,5"), 1.5);
    EXPECT_EQ(rm::StrToFloatAnySeparator("-0,25"), -0.25);
    EXPECT_EQ(rm::StrToFloatAnySeparator(QString("2e3")), 2000);
    for (const char* bad : {"", "-", "1.2.3", "1,2.3", "1e400", "abc", "1.5x"})
        EXPECT_FALSE(rm::StrToFloatAnySeparator(bad).has_value()) << bad;
}

TEST_F(Edits, VoltageCommitsOnEnterOnly) {
    TVoltageValueEditVorn edit;
    EXPECT_EQ(edit.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    const std::vector<std::pair<QString, double>> typed = {
        {"1.5", 1500}, {"250m", 250}, {"0.5m", 0.5}, {"-2", -2000}, {"0.0015", 2}, {"5u", 0.005}, {"0.0025", 2}};
    for (const auto& [text, millivolts] : typed) {
        typeAndEnter(edit, text);
        EXPECT_EQ(edit.Voltage(), millivolts) << text.toStdString();
        EXPECT_EQ(textColor(edit), windowText());
        EXPECT_EQ(edit.text(), text);  // the commit does not rewrite the text
    }

    edit.clear();
    QTest::keyClicks(&edit, "3");
    EXPECT_EQ(textColor(edit), QColor(Qt::blue));
    EXPECT_EQ(edit.Voltage(), 2);
    QTest::keyClick(&edit, Qt::Key_Left);  // any released key but Enter
    EXPECT_EQ(textColor(edit), QColor(Qt::blue));
    QTest::keyClick(&edit, Qt::Key_Enter);  // the keypad's Enter commits too
    EXPECT_EQ(edit.Voltage(), 3000);
    EXPECT_EQ(textColor(edit), windowText());
}

TEST_F(Edits, VoltageBadInputKeepsValueAndText) {
    TVoltageValueEditVorn edit;
    edit.setVoltage(100);
    for (const QString bad : {"", "m", "-", "-m", "1.m", "1.2.3", "u"}) {
        typeAndEnter(edit, bad);
        EXPECT_EQ(edit.Voltage(), 100) << bad.toStdString();
        EXPECT_EQ(edit.text(), bad);
        if (!bad.isEmpty()) {
            EXPECT_EQ(textColor(edit), QColor(Qt::blue));
        }
    }
    // Pasted texts are not filtered.
    for (const QString bad : {"1e400", "abc", "1e400m", "1e308"}) {
        edit.setText(bad);
        QTest::keyClick(&edit, Qt::Key_Return);
        EXPECT_EQ(edit.Voltage(), 100) << bad.toStdString();
    }
    edit.setText("1,5");
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(edit.Voltage(), 1500);
    edit.setText("7n");
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_DOUBLE_EQ(edit.Voltage(), 7e-6);
}

TEST_F(Edits, VoltageTextFromValue) {
    TVoltageValueEditVorn edit;
    const std::vector<std::pair<double, QString>> shown = {
        {2000, "2"}, {1500, "1.5"}, {1000, "1"}, {999, "999m"}, {1, "1m"}, {-250.5, "-250.5m"},
        {999.4, "0.999"}, {999.5, "1"}, {-1500, "-1.5"}, {0.0004, "0m"}, {0.0015, "0.002m"}};
    for (const auto& [millivolts, text] : shown) {
        edit.setVoltage(millivolts);
        EXPECT_EQ(edit.text(), text) << millivolts;
    }
    edit.setVoltage(0.0015);
    EXPECT_EQ(edit.Voltage(), 0.002);  // kept to a microvolt

    QTest::keyClicks(&edit, "5");
    edit.setVoltage(10);
    EXPECT_EQ(textColor(edit), QColor(Qt::blue));  // setting from code leaves the colour
}

TEST_F(Edits, TypedCharactersOutsideTheSetAreDropped) {
    TVoltageValueEditVorn voltage;
    QTest::keyClicks(&voltage, "1a,2x.5 mMuh");
    EXPECT_EQ(voltage.text(), "12.5mu");
    QTest::keyClick(&voltage, Qt::Key_Backspace);
    EXPECT_EQ(voltage.text(), "12.5m");

    TLongerTimeEditVornRM duration;
    QTest::keyClicks(&duration, "1h2m3s4ms5u,x");
    EXPECT_EQ(duration.text(), "1h2m3s4ms5");

    TNumEditVorn number;
    QTest::keyClicks(&number, "-1.5e3m,");
    EXPECT_EQ(number.text(), "-1.53");

    // Shortcuts do nothing; navigation still works.
    QApplication::clipboard()->setText("999");
    QTest::keyClick(&number, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(&number, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(number.text(), "-1.53");
    QTest::keyClick(&number, Qt::Key_Home);
    QTest::keyClick(&number, Qt::Key_Delete);
    EXPECT_EQ(number.text(), "1.53");
}

TEST_F(Edits, KeyUpFollowsTheCommitAndAutoRepeatIsIgnored) {
    TVoltageValueEditVorn edit;
    std::vector<double> seen;
    QObject::connect(&edit, &TFilteredEditVorn::OnKeyUp, [&](int key, Qt::KeyboardModifiers) {
        if (key == Qt::Key_Return)
            seen.push_back(edit.Voltage());
    });
    typeAndEnter(edit, "4");
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], 4000);

    // A held Enter: releases that repeat neither commit nor tell.
    edit.setText("5");
    QKeyEvent repeated(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, "\r", true);
    for (int i = 0; i < 10; ++i)
        QApplication::sendEvent(&edit, &repeated);
    EXPECT_EQ(seen.size(), 1u);
    EXPECT_EQ(edit.Voltage(), 4000);
    QTest::keyRelease(&edit, Qt::Key_Return);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1], 5000);
}

TEST_F(Edits, LeavingWithoutEnterCommitsNothing) {
    QWidget form;
    auto* edit = new TLongerTimeEditVornRM(&form);
    auto* other = new TNumEditVorn(&form);
    other->move(0, 40);
    form.show();
    edit->setTimeValue(1000);
    edit->setFocus();
    QTest::keyClicks(edit, "5s");
    other->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(edit->TimeValue(), 1000);
    EXPECT_EQ(edit->text(), "1s5s");
    EXPECT_EQ(textColor(*edit), QColor(Qt::blue));
}

TEST_F(Edits, DurationCommits) {
    TLongerTimeEditVornRM edit;
    const std::vector<std::pair<QString, double>> typed = {
        {"1h30m", 5'400'000}, {"1m30s", 90'000}, {"500ms", 500}, {"1.5s", 1500}, {"1.2345s", 1234},
        {"1.2355s", 1236}, {"2.5m", 150'000}, {"1h1h", 7'200'000}, {"30s1m", 90'000}, {"5", 0},
        {"1.5ms", 1.5}, {"2h.5h", 9'000'000}, {"1..5s", 5000}, {"0s", 0}};
    for (const auto& [text, milliseconds] : typed) {
        edit.setTimeValue(-1);
        typeAndEnter(edit, text);
        EXPECT_EQ(edit.TimeValue(), milliseconds) << text.toStdString();
        EXPECT_EQ(edit.text(), text);
        EXPECT_EQ(textColor(edit), windowText());
    }
}

TEST_F(Edits, DurationBadInputEmptiesTheTextAndKeepsTheValue) {
    TLongerTimeEditVornRM edit;
    edit.setTimeValue(1500);
    for (const QString bad : {"-5s", "h", ".5s", ""}) {
        typeAndEnter(edit, bad);
        EXPECT_EQ(edit.TimeValue(), 1500) << bad.toStdString();
        EXPECT_EQ(edit.text(), "");
    }
    EXPECT_EQ(textColor(edit), QColor(Qt::blue));
    edit.setText(QString(400, '9') + "h");  // beyond any number
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(edit.TimeValue(), 1500);
}

TEST_F(Edits, DurationTextFromValue) {
    TLongerTimeEditVornRM edit;
    const std::vector<std::pair<double, QString>> shown = {
        {5'400'000, "1h30m"}, {3'600'000, "1h"}, {90'500, "1m30s500ms"}, {1500, "1s500ms"},
        {250.5, "250.5ms"}, {0, "0s"}, {-5, ""}, {3'599'999, "59m59s999ms"}, {60'000, "1m"},
        {1000, "1s"}, {999, "999ms"}, {1500.7, "1s500.7ms"}, {90'061'001, "25h1m1s1ms"}};
    for (const auto& [milliseconds, text] : shown) {
        edit.setTimeValue(milliseconds);
        EXPECT_EQ(edit.text(), text) << milliseconds;
        EXPECT_EQ(edit.TimeValue(), milliseconds);
    }
}

TEST_F(Edits, NumericEditValues) {
    TNumEditVorn edit;
    edit.setNumValue(2.5);
    EXPECT_EQ(edit.text(), "2");
    edit.setNumValue(3.5);
    EXPECT_EQ(edit.text(), "4");
    edit.setNumValue(-2.5);
    EXPECT_EQ(edit.text(), "-2");
    edit.setFloating(true);
    edit.setNumValue(1.25);
    EXPECT_EQ(edit.text(), "1.25");
    edit.setNumValue(1.0 / 3);
    EXPECT_EQ(edit.text(), "0.333333333333333");

    edit.setNumValueInteger(-70'000);
    EXPECT_EQ(edit.text(), "-70000");
    EXPECT_EQ(edit.NumValueInteger(), -70'000);
    edit.setNumValueWord(65'535);
    EXPECT_EQ(edit.NumValueWord(), 65'535);
    edit.setText("70000");
    EXPECT_EQ(edit.NumValueWord(), 70'000 & 0xFFFF);
    EXPECT_EQ(edit.NumValue(), 70'000);

    edit.clear();
    QTest::keyClicks(&edit, "12.5");
    EXPECT_EQ(edit.NumValue(), 12.5);
    edit.setText("0,75");
    EXPECT_EQ(edit.NumValue(), 0.75);
}

TEST_F(Edits, NumericEditKeepsTheLastValueWhileTheTextDoesNotRead) {
    TNumEditVorn edit;
    edit.setNumValueInteger(42);
    for (const QString bad : {"", "-", "1e400", "4.2.1", "x"}) {
        edit.setText(bad);
        EXPECT_EQ(edit.NumValue(), 42) << bad.toStdString();
        EXPECT_EQ(edit.NumValueInteger(), 42) << bad.toStdString();
    }
    edit.setText("1.5");
    EXPECT_EQ(edit.NumValue(), 1.5);
    EXPECT_EQ(edit.NumValueInteger(), 42);  // not a whole number
    edit.setText("99999999999");
    EXPECT_EQ(edit.NumValueInteger(), 42);  // beyond 32 bits
}

} // namespace
