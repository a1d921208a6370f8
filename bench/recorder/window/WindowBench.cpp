// Runs the whole recorder window off-screen with the driver library and the
// simulated instrument at 5,000,000 samples per second for 20 seconds, saving
// to a data file with the shift display shown, and prints the CPU each thread
// used, the overrun marks, the words in the file against those the instrument
// delivered, and the recorder's peak memory.
#include "AcquisitionThreadRM.h"
#include "MainForm.h"
#include "MessageBoxes.h"
#include "ProcessingThreadRM.h"
#include "ProgramFolder.h"
#include "ShellSeams.h"
#include "UlmexSim.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFont>
#include <QTimer>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kSeconds = 20;
constexpr int64_t kRate = 5000000;
constexpr int kFastestRate = 15;  // SMPSetting of 5,000,000 samples per second
// The driver drops the first word read after each start of a measurement.
constexpr int64_t kWordsDroppedByTheDriverPerStart = 1;

struct ThreadTimes {
    std::string name;
    double seconds = 0;
};

// CPU seconds of every thread of the process, by thread id.
std::map<int, ThreadTimes> threadTimes() {
    std::map<int, ThreadTimes> result;
    const double tick = static_cast<double>(sysconf(_SC_CLK_TCK));
    DIR* tasks = opendir("/proc/self/task");
    if (!tasks)
        return result;
    while (const dirent* entry = readdir(tasks)) {
        if (entry->d_name[0] == '.')
            continue;
        const std::string base = std::string("/proc/self/task/") + entry->d_name;
        std::ifstream stat(base + "/stat");
        std::string line;
        std::getline(stat, line);
        const size_t close = line.rfind(')');
        if (close == std::string::npos)
            continue;
        ThreadTimes times;
        times.name = line.substr(line.find('(') + 1, close - line.find('(') - 1);
        // Fields after the name: state is field 3; utime and stime are 14 and 15.
        std::vector<std::string> fields;
        size_t at = close + 2;
        while (at < line.size()) {
            const size_t next = line.find(' ', at);
            fields.push_back(line.substr(at, next - at));
            if (next == std::string::npos)
                break;
            at = next + 1;
        }
        if (fields.size() > 12)
            times.seconds = (std::stod(fields[11]) + std::stod(fields[12])) / tick;
        result[std::atoi(entry->d_name)] = times;
    }
    closedir(tasks);
    return result;
}

struct FileCount {
    int64_t samples = 0;
    int64_t overruns = 0;
};

// The samples and overrun marks of a data file (parameter blocks skipped),
// read a piece at a time.
FileCount countWords(const std::string& path) {
    FileCount count;
    std::ifstream in(path, std::ios::binary);
    std::vector<uint16_t> words(1 << 20);
    int64_t blockWordsLeft = 0;  // of a parameter block that runs on into the next piece
    bool lengthNext = false;     // the piece ended right after a block's first word
    while (in) {
        in.read(reinterpret_cast<char*>(words.data()), static_cast<std::streamsize>(words.size() * 2));
        const size_t n = static_cast<size_t>(in.gcount()) / 2;
        for (size_t i = 0; i < n; ++i) {
            const uint16_t word = words[i];
            if (lengthNext) {
                lengthNext = false;
                blockWordsLeft = std::max<int64_t>(word, 2) - 2;
            } else if (blockWordsLeft > 0) {
                --blockWordsLeft;
            } else if (word == 0) {
                lengthNext = true;
            } else {
                count.samples += (word >> 8) != 0;
                count.overruns += word == 0x0001;
            }
        }
    }
    return count;
}

