#include "CursorTable.h"

#include "MessageBoxes.h"
#include "viewer/ViewerStrings.h"

#include <algorithm>
#include <cstdlib>

namespace rm::viewer {

namespace {

constexpr std::array<TColor, TCursorObjectTable::kMaxCursors> kCursorColors = {
    0x00FF00, 0xFFFF00, 0x0080FF, 0x9BFF9B, 0x9240FF, 0xFF66D9, 0x00E6E6, 0xFEFCCD, 0xB9B9FF, 0xFFFF75};

constexpr TColor kTimeOriginColor = 0xFFFFFF;

} // namespace

TCursorObjectTable::TCursorObjectTable(TPreviewEnginePelkRM& engine, const TIndexFileWrapperVornRMPrv& index)
    : engine_(engine), index_(index) {}

void TCursorObjectTable::Clear() {
    entries_ = {};
    count_ = 0;
    cursorTimesDisplayed_ = false;
    window_.reset();
}

bool TCursorObjectTable::AddCursorObject(const TGeneralCursorObject& cursor) {
    if (count_ >= kMaxCursors)
        return false;
    if (cursor.CursorType == ctTimeSynchro && engine_.IsTimeOriginSet) {
        showMessage(ViewerStrings::TimeSynchroAlreadySet, {}, MsgButtons::OkCancel, MsgIcon::Information);
        return false;
    }
    TGeneralCursorObject& entry = entries_[static_cast<size_t>(count_)];
    entry = cursor;
    entry.Used = true;
    if (cursor.CursorType == ctTimeSynchro) {
        entry.CursorName = ViewerStrings::TimeSynchroCursorName;
        entry.CursorColor = kTimeOriginColor;
        engine_.IsTimeOriginSet = true;
        engine_.TimeOriginSample = cursor.SamplePosition;
    }
    ++count_;
    RefreshCursorTimes();
    return true;
}

void TCursorObjectTable::DeleteCursorObject(int index) {
    if (index < 0 || index >= count_)
        return;
    if (entries_[static_cast<size_t>(index)].CursorType == ctTimeSynchro) {
        engine_.IsTimeOriginSet = false;
        engine_.TimeOriginUserValue = 0;
        engine_.TimeOriginSample = 0;
    }
    std::move(entries_.begin() + index + 1, entries_.begin() + count_, entries_.begin() + index);
    --count_;
    entries_[static_cast<size_t>(count_)] = {};
    RefreshCursorTimes();
}

TColor TCursorObjectTable::NextCursorColor() const {
    return count_ < kMaxCursors ? kCursorColors[static_cast<size_t>(count_)] : 0;
}

std::string TCursorObjectTable::NextCursorName() const {
    for (int number = 1; number < kMaxCursors; ++number) {
        const std::string name = ViewerStrings::CursorNamePrefix + std::to_string(number);
        const bool taken = std::any_of(entries_.begin(), entries_.begin() + count_,
                                       [&](const TGeneralCursorObject& c) { return c.CursorName == name; });
        if (!taken)
            return name;
    }
    return ViewerStrings::CursorNamePrefix + std::to_string(kMaxCursors);
}

std::vector<int> TCursorObjectTable::sortedCursors(const std::function<bool(int64_t)>& wanted) const {
    std::vector<int> list;
    for (int i = 0; i < count_; ++i) {
        const TGeneralCursorObject& c = entries_[static_cast<size_t>(i)];
        if (c.Used && (c.CursorType == ctWaveform || c.CursorType == ctTimeSynchro) && wanted(c.SamplePosition))
            list.push_back(i);
    }
    std::stable_sort(list.begin(), list.end(), [this](int a, int b) {
        return entries_[static_cast<size_t>(a)].SamplePosition < entries_[static_cast<size_t>(b)].SamplePosition;
    });
    return list;
}

std::vector<int> TCursorObjectTable::CursorsBefore(int64_t s) const {
    return sortedCursors([s](int64_t p) { return p < s; });
}

std::vector<int> TCursorObjectTable::CursorsAfter(int64_t s) const {
    return sortedCursors([s](int64_t p) { return p > s; });
}

std::optional<int> TCursorObjectTable::FindCursorNear(int64_t s) const {
    const int64_t reach = 5 * static_cast<int64_t>(engine_.SamplesPerPoint());
    for (int i = 0; i < count_; ++i)
        if (std::llabs(entries_[static_cast<size_t>(i)].SamplePosition - s) < reach)
            return i;
    return std::nullopt;
}

std::string TCursorObjectTable::CursorTimeDifference(int i, int j, bool& exact) const {
    exact = true;
    if (i < 0 || j < 0 || i >= kMaxCursors || j >= kMaxCursors || !entries_[static_cast<size_t>(i)].Used ||
        !entries_[static_cast<size_t>(j)].Used)
        return ViewerStrings::FreeCursorSlot;
    return TimeBetween(entries_[static_cast<size_t>(i)].SamplePosition,
                       entries_[static_cast<size_t>(j)].SamplePosition, false, exact);
}

std::string TCursorObjectTable::TimeBetween(int64_t a, int64_t b, bool addOrigin, bool& exact) const {
    const std::string text = index_.TimeBetweenSamples(a, b, addOrigin, exact);
    if (engine_.IgnoreOverrun)
        exact = true;
    return text;
}

std::string TCursorObjectTable::MarkedTimeBetween(int64_t a, int64_t b, bool addOrigin) const {
    bool exact = true;
    const std::string text = TimeBetween(a, b, addOrigin, exact);
    return exact ? text : text + ViewerStrings::InexactTimeMark;
}

void TCursorObjectTable::ShowCursorTimes() {
    if (cursorTimesDisplayed_ || !windowFactory_)
        return;
    cursorTimesDisplayed_ = true;
    window_ = windowFactory_();
    if (window_)
        window_->Show();
}

void TCursorObjectTable::CloseCursorTimes() {
    cursorTimesDisplayed_ = false;
    window_.reset();
}

void TCursorObjectTable::RefreshCursorTimes() {
    if (cursorTimesDisplayed_ && window_)
        window_->RefreshTimes();
}

} // namespace rm::viewer
