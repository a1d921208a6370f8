#include "AboutForm.h"
#include "DesktopLink.h"
#include "DialogTestSupport.h"
#include "MessageBoxes.h"
#include "SetColorForm.h"
#include "ShellSeams.h"
#include "VersionText.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

#include "ChannelIndicationButton.h"

namespace {

class DialogTest : public ::testing::Test {
protected:
    DialogTest() { dialogTestApp(); }
    rm::ScriptedShell shell_;
};

TEST(VersionTextTest, TheMinorNumberHasAtLeastTwoDigits) {
    EXPECT_EQ(VersionToString(1, 5), "1.05");
    EXPECT_EQ(VersionToString(1, 12), "1.12");
    EXPECT_EQ(VersionToString(2, 3), "2.03");
    EXPECT_EQ(VersionToString(1, 0), "1.00");
    EXPECT_EQ(VersionToString(10, 123), "10.123");
    EXPECT_EQ(VersionText(std::nullopt), "N/A");
    EXPECT_EQ(VersionText(rm::ProgramVersion{3, 7}), "3.07");
    EXPECT_EQ(VersionText(rm::kProgramVersion), "1.00");
}

// ---- Colour dialog ------------------------------------------------------------

class ColorFormTest : public DialogTest {
protected:
    TChannelIndicationButtonVorn* button(const char* name) {
        return form_.findChild<TChannelIndicationButtonVorn*>(name);
    }
    QString label(const char* name) { return form_.findChild<QLabel*>(name)->text(); }

