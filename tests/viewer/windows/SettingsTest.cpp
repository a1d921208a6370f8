#include "../ViewerUiTest.h"

#include "ExclusiveFile.h"
#include "MessageBoxes.h"
#include "SettingsVornRMPrv.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace rm::viewer::test {
namespace {

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeAll(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

const std::string kHeader =
    "Inproper modification of this file may lead to SW malfunction\r\n" + std::string(61, '-') + "\r\n";

class SettingsTest : public ::testing::Test {
protected:
    SettingsTest() {
        settings.SetPreviewEngine(&engine);
        engine.Startup();
    }
    ~SettingsTest() override { engine.Shutdown(); }

    ScriptedMessages messages;
    TempCurrentFolder folder;
    TPreviewEnginePelkRM engine;
    TSettingsVornRMPrv settings;
};

TEST_F(SettingsTest, AMissingFileIsReportedOnceAndWrittenAtShutdownWith24Lines) {
    EXPECT_EQ(messages.texts(), (std::vector<std::string>{"File Preview.ini is missing"}));
    EXPECT_TRUE(engine.GridActive);
    engine.Shutdown();
    const std::string text = readAll("Preview.ini");
    EXPECT_EQ(text.rfind(kHeader, 0), 0u);
    size_t lines = 0;
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2))
        ++lines;
    EXPECT_EQ(lines, 24u);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    EXPECT_NE(text.find("\r\nGridColor: 8421504\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nColorChannelB: 65535\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nVoltageCursorsActive: true\r\n"), std::string::npos);
    EXPECT_TRUE(settings.PreviewEngine() == nullptr);  // unregistered
}

TEST_F(SettingsTest, EverySettingComesBackAndTheHeaderProposesSdata) {
    engine.IgnoreOverrun = true;
    engine.GridActive = false;
    engine.GridColor = 0x123456;
    engine.ColorChannelA = 0xFF;
    engine.SetSamplesPerPoint(64);
    engine.ChannelB = false;
    engine.ChannelD = true;
    engine.SingleMode = true;
    engine.MakeMaximum = true;
    engine.MainScreenWidth = 1000;
    engine.MainWindowHeight = 700;
    engine.Maximized = true;
    engine.VoltageCursorsActive = false;
    ASSERT_TRUE(settings.SaveToFile("Preview.ini"));

    TPreviewEnginePelkRM other;
    TSettingsVornRMPrv reader;
    reader.SetPreviewEngine(&other);
    ASSERT_TRUE(reader.LoadFromFile("Preview.ini"));
    EXPECT_TRUE(other.IgnoreOverrun);
    EXPECT_FALSE(other.GridActive);
    EXPECT_EQ(other.GridColor, 0x123456u);
    EXPECT_EQ(other.ColorChannelA, 0xFFu);
    EXPECT_EQ(other.SamplesPerPoint(), 64u);
    EXPECT_FALSE(other.ChannelB);
    EXPECT_TRUE(other.ChannelD);
    EXPECT_TRUE(other.SingleMode);
    EXPECT_TRUE(other.MakeMaximum);
    EXPECT_EQ(other.MainScreenWidth, 1000u);
    EXPECT_EQ(other.MainWindowHeight, 700u);
    EXPECT_TRUE(other.Maximized);
    EXPECT_FALSE(other.VoltageCursorsActive);
    EXPECT_EQ(other.OpenFileName(), "sdata.rmd");
    EXPECT_EQ(other.IndexFileName(), "sdata.ind");
}

TEST_F(SettingsTest, ZoomOffIsSavedWithOneSamplePerPoint) {
    engine.SetSamplesPerPoint(16);
    engine.SetZoomActive(false);
    ASSERT_TRUE(settings.SaveToFile("Preview.ini"));
    const std::string text = readAll("Preview.ini");
    EXPECT_NE(text.find("\r\nZoomActive: false\r\nSamplesPerPoint: 1\r\n"), std::string::npos);
}

TEST_F(SettingsTest, SamplesPerPointIsHeldToItsRangeAndABadLineIsSkippedWithTheFileClosed) {
    writeAll("a.ini", kHeader + "SamplesPerPoint: 0\r\n");
    ASSERT_TRUE(settings.LoadFromFile("a.ini"));
    EXPECT_EQ(engine.SamplesPerPoint(), 1u);
    writeAll("a.ini", kHeader + "SamplesPerPoint: 200000\r\n");
    ASSERT_TRUE(settings.LoadFromFile("a.ini"));
    EXPECT_EQ(engine.SamplesPerPoint(), 131072u);

    writeAll("a.ini", kHeader + "GridColor: 12x\r\nMainWindowWidth: 900\r\nColorChannelA: 255\r\n");
    engine.GridColor = 7;
    ASSERT_TRUE(settings.LoadFromFile("a.ini"));
    EXPECT_EQ(engine.GridColor, 7u);
    EXPECT_EQ(engine.MainWindowWidth, 900u);
    EXPECT_EQ(engine.ColorChannelA, 255u);
    ExclusiveFile again;  // nothing holds the file any more
    EXPECT_EQ(again.open(folder.file("a.ini"), ExclusiveFile::Mode::ReadOnly), ExclusiveFile::Result::Ok);
}

TEST_F(SettingsTest, KeyLinesWithoutTheHeaderLeaveTheDataFileName) {
    engine.SetOpenFileName("keep.rmd");
    std::ostringstream lines;
    for (const SettingsEntry& entry : TSettingsVornRMPrv::WriteSettings(engine))
        lines << entry.key << ": " << entry.value << "\r\n";
    writeAll("a.ini", lines.str());
    ASSERT_TRUE(settings.LoadFromFile("a.ini"));
    EXPECT_EQ(engine.OpenFileName(), "keep.rmd");
}

TEST_F(SettingsTest, CodesFiveAndSixUseTheUserSettingsFile) {
    messages.clear();
    engine.MainScreenHeight = 333;
    engine.Notify(enSaveUserSettings, kGroupAll);
    EXPECT_NE(readAll("PreviewSettings.dat").find("\r\nMainScreenHeight: 333\r\n"), std::string::npos);
    engine.MainScreenHeight = 1;
    engine.Notify(enLoadUserSettings, kGroupAll);
    EXPECT_EQ(engine.MainScreenHeight, 333u);
    EXPECT_TRUE(messages.texts().empty());
}

// A named pipe as "Preview.ini" is a read error at once (its open would wait
// for good); a read-only file or a folder in its place is not replaced at
// shutdown, with the file's name in the box.
TEST_F(SettingsTest, APipeAReadOnlyFileOrAFolderInPlaceOfTheSettingsFile) {
    ASSERT_EQ(mkfifo("Preview.ini", 0644), 0);
    messages.clear();
    EXPECT_FALSE(settings.LoadFromFile("Preview.ini"));
    EXPECT_EQ(messages.texts(), (std::vector<std::string>{"Error reading file"}));

    std::filesystem::remove("Preview.ini");
    writeAll("Preview.ini", kHeader);
    std::filesystem::permissions("Preview.ini", std::filesystem::perms(0444));
    std::filesystem::create_directory("PreviewSettings.dat");
    messages.clear();
    engine.Notify(enSaveUserSettings, kGroupAll);
    engine.Shutdown();
    EXPECT_EQ(messages.texts(), (std::vector<std::string>{"Cannot create file PreviewSettings.dat",
                                                          "Cannot create file Preview.ini"}));
    EXPECT_EQ(readAll("Preview.ini"), kHeader);
    std::filesystem::permissions("Preview.ini", std::filesystem::perms(0644));
}

} // namespace
} // namespace rm::viewer::test
