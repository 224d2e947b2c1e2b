// The program's icon in the notification area of the taskbar. The icon and its tooltip are
// fixed; mouse events on it reach the owner window as the callback message.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/handles.h"

namespace vantrel::display {

// Tray icon -> meter window: lParam = the mouse message.
inline constexpr UINT WM_TRAY_CALLBACK = WM_USER + 5;

// The icon's fixed tooltip.
inline constexpr char kTrayTooltip[] = "Corvane";

// One button of the taskbar's notification toolbar, as the shell keeps it. Only the icon
// identifier is used.
struct TrayEntry {
  uint32_t owner = 0;
  uint32_t id = 0;
  uint32_t callback = 0;
  uint32_t icon = 0;
  std::string tip;          // at most 128 bytes
  std::string second_text;  // at most 255 bytes
};

// The operating system's version as the shell-reading rules need it; 0 when none matches.
uint8_t PlatformVersionCode();
// The shell library's version, (major << 16) | minor; 0 when it cannot be asked.
uint32_t ShellLibraryVersion();

// Lists the notification toolbar's buttons into `entries` (emptied first). Returns 0 or a
// system error code. Reads the shell's memory only where its layout is known: a 32-bit
// program with a 32-bit shell of Windows 2000, XP or 7, and never under Wine; everywhere else
// the list stays empty.
DWORD EnumerateTrayEntries(std::vector<TrayEntry>& entries);

// The record's size for a shell version: the long layout from 5.0 on, else the short one.
DWORD NotifyRecordSize(uint32_t shell_version) noexcept;

class TrayIcon {
 public:
  TrayIcon();
  ~TrayIcon();
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // Stores the owner; identifier 0 picks one that no other notification icon uses. Clears the
  // flags and sizes the record by the shell's version, which it returns.
  uint32_t SetOwner(HWND owner, UINT id);
  // Returns the previous icon. The icon stays the caller's.
  HICON SetIcon(HICON icon);
  // Loads the icon resource at the notification area's size; the object owns it.
  HICON SetIconFromResource(HINSTANCE instance, UINT resourceId);
  // At most 63 characters are kept.
  void SetTooltip(const std::string& tip);
  // Returns the previous callback message.
  UINT SetCallback(UINT message);

  // NIM_ADD, then the flags are cleared. Returns the call's result.
  BOOL Add();
  // Adds the icon again with what the last Add carried: after the taskbar was restarted.
  BOOL AddAgain();
  // NIM_DELETE, then the flags are cleared.
  BOOL Delete();
  // A balloon notification on the added icon (NIM_MODIFY with NIF_INFO): the title and the
  // text are cut to what the record holds; `warning` gives it the warning sign, else the
  // information sign. FALSE, and nothing asked, when the icon is not added or the shell is
  // older than 5.0, which has no balloons.
  BOOL ShowBalloon(const std::string& title, const std::string& text, bool warning);

  // Rebuilds the entry list; returns 0 or a system error.
  DWORD EnumerateEntries();
  // The smallest identifier no listed entry uses (the list is rebuilt first).
  UINT FindFreeId();
  const std::vector<TrayEntry>& entries() const noexcept { return entries_; }

  // Tests stand in for the shell's icon list.
  using EntrySource = std::function<DWORD(std::vector<TrayEntry>&)>;
  void set_entry_source(EntrySource source) { entry_source_ = std::move(source); }

  // Tests stand in for the shell's notification call.
  using ShellNotify = BOOL(WINAPI*)(DWORD message, PNOTIFYICONDATAA data);
  void set_shell_notify(ShellNotify notify) noexcept { notify_ = notify; }

  const NOTIFYICONDATAA& record() const noexcept { return data_; }
  bool added() const noexcept { return added_; }

 private:
  NOTIFYICONDATAA data_{};
  ShellNotify notify_ = &::Shell_NotifyIconA;
  UINT last_added_flags_ = 0;
  bool added_ = false;
  fw::UniqueIcon own_icon_;
  std::vector<TrayEntry> entries_;
  EntrySource entry_source_;
};

}  // namespace vantrel::display
