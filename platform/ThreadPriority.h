#pragma once

namespace rm {

// Best effort: raises the calling thread's scheduling priority ("time-critical")
// or returns it to normal. The raise uses the thread's nice value, never a
// real-time policy, so a busy worker cannot starve the rest of the system.
// Returns false when the system refused (no privilege); the thread then keeps
// running as it was.
bool setCurrentThreadTimeCritical(bool timeCritical);

} // namespace rm
