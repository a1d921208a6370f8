#include "ExclusiveFile.h"
#include "MessageBoxes.h"
#include "SettingsVornRM.h"
#include "TempFolder.h"
#include "VirtualScopeVornRM.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <filesystem>
#include <random>
#include <sstream>
#include <thread>
#include <vector>

namespace {

const std::string kHeader =
    "Inproper modification of this file may lead to SW malfunction\r\n"
    "-------------------------------------------------------------\r\n";

// The folder a test runs in: the component's file names are relative.
class SettingsTest : public ::testing::Test {
protected:
    SettingsTest() : previous_(std::filesystem::current_path()) { std::filesystem::current_path(folder_.file("")); }
    ~SettingsTest() override { std::filesystem::current_path(previous_); }

    static std::vector<std::string> linesOf(const std::string& bytes) {
        std::vector<std::string> lines;
        size_t start = 0;
        for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
            lines.push_back(bytes.substr(start, end - start));
        EXPECT_EQ(start, bytes.size()) << "text after the last CR LF";
        return lines;
    }
    static bool isClosed(const std::string& file) {
        rm::ExclusiveFile probe;
        return probe.open(file, rm::ExclusiveFile::Mode::ReadOnly) == rm::ExclusiveFile::Result::Ok;
    }

    rm::ScriptedMessages messages_;
    TempFolder folder_;
    std::filesystem::path previous_;
    TVirtualScopeVornRM scope_;
    TSettingsVornRM settings_;
};

// Every key with a value that is not its default (nor the scope's initial one).
void setEverything(TVirtualScopeVornRM& s) {
    s.SetMainWindowHeight(611);
    s.SetMainWindowWidth(833);
    s.SetStatusChannelA(false);
    s.SetStatusChannelB(false);
    s.SetColorChannelA(0x123456);
    s.SetColorChannelB(0x654321);
    s.SetColorGrid(0x808080);
    s.SetBackgroundColor(0x102030);
    s.SetMakeMaximum(false);
    s.SetMakeMinimum(false);
    s.SetMakeAvg(true);
    s.SetSingleMode(true);
    s.SetDensityChannelA(3);
    s.SetDensityChannelB(9);
    s.SetMaxChannelA(150);
    s.SetMaxChannelB(151);
    s.SetVerticalLevelChannelA(4095);
    s.SetVerticalLevelChannelB(1);
    s.SetSourceACDC_A(false);
    s.SetSourceACDC_B(false);
    s.SetSourceProbeA(2);
    s.SetSourceProbeB(4);
    s.SetModeLine(false);
    s.SetModeBF(true);
    s.SetModeEKG(false);
    s.SetDisplayActive(false);
    s.SetGridBrightness(40);
    s.SetGrid(false);
    s.SetMainScreenMaximized(true);
    s.SetShowRirizHelp(false);
    s.SetTriggerSourceA(true);
    s.SetTriggerSourceB(true);
    s.SetTriggerLevelA(1.5E-7);
    s.SetTriggerLevelB(-2500.25);
    s.SetTriggerUnderA(true);
    s.SetTriggerUnderB(false);
    s.SetTriggerRelation(true);
    s.SetSMPSetting(15);
    s.SetDSPSetting(16);
    s.SetBoostThread(false);
    s.SetMeasurementLength(3000000000u);
    s.SetRecordTriggered(true);
    s.SetRecordFree(false);
    s.SetMeasurementDefined(true);
    s.SetARMSourceA(true);
    s.SetARMSourceB(true);
    s.SetARMSourceExternal(true);
    s.SetARMUnderA(true);
    s.SetARMUnderB(true);
    s.SetARMUnderExternal(false);
    s.SetARMLevelA(1E20);
    s.SetARMLevelB(-0.001);
    s.SetPeriodA(1);
    s.SetPeriodB(123456);
    s.SetAmplitudeA(-5);
    s.SetAmplitudeB(7000);
    s.SetNoiseA(12);
    s.SetNoiseB(2147483647);
}

const std::vector<std::string> kEverythingLines = {
    "Inproper modification of this file may lead to SW malfunction",
    "-------------------------------------------------------------",
    "MainWindowHeight: 611", "MainWindowWidth: 833", "StatusChannelA: false", "StatusChannelB: false",
    "ColorChannelA: 1193046", "ColorChannelB: 6636321", "ColorGrid: 8421504", "BackgroundColor: 1056816",
    "MakeMaximum: false", "MakeMinimum: false", "MakeAvg: true", "SingleMode: true", "DensityChannelA: 3",
    "DensityChannelB: 9", "MaxChannelA: 150", "MaxChannelB: 151", "VerticalLevelChannelA: 4095",
    "VerticalLevelChannelB: 1", "SourceACDC_A: false", "SourceACDC_B: false", "SourceProbeA: 2",
    "SourceProbeB: 4", "ModeLine: false", "ModeBF: true", "ModeEKG: false", "DisplayActive: false",
    "GridBrightness: 40", "Grid: false", "MainScreenMaximized: true", "MainWindowWidth: 833",
    "MainWindowHeight: 611", "ShowRirizHelp: false", "TriggerSourceA: true", "TriggerSourceB: true",
    "TriggerLevelA: 1.5E-7", "TriggerLevelB: -2500.25", "TriggerUnderA: true", "TriggerUnderB: false",
    "TriggerRelation: true", "SMPSetting: 15", "DSPSetting: 16", "BoostThread: false",
    "MeasurementLength: -1294967296", "RecordTriggered: true", "RecordFree: false", "MeasurementDefined: true",
    "ARMSourceA: true", "ARMSourceB: true", "ARMSourceExternal: true", "ARMUnderA: true", "ARMUnderB: true",
    "ARMUnderExternal: false", "ARMLevelA: 1E20", "ARMLevelB: -0.001", "PeriodA: 1", "PeriodB: 123456",
    "AmplitudeA: -5", "AmplitudeB: 7000", "NoiseA: 12", "NoiseB: 2147483647",
};

TEST_F(SettingsTest, SavedFileHoldsTheSixtyKeyLinesInOrderWithCrLf) {
    settings_.SetVirtualScope(&scope_);
    setEverything(scope_);
    settings_.SaveToFile("RadaDazi.ini");
    const std::string bytes = TempFolder::read("RadaDazi.ini");
    EXPECT_EQ(linesOf(bytes), kEverythingLines);
    EXPECT_EQ(kEverythingLines.size(), 62u);
    EXPECT_TRUE(messages_.texts().empty());
}

TEST_F(SettingsTest, ARoundTripGivesEveryPropertyItsWrittenValue) {
    settings_.SetVirtualScope(&scope_);
    setEverything(scope_);
    settings_.SaveToFile("RadaDaziSettings.dat");

    TVirtualScopeVornRM other;
    TSettingsVornRM reader;
    reader.SetVirtualScope(&other);
    reader.LoadFromFile("RadaDaziSettings.dat");
    EXPECT_EQ(other.MeasurementLength(), 3000000000u);
    EXPECT_EQ(other.TriggerLevelA(), 1.5E-7);
    EXPECT_EQ(other.ARMLevelA(), 1E20);
    EXPECT_EQ(other.ColorChannelA(), 0x123456u);
    EXPECT_EQ(other.RealGridColor(), TVirtualScopeVornRM::ScaleColor(0x808080, 0.4));
    EXPECT_EQ(other.SourceProbeB(), 4);
    EXPECT_EQ(other.NoiseB(), 2147483647);
    EXPECT_EQ(other.GetFileName(), "sdata.rmd");

    // Written again, the file is the same byte for byte.
    reader.SaveToFile("again.dat");
    EXPECT_EQ(TempFolder::read("again.dat"), TempFolder::read("RadaDaziSettings.dat"));
    EXPECT_TRUE(messages_.texts().empty());
}

TEST_F(SettingsTest, LinesAreReadExactlyAsWrittenAndAKeyGivenTwiceTakesTheLaterValue) {
    settings_.SetVirtualScope(&scope_);
    TempFolder::write("a.ini", kHeader +
                                   "Grid:true\r\n"
                                   "ModeBF: true \r\n"
                                   "makeavg: true\r\n"
                                   "SingleMode: True\r\n"
                                   "MakeAvg true\r\n"
                                   "PeriodA: 10\nPeriodA: 20\rPeriodB: 30\r\n"
                                   "Unknown: 5\r\n");
    settings_.LoadFromFile("a.ini");
    EXPECT_FALSE(scope_.Grid());
    EXPECT_FALSE(scope_.ModeBF());
    EXPECT_FALSE(scope_.MakeAvg());
    EXPECT_FALSE(scope_.SingleMode());
    EXPECT_EQ(scope_.PeriodA(), 20);
    EXPECT_EQ(scope_.PeriodB(), 30);
    EXPECT_TRUE(messages_.texts().empty());
}

TEST_F(SettingsTest, TheScopesRulesApplyInFileOrder) {
    settings_.SetVirtualScope(&scope_);
    TempFolder::write("a.ini", kHeader +
                                   "DensityChannelA: 0\r\nDensityChannelB: 12\r\n"
                                   "VerticalLevelChannelA: 4096\r\nVerticalLevelChannelB: 0\r\n"
                                   "DSPSetting: 0\r\nSMPSetting: 2\r\n");
    settings_.LoadFromFile("a.ini");
    EXPECT_EQ(scope_.DensityChannelA(), 1);
    EXPECT_EQ(scope_.DensityChannelB(), 9);
    EXPECT_EQ(scope_.VerticalLevelChannelA(), 1351);
    EXPECT_EQ(scope_.VerticalLevelChannelB(), 1433);
    // DSPSetting 0 first (the rate 10 needs no raise), then SMPSetting 2 raises it to 1.
    EXPECT_EQ(scope_.SMPSetting(), 2);
    EXPECT_EQ(scope_.DSPSetting(), 1);
}

TEST_F(SettingsTest, AProbeOutsideOneToFourIsRefused) {
    settings_.SetVirtualScope(&scope_);
    scope_.SetSourceProbeA(2);
    TempFolder::write("a.ini", kHeader + "SourceProbeA: 7\r\nSourceProbeB: 0\r\nSourceProbeB: 3\r\n");
    settings_.LoadFromFile("a.ini");
    EXPECT_EQ(scope_.SourceProbeA(), 2);
    EXPECT_EQ(scope_.SourceProbeB(), 3);
    EXPECT_EQ(scope_.Deflection(TVirtualScopeVornRM::kChannelA), 1000 * 10);  // density 7, probe 1:10
}

TEST_F(SettingsTest, ABadNumberSkipsItsLineTheRestIsReadAndTheFileIsClosed) {
    settings_.SetVirtualScope(&scope_);
    TempFolder::write("a.ini", kHeader +
                                   "PeriodA: 12abc\r\n"
                                   "PeriodB: 99999999999999999999\r\n"
                                   "TriggerLevelA: 1,5\r\n"
                                   "AmplitudeA:\r\n"
                                   "NoiseA: 77\r\n");
    settings_.LoadFromFile("a.ini");
    EXPECT_EQ(scope_.PeriodA(), 1000);
    EXPECT_EQ(scope_.PeriodB(), 2000);
    EXPECT_EQ(scope_.TriggerLevelA(), 200);
    EXPECT_EQ(scope_.AmplitudeA(), 3000);
    EXPECT_EQ(scope_.NoiseA(), 77);
    EXPECT_TRUE(isClosed("a.ini"));
    std::filesystem::rename("a.ini", "b.ini");
    EXPECT_TRUE(messages_.texts().empty());
}

TEST_F(SettingsTest, EmptyAndOneByteFilesChangeNothingAHeaderOnlyFileSetsTheDataFileName) {
    settings_.SetVirtualScope(&scope_);
    scope_.SetFileName("mine.rmd");
    for (const char* bytes : {"", "x", "\r\n\r\n"}) {
        TempFolder::write("a.ini", bytes);
        settings_.LoadFromFile("a.ini");
        EXPECT_EQ(scope_.GetFileName(), "mine.rmd") << '"' << bytes << '"';
    }
    TempFolder::write("a.ini", kHeader);
    settings_.LoadFromFile("a.ini");
    EXPECT_EQ(scope_.GetFileName(), "sdata.rmd");
    EXPECT_EQ(scope_.PeriodA(), 1000);
    EXPECT_TRUE(messages_.texts().empty());
}

TEST_F(SettingsTest, AMissingAutoFileShowsOneBoxAtStartUpAndIsWrittenAtShutdown) {
    settings_.SetVirtualScope(&scope_);
    scope_.Startup();
    EXPECT_EQ(messages_.texts(), (std::vector<std::string>{"File RadaDazi.ini is missing."}));
    EXPECT_EQ(messages_.shown().front().icon, rm::MsgIcon::Error);
    EXPECT_EQ(scope_.GetFileName(), "sdata.rmd");  // the name every later start proposes
    EXPECT_EQ(scope_.DensityChannelA(), 7);

    scope_.Shutdown();
    EXPECT_EQ(scope_.Listeners().ListenerCount(), 0);
    EXPECT_EQ(settings_.VirtualScope(), nullptr);
    EXPECT_EQ(linesOf(TempFolder::read("RadaDazi.ini")).size(), 62u);
    EXPECT_EQ(messages_.texts().size(), 1u);
}

TEST_F(SettingsTest, MenuCodesSaveLoadAndRestoreDefaults) {
    settings_.SetVirtualScope(&scope_);
    scope_.Startup();
    messages_.clear();

    scope_.SetPeriodA(444);
    scope_.Notify(TScopeNotifyCode::snSaveUserSettings, ScopeGroup::MainWindow);
    scope_.SetPeriodA(555);
    scope_.Notify(TScopeNotifyCode::snLoadUserSettings, ScopeGroup::MainWindow);
    EXPECT_EQ(scope_.PeriodA(), 444);

    setEverything(scope_);
    scope_.Notify(TScopeNotifyCode::snRestoreDefaults, ScopeGroup::MainWindow);
    EXPECT_EQ(scope_.DensityChannelA(), 8);
    EXPECT_EQ(scope_.MaxChannelA(), 217);
    EXPECT_EQ(scope_.VerticalLevelChannelA(), 2094);
    EXPECT_EQ(scope_.VerticalLevelChannelB(), 2079);
    EXPECT_EQ(scope_.ColorChannelA(), 0x40FF00u);
    EXPECT_EQ(scope_.TriggerLevelA(), 0);
    EXPECT_TRUE(scope_.TriggerUnderB());
    EXPECT_EQ(scope_.SMPSetting(), 2);
    EXPECT_EQ(scope_.DSPSetting(), 3);
    EXPECT_EQ(scope_.MeasurementLength(), 2000u);
    EXPECT_TRUE(scope_.ARMUnderExternal());
    EXPECT_EQ(scope_.NoiseB(), 0);
    EXPECT_TRUE(scope_.TriggerRelation());  // not a default
    // ... and written at once.
    const auto lines = linesOf(TempFolder::read("RadaDazi.ini"));
    ASSERT_EQ(lines.size(), 62u);
    EXPECT_EQ(lines[14], "DensityChannelA: 8");
    EXPECT_EQ(lines[40], "TriggerRelation: true");
    EXPECT_TRUE(messages_.texts().empty());
}

TEST_F(SettingsTest, AFailedWriteShowsOneBoxAndKeepsThePreviousFileWhole) {
    settings_.SetVirtualScope(&scope_);
    settings_.SaveToFile("RadaDazi.ini");
    const std::string previous = TempFolder::read("RadaDazi.ini");
    setEverything(scope_);

    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit before{};
    getrlimit(RLIMIT_FSIZE, &before);
    rlimit limit = before;
    limit.rlim_cur = 500;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    settings_.SaveToFile("RadaDazi.ini");
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(messages_.texts(), (std::vector<std::string>{"Write to file failed."}));
    EXPECT_EQ(TempFolder::read("RadaDazi.ini"), previous);

    messages_.clear();
    settings_.SaveToFile("no-folder/RadaDazi.ini");
    EXPECT_EQ(messages_.texts(), (std::vector<std::string>{"Cannot create file no-folder/RadaDazi.ini"}));
}

TEST_F(SettingsTest, AFileThatCannotBeReadSaysSo) {
    settings_.SetVirtualScope(&scope_);
    std::filesystem::create_directory("RadaDaziSettings.dat");
    scope_.SetFileName("mine.rmd");
    settings_.LoadFromFile("RadaDaziSettings.dat");
    EXPECT_EQ(messages_.texts(), (std::vector<std::string>{"Error reading file."}));
    EXPECT_EQ(scope_.GetFileName(), "mine.rmd");
}

// A named pipe as "RadaDazi.ini" does not hold the start-up (its open would
// wait for a writer for good): a read error. A read-only file survives
// "Restore defaults", and a folder in a settings file's place cannot be
// written; both say so with the file's name.
TEST_F(SettingsTest, APipeAReadOnlyFileOrAFolderInPlaceOfASettingsFile) {
    ASSERT_EQ(mkfifo("RadaDazi.ini", 0644), 0);
    settings_.SetVirtualScope(&scope_);
    scope_.SetFileName("mine.rmd");
    scope_.Startup();
    EXPECT_EQ(messages_.texts(), (std::vector<std::string>{"Error reading file."}));
    EXPECT_EQ(scope_.GetFileName(), "mine.rmd");

    std::filesystem::remove("RadaDazi.ini");
    TempFolder::write("RadaDazi.ini", kHeader);
    std::filesystem::permissions("RadaDazi.ini", std::filesystem::perms(0444));
    std::filesystem::create_directory("RadaDaziSettings.dat");
    messages_.clear();
    scope_.Notify(TScopeNotifyCode::snRestoreDefaults, ScopeGroup::MainWindow);
    scope_.Notify(TScopeNotifyCode::snSaveUserSettings, ScopeGroup::MainWindow);
    EXPECT_EQ(messages_.texts(), (std::vector<std::string>{"Cannot create file RadaDazi.ini",
                                                           "Cannot create file RadaDaziSettings.dat"}));
    EXPECT_EQ(TempFolder::read("RadaDazi.ini"), kHeader);
    EXPECT_TRUE(std::filesystem::is_directory("RadaDaziSettings.dat"));
    std::filesystem::permissions("RadaDazi.ini", std::filesystem::perms(0644));
}

TEST_F(SettingsTest, ALoadWhileTheProcessingThreadAppendsLosesNoWord) {
    TempFolder::write("RadaDazi.ini", kHeader);
    settings_.SetVirtualScope(&scope_);
    scope_.Startup();
    ASSERT_EQ(scope_.GetFileName(), "sdata.rmd");
    scope_.SetSavingActivated(true);
    settings_.SaveToFile("RadaDaziSettings.dat");

    constexpr uint16_t kWords = 20000;
    std::thread processing([&] {
        for (uint16_t n = 1; n <= kWords; ++n)
            scope_.AppendToFile(&n, 1);
    });
    for (int i = 0; i < 50; ++i)
        settings_.LoadFromFile("RadaDaziSettings.dat");
    processing.join();
    scope_.SetSavingActivated(false);

    const auto words = TempFolder::readWords("sdata.rmd");
    ASSERT_EQ(words.size(), kWords);
    for (uint16_t n = 1; n <= kWords; ++n)
        ASSERT_EQ(words[n - 1], n);
    EXPECT_TRUE(messages_.texts().empty());
}

// "Load saved" names "sdata.rmd" while a measurement is written to another
// file: that file gets the whole measurement, "sdata.rmd" the next one.
TEST_F(SettingsTest, ALoadDuringAMeasurementSwitchesTheDataFileAtItsStop) {
    TempFolder::write("RadaDazi.ini", kHeader);
    settings_.SetVirtualScope(&scope_);
    scope_.Startup();
    settings_.SaveToFile("RadaDaziSettings.dat");
    scope_.SetFileName("mine.rmd");
    scope_.SetSavingActivated(true);
    const auto append = [&](std::vector<uint16_t> words) { scope_.AppendToFile(words.data(), words.size()); };

    scope_.SetMeasurementStarted(true);
    append({0, 4, 1, 1, 0x8080});
    scope_.Notify(TScopeNotifyCode::snLoadUserSettings, ScopeGroup::MainWindow);
    scope_.Notify(TScopeNotifyCode::snRestoreDefaults, ScopeGroup::MainWindow);
    EXPECT_EQ(scope_.GetFileName(), "sdata.rmd");
    EXPECT_FALSE(std::filesystem::exists("sdata.rmd"));
    append({0x8181});
    scope_.SetMeasurementStarted(false);
    append({0x8282, 0, 4, 1, 0});
    scope_.SetMeasurementStarted(true);
    append({0, 4, 1, 1, 0x8383, 0, 4, 1, 0});
    scope_.SetSavingActivated(false);

    EXPECT_EQ(TempFolder::readWords("mine.rmd"), (std::vector<uint16_t>{0, 4, 1, 1, 0x8080, 0x8181, 0x8282, 0, 4, 1, 0}));
    EXPECT_EQ(TempFolder::readWords("sdata.rmd"), (std::vector<uint16_t>{0, 4, 1, 1, 0x8383, 0, 4, 1, 0}));
    EXPECT_TRUE(messages_.texts().empty());
}

TEST_F(SettingsTest, UnregistersWhenDestroyedOrRelinked) {
    {
        TSettingsVornRM local;
        local.SetVirtualScope(&scope_);
        EXPECT_TRUE(scope_.Listeners().IsRegistered(&local));
        TVirtualScopeVornRM other;
        local.SetVirtualScope(&other);
        EXPECT_FALSE(scope_.Listeners().IsRegistered(&local));
        local.SetVirtualScope(&scope_);
    }
    EXPECT_EQ(scope_.Listeners().ListenerCount(), 0);
}

// Damaged settings files never crash the load, never leave the file open,
// and every value that gets in obeys the scope's rules.
TEST_F(SettingsTest, RandomlyDamagedFilesAreReadSafely) {
    settings_.SetVirtualScope(&scope_);
    setEverything(scope_);
    settings_.SaveToFile("good.ini");
    const std::string good = TempFolder::read("good.ini");

    std::mt19937 random(20240515);
    const std::vector<std::string> junkValues = {"99999999999999999999", "-99999999999999999999", "1e400", "-",
                                                 "", "0x7fffffff", "NAN", std::string("\0\xff\x80", 3)};
    for (int run = 0; run < 400; ++run) {
        std::string bytes = good;
        switch (random() % 5) {
        case 0:  // bit flips
            for (int i = 0, n = 1 + static_cast<int>(random() % 20); i < n; ++i)
                bytes[random() % bytes.size()] ^= static_cast<char>(1 << (random() % 8));
            break;
        case 1:  // cut anywhere
            bytes.resize(random() % bytes.size());
            break;
        case 2: {  // a value replaced by junk
            const size_t colon = bytes.find(": ", random() % bytes.size());
            if (colon != std::string::npos) {
                const size_t end = bytes.find("\r\n", colon);
                bytes.replace(colon + 2, end - colon - 2, junkValues[random() % junkValues.size()]);
            }
            break;
        }
        case 3:  // binary junk inserted
            for (int i = 0, n = 1 + static_cast<int>(random() % 64); i < n; ++i)
                bytes.insert(bytes.begin() + static_cast<long>(random() % (bytes.size() + 1)),
                             static_cast<char>(random()));
            break;
        default:  // only junk
            bytes.assign(random() % 300, '\0');
            for (char& c : bytes)
                c = static_cast<char>(random());
            break;
        }
        TempFolder::write("damaged.ini", bytes);
        settings_.LoadFromFile("damaged.ini");
        ASSERT_TRUE(isClosed("damaged.ini")) << "run " << run;
        ASSERT_GE(scope_.SourceProbeA(), 1);
        ASSERT_LE(scope_.SourceProbeA(), 4);
        ASSERT_GE(scope_.DensityChannelB(), 1);
        ASSERT_LE(scope_.DensityChannelB(), 9);
        ASSERT_GE(scope_.SMPSetting() + scope_.DSPSetting(), 3);
        ASSERT_GE(scope_.VerticalLevelChannelA(), 1);
        ASSERT_LE(scope_.VerticalLevelChannelA(), 4095);
    }
    // What was read can be written again.
    settings_.SaveToFile("after.ini");
    EXPECT_EQ(linesOf(TempFolder::read("after.ini")).size(), 62u);
    EXPECT_TRUE(messages_.texts().empty());
}

} // namespace
