// Runs the recorder's acquisition engine with the driver library and the
// simulated instrument at 5,000,000 samples per second for 20 seconds, saving
// to a data file, and prints what it acquired and what it cost.
#include "AcquisitionThreadRM.h"
#include "DataSourceModuleVornRM.h"
#include "FlowManagerVornRM.h"
#include "LiveDisplay.h"
#include "ProcessingThreadRM.h"
#include "UiCall.h"
#include "UlmexSim.h"
#include "VirtualDriverVornRM.h"
#include "VirtualScopeVornRM.h"

#include <QCoreApplication>

#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>

namespace {

using Clock = std::chrono::steady_clock;

// Counts what the processing thread hands over, as a display would see it.
class CountingDisplay : public LiveDisplay {
public:
    // A span holds whole parameter blocks: the writer commits each take whole.
    void NewData(const uint16_t* words, int64_t count) override {
        int64_t samples = 0, overruns = 0;
        for (int64_t i = 0; i < count;) {
            const uint16_t word = words[i];
            if (word == 0) {
                i += i + 1 < count ? std::max<uint16_t>(words[i + 1], 1) : 1;
                continue;
            }
            samples += (word >> 8) != 0;
            overruns += word == 0x0001;
            ++i;
        }
        samples_ += samples;
        overruns_ += overruns;
        lastWord_ = words[count - 1];
    }
    void ResizeBuffer() override {}
    void ClearScreen() override {}
    void setDisplayVisible(bool) override {}

    std::atomic<int64_t> samples_{0};
    std::atomic<int64_t> overruns_{0};
    std::atomic<uint16_t> lastWord_{0};
};

void serveFor(Clock::duration span, const std::function<bool()>& done = [] { return false; }) {
    const auto end = Clock::now() + span;
    rm::UiCall::waitServing([&] { return done() || Clock::now() >= end; }, std::chrono::milliseconds(20));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    constexpr int kSeconds = 20;
    constexpr int64_t kRate = 5000000;
    const std::string path = (std::filesystem::temp_directory_path() / "acquisition_bench.rmd").string();
    std::filesystem::remove(path);

    UlmexSimReset();
    UlmexSimSetSignal(0, 0.0, 2000.0, 50.0);
    UlmexSimSetSignal(1, 500.0, 1000.0, 1000.0);

    auto scope = std::make_unique<TVirtualScopeVornRM>();
    auto driver = std::make_unique<TVirtualDriverVornRM>();
    auto ring = std::make_unique<TDataSourceModuleVornRM>();
    auto flow = std::make_unique<TFlowManagerVornRM>();
    CountingDisplay display;
    scope->SetVirtualDriver(driver.get());
    ring->SetVirtualScope(scope.get());
    flow->SetDataSourceInstance(ring.get());
    flow->SetRollScreen(&display);
    flow->SetEKGScreen(&display);
    flow->SetVirtualScope(scope.get());
    scope->SetSMPSetting(15);
    scope->SetVerticalLevelChannelA(2047);
    scope->SetVerticalLevelChannelB(2047);

    scope->Startup();
    if (!driver->DeviceInitialized()) {
        std::fprintf(stderr, "The driver library or the simulated instrument is missing beside the program.\n");
        return 1;
    }
    scope->Notify(TScopeNotifyCode::snSettingsChanged, ScopeGroup::MainWindow);
    serveFor(std::chrono::milliseconds(200));
    scope->SetFileName(path);
    scope->SetSavingActivated(true);

    TAcquisitionThreadRM& acquisition = *flow->AcquisitionThread();
    TProcessingThreadRM& processing = *flow->ProcessingThread();
    const double acquisitionCpu0 = acquisition.CpuSeconds();
    const double processingCpu0 = processing.CpuSeconds();
    const auto start = Clock::now();
    scope->SetMeasurementStarted(true);
    scope->Notify(TScopeNotifyCode::snSettingsChanged, ScopeGroup::MainWindow);
    serveFor(std::chrono::seconds(kSeconds));
    scope->SetMeasurementStarted(false);
    scope->Notify(TScopeNotifyCode::snSettingsChanged, ScopeGroup::MainWindow);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    serveFor(std::chrono::seconds(2), [&] { return display.lastWord_ == 0 && !flow->ScopeSettingsDirty(); });
    const double acquisitionCpu = acquisition.CpuSeconds() - acquisitionCpu0;
    const double processingCpu = processing.CpuSeconds() - processingCpu0;
    scope->Shutdown();

    const int64_t expected = static_cast<int64_t>(seconds * kRate);
    const int64_t acquired = display.samples_;
    const double acquiredSeconds = static_cast<double>(acquired) / kRate;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);

    std::printf("Acquisition engine at %lld samples/s for %.2f s, saving on\n", static_cast<long long>(kRate),
                seconds);
    std::printf("samples acquired      %lld\n", static_cast<long long>(acquired));
    std::printf("samples expected      %lld (%.3f %%)\n", static_cast<long long>(expected),
                100.0 * static_cast<double>(acquired) / static_cast<double>(expected));
    std::printf("overrun marks         %lld\n", static_cast<long long>(display.overruns_.load()));
    std::printf("file size             %lld bytes\n",
                static_cast<long long>(std::filesystem::file_size(path)));
    std::printf("acquisition thread    %.4f CPU s per acquired s (%.2f %% of a core)\n",
                acquisitionCpu / acquiredSeconds, 100.0 * acquisitionCpu / seconds);
    std::printf("processing thread     %.4f CPU s per acquired s (%.2f %% of a core)\n",
                processingCpu / acquiredSeconds, 100.0 * processingCpu / seconds);
    std::printf("(the simulated instrument makes its samples on the acquisition thread, inside each device read)\n");
    std::printf("peak memory           %.1f MiB\n", static_cast<double>(usage.ru_maxrss) / 1024.0);
    std::filesystem::remove(path);
    return 0;
}
