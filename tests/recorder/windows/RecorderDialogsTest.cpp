#include "DemoSetupForm.h"
#include "DialogTestSupport.h"
#include "MessageBoxes.h"
#include "NumEdit.h"
#include "RecorderDialogs.h"
#include "ShellSeams.h"
#include "VirtualDriverVornRM.h"
#include "VirtualScopeVornRM.h"

#include <QAccessible>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

// Counts the scope's broadcasts with the group each came with.
class RecorderDialogsTest : public ::testing::Test {
protected:
    RecorderDialogsTest() {
        dialogTestApp();
        scope_.RegisterListener(99, this, [this](TScopeNotifyCode code, int& group) {
            notified_.push_back({static_cast<int>(code), group});
        });
        scope_.Startup();
        notified_.clear();
    }
    ~RecorderDialogsTest() override { scope_.UnregisterListener(this); }

    static TNumEditVorn* edit(QWidget& dialog, const char* name) { return dialog.findChild<TNumEditVorn*>(name); }
    static void press(QWidget& dialog, const char* button) { dialog.findChild<QAbstractButton*>(button)->click(); }

    rm::ScriptedMessages messages_;
    rm::ScriptedShell shell_;
    TVirtualScopeVornRM scope_;
    std::vector<std::pair<int, int>> notified_;
};

TEST_F(RecorderDialogsTest, DemoSetupShowsTheScopesValuesAndItsTexts) {
    scope_.SetPeriodA(11);
    scope_.SetPeriodB(22);
    scope_.SetAmplitudeA(33);
    scope_.SetAmplitudeB(44);
    scope_.SetNoiseA(55);
    scope_.SetNoiseB(66);
    TDemoSetupForm form;
    EXPECT_EQ(edit(form, "PeriodChannelA")->text(), "300");  // the design's, until linked
    form.SetVirtualScope(scope_);
    EXPECT_EQ(form.windowTitle(), "Demo setup");
    EXPECT_EQ(edit(form, "PeriodChannelA")->text(), "11");
    EXPECT_EQ(edit(form, "PeriodChannelB")->text(), "22");
    EXPECT_EQ(edit(form, "AmpChannelA")->text(), "33");
    EXPECT_EQ(edit(form, "AmpChannelB")->text(), "44");
    EXPECT_EQ(edit(form, "NoiseChannelA")->text(), "55");
    EXPECT_EQ(edit(form, "NoiseChannelB")->text(), "66");
    EXPECT_EQ(form.findChild<QLabel*>("PeriodLabel")->text(), "Period");
    EXPECT_EQ(form.findChild<QLabel*>("PeriodLabel")->toolTip(), "Set the demo waveform period");
    EXPECT_EQ(form.findChild<QLabel*>("PeriodUnitLabel")->text(), "mS");
    EXPECT_EQ(form.findChild<QLabel*>("ChannelBLabel")->text(), "Channel B");
}

// A screen reader reads each edit by its row and column labels.
TEST_F(RecorderDialogsTest, DemoSetupEditsAreNamedByTheirLabels) {
    TDemoSetupForm form;
    const auto spoken = [&form](const char* name) {
        return QAccessible::queryAccessibleInterface(edit(form, name))->text(QAccessible::Name);
    };
    EXPECT_EQ(spoken("AmpChannelA"), "Amplitude Channel A");
    EXPECT_EQ(spoken("AmpChannelB"), "Amplitude Channel B");
    EXPECT_EQ(spoken("PeriodChannelA"), "Period Channel A");
    EXPECT_EQ(spoken("PeriodChannelB"), "Period Channel B");
    EXPECT_EQ(spoken("NoiseChannelA"), "Noise Channel A");
    EXPECT_EQ(spoken("NoiseChannelB"), "Noise Channel B");
    EXPECT_EQ(form.findChild<QLabel*>("NoiseLabel")->buddy(), edit(form, "NoiseChannelA"));
}

TEST_F(RecorderDialogsTest, DemoSetupOkTakesTheRoundedValuesAndAnnouncesThem) {
    whenModalShown([](QWidget& dialog) {
        edit(dialog, "PeriodChannelA")->setText("250");
        edit(dialog, "PeriodChannelB")->setText("12,5");  // rounds to the even 12
        edit(dialog, "AmpChannelA")->setText("-1500");
        edit(dialog, "AmpChannelB")->setText("2147483647");
        edit(dialog, "NoiseChannelA")->setText("7.6");
        edit(dialog, "NoiseChannelB")->setText("0");
        press(dialog, "Button1");
    });
    RunDemoSetup(nullptr, scope_);
    EXPECT_EQ(scope_.PeriodA(), 250);
    EXPECT_EQ(scope_.PeriodB(), 12);
    EXPECT_EQ(scope_.AmplitudeA(), -1500);
    EXPECT_EQ(scope_.AmplitudeB(), 2147483647);
    EXPECT_EQ(scope_.NoiseA(), 8);
    EXPECT_EQ(scope_.NoiseB(), 0);
    EXPECT_EQ(notified_, (std::vector<std::pair<int, int>>{{2, 255}}));
    EXPECT_TRUE(messages_.texts().empty());
}

