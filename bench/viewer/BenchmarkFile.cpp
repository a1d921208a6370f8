#include "BenchmarkFile.h"

#include "RollModeStream.h"

#include <cstdio>

namespace rm::viewer {

bool WriteBenchmarkFile(const std::string& path, int64_t bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wbe");
    if (!file)
        return false;
    RollModeStream stream;
    RollModeStream::Settings settings;
    int64_t written = 0;
    bool ok = true;
    for (uint32_t step = 0; ok && written < bytes; ++step) {
        if (step % 64 == 0)
            stream.StartMeasurement(settings);
        stream.Samples(200000 + (step % 7) * 50000);
        switch (step % 4) {
        case 0: stream.Marker(1); break;                              // overrun
        case 1: stream.Raw({2, 2, 2}); break;                         // suppressed samples
        case 2: stream.Block(4, {static_cast<uint16_t>(1 + step % 4)}); break;  // probe change
        case 3: stream.SamplesPerSecond(step % 8 == 3 ? 500000 : 1000000); break;
        }
        if (step % 64 == 63)
            stream.StopMeasurement();
        written += 2 * static_cast<int64_t>(stream.Words().size());
        ok = stream.AppendTo(file);
    }
    return std::fclose(file) == 0 && ok;
}

} // namespace rm::viewer
