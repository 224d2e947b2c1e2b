// The program's private window messages and timer identifiers.
#pragma once

#include <windows.h>

namespace vantrel::app {

// Page list → main window: wParam = the index of the page chosen.
inline constexpr UINT WM_PAGE_SELECTED = WM_USER + 1;
// Tray icon → meter window: lParam = the mouse message.
inline constexpr UINT WM_TRAY_CALLBACK = WM_USER + 5;
// Main window → meter window after a language change: beep and rebuild the tray menu.
inline constexpr UINT WM_LANGUAGE_CHANGED = WM_USER + 6;
// Scheme editor tab → Schemes page: a field was changed.
inline constexpr UINT WM_SCHEME_MODIFIED = WM_USER + 10;

// Meter window timers.
inline constexpr UINT_PTR kMeterShowTimer = 1;   // after an auto-hide: wait for the pointer to leave
inline constexpr UINT_PTR kMeterDragTimer = 2;   // follow the pointer while dragging
inline constexpr UINT_PTR kMeterTickTimer = 3;   // appear-only rule and the once-a-second repaint
// Batteries page: refresh of the live status.
inline constexpr UINT_PTR kBatteriesPageTimer = 256;
// Page list: hover tracking.
inline constexpr UINT_PTR kPageListTimer = 272;

}  // namespace vantrel::app