// The message loop, as the program runs it, for `milliseconds`.
void serveFor(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    app.setFont(QFont(QStringLiteral("DejaVu Sans"), 8));
    const std::string driverFolder = rm::programFolder();
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / ("window_bench_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    QDir::setCurrent(QString::fromStdString(folder.string()));
    rm::ScriptedMessages messages;  // "File RadaDazi.ini is missing." is answered
    rm::ScriptedShell shell;

    UlmexSimReset();
    UlmexSimSetSignal(0, 0.0, 2000.0, 50.0);
    UlmexSimSetSignal(1, 500.0, 1000.0, 1000.0);

    auto form = std::make_unique<TMainForm>();
    TVirtualScopeVornRM& scope = form->Scope();
    form->Driver().SetLibraryFolder(driverFolder);
    scope.SetModeEKG(false);  // the shift display
    scope.SetSMPSetting(kFastestRate);
    form->show();
    scope.Startup();
    if (!form->Driver().DeviceInitialized()) {
        std::fprintf(stderr, "The driver library or the simulated instrument is missing beside the program.\n");
        return 1;
    }
    scope.Notify(TScopeNotifyCode::snSettingsChanged, ScopeGroup::MainWindow);
    serveFor(300);
    const std::string path = (folder / "window_bench.rmd").string();
    scope.SetFileName(path);
    scope.SetSavingActivated(true);

    TAcquisitionThreadRM& acquisition = *form->FlowManager().AcquisitionThread();
    TProcessingThreadRM& processing = *form->FlowManager().ProcessingThread();
    const auto before = threadTimes();
    const double acquisition0 = acquisition.CpuSeconds();
    const double processing0 = processing.CpuSeconds();
    QElapsedTimer clock;
    clock.start();
    scope.SetMeasurementStarted(true);
    scope.Notify(TScopeNotifyCode::snSettingsChanged, ScopeGroup::RecordPanel);
    serveFor(kSeconds * 1000);
    scope.SetMeasurementStarted(false);
    scope.Notify(TScopeNotifyCode::snSettingsChanged, ScopeGroup::RecordPanel);
    const double seconds = static_cast<double>(clock.elapsed()) / 1000.0;
    serveFor(1000);
    const auto after = threadTimes();
    const double acquisitionCpu = acquisition.CpuSeconds() - acquisition0;
    const double processingCpu = processing.CpuSeconds() - processing0;
    form->close();
    form.reset();
    // The recorder's own peak, before the file is read back.
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    // Every thread has ended and the processing thread has written what the
    // ring held: what the instrument handed out can be compared word by word.
    const int64_t delivered = UlmexSimGeneratedWordsRead() - kWordsDroppedByTheDriverPerStart;
    const FileCount file = countWords(path);
    const int64_t atTheRate = static_cast<int64_t>(seconds * kRate);

    // CPU of the user-interface thread and of the toolkit's helper threads.
    const int mainId = getpid();
    const auto spent = [&](int id) {
        const auto b = before.find(id);
        const auto a = after.find(id);
        return a == after.end() ? 0.0 : a->second.seconds - (b == before.end() ? 0.0 : b->second.seconds);
    };
    const double uiCpu = spent(mainId);
    double helperCpu = 0;
    for (const auto& [id, times] : after)
        if (id != mainId && times.name != after.at(mainId).name)
            helperCpu += spent(id);
    const double recorderCpu = uiCpu + helperCpu + acquisitionCpu + processingCpu;

    const auto percent = [&](double cpu) { return 100.0 * cpu / seconds; };
    std::printf("Recorder window at %lld samples/s for %.2f s, saving on, shift display shown\n",
                static_cast<long long>(kRate), seconds);
    std::printf("user-interface thread          %6.2f %% of a core\n", percent(uiCpu));
    std::printf("acquisition thread             %6.2f %% (the simulated device makes its samples in it)\n",
                percent(acquisitionCpu));
    std::printf("processing thread              %6.2f %%\n", percent(processingCpu));
    std::printf("toolkit helper threads         %6.2f %%\n", percent(helperCpu));
    std::printf("recorder threads together      %6.2f %% of a core (simulator included; target < 15 %%)\n",
                percent(recorderCpu));
    std::printf("  without the acquisition one  %6.2f %%\n", percent(recorderCpu - acquisitionCpu));
    std::printf("overrun marks                  %lld (target 0)\n", static_cast<long long>(file.overruns));
    std::printf("samples in the file            %lld\n", static_cast<long long>(file.samples));
    std::printf("words the instrument delivered %lld (samples and overrun marks)\n",
                static_cast<long long>(delivered));
    std::printf("words lost on the way          %lld (target 0)\n",
                static_cast<long long>(delivered - file.samples - file.overruns));
    std::printf("rate x measured time           %lld (%.3f %% in the file; the device starts and stops\n"
                "                               a little after the clock, and drops what it held at the stop)\n",
                static_cast<long long>(atTheRate), 100.0 * static_cast<double>(file.samples) / static_cast<double>(atTheRate));
    std::printf("peak memory of the recorder    %.1f MiB (before the file is read back)\n",
                static_cast<double>(usage.ru_maxrss) / 1024.0);
    std::filesystem::remove_all(folder);
    return 0;
}
