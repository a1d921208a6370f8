// The cursor dialog, the cursor-times window and the voltage-cursor panel on
// an indexed recording at 1000 samples per second.
#include "CursorDialog.h"
#include "CursorTimesForm.h"
#include "IndexedTestFile.h"
#include "MessageBoxes.h"
#include "OnOffButton.h"
#include "ShellSeams.h"
#include "UnitValueLabel.h"
#include "WinColor.h"
#include "VoltagesControlVornRMPrv.h"
#include "WidgetTestApp.h"
#include "ui_CursorDialog.h"
#include "ui_CursorTimesForm.h"

#include <QTest>

namespace rm::viewer {
namespace {

// 10,000 samples at 1 kS/s with an overrun mark after sample 5000.
RollModeStream& recording()
{
    static RollModeStream stream = [] {
        RollModeStream s;
        RollModeStream::Settings settings;
        settings.samplesPerSecond = 1000;
        s.StartMeasurement(settings);
        s.Samples(5000);
        s.Marker(1);
        s.Samples(5000);
        s.StopMeasurement();
        return s;
    }();
    return stream;
}

class CursorWindowsTest : public WidgetTest {
protected:
    CursorWindowsTest() { file.engine.NewFileOpened = true; }

    void add(int64_t sample, const std::string& name, uint8_t type = ctWaveform)
    {
        TGeneralCursorObject c;
        c.CursorType = type;
        c.SamplePosition = sample;
        c.CursorName = name;
        c.CursorColor = cursors.NextCursorColor();
        cursors.AddCursorObject(c);
    }
    std::string cell(TCursorTimesForm& form, int column, int row)
    {
        return form.Form().TimesGrid->item(row, column)->text().toStdString();
    }

    ScriptedMessages messages;
    ScriptedShell shell;
    test::IndexedTestFile file{recording()};
    TCursorObjectTable cursors{file.engine, file.index};
};

TEST_F(CursorWindowsTest, TheTableShowsEveryPairAndExportsTheUsedOnes)
{
    add(1000, "C1");
    add(3000, "C2");
    TCursorTimesForm form(cursors, file.engine);
    EXPECT_EQ(form.windowTitle(), "Time relations");
    EXPECT_EQ(form.Form().ExportToClipboard1->text(), "Export to clipoboard");
    EXPECT_EQ(cell(form, 2, 1), " 2s");
    EXPECT_EQ(cell(form, 1, 2), "- 2s");
    EXPECT_EQ(cell(form, 1, 1), "");
    EXPECT_EQ(cell(form, 3, 0), "-");
    EXPECT_EQ(cell(form, 0, 3), "-");
    EXPECT_EQ(form.Form().TimesGrid->item(1, 2)->toolTip().toStdString(), " 2s");
    EXPECT_EQ(form.Form().TimesGrid->item(1, 2)->foreground().color(), QColor(0, 0, 255)) << "exact: blue";

    form.ExportToClipboard1Click();
    EXPECT_EQ(shell.clipboardText().toStdString(), "C1-C2 =  2s\r\nC2-C1 = - 2s\r\n");
    ASSERT_EQ(messages.texts(), std::vector<std::string>{"Times exported to clipboard"});
    EXPECT_EQ(messages.shown()[0].buttons, MsgButtons::Ok);
}

TEST_F(CursorWindowsTest, ASpanOverAnOverrunIsRedAndMarkedAndANameLikeAFreeSlotIsExported)
{
    add(4000, "-");
    add(6000, "C2");
    TCursorTimesForm form(cursors, file.engine);
    EXPECT_FALSE(form.ExactFlag(2, 1));
    EXPECT_EQ(form.Form().TimesGrid->item(1, 2)->foreground().color(), QColor(255, 0, 0));
    form.ExportToClipboard1Click();
    EXPECT_EQ(shell.clipboardText().toStdString(), "--C2 =  2s!\r\nC2-- = - 2s!\r\n");
}

TEST_F(CursorWindowsTest, WithOverrunsIgnoredASpanOverAnOverrunIsExact)
{
    file.engine.IgnoreOverrun = true;
    add(4000, "C1");
    add(6000, "C2");
    TCursorTimesForm form(cursors, file.engine);
    EXPECT_TRUE(form.ExactFlag(2, 1));
    EXPECT_EQ(form.Form().TimesGrid->item(1, 2)->foreground().color(), QColor(0, 0, 255));
    form.ExportToClipboard1Click();
    EXPECT_EQ(shell.clipboardText().toStdString(), "C1-C2 =  2s\r\nC2-C1 = - 2s\r\n");
}

TEST_F(CursorWindowsTest, ClosingHidesAndTheNextOpeningShowsTheCurrentTimes)
{
    TCursorTimesForm* shown = nullptr;
    cursors.SetCursorTimesWindowFactory([&] {
        auto form = std::make_unique<TCursorTimesForm>(cursors, file.engine);
        shown = form.get();
        return form;
    });
    add(1000, "C1");
    add(2000, "C2");
    cursors.ShowCursorTimes();
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(shown->isVisible());
    EXPECT_TRUE(shown->windowFlags() & Qt::WindowStaysOnTopHint);
    shown->close();
    EXPECT_FALSE(cursors.CursorTimesDisplayed());
    cursors.Cursor(1).SamplePosition = 4000;
    cursors.ShowCursorTimes();
    EXPECT_EQ(cell(*shown, 2, 1), " 3s");
}

TEST_F(CursorWindowsTest, TheDialogShowsTheCursorAndTakesWhatWasTypedOnOK)
{
    add(2000, "C1");
    add(3000, "C2", ctTimeSynchro);
    file.engine.TimeOriginUserValue = 1500;

    TCursorDialog dialog;
    dialog.SetPreviewEngine(&file.engine);
    dialog.SetCursorObject(cursors.Cursor(0));
    EXPECT_EQ(dialog.windowTitle(), "Cursor properties");
    EXPECT_EQ(dialog.Form().CursorTypeValue->text(), "Waveform");
    EXPECT_FALSE(dialog.Form().UserTimeEdit->isEnabled());

    dialog.SetCursorObject(cursors.Cursor(1));
    EXPECT_EQ(dialog.Form().CursorTypeValue->text(), "Time Synchro");
    EXPECT_TRUE(dialog.Form().UserTimeEdit->isEnabled());
    EXPECT_EQ(dialog.UserTimeValue(), 1500);
    EXPECT_EQ(dialog.Form().CursorNameEdit->text(), "TimeSynchro");

    // A name follows every key; a time typed without Enter is taken on OK.
    dialog.Form().CursorNameEdit->clear();
    QTest::keyClicks(dialog.Form().CursorNameEdit, "Start");
    dialog.Form().UserTimeEdit->clear();
    QTest::keyClicks(dialog.Form().UserTimeEdit, "2.5s");
    shell.queueColor(QColor(1, 2, 3));
    QTest::mousePress(dialog.Form().CursorColorShape, Qt::LeftButton);
    QTest::mouseClick(dialog.Form().OK, Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.CursorObject().CursorName, "Start");
    EXPECT_EQ(dialog.CursorObject().CursorColor, 0x030201u);
    EXPECT_EQ(dialog.UserTimeValue(), 2500);
    EXPECT_EQ(dialog.CursorObject().SamplePosition, 3000) << "the sample is not the dialog's";
}

TEST_F(CursorWindowsTest, ACancelledColourKeepsTheCursorsColour)
{
    add(2000, "C1");
    TCursorDialog dialog;
    dialog.SetCursorObject(cursors.Cursor(0));
    QTest::mousePress(dialog.Form().CursorColorShape, Qt::LeftButton);  // no answer queued: cancelled
    EXPECT_EQ(dialog.CursorObject().CursorColor, cursors.Cursor(0).CursorColor);
    ASSERT_EQ(shell.colorDialogInitials().size(), 1u);
    EXPECT_EQ(toWinColor(shell.colorDialogInitials()[0]), cursors.Cursor(0).CursorColor);
}

class VoltagePanelTest : public WidgetTest {
protected:
    VoltagePanelTest()
    {
        engine.Startup();
        panel.SetActivateButton(&button);
        TUnitValueLabel* all[] = {&aDiff, &a1, &a2, &bDiff, &b1, &b2};
        for (auto* label : all)
            label->setControlType(2);
        panel.SetChannelAVoltage(&aDiff);
        panel.SetChannelAbsolute1A(&a1);
        panel.SetChannelAbsolute2A(&a2);
        panel.SetChannelBVoltage(&bDiff);
        panel.SetChannelAbsolute1B(&b1);
        panel.SetChannelAbsolute2B(&b2);
        panel.SetPreviewEngine(&engine);
    }
    ~VoltagePanelTest() override { engine.Shutdown(); }

