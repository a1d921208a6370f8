#include "PreviewEngine.h"

#include "IndexFileName.h"
#include "Rounding.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace rm::viewer {

using namespace std::chrono_literals;

TPreviewEnginePelkRM::TPreviewEnginePelkRM() = default;
TPreviewEnginePelkRM::~TPreviewEnginePelkRM() = default;

// --- bus -------------------------------------------------------------------

void TPreviewEnginePelkRM::Startup() {
    uiThread_ = std::this_thread::get_id();
    NewFileOpened = false;
    NewDataReady = false;
    shuttingDown_ = false;
    running_ = true;
    Notify(enLoadSettings, kGroupAll);
    Notify(enInitialize, kGroupAll);
}

void TPreviewEnginePelkRM::Shutdown() {
    shuttingDown_ = true;
    Notify(enShutdown, kGroupAll);
    running_ = false;
}

bool TPreviewEnginePelkRM::OnUiThread() const { return std::this_thread::get_id() == uiThread_; }

void TPreviewEnginePelkRM::SetUiPoster(UiPoster post) { post_ = std::move(post); }

void TPreviewEnginePelkRM::Notify(int code, int senderGroup) { Notify(code, senderGroup, [] { return false; }); }

void TPreviewEnginePelkRM::Notify(int code, int senderGroup, const std::function<bool()>& abandon) {
    if (!running_)
        return;
    std::unique_lock lock(listenerLock_, std::defer_lock);
    if (OnUiThread()) {
        lock.lock();
    } else {
        // A worker gives up once the shutdown has begun, or when its job was
        // abandoned: the user-interface thread may hold the bus while it
        // waits for this very worker.
        while (!lock.try_lock()) {
            if (shuttingDown_ || abandon())
                return;
            std::this_thread::sleep_for(1ms);
        }
    }
    if (code == enShutdown) {
        while (!listeners_.empty()) {
            const TEngineListener last = listeners_.back();
            const size_t before = listeners_.size();
            last.Handler->EngineNotify(code, senderGroup);
            // A listener that did not remove itself would be called forever.
            if (listeners_.size() == before && listeners_.back().Handler == last.Handler)
                listeners_.pop_back();
        }
        return;
    }
    const size_t count = listeners_.size();
    for (size_t i = 0; i < count && i < listeners_.size(); ++i)
        deliver(listeners_[i], code, senderGroup);
}

void TPreviewEnginePelkRM::deliver(const TEngineListener& entry, int code, int senderGroup) {
    if (entry.Thread == TListenerThread::UserInterface && post_ && !OnUiThread()) {
        post_([this, alive = std::weak_ptr<int>(alive_), handler = entry.Handler,
               group = entry.ControlGroup, code, senderGroup] {
            if (alive.lock())
                deliverQueued(handler, group, code, senderGroup);
        });
        return;
    }
    entry.Handler->EngineNotify(code, senderGroup);
}

void TPreviewEnginePelkRM::deliverQueued(IEngineListener* handler, int group, int code,
                                         int senderGroup) {
    if (!running_)
        return;
    std::lock_guard lock(listenerLock_);
    const bool stillListening = std::any_of(listeners_.begin(), listeners_.end(), [&](const auto& e) {
        return e.Handler == handler && e.ControlGroup == group;
    });
    if (stillListening)
        handler->EngineNotify(code, senderGroup);
}

void TPreviewEnginePelkRM::RegisterListener(int group, IEngineListener* handler,
                                            TListenerThread thread) {
    std::lock_guard lock(listenerLock_);
    listeners_.push_back({handler, group, thread});
}

void TPreviewEnginePelkRM::UnregisterListener(int group, IEngineListener* handler) {
    std::lock_guard lock(listenerLock_);
    const auto it = std::find_if(listeners_.begin(), listeners_.end(), [&](const auto& e) {
        return e.Handler == handler && e.ControlGroup == group;
    });
    if (it != listeners_.end())
        listeners_.erase(it);
}

std::vector<TEngineListener> TPreviewEnginePelkRM::Listeners() const {
    std::lock_guard lock(listenerLock_);
    return listeners_;
}

// --- duration texts ----------------------------------------------------------

namespace {

constexpr int64_t kNanosecondsPerMs = 1'000'000;

// A duration rounded once to whole nanoseconds, so that the parts are split
// with integers and no floating-point remainder shows as "999ns". Saturates
// far beyond any recording's length.
int64_t wholeNanoseconds(double ms) {
    return roundHalfEvenClamped(std::fabs(ms) * static_cast<double>(kNanosecondsPerMs), 0, INT64_MAX);
}

// The text of a part below one second; a part of exactly 1 counts.
std::string subSecondText(int64_t ns) {
    std::string text;
    if (ns >= kNanosecondsPerMs)
        text = std::to_string(ns / kNanosecondsPerMs) + "ms";
    if (const int64_t us = ns / 1000 % 1000; us >= 1)
        text += " " + std::to_string(us) + "us";
    if (const int64_t rest = ns % 1000; rest >= 1)
        text += " " + std::to_string(rest) + "ns";
    if (text.size() <= 1)
        text = "0s";
    return text;
}

} // namespace

