#include "ProcessingThreadRM.h"

#include "DataSourceModuleVornRM.h"
#include "LiveDisplay.h"
#include "VirtualScopeVornRM.h"

#include <chrono>
#include <thread>

namespace {
// Short enough that a stop is noticed at once; an empty pass costs nothing.
constexpr std::chrono::milliseconds kReadWait{100};
constexpr std::chrono::milliseconds kIdleSleep{2};
} // namespace

TProcessingThreadRM::TProcessingThreadRM(TVirtualScopeVornRM& scope, TDataSourceModuleVornRM& ring,
                                         LiveDisplay* display)
    : scope_(scope), ring_(ring), display_(display) {
    Start();
}

TProcessingThreadRM::~TProcessingThreadRM() { Stop(); }

void TProcessingThreadRM::Execute() {
    for (;;) {
        ApplyPriority();
        const bool draining = Terminated();
        int32_t count = 0;
        const uint16_t* words = ring_.GetReadPointer(count, draining ? std::chrono::milliseconds(0) : kReadWait);
        if (!words) {
            if (draining)
                return;
            std::this_thread::sleep_for(kIdleSleep);
            continue;
        }
        if (LiveDisplay* display = display_)
            display->NewData(words, count);
        scope_.AppendToFile(words, static_cast<size_t>(count));
        scope_.SetActualVoltage(words[count - 1]);
        ring_.CommitRead(count);
    }
}
