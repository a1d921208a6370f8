#pragma once

#include "IndexFileWrapper.h"
#include "PreviewEngine.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace rm::viewer {

enum TCursorType : uint8_t { ctWaveform = 1, ctScreen = 2, ctTimeSynchro = 3 };

struct TGeneralCursorObject {
    uint8_t CursorType = 0;
    TColor CursorColor = 0;
    int64_t SamplePosition = 0;
    int ScreenX = 0;
    bool Used = false;
    std::string CursorName;
};

// The "Time relations" window as the cursor table sees it; the window itself
// is a widget and implements this.
class ICursorTimesWindow {
public:
    virtual ~ICursorTimesWindow() = default;
    virtual void Show() = 0;
    virtual void RefreshTimes() = 0;
};

// Up to ten time cursors, one of which may be the time origin, kept in
// creation order. User-interface thread only.
class TCursorObjectTable {
public:
    static constexpr int kMaxCursors = 10;

    TCursorObjectTable(TPreviewEnginePelkRM& engine, const TIndexFileWrapperVornRMPrv& index);

    // Empties the table and forgets the cursor-times window.
    void Clear();
    int CursorObjectsCount() const { return count_; }
    const TGeneralCursorObject& Cursor(int index) const { return entries_.at(static_cast<size_t>(index)); }
    TGeneralCursorObject& Cursor(int index) { return entries_.at(static_cast<size_t>(index)); }

    // Appends the cursor; a second time origin is refused with a message
    // (false). The caller keeps the count at ten or below.
    bool AddCursorObject(const TGeneralCursorObject& cursor);
    void DeleteCursorObject(int index);
    TColor NextCursorColor() const;
    std::string NextCursorName() const;
    // Used waveform and origin cursors before (after) sample s, by position.
    std::vector<int> CursorsBefore(int64_t s) const;
    std::vector<int> CursorsAfter(int64_t s) const;
    // The first cursor closer to s than five points.
    std::optional<int> FindCursorNear(int64_t s) const;
    // The time from cursor i to cursor j; "-" when either is unused.
    std::string CursorTimeDifference(int i, int j, bool& exact) const;
    // The time from sample a to sample b as the cursor displays show it:
    // not exact when an overrun lies between them, unless the engine's
    // IgnoreOverrun is set.
    std::string TimeBetween(int64_t a, int64_t b, bool addOrigin, bool& exact) const;
    // The same time with the inexact mark ("!") after it when it is not exact.
    std::string MarkedTimeBetween(int64_t a, int64_t b, bool addOrigin) const;
    std::optional<TCalibration> GetCalibrationAt(int64_t s) const { return index_.GetCalibrationAt(s); }

    using WindowFactory = std::function<std::unique_ptr<ICursorTimesWindow>()>;
    void SetCursorTimesWindowFactory(WindowFactory factory) { windowFactory_ = std::move(factory); }
    bool CursorTimesDisplayed() const { return cursorTimesDisplayed_; }
    // Creates and shows the window unless it is shown already.
    void ShowCursorTimes();
    void RefreshCursorTimes();
    // Called by the window when the user closed it.
    void CursorTimesClosed() { cursorTimesDisplayed_ = false; }
    // Closes and frees the window: it goes with the data source that owns it.
    void CloseCursorTimes();

private:
    std::vector<int> sortedCursors(const std::function<bool(int64_t)>& wanted) const;

    TPreviewEnginePelkRM& engine_;
    const TIndexFileWrapperVornRMPrv& index_;
    std::array<TGeneralCursorObject, kMaxCursors> entries_{};
    int count_ = 0;
    bool cursorTimesDisplayed_ = false;
    WindowFactory windowFactory_;
    std::unique_ptr<ICursorTimesWindow> window_;
};

} // namespace rm::viewer
