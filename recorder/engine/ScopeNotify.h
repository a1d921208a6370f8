#pragma once

#include <cstdint>

// The notification codes of the scope's listener bus.
enum class TScopeNotifyCode : int {
    snStart = 1,
    snSettingsChanged = 2,
    snShutdown = 3,
    snLevelsSetBack = 4,
    snMainWindowResized = 5,
    snLoadAutoSettings = 6,
    snDeviceReinitialized = 7,
    snSaveUserSettings = 8,
    snLoadUserSettings = 9,
    snShowEKGDisplay = 10,
    snShowShiftDisplay = 11,
    snRefreshTriggerPanels = 12,
    snRefreshFilePanel = 13,
    snGridBrightnessChanged = 14,
    snRestoreDefaults = 15,
};

// The control group each component registers under and sends with.
namespace ScopeGroup {
inline constexpr int InformationPanels = 1;
inline constexpr int RangePanel = 2;
inline constexpr int SourcePanel = 3;
inline constexpr int VerticalShiftPanel = 4;
inline constexpr int FlowManager = 5;  // the acquisition thread sends with it too
inline constexpr int ChannelPanel = 6;
inline constexpr int FilePanel = 7;
inline constexpr int TriggerPanel = 8;
inline constexpr int RecordPanel = 9;
inline constexpr int Settings = 10;
inline constexpr int DisplayModePanel = 11;
inline constexpr int SweepPanel = 12;
inline constexpr int MainWindow = 13;
inline constexpr int TimeBasePanel = 14;  // and the colour setup
inline constexpr int SweepingDisplay = 16;
inline constexpr int DataSource = 16;
inline constexpr int ShiftDisplay = 17;
inline constexpr int ArmPanel = 18;
inline constexpr int All = 255;  // the scope itself, or a sender speaking for every group
} // namespace ScopeGroup