    void notify(int code)
    {
        engine.Notify(code, kGroupAll);
        QApplication::processEvents();
    }

    TPreviewEnginePelkRM engine;
    TVoltagesControlVornRMPrv panel;
    TOnOffButtonVorn button;
    TUnitValueLabel aDiff, a1, a2, bDiff, b1, b2;
};

TEST_F(VoltagePanelTest, FollowsTheCrossesAndTheChannels)
{
    notify(enInitialize);
    EXPECT_FALSE(button.isEnabled()) << "no file yet";

    engine.NewFileOpened = true;
    engine.VoltageCursorsActive = true;
    engine.ChannelB = false;
    engine.VoltageCursor1ChannelA = 1500;
    engine.VoltageCursor2ChannelA = 500;
    engine.VoltageCursor1ChannelB = 200;
    notify(enVoltageCursorMoved);
    EXPECT_TRUE(button.isEnabled());
    EXPECT_TRUE(button.isChecked());
    EXPECT_EQ(aDiff.MainValue(), 1000);
    EXPECT_EQ(a1.MainValue(), 1500);
    EXPECT_FALSE(a2.ValueInValid());
    for (auto* label : {&bDiff, &b1, &b2})
        EXPECT_TRUE(label->ValueInValid()) << "channel B off";

    // Off: the values stay, every label is invalid and the differences disabled.
    QTest::mouseClick(&button, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_FALSE(engine.VoltageCursorsActive);
    EXPECT_FALSE(button.isChecked());
    EXPECT_EQ(aDiff.MainValue(), 1000);
    EXPECT_FALSE(aDiff.isEnabled());
    for (auto* label : {&aDiff, &a1, &a2, &bDiff, &b1, &b2})
        EXPECT_TRUE(label->ValueInValid());
}

TEST_F(VoltagePanelTest, AClickFromAnotherSenderOnlyBroadcasts)
{
    struct Count : IEngineListener {
        void EngineNotify(int code, int) override { toggles += code == enVoltageCursorsToggled; }
        int toggles = 0;
    } count;
    engine.RegisterListener(kGroupAll, &count);
    engine.VoltageCursorsActive = true;
    QObject other;
    panel.ButtonClick(&other);
    EXPECT_TRUE(engine.VoltageCursorsActive);
    EXPECT_EQ(count.toggles, 1);
    engine.UnregisterListener(kGroupAll, &count);
}

} // namespace
} // namespace rm::viewer