    TSetColorForm form_;
};

TEST_F(ColorFormTest, ShowsItsTextsAndTheColoursItIsGiven) {
    EXPECT_EQ(form_.windowTitle(), "Color settings");
    EXPECT_EQ(label("LabelChannelA"), "Channel  A");
    EXPECT_EQ(label("LabelChannelB"), "Channel  B");
    EXPECT_EQ(label("LabelGrid"), "Grid");
    EXPECT_EQ(label("LabelBackground"), "Background");
    EXPECT_EQ(button("fButtonSetColorGrid")->text(), "Set    ");

    form_.SetColors({0x40FF00, 0x00FFFF, 0x808080, 0x102030});
    EXPECT_EQ(button("fButtonSetColorA")->ChannelColor(), QColor(0x00, 0xFF, 0x40));
    EXPECT_EQ(button("fButtonSetColorBackground")->ChannelColor(), QColor(0x30, 0x20, 0x10));
    const TDisplayColors colors = form_.Colors();
    EXPECT_EQ(colors.channelA, 0x40FF00u);
    EXPECT_EQ(colors.channelB, 0x00FFFFu);
    EXPECT_EQ(colors.grid, 0x808080u);
    EXPECT_EQ(colors.background, 0x102030u);
}

// "Set" stands whole in the face left of the colour mark, in the button's own
// font: the pixels the caption changes lie left of the mark and span the text.
TEST_F(ColorFormTest, SetCaptionsStandWholeLeftOfTheMark) {
    for (const char* name : {"fButtonSetColorA", "fButtonSetColorB", "fButtonSetColorGrid",
                             "fButtonSetColorBackground"}) {
        TChannelIndicationButtonVorn* setButton = button(name);
        const QImage with = setButton->grab().toImage();
        const QString caption = setButton->text();
        setButton->setText({});
        const QImage without = setButton->grab().toImage();
        setButton->setText(caption);
        int left = with.width(), right = -1;
        for (int y = 0; y < with.height(); ++y)
            for (int x = 0; x < with.width(); ++x)
                if (with.pixel(x, y) != without.pixel(x, y)) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        ASSERT_GE(right, 0) << name;
        EXPECT_LT(right, setButton->markRect().left()) << name;
        EXPECT_GE(right - left + 1, setButton->fontMetrics().horizontalAdvance("Set") - 2) << name;
    }
}

// A screen reader tells the four buttons apart by the label beside each.
TEST_F(ColorFormTest, SetButtonsAreNamedAfterTheirLabels) {
    const auto spoken = [this](const char* name) {
        return QAccessible::queryAccessibleInterface(button(name))->text(QAccessible::Name);
    };
    EXPECT_EQ(spoken("fButtonSetColorA"), "Set Channel A");
    EXPECT_EQ(spoken("fButtonSetColorB"), "Set Channel B");
    EXPECT_EQ(spoken("fButtonSetColorGrid"), "Set Grid");
    EXPECT_EQ(spoken("fButtonSetColorBackground"), "Set Background");
}

TEST_F(ColorFormTest, OkHasTheFocusAndComesFirstCancelIsTheDefault) {
    auto* ok = form_.findChild<QPushButton*>("fButtonOK");
    auto* cancel = form_.findChild<QPushButton*>("fButtonCancel");
    form_.show();
    QApplication::processEvents();
    EXPECT_EQ(form_.focusWidget(), ok);
    EXPECT_EQ(ok->nextInFocusChain(), cancel);
    // Enter takes the focused button; away from the push buttons it is Cancel.
    button("fButtonSetColorA")->setFocus();
    EXPECT_TRUE(cancel->isDefault());
    EXPECT_FALSE(ok->isDefault());
}

TEST_F(ColorFormTest, TheColourDialogOpensWithTheColourLastConfirmedInIt) {
    form_.SetColors({0x000001, 0x000002, 0x000003, 0x000004});
    shell_.queueColor(QColor(Qt::red));
    button("fButtonSetColorA")->click();
    shell_.queueColor(std::nullopt);  // cancelled: keeps B
    button("fButtonSetColorB")->click();
    shell_.queueColor(QColor(Qt::blue));
    button("fButtonSetColorGrid")->click();
    button("fButtonSetColorBackground")->click();  // cancelled as well

    EXPECT_EQ(shell_.colorDialogInitials(),
              (std::vector<QColor>{QColor(Qt::black), QColor(Qt::red), QColor(Qt::red), QColor(Qt::blue)}));
    const TDisplayColors colors = form_.Colors();
    EXPECT_EQ(colors.channelA, 0x0000FFu);
    EXPECT_EQ(colors.channelB, 0x000002u);
    EXPECT_EQ(colors.grid, 0xFF0000u);
    EXPECT_EQ(colors.background, 0x000004u);
}

TEST_F(ColorFormTest, OkAcceptsCancelEscapeAndClosingReject) {
    whenModalShown([](QWidget& dialog) { dialog.findChild<QPushButton*>("fButtonOK")->click(); });
    EXPECT_EQ(form_.exec(), QDialog::Accepted);
    whenModalShown([](QWidget& dialog) { dialog.findChild<QPushButton*>("fButtonCancel")->click(); });
    EXPECT_EQ(form_.exec(), QDialog::Rejected);
    whenModalShown([](QWidget& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); });
    EXPECT_EQ(form_.exec(), QDialog::Rejected);
    whenModalShown([](QWidget& dialog) { dialog.close(); });
    EXPECT_EQ(form_.exec(), QDialog::Rejected);
    // Enter on the focused OK takes it.
    whenModalShown([](QWidget& dialog) { QTest::keyClick(dialog.focusWidget(), Qt::Key_Return); });
    EXPECT_EQ(form_.exec(), QDialog::Accepted);
    // Enter on a colour button takes the default, Cancel.
    whenModalShown([](QWidget& dialog) {
        auto* colourButton = dialog.findChild<QWidget*>("fButtonSetColorGrid");
        colourButton->setFocus();
        QTest::keyClick(colourButton, Qt::Key_Return);
    });
    EXPECT_EQ(form_.exec(), QDialog::Rejected);
}

// ---- About box ----------------------------------------------------------------

QLabel* labelOf(QWidget& form, const char* name) { return form.findChild<QLabel*>(name); }