TEST_F(RecorderDialogsTest, DemoSetupCancelChangesNothing) {
    whenModalShown([](QWidget& dialog) {
        edit(dialog, "PeriodChannelA")->setText("5");
        press(dialog, "Button2");
    });
    RunDemoSetup(nullptr, scope_);
    EXPECT_EQ(scope_.PeriodA(), 1000);
    EXPECT_TRUE(notified_.empty());
}

TEST_F(RecorderDialogsTest, DemoSetupRefusesWhatIsNotANumberAndPeriodsBelowOne) {
    whenModalShown([this](QWidget& dialog) {
        const auto refused = [&](const char* name, const char* text) {
            edit(dialog, name)->setText(text);
            press(dialog, "Button1");
            EXPECT_TRUE(dialog.isVisible()) << name << " " << text;
            EXPECT_EQ(dialog.focusWidget(), edit(dialog, name));
        };
        refused("AmpChannelA", "abc");
        refused("AmpChannelA", "");
        refused("AmpChannelA", "-");
        refused("AmpChannelA", "3000000000");
        edit(dialog, "AmpChannelA")->setText("100");
        refused("PeriodChannelB", "0");
        refused("PeriodChannelB", "-3");
        refused("PeriodChannelB", "0.4");
        EXPECT_EQ(messages_.texts().size(), 7u);
        EXPECT_EQ(messages_.texts().front(), "Please enter a number from -2147483648 to 2147483647.");
        EXPECT_EQ(messages_.texts().back(), "The period must be at least 1 mS.");
        edit(dialog, "PeriodChannelB")->setText("1");
        press(dialog, "Button1");
    });
    RunDemoSetup(nullptr, scope_);
    EXPECT_EQ(scope_.AmplitudeA(), 100);
    EXPECT_EQ(scope_.PeriodB(), 1);
    EXPECT_EQ(notified_.size(), 1u);
}

TEST_F(RecorderDialogsTest, ColorSetupOkCopiesTheFourColoursAndAnnouncesThem) {
    scope_.SetGridBrightness(50);
    shell_.queueColor(QColor(0x10, 0x20, 0x30));
    shell_.queueColor(std::nullopt);
    shell_.queueColor(QColor(0xFF, 0xFF, 0xFF));
    whenModalShown([](QWidget& dialog) {
        press(dialog, "fButtonSetColorA");
        press(dialog, "fButtonSetColorB");  // cancelled
        press(dialog, "fButtonSetColorGrid");
        press(dialog, "fButtonOK");
    });
    RunColorSetup(nullptr, scope_);
    EXPECT_EQ(scope_.ColorChannelA(), 0x302010u);
    EXPECT_EQ(scope_.ColorChannelB(), 0x00FFFFu);
    EXPECT_EQ(scope_.ColorGrid(), 0xFFFFFFu);
    EXPECT_EQ(scope_.RealGridColor(), TVirtualScopeVornRM::ScaleColor(0xFFFFFF, 0.5));  // through the setter
    EXPECT_EQ(scope_.BackgroundColor(), 0u);
    EXPECT_EQ(notified_, (std::vector<std::pair<int, int>>{{2, 14}}));
}

TEST_F(RecorderDialogsTest, ColorSetupCancelledOrClosedChangesNothing) {
    for (const bool close : {false, true}) {
        shell_.queueColor(QColor(Qt::red));
        whenModalShown([close](QWidget& dialog) {
            press(dialog, "fButtonSetColorBackground");
            if (close)
                dialog.close();
            else
                press(dialog, "fButtonCancel");
        });
        RunColorSetup(nullptr, scope_);
    }
    EXPECT_EQ(scope_.BackgroundColor(), 0u);
    EXPECT_TRUE(notified_.empty());
}

TEST_F(RecorderDialogsTest, AboutShowsTheProgramVersionAndTheDriversTexts) {
    TVirtualDriverVornRM driver;
    whenModalShown([&driver](QWidget& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "About");
        EXPECT_EQ(dialog.findChild<QLabel*>("DeviceObtainedVersionLabel")->text(), "1.00");
        EXPECT_EQ(dialog.findChild<QLabel*>("USBObtainedVersionLabel")->text(),
                  QString::fromStdString(driver.USBDriverVersion()));
        EXPECT_EQ(dialog.findChild<QLabel*>("DeviceSerialNumberLabel")->text(),
                  QString::fromStdString(driver.DeviceSerialNumber()));
        EXPECT_TRUE(dialog.findChild<QLabel*>("DeviceSerialNumberLabel")->isVisible());
        dialog.close();  // like OK
    });
    RunRecorderAbout(nullptr, driver);
    EXPECT_TRUE(notified_.empty());
}

} // namespace
