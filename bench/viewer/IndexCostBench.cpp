// The cost of indexing a hostile recording, one with a mark after every
// sample: every sample word is followed by an overrun marker, so each
// marker is a run of its own and the index has one 88-byte record per 4
// bytes of data. Prints the time of the build and of what the viewer does
// with the index afterwards, the process's peak memory against the file's
// size, and whether an index file was written beside it.
//
//   rmviewer_index_cost_bench [file] [MB]     (default /tmp/rmviewer_hostile.rmd, 80 MB)

#include "IndexBuilder.h"
#include "IndexFileWrapper.h"
#include "LargeFileWrapper.h"
#include "PreviewEngine.h"
#include "ProgressDisplay.h"

#include <sys/resource.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

using namespace rm::viewer;

namespace {

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double peakMegabytes() {
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024;  // ru_maxrss is in KiB
}

// [sample][overrun marker] pairs, written in pieces.
bool writeHostileFile(const std::string& path, int64_t bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::vector<uint16_t> piece;
    for (int64_t k = 0; k < 1 << 16; ++k)
        piece.insert(piece.end(), {static_cast<uint16_t>(0x8000 | (k & 0xFF) | 0x100), uint16_t{1}});
    const auto pieceBytes = static_cast<int64_t>(piece.size() * 2);
    for (int64_t done = 0; done < bytes && out; done += pieceBytes)
        out.write(reinterpret_cast<const char*>(piece.data()), std::min(pieceBytes, bytes - done));
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv) {
    const std::string path = argc > 1 ? argv[1] : "/tmp/rmviewer_hostile.rmd";
    const double megabytes = argc > 2 ? std::atof(argv[2]) : 80.0;
    const auto bytes = static_cast<int64_t>(megabytes * 1e6) & ~int64_t{3};
    if (!writeHostileFile(path, bytes)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return 1;
    }
    const std::string indexName = path.substr(0, path.size() - 3) + "ind";
    std::remove(indexName.c_str());
    const double before = peakMegabytes();

    TPreviewEnginePelkRM engine;
    TLargeFileWrapper file;
    if (file.OpenFile(path) != kOpenOk) {
        std::fprintf(stderr, "cannot open %s\n", path.c_str());
        return 1;
    }
    auto start = std::chrono::steady_clock::now();
    ProgressGauge gauge(nullptr);
    TIndexContent content;
    BuildIndex(file, content, gauge, [] { return false; });
    const double build = seconds(start);
    const auto records = content.Records.size();
    start = std::chrono::steady_clock::now();
    TIndexFileWrapperVornRMPrv index(engine);
    const TIndexSaveOutcome saved = index.SaveIndex(indexName, std::move(content), file);
    const double save = seconds(start);

    struct stat status {};
    const bool written = stat(indexName.c_str(), &status) == 0;
    const double indexMegabytes = static_cast<double>(records) * rm::kIndexRecordBytes / 1e6;
    std::printf("data file          %10.1f MB (a mark after every sample)\n", bytes / 1e6);
    std::printf("index records      %10zu (%.1f MB in memory)\n", records, indexMegabytes);
    std::printf("build              %10.2f s\n", build);
    std::printf("save or keep       %10.2f s (%s)\n", save,
                saved.Outcome == TIndexSaveOutcome::LargerThanDataFile ? "larger than the data file: not written"
                : written                                               ? "written"
                                                                        : "not written");
    std::printf("peak memory        %10.1f MB (%.1f x the index, %.1f x the file; %.1f MB at start)\n",
                peakMegabytes(), peakMegabytes() / indexMegabytes, peakMegabytes() / (bytes / 1e6), before);
    std::remove(path.c_str());
    return 0;
}
