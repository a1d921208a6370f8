#pragma once

#include "EngineNotifyCodes.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace rm::viewer {

// Colours as Windows values, 0x00BBGGRR.
using TColor = uint32_t;
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clYellow = 0x00FFFF;

inline constexpr uint32_t kMaxSamplesPerPoint = 0x20000;

// A component that listens on the engine's bus.
class IEngineListener {
public:
    virtual void EngineNotify(int code, int senderGroup) = 0;

protected:
    ~IEngineListener() = default;
};

// Where a listener wants broadcasts that come from another thread than the
// user-interface thread: at once on the sending thread, or queued onto the
// user-interface thread (every listener that touches widgets).
enum class TListenerThread { Sender, UserInterface };

struct TEngineListener {
    IEngineListener* Handler;
    int ControlGroup;
    TListenerThread Thread;
};

// The viewer's central object: the settings and positions every component
// shares, and the bus over which they tell each other what changed.
//
// Plain properties are public fields; properties whose setters apply rules are
// functions. Fields are atomic because the worker thread reads and writes some
// of them while the user-interface thread works with the others.
class TPreviewEnginePelkRM {
public:
    TPreviewEnginePelkRM();
    ~TPreviewEnginePelkRM();
    TPreviewEnginePelkRM(const TPreviewEnginePelkRM&) = delete;
    TPreviewEnginePelkRM& operator=(const TPreviewEnginePelkRM&) = delete;

    // --- bus ---------------------------------------------------------------
    // Called once on the user-interface thread: enables the bus, then
    // broadcasts enLoadSettings and enInitialize.
    void Startup();
    // Broadcasts enShutdown (from the last listener to the first) and disables
    // the bus. A broadcast from a worker that waits for the bus meanwhile is
    // dropped, so a shutdown that waits for the worker cannot deadlock.
    void Shutdown();
    // Delivers one broadcast to every listener, from any thread. Before Startup
    // and after Shutdown nothing is delivered.
    void Notify(int code, int senderGroup);
    // The same from a worker job: while it waits for the bus, `abandon` is
    // asked now and then, and the broadcast is dropped once it says true.
    void Notify(int code, int senderGroup, const std::function<bool()>& abandon);
    void RegisterListener(int group, IEngineListener* handler,
                          TListenerThread thread = TListenerThread::Sender);
    // Removes the first entry with this handler and group; none: no change.
    void UnregisterListener(int group, IEngineListener* handler);
    std::vector<TEngineListener> Listeners() const;

    // How calls reach the user-interface thread: `post` runs its argument on
    // that thread later (the main window installs a queued toolkit call).
    // Without it queued listeners are called on the sending thread.
    using UiPoster = std::function<void(std::function<void()>)>;
    void SetUiPoster(UiPoster post);
    bool OnUiThread() const;
    bool ShuttingDown() const { return shuttingDown_; }

    // --- duration texts ----------------------------------------------------
    // "1h 2m 3s 4ms 500us", "0s" for zero, "-" in front when negative, "?"
    // for a value that is not finite. The duration is rounded to whole
    // nanoseconds first; a part is written when it is 1 or more.
    static std::string MillisecondsToText(double ms);
    static std::string SubMillisecondsToText(double ms);

    // --- plain properties --------------------------------------------------
    std::atomic<bool> IgnoreOverrun{false};
    std::atomic<bool> GridActive{true};
    std::atomic<TColor> GridColor{clGray};
    std::atomic<TColor> BackgroundColor{clBlack};
    std::atomic<TColor> ColorChannelA{clGreen};
    std::atomic<TColor> ColorChannelB{clYellow};
    std::atomic<int64_t> OpenFileSize{0};
    std::atomic<bool> ChannelA{true}, ChannelB{true}, ChannelC{false}, ChannelD{false};
    std::atomic<bool> MakeMaximum{false}, MakeMinimum{false}, MakeAvg{true}, SingleMode{false};
    std::atomic<bool> VoltageCursorsActive{true};
    std::atomic<double> VoltageCursor1ChannelA{0}, VoltageCursor2ChannelA{0};
    std::atomic<double> VoltageCursor1ChannelB{0}, VoltageCursor2ChannelB{0};
    std::atomic<int64_t> AbsoluteScreenCursor{0}, RelativeScreenCursor{0};
    std::atomic<double> TimeOriginUserValue{0};  // milliseconds
    std::atomic<bool> IsTimeOriginSet{false};
    std::atomic<int64_t> TimeOriginSample{0};
    std::atomic<int64_t> FileRealSamplesCount{0};
    std::atomic<uint32_t> MainBufferSize{0}, MainBufferRealSamples{0};
    std::atomic<int64_t> PreviewValidSamplesCount{0};
    std::atomic<uint32_t> MainScreenWidth{0}, MainScreenHeight{0};
    std::atomic<uint32_t> MainWindowWidth{0}, MainWindowHeight{0};
    std::atomic<bool> Maximized{false};
    std::atomic<bool> FileTargeted{false};
    std::atomic<bool> NewFileOpened{false};
    std::atomic<bool> NewDataReady{false};

