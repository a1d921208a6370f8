// CPU time the live displays need to draw one second of data at 5,000,000
// samples per second, at the fastest and the slowest time base.

#include "RateTables.h"
#include "RollScreenEKGVornRM.h"
#include "RollScreenShiftVornRM.h"
#include "VirtualScopeVornRM.h"

#include <QApplication>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

constexpr int kRate = 15;             // 5,000,000 samples per second
constexpr int64_t kSecond = 5'000'000;
constexpr int kBlockWords = 32768;    // one device block

double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// One second of two waves with a little noise, as sample words.
std::vector<uint16_t> secondOfSamples() {
    std::vector<uint16_t> words(static_cast<size_t>(kSecond));
    uint32_t noise = 1;
    for (size_t i = 0; i < words.size(); ++i) {
        noise = noise * 1664525u + 1013904223u;
        const double t = static_cast<double>(i) / kSecond;
        const int a = 128 + static_cast<int>(100 * std::sin(2 * M_PI * 50 * t)) + static_cast<int>(noise >> 29);
        const int b = 128 + static_cast<int>(60 * std::sin(2 * M_PI * 7 * t));
        words[i] = static_cast<uint16_t>(a | (b << 8));
    }
    return words;
}

template <typename Display>
double drawSecond(TVirtualScopeVornRM& scope, const std::vector<uint16_t>& words) {
    Display display;
    display.SetVirtualScope(&scope);
    display.resize(585, 289);
    display.show();
    display.ResizeBuffer();
    const double start = threadCpuSeconds();
    for (size_t at = 0; at < words.size(); at += kBlockWords) {
        const size_t n = std::min<size_t>(kBlockWords, words.size() - at);
        display.NewData(words.data() + at, static_cast<int64_t>(n));
    }
    return threadCpuSeconds() - start;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::vector<uint16_t> words = secondOfSamples();

    std::printf("CPU time to draw one second of 5 MS/s data (blocks of %d words, 585 x 289 pixels)\n", kBlockWords);
    std::printf("%-8s %-14s %-16s %10s %14s\n", "display", "time base", "mode", "columns", "CPU ms");
    struct Mode {
        const char* name;
        bool single;
        bool line;
    };
    const Mode modes[] = {{"min/max lines", false, true}, {"single lines", true, true}, {"single dots", true, false}};
    for (int timeBase : {0, 16}) {
        for (const Mode& mode : modes) {
            TVirtualScopeVornRM scope;
            scope.SetSMPSetting(kRate);
            scope.SetDSPSetting(timeBase);
            scope.SetSingleMode(mode.single);
            scope.SetModeLine(mode.line);
            const int64_t columns = kSecond / SamplesPerColumn(kRate, timeBase);
            char base[32];
            std::snprintf(base, sizeof base, "%g s/div", rm::kSecondsPerDivisionTable[timeBase]);
            std::printf("%-8s %-14s %-16s %10lld %14.1f\n", "shift", base, mode.name,
                        static_cast<long long>(columns), 1000 * drawSecond<TRollScreenShiftVornRM>(scope, words));
            std::printf("%-8s %-14s %-16s %10lld %14.1f\n", "EKG", base, mode.name,
                        static_cast<long long>(columns), 1000 * drawSecond<TRollScreenEKGVornRM>(scope, words));
        }
    }
    return 0;
}
