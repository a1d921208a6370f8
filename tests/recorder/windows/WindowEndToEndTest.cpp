// The whole recorder window with the driver library and the simulated
// instrument: start, a two-second measurement saved to a file, close.
#include "WindowTestSupport.h"

#include "ProgramFolder.h"
#include "UlmexSim.h"

#include <QDir>

#include <dirent.h>

#include <cstring>
#include <fstream>
#include <iterator>

namespace {

std::string readLine(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

// Threads of the process that carry its own name: the main thread and every
// std::thread (the toolkit names its helper threads).
int unnamedThreadCount() {
    const std::string program = readLine("/proc/self/comm");
    int count = 0;
    if (DIR* tasks = opendir("/proc/self/task")) {
        while (const dirent* entry = readdir(tasks))
            if (entry->d_name[0] != '.')
                count += readLine(std::string("/proc/self/task/") + entry->d_name + "/comm") == program;
        closedir(tasks);
    }
    return count;
}

std::vector<uint16_t> fileWords(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    std::vector<uint16_t> words(bytes.size() / 2);
    std::memcpy(words.data(), bytes.data(), words.size() * 2);
    return words;
}

class WindowEndToEndTest : public WindowTest {};

TEST_F(WindowEndToEndTest, MeasurementOfTwoSecondsReachesTheFileAndNoThreadIsLeft) {
    UlmexSimReset();
    UlmexSimSetSignal(0, 0.0, 500.0, 5.0);
    UlmexSimSetSignal(1, 0.0, 1000.0, 3.0);
    const int threadsBefore = unnamedThreadCount();

    form = std::make_unique<TMainForm>();
    form->Driver().SetLibraryFolder(rm::programFolder());
    TVirtualScopeVornRM& scope = form->Scope();
    form->show();
    scope.Startup();
    ASSERT_FALSE(form->TerminationRequested());
    ASSERT_TRUE(form->Driver().DeviceInitialized());
    EXPECT_EQ(form->windowTitle(), TMainForm::CaptionText(false, form->DeviceId()));
    EXPECT_FALSE(form->windowTitle().endsWith('X'));

    scope.SetSMPSetting(10);  // 100,000 samples per second
    scope.Notify(TScopeNotifyCode::snSettingsChanged, 99);
    processEventsUntil([] { return false; }, 300);  // the start-up's blocks pass

    const std::string path = file("window.rmd");
    scope.SetFileName(path);
    scope.SetSavingActivated(true);
    ASSERT_TRUE(scope.IsFileOpen());
    scope.SetMeasurementDefined(true);
    scope.SetMeasurementLength(2000);
    scope.SetMeasurementStarted(true);
    scope.Notify(TScopeNotifyCode::snSettingsChanged, 9);
    ASSERT_TRUE(processEventsUntil([&] { return scope.MeasurementStarted(); }, 2000));
    ASSERT_TRUE(processEventsUntil([&] { return !scope.MeasurementStarted(); }, 15000));
    processEventsUntil([] { return false; }, 300);

    form->close();
    EXPECT_EQ(form->ShutdownRuns(), 1);
    EXPECT_EQ(form->FlowManager().AcquisitionThread(), nullptr);
    EXPECT_EQ(form->FlowManager().ProcessingThread(), nullptr);
    form.reset();
    EXPECT_EQ(unnamedThreadCount(), threadsBefore);

    const std::vector<uint16_t> words = fileWords(path);
    ASSERT_GE(words.size(), 4u);
    // The start block, the header blocks of types 2..12, then samples.
    EXPECT_EQ(std::vector<uint16_t>(words.begin(), words.begin() + 4), (std::vector<uint16_t>{0, 4, 1, 1}));
    size_t i = 4;
    for (uint16_t type = 2; type <= 12; ++type) {
        ASSERT_LT(i + 2, words.size());
        EXPECT_EQ(words[i], 0);
        EXPECT_EQ(words[i + 2], type);
        i += words[i + 1];
    }
    size_t samples = 0;
    while (i < words.size()) {
        if (words[i] == 0) {
            i += std::max<uint16_t>(words[i + 1], 1);
            continue;
        }
        samples += (words[i] >> 8) != 0;
        ++i;
    }
    EXPECT_GE(samples, 195000u);
    EXPECT_LT(samples, 200000u + 32768u);
    // The stop block last.
    EXPECT_EQ(std::vector<uint16_t>(words.end() - 4, words.end()), (std::vector<uint16_t>{0, 4, 1, 0}));
}

// A triggered measurement whose level the signal never reaches waits: from
// the first status the device gives, both lamps show it (yellow) and say so.
TEST_F(WindowEndToEndTest, TriggeredMeasurementWaitingShowsItsLamps) {
    UlmexSimReset();
    UlmexSimSetSignal(0, 0.0, 500.0, 5.0);
    form = std::make_unique<TMainForm>();
    form->Driver().SetLibraryFolder(rm::programFolder());
    TVirtualScopeVornRM& scope = form->Scope();
    scope.Startup();
    ASSERT_TRUE(form->Driver().DeviceInitialized());
    Ui::MainForm& u = form->Controls();
    const QColor red(0xFF, 0, 0), yellow(0xFF, 0xFF, 0);
    ASSERT_EQ(u.TriggerLED->BrushColor(), red);

    scope.SetRecordFree(false);
    scope.SetRecordTriggered(true);
    scope.SetTriggerSourceA(true);
    scope.SetTriggerUnderA(false);
    scope.SetTriggerLevelA(3000);  // far above the signal
    scope.SetMeasurementStarted(true);
    scope.Notify(TScopeNotifyCode::snSettingsChanged, 9);
    EXPECT_TRUE(processEventsUntil([&] { return u.TriggerLED->BrushColor() == yellow; }, 5000));
    EXPECT_EQ(u.ArmLED->BrushColor(), yellow);
    EXPECT_TRUE(scope.MeasurementStarted());
    EXPECT_EQ(u.TriggerLED->accessibleName(), "Trigger: waiting");
    EXPECT_EQ(u.ArmLED->accessibleName(), "Arm: waiting");
    form->close();
}

} // namespace
