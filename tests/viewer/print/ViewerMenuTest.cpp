// The viewer's Print, Color settings, Help and About commands on the main
// window's form, with the dialogs answered by the test.
#include "AboutForm.h"
#include "MessageBoxes.h"
#include "PrintDialogSeam.h"
#include "PreviewEngine.h"
#include "PreviewMenuCommands.h"
#include "PreviewScreenPelkRM.h"
#include "SetColorForm.h"
#include "ShellSeams.h"
#include "WidgetTestApp.h"
#include "ui_PreviewScreenRM.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMainWindow>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace rm::viewer {
namespace {

class Redraws : public IEngineListener {
public:
    void EngineNotify(int code, int group) override
    {
        if (code == enRedraw)
            groups.push_back(group);
    }
    std::vector<int> groups;
};

class ViewerMenuTest : public WidgetTest {
protected:
    ViewerMenuTest()
    {
        folder_ = QDir::currentPath();
        QDir::setCurrent(dir_.path());
        form_.setupUi(&window_);
        engine_.RegisterListener(kGroupAll, &redraws_);
        engine_.Startup();
    }
    ~ViewerMenuTest() override
    {
        engine_.Shutdown();
        QDir::setCurrent(folder_);
    }

    QString folder_;
    QTemporaryDir dir_;
    ScriptedShell shell_;
    ScriptedMessages messages_;
    ScriptedPrintDialog printDialog_;
    QMainWindow window_;
    Ui::TPreviewScreenRM form_;
    TPreviewEnginePelkRM engine_;
    Redraws redraws_;
};

TEST_F(ViewerMenuTest, ColourSettingsCancelledChangeNothingAndOKRecolours)
{
    TPreviewMenuCommands commands(form_, engine_, *form_.PreviewScreenVornRM);
    const TColor before = engine_.ColorChannelA;
    commands.SetDialogRunner([](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Color settings");
        return false;
    });
    form_.ColorSettings1->trigger();
    EXPECT_EQ(engine_.ColorChannelA, before);
    EXPECT_TRUE(redraws_.groups.empty());

    commands.SetDialogRunner([](QDialog& dialog) {
        static_cast<TSetColorForm&>(dialog).SetColors({0x0000FF, 0x00FF00, 0xFF0000, 0x112233});
        return true;
    });
    form_.ColorSettings1->trigger();
    EXPECT_EQ(engine_.ColorChannelA, 0x0000FFu);
    EXPECT_EQ(engine_.ColorChannelB, 0x00FF00u);
    EXPECT_EQ(engine_.GridColor, 0xFF0000u);
    EXPECT_EQ(engine_.BackgroundColor, 0x112233u);
    EXPECT_EQ(redraws_.groups, std::vector<int>{kGroupColorDialog});
}

TEST_F(ViewerMenuTest, AboutShowsTheVersionAndHelpOpensTheHelpPage)
{
    TPreviewMenuCommands commands(form_, engine_, *form_.PreviewScreenVornRM);
    QString version;
    commands.SetDialogRunner([&](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "About");
        version = dialog.findChild<QLabel*>("DeviceObtainedVersionLabel")->text();
        return true;
    });
    form_.About1->trigger();
    EXPECT_EQ(version, "1.00");

    form_.IndexMenuItem->trigger();
    form_.norvakwebmenuitem->trigger();
    form_.supportmenuitem->trigger();
    const auto urls = shell_.openedUrls();
    ASSERT_EQ(urls.size(), 3u);
    EXPECT_EQ(urls[0], QUrl::fromLocalFile(QDir(dir_.path()).filePath("Help/help.htm")));
    EXPECT_EQ(urls[1].host(), "www.example.com");
    EXPECT_EQ(urls[2].scheme(), "mailto");
}

TEST_F(ViewerMenuTest, PrintAsksWhereThePageGoesThenWritesItThroughThePrintLibrary)
{
    TPreviewMenuCommands commands(form_, engine_, *form_.PreviewScreenVornRM);
    form_.Print1->trigger();  // no file open: nothing
    EXPECT_TRUE(printDialog_.proposals().empty());

    engine_.NewFileOpened = true;
    form_.Print1->trigger();  // the dialog cancelled: nothing written
    ASSERT_EQ(printDialog_.proposals().size(), 1u);
    EXPECT_EQ(printDialog_.proposals()[0], QDir(dir_.path()).filePath("PelkView.pdf"));
    EXPECT_TRUE(QDir(dir_.path()).isEmpty());

    form_.ChannelAVoltage->setMyString("1.5V");
    EXPECT_EQ(commands.CursorInfoText().substr(0, 9), "A = 1.5V ");
    printDialog_.queueAnswer(ScriptedPrintDialog::Answer{});
    form_.Print1->trigger();
    EXPECT_TRUE(messages_.texts().empty());
    std::ifstream pdf("PelkView.pdf", std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(pdf), {}};
    ASSERT_GT(bytes.size(), 4u);
    EXPECT_EQ(bytes.substr(0, 4), "%PDF");
    EXPECT_TRUE(QFile::exists("PelkView.lay"));
}

TEST_F(ViewerMenuTest, APrintThatCannotBeWrittenIsToldOnceAndReportedAsFailed)
{
    TPreviewMenuCommands commands(form_, engine_, *form_.PreviewScreenVornRM);
    ASSERT_TRUE(QDir().mkdir("PelkView.pdf"));
    printDialog_.queueAnswer(ScriptedPrintDialog::Answer{});
    EXPECT_FALSE(TPrintBridge(commands).Print());
    ASSERT_EQ(messages_.texts().size(), 1u);
    EXPECT_NE(messages_.texts()[0].find(QDir(dir_.path()).filePath("PelkView.pdf").toStdString()), std::string::npos)
        << messages_.texts()[0];
}

// With no program on the machine for them, the Help entries say so, naming
// the help page, the web page and the mail address.
TEST_F(ViewerMenuTest, HelpEntriesSayWhenNothingOpensThem)
{
    TPreviewMenuCommands commands(form_, engine_, *form_.PreviewScreenVornRM);
    messages_.clear();
    shell_.setOpensUrls(false);
    form_.IndexMenuItem->trigger();
    form_.norvakwebmenuitem->trigger();
    form_.supportmenuitem->trigger();
    const auto texts = messages_.texts();
    ASSERT_EQ(texts.size(), 3u);
    const std::string page = QDir(dir_.path()).filePath("Help/help.htm").toStdString();
    EXPECT_EQ(texts[0].rfind(page + " could not be opened", 0), 0u) << texts[0];
    EXPECT_EQ(texts[1].rfind("https://www.example.com/ could not be opened", 0), 0u) << texts[1];
    EXPECT_EQ(texts[2].rfind("support@example.com could not be opened", 0), 0u) << texts[2];
}

} // namespace
} // namespace rm::viewer
