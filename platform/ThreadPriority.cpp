#include "ThreadPriority.h"

#include <sys/resource.h>
#include <unistd.h>

namespace rm {

bool setCurrentThreadTimeCritical(bool timeCritical) {
    // On Linux a thread id names the thread alone for PRIO_PROCESS.
    const int nice = timeCritical ? -15 : 0;
    return setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), nice) == 0;
}

} // namespace rm