std::string TPreviewEnginePelkRM::MillisecondsToText(double ms) {
    if (!std::isfinite(ms))
        return "?";
    int64_t rest = wholeNanoseconds(ms);
    if (rest == 0)
        return "0s";
    std::string text = ms < 0 ? "-" : "";
    const auto part = [&](int64_t unitNs, const char* unit, bool blank) {
        if (rest < unitNs)
            return;
        text += (blank ? " " : "") + std::to_string(rest / unitNs) + unit;
        rest %= unitNs;
    };
    part(3600 * 1000 * kNanosecondsPerMs, "h", false);
    part(60 * 1000 * kNanosecondsPerMs, "m", true);
    part(1000 * kNanosecondsPerMs, "s", true);
    if (rest > 0)
        text += " " + subSecondText(rest);
    return text;
}

std::string TPreviewEnginePelkRM::SubMillisecondsToText(double ms) {
    if (!std::isfinite(ms))
        return "?";
    return subSecondText(wholeNanoseconds(ms));
}

// --- properties with rules -----------------------------------------------------

void TPreviewEnginePelkRM::SetOpenFileName(const std::string& name) {
    openFileName_ = name;
    indexFileName_ = indexFileName(name);
}

uint32_t TPreviewEnginePelkRM::SamplesPerPoint() const { return zoomActive_ ? samplesPerPoint_.load() : 1; }

void TPreviewEnginePelkRM::screenSizeChanged(const std::function<void()>& change) {
    const int64_t first = ScreenBeginning();
    const bool wasValid = BufferViewValid();
    change();
    samplesPerScreen_ = static_cast<int64_t>(SamplesPerPoint()) * actualPointsCount_;
    keepScreenAt(first, wasValid);
}

void TPreviewEnginePelkRM::keepScreenAt(int64_t first, bool wasValid) {
    first = clampToFile(first);
    if (!BufferViewValid()) {
        screenPosition_ = first;
        return;
    }
    // The buffer stays where it is while it holds the whole screen;
    // otherwise it moves to begin with the screen (its view is rebuilt).
    const int64_t real = MainBufferRealSamples;
    if (!wasValid || first < mainBufferPosition_ || first > mainBufferPosition_ + real - samplesPerScreen_)
        mainBufferPosition_ = std::max<int64_t>(std::min<int64_t>(first, FileRealSamplesCount - real), 0);
    screenPosition_ = first - mainBufferPosition_;
}

void TPreviewEnginePelkRM::zoomChanged(const std::function<void()>& change) {
    // The same comparison as BufferViewValid, so that a zoom that keeps the
    // screen inside the buffer is seen as such on both sides of it.
    oldBufferViewValid_ = samplesPerScreen_ <= static_cast<int64_t>(MainBufferRealSamples.load());
    screenSizeChanged(change);
}

void TPreviewEnginePelkRM::SetZoomActive(bool active) {
    std::lock_guard lock(positionLock_);
    zoomChanged([&] { zoomActive_ = active; });
}

void TPreviewEnginePelkRM::SetSamplesPerPoint(uint32_t value) {
    std::lock_guard lock(positionLock_);
    zoomChanged([&] { samplesPerPoint_ = std::clamp<uint32_t>(value, 1, kMaxSamplesPerPoint); });
}

void TPreviewEnginePelkRM::SetActualPointsCount(uint32_t value) {
    std::lock_guard lock(positionLock_);
    screenSizeChanged([&] { actualPointsCount_ = value; });
}

bool TPreviewEnginePelkRM::BufferViewValid() const {
    return static_cast<int64_t>(MainBufferRealSamples.load()) >= samplesPerScreen_;
}

int64_t TPreviewEnginePelkRM::clampToFile(int64_t screenPosition) const {
    const int64_t last = FileRealSamplesCount - samplesPerScreen_;
    if (screenPosition > last)
        screenPosition = last;
    return std::max<int64_t>(screenPosition, 0);
}

void TPreviewEnginePelkRM::SetScreenPosition(int64_t value) {
    std::lock_guard lock(positionLock_);
    if (BufferViewValid())
        value = std::min<int64_t>(value, MainBufferRealSamples - samplesPerScreen_);
    screenPosition_ = clampToFile(value);
}

int64_t TPreviewEnginePelkRM::SetMainBufferPosition(int64_t value) {
    std::lock_guard lock(positionLock_);
    if (BufferViewValid()) {
        value = std::max<int64_t>(std::min<int64_t>(value, FileRealSamplesCount - MainBufferRealSamples), 0);
    } else {
        screenPosition_ = clampToFile(screenPosition_);
    }
    mainBufferPosition_ = value;
    return value;
}

int64_t TPreviewEnginePelkRM::ScreenBeginning() const {
    return BufferViewValid() ? mainBufferPosition_ + screenPosition_ : screenPosition_.load();
}

} // namespace rm::viewer