    // --- properties with rules ----------------------------------------------
    // The data file name (user-interface thread only); setting it derives the
    // index file name.
    const std::string& OpenFileName() const { return openFileName_; }
    const std::string& IndexFileName() const { return indexFileName_; }
    void SetOpenFileName(const std::string& name);

    // The zoom switch, the samples per point and the point count set
    // SamplesPerScreen; each change keeps the screen's first sample (held
    // inside the file), converting ScreenPosition between relative and
    // absolute and moving MainBufferPosition when the buffer no longer holds
    // the screen. A zoom also sets OldBufferViewValid.
    bool ZoomActive() const { return zoomActive_; }
    void SetZoomActive(bool active);
    // 1 while zoom is off; writes are bounded to 1..131072.
    uint32_t SamplesPerPoint() const;
    void SetSamplesPerPoint(uint32_t value);
    uint32_t ActualPointsCount() const { return actualPointsCount_; }
    void SetActualPointsCount(uint32_t value);
    // SamplesPerPoint() x ActualPointsCount(): the samples one screen shows.
    int64_t SamplesPerScreen() const { return samplesPerScreen_; }

    // First screen sample: relative to MainBufferPosition while the buffer
    // view is valid, absolute otherwise; clamped to the buffer and the file,
    // and never below 0.
    int64_t ScreenPosition() const { return screenPosition_; }
    void SetScreenPosition(int64_t value);
    int64_t MainBufferPosition() const { return mainBufferPosition_; }
    // Returns the position stored (the value, clamped while the buffer view
    // is valid).
    int64_t SetMainBufferPosition(int64_t value);
    int64_t ScreenBeginning() const;
    // The main buffer holds a whole screen: SamplesPerScreen <= MainBufferRealSamples.
    bool BufferViewValid() const;
    // BufferViewValid as it was just before the last change of
    // SamplesPerPoint or of the zoom switch (the same comparison).
    bool OldBufferViewValid() const { return oldBufferViewValid_; }

private:
    void deliver(const TEngineListener& entry, int code, int senderGroup);
    void deliverQueued(IEngineListener* handler, int group, int code, int senderGroup);
    // The screen position within 0 .. FileRealSamplesCount - SamplesPerScreen.
    int64_t clampToFile(int64_t screenPosition) const;
    // The following hold positionLock_.
    // Runs `change` (of the samples per point, the zoom switch or the point
    // count), then derives SamplesPerScreen and puts the screen back on the
    // first sample it had.
    void screenSizeChanged(const std::function<void()>& change);
    // The same for a zoom, keeping OldBufferViewValid as well.
    void zoomChanged(const std::function<void()>& change);
    // Sets the positions so that the screen begins at `first` (held inside
    // the file), moving the main buffer when it no longer holds the screen;
    // `wasValid`: the positions were relative to the buffer before.
    void keepScreenAt(int64_t first, bool wasValid);

    mutable std::recursive_mutex listenerLock_;  // ListenerLock
    std::vector<TEngineListener> listeners_;
    std::atomic<bool> running_{false};
    std::atomic<bool> shuttingDown_{false};
    std::thread::id uiThread_;
    UiPoster post_;
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);

    std::string openFileName_;
    std::string indexFileName_ = "ind";

    std::mutex positionLock_;  // keeps the clamping setters whole
    std::atomic<bool> zoomActive_{true};
    std::atomic<uint32_t> samplesPerPoint_{1};
    std::atomic<uint32_t> actualPointsCount_{0};
    std::atomic<int64_t> samplesPerScreen_{0};
    std::atomic<int64_t> screenPosition_{0};
    std::atomic<int64_t> mainBufferPosition_{0};
    std::atomic<bool> oldBufferViewValid_{false};
};

} // namespace rm::viewer
