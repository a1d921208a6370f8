#pragma once

namespace rm::viewer {

// Notification codes of the viewer's bus. Codes not listed are never sent and
// every listener ignores them.
enum TEngineNotifyCode : int {
    enInitialize = 1,
    enFileNameChanged = 2,
    enShutdown = 3,
    enLoadSettings = 4,
    enSaveUserSettings = 5,
    enLoadUserSettings = 6,
    enRedraw = 7,
    enFormResized = 11,
    enPrepareIndex = 12,
    enQuickViewReady = 14,
    enBufferViewReady = 15,
    enNormalViewReady = 16,
    enFileTargeted = 18,
    enZoomChanged = 19,
    enScreenMoved = 20,
    enSweepChanged = 21,
    enChannelsChanged = 22,
    enBufferMoved = 23,
    enCursorDragged = 24,
    enVoltageCursorMoved = 25,
    enVoltageCursorsToggled = 26,
    enOpenDataFile = 27,
    enCursorsChanged = 28,
};

// Control-group numbers of the viewer's components; kGroupAll is the engine
// itself or a sender speaking for all groups.
inline constexpr int kGroupNone = 0;  // main buffer, time bar
inline constexpr int kGroupDisplay = 1;
inline constexpr int kGroupQuickBar = 2;
inline constexpr int kGroupSettings = 3;
inline constexpr int kGroupColorDialog = 4;
inline constexpr int kGroupBufferBar = 5;
inline constexpr int kGroupMainWindow = 6;
inline constexpr int kGroupOpenPanel = 7;
inline constexpr int kGroupModuleManager = 8;
inline constexpr int kGroupDataSource = 9;
inline constexpr int kGroupZoomPanel = 10;
inline constexpr int kGroupChannelsPanel = 11;
inline constexpr int kGroupSweepPanel = 13;
inline constexpr int kGroupVoltagesPanel = 16;
inline constexpr int kGroupAll = 255;

} // namespace rm::viewer
