#pragma once

#include <chrono>
#include <functional>

namespace rm {

// The synchronous call onto the user-interface thread.
//
// invoke() runs `work` on the user-interface thread and returns when it has
// run. Called on that thread it runs at once. Unlike a blocking queued
// connection it cannot deadlock with a user-interface thread that waits for the
// calling worker: such a thread waits through waitServing(), which keeps
// running the calls that workers post meanwhile.
namespace UiCall {

// What `work` throws on the user-interface thread reaches the caller: the
// worker is released and the exception is thrown again there.
void invoke(const std::function<void()>& work);

// On the user-interface thread: returns once `done()` is true, running posted
// calls while waiting. `done` is checked at least every `poll`.
void waitServing(const std::function<bool()>& done,
                 std::chrono::milliseconds poll = std::chrono::milliseconds(5));

// On the user-interface thread: runs the calls posted so far.
void servePending();

bool onUiThread();

} // namespace UiCall
} // namespace rm