TEST_F(DialogTest, RecorderAboutShowsVersionsAndSerialNumber) {
    TAboutForm about(TAboutForm::Variant::Recorder);
    about.SetSoftwareVersion("1.00");
    about.SetUSBDriverVersion("2.05");
    about.SetDeviceSerialNumber("SN-4711");
    about.show();
    EXPECT_EQ(about.windowTitle(), "About");
    EXPECT_EQ(labelOf(about, "Find")->text(), "Find us at:");
    EXPECT_EQ(labelOf(about, "Contact")->text(), "Contact us at:");
    EXPECT_EQ(labelOf(about, "SoftwareVersionLabel")->text(), "Software version:");
    EXPECT_EQ(labelOf(about, "DeviceObtainedVersionLabel")->text(), "1.00");
    EXPECT_EQ(labelOf(about, "USBDriverVersionLabel")->text(), "USB driver version:");
    EXPECT_EQ(labelOf(about, "USBObtainedVersionLabel")->text(), "2.05");
    EXPECT_EQ(labelOf(about, "DeviceSNCaptionLabel")->text(), "Device SN:");
    EXPECT_EQ(labelOf(about, "DeviceSerialNumberLabel")->text(), "SN-4711");
    EXPECT_TRUE(labelOf(about, "DeviceSerialNumberLabel")->isVisible());
    EXPECT_FALSE(labelOf(about, "BackgroundImage")->isVisible());
    EXPECT_FALSE(labelOf(about, "BackgroundImageLumbra")->isVisible());
    EXPECT_TRUE(about.findChild<QPushButton*>("DialogOK")->isDefault());
}

TEST_F(DialogTest, ViewerAboutHasItsPictureAndNoDeviceLines) {
    TAboutForm about(TAboutForm::Variant::Viewer);
    about.SetSoftwareVersion("N/A");
    about.show();
    EXPECT_EQ(labelOf(about, "DeviceObtainedVersionLabel")->text(), "N/A");
    for (const char* name : {"USBDriverVersionLabel", "USBObtainedVersionLabel", "DeviceSNCaptionLabel",
                             "DeviceSerialNumberLabel", "BackgroundImageLumbra"})
        EXPECT_FALSE(labelOf(about, name)->isVisible()) << name;
    QLabel* picture = labelOf(about, "BackgroundImage");
    EXPECT_TRUE(picture->isVisible());
    EXPECT_EQ(picture->pixmap().size(), QSize(360, 210));
}

TEST_F(DialogTest, ClickingALinkOpensItAndKeepsTheBoxOpen) {
    TAboutForm about(TAboutForm::Variant::Recorder);
    whenModalShown([this](QWidget& dialog) {
        QTest::mouseClick(labelOf(dialog, "CompanySite"), Qt::LeftButton);
        QTest::mouseClick(labelOf(dialog, "CompanyMail"), Qt::LeftButton);
        QTest::mouseClick(labelOf(dialog, "CompanyMail"), Qt::RightButton);  // not a click on the link
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(shell_.openedUrls(), (std::vector<QUrl>{QUrl("https://www.example.com/"),
                                                          QUrl("mailto:support@example.com")}));
        dialog.findChild<QPushButton*>("DialogOK")->click();
    });
    EXPECT_EQ(about.exec(), QDialog::Accepted);
    EXPECT_EQ(labelOf(about, "CompanySite")->text(), "www.example.com");
    EXPECT_EQ(labelOf(about, "CompanyMail")->text(), "support@example.com");
}

// ---- Pages and addresses ------------------------------------------------------

// Nothing on the machine opens it: a message names the page, file or address.
TEST_F(DialogTest, WhatNothingOpensIsNamedInAMessage) {
    rm::ScriptedMessages messages;
    EXPECT_TRUE(rm::openOrTell(QUrl("https://www.example.com/")));
    EXPECT_TRUE(messages.texts().empty());

    shell_.setOpensUrls(false);
    EXPECT_FALSE(rm::openOrTell(QUrl::fromLocalFile("/opt/rm/Help/help.htm")));
    EXPECT_FALSE(rm::openOrTell(QUrl("https://www.example.com/")));
    EXPECT_FALSE(rm::openOrTell(QUrl("mailto:support@example.com")));
    const auto shown = messages.shown();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].text,
              "/opt/rm/Help/help.htm could not be opened: there is no program on this computer to open it.");
    EXPECT_EQ(shown[1].text.rfind("https://www.example.com/ could not be opened", 0), 0u);
    EXPECT_EQ(shown[2].text.rfind("support@example.com could not be opened", 0), 0u);
    EXPECT_EQ(shown[2].icon, rm::MsgIcon::Warning);
}

} // namespace
