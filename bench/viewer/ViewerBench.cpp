// Times the viewer's passes over a large data file against one plain
// sequential read of the same file, all with the file in the page cache.
// Every phase runs five times and the fastest run counts, so that a busy
// neighbour on a shared machine disturbs the figures less.
//
//   rmviewer_bench [file] [GiB]     (default /tmp/rmviewer_bench.rmd, 2 GiB)
//
// The file (a sample recording of tools/) is written first when it is
// missing or of another size.

#include "DataSource.h"
#include "DecimateView.h"
#include "IndexBuilder.h"
#include "IndexFileWrapper.h"
#include "LargeFileWrapper.h"
#include "MainBuffer.h"
#include "PreviewEngine.h"
#include "ProgressDisplay.h"
#include "SampleRecording.h"

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using namespace rm::viewer;

namespace {

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

int64_t fileSize(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? static_cast<int64_t>(st.st_size) : -1;
}

constexpr int kRuns = 5;

// The fastest of kRuns runs of `phase`, in seconds.
template <typename Phase>
double fastest(Phase phase) {
    double best = 1e30;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = std::chrono::steady_clock::now();
        phase();
        best = std::min(best, seconds(start));
    }
    return best;
}

void readWholeFile(TLargeFileWrapper& file) {
    std::vector<char> chunk(kIndexChunkBytes);
    for (int64_t at = 0; at < file.OpenFileSize();) {
        const int64_t read = file.ReadAt(chunk.data(), static_cast<int64_t>(chunk.size()), at);
        if (read <= 0)
            break;
        at += read;
    }
}

void report(const char* phase, double time, int64_t bytes, double readSecondsPerByte) {
    std::printf("%-28s %9.6f s %7.2f GB/s %6.2fx read\n", phase, time, bytes / time / 1e9,
                time / bytes / readSecondsPerByte);
}

} // namespace

int main(int argc, char** argv) {
    const std::string path = argc > 1 ? argv[1] : "/tmp/rmviewer_bench.rmd";
    const double gib = argc > 2 ? std::atof(argv[2]) : 2.0;
    const auto wantedBytes = static_cast<int64_t>(gib * 1024 * 1024 * 1024);
    if (std::llabs(fileSize(path) - wantedBytes) > 4 * 1024 * 1024) {
        std::printf("writing %s (%.2f GiB)...\n", path.c_str(), gib);
        const auto start = std::chrono::steady_clock::now();
        if (!rm::writeSampleRecording(path, wantedBytes / 2).written) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("written in %.1f s\n", seconds(start));
    }

    TPreviewEnginePelkRM engine;
    TMainBufferComponentVornPrv buffer(engine);
    engine.Startup();
    TLargeFileWrapper file;
    if (file.OpenFile(path) != kOpenOk) {
        std::fprintf(stderr, "cannot open %s\n", path.c_str());
        return 1;
    }
    const int64_t size = file.OpenFileSize();
    readWholeFile(file);  // into the page cache
    const double readTime = fastest([&] { readWholeFile(file); });
    const double readPerByte = readTime / size;
    std::printf("%.3f GB file\n", size / 1e9);
    report("plain sequential read", readTime, size, readPerByte);

    ProgressGauge gauge(nullptr);
    const auto never = [] { return false; };
    TIndexContent content;
    report("index build", fastest([&] { BuildIndex(file, content, gauge, never); }), size, readPerByte);
    std::printf("  %lld samples, %zu index records\n", static_cast<long long>(content.TotalSamples),
                content.Records.size());

    TIndexFileWrapperVornRMPrv index(engine);
    const std::string indexName = path + ".bench-ind";
    if (index.SaveIndex(indexName, content, file).Outcome != TIndexSaveOutcome::Written) {
        std::fprintf(stderr, "cannot write %s\n", indexName.c_str());
        return 1;
    }
    // What a reopen costs: the index is loaded and checked on the
    // user-interface thread, so this must stay small whatever the file holds.
    const double load = fastest([&] { index.LoadIndex(indexName, file); });
    std::printf("%-28s %9.6f s\n", "existing index loaded", load);
    std::remove(indexName.c_str());
    engine.FileRealSamplesCount = index.TotalSamples();
    const std::shared_ptr<uint16_t[]> words = buffer.Memory();

    const auto view = [&](const char* phase, int64_t first, int64_t count, double spp, int maxPoints) {
        TViewPoints points(maxPoints);
        const TViewDataBuffer descriptor{maxPoints, 0, first, count, spp, maxPoints, {}};
        const double time = fastest([&] {
            buffer.SetBufferInvalid(true);
            DecimateView(descriptor, points, buffer, words.get(), index, file, gauge, never);
        });
        report(phase, time, 2 * count, readPerByte);
    };
    const int64_t total = index.TotalSamples();
    view("quick view", 0, total, std::max(static_cast<double>(total) / 10000, 1.0), 10000);
    engine.SetActualPointsCount(kNormalViewPoints);
    engine.SetSamplesPerPoint(1);
    view("normal view, 1 sample/point", total / 2, kNormalViewPoints, 1, kNormalViewPoints);
    engine.SetSamplesPerPoint(131072);
    view("normal view, 131072/point", 0, std::min<int64_t>(total, int64_t{131072} * kNormalViewPoints), 131072,
         kNormalViewPoints);
    engine.Shutdown();
    return 0;
}
