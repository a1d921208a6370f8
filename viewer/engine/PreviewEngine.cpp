#include "PreviewEngine.h"

#include "FloatText.h"
#include "IndexFileName.h"

#include <algorithm>
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

std::string wholeText(double value) { return formatGeneral(std::floor(value)); }

} // namespace

std::string TPreviewEnginePelkRM::MillisecondsToText(double ms) {
    if (!std::isfinite(ms))
        return "?";
    if (ms == 0)
        return "0s";
    std::string text = ms < 0 ? "-" : "";
    double rest = std::fabs(ms);
    const auto part = [&](double unitMs, const char* unit, bool blank) {
        if (rest < unitMs)
            return;
        const double whole = std::floor(rest / unitMs);
        text += (blank ? " " : "") + wholeText(whole) + unit;
        rest -= whole * unitMs;
    };
    part(3600000, "h", false);
    part(60000, "m", true);
    part(1000, "s", true);
    if (rest > 0)
        text += " " + SubMillisecondsToText(rest);
    return text;
}

std::string TPreviewEnginePelkRM::SubMillisecondsToText(double ms) {
    if (!std::isfinite(ms))
        return "?";
    std::string text;
    if (ms >= 1)
        text = wholeText(ms) + "ms";
    const double us = (ms - std::floor(ms)) * 1000;
    if (us > 1)
        text += " " + wholeText(us) + "us";
    const double ns = (us - std::floor(us)) * 1000;
    if (ns > 1)
        text += " " + wholeText(ns) + "ns";
    if (text.size() <= 1)
        text = "0s";
    return text;
}

// --- properties with rules -----------------------------------------------------

void TPreviewEnginePelkRM::SetOpenFileName(const std::string& name) {
    openFileName_ = name;
    indexFileName_ = indexFileName(name);
}

uint32_t TPreviewEnginePelkRM::SamplesPerPoint() const { return ZoomActive ? samplesPerPoint_.load() : 1; }

void TPreviewEnginePelkRM::SetSamplesPerPoint(uint32_t value) {
    std::lock_guard lock(positionLock_);
    samplesPerPoint_ = std::clamp<uint32_t>(value, 1, kMaxSamplesPerPoint);
    oldBufferViewValid_ = samplesPerScreen_ < static_cast<int64_t>(MainBufferRealSamples.load());
    samplesPerScreen_ = static_cast<int64_t>(samplesPerPoint_) * actualPointsCount_;
}

void TPreviewEnginePelkRM::SetActualPointsCount(uint32_t value) {
    std::lock_guard lock(positionLock_);
    actualPointsCount_ = value;
    samplesPerScreen_ = static_cast<int64_t>(samplesPerPoint_) * value;
}

bool TPreviewEnginePelkRM::BufferViewValid() const {
    return static_cast<int64_t>(MainBufferRealSamples.load()) >= samplesPerScreen_;
}

int64_t TPreviewEnginePelkRM::clampToFile(int64_t screenPosition) const {
    const int64_t last = FileRealSamplesCount - samplesPerScreen_;
    if (screenPosition > last)
        screenPosition = std::max<int64_t>(last, 0);
    return screenPosition;
}

void TPreviewEnginePelkRM::SetScreenPosition(int64_t value) {
    std::lock_guard lock(positionLock_);
    if (BufferViewValid())
        value = std::max<int64_t>(std::min<int64_t>(value, MainBufferRealSamples - samplesPerScreen_), 0);
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
