// Helpers of the meter and tray icon tests: battery answers chosen by the test, a surface
// whose pixels can be read, the tray menu's events recorded, and the settings put back.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <optional>
#include <vector>

#include "app/app_state.h"
#include "display/meter_battery.h"
#include "display/meter_window.h"
#include "framework/dialog.h"

namespace vantrel::testing {

struct FakeMeterBattery : display::MeterBattery {
  unsigned count = 1;
  bool of_interest = true;
  display::FaceFigures figures{87, "5:36:49"};
  int figure_calls = 0;
  unsigned BatteryCount(power::PowerPlatform&) override { return count; }
  bool HasBatteryOfInterest(power::PowerPlatform&, const app::AppSettings&) override { return of_interest; }
  display::FaceFigures Figures(power::PowerPlatform&, const app::AppSettings&) override {
    ++figure_calls;
    return figures;
  }
};

struct RecordingTrayMenu : display::TrayMenuHook {
  int builds = 0;
  std::vector<UINT> notifications, commands;
  void BuildTrayMenu(HWND) override { ++builds; }
  void OnTrayNotify(HWND, UINT mouse_message) override { notifications.push_back(mouse_message); }
  void OnMenuCommand(HWND, UINT id) override { commands.push_back(id); }
};

template <class Predicate>
bool PumpUntil(Predicate done, DWORD ms) {
  for (DWORD start = ::GetTickCount();;) {
    if (done()) return true;
    if (::GetTickCount() - start >= ms) return done();
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}
inline void Pump(DWORD ms) { PumpUntil([] { return false; }, ms); }

// The pointer, moved for real.
inline void MovePointer(int x, int y) {
  ::SetCursorPos(x, y);
  PumpUntil([x, y] { POINT p{}; return ::GetCursorPos(&p) && p.x == x && p.y == y; }, 500);
}
inline void MovePointerInto(HWND window) {
  RECT r{};
  ::GetWindowRect(window, &r);
  MovePointer(r.left + 10, r.top + 10);
}
inline void MovePointerAway() { MovePointer(3, 600); }

// Settings back as they were, the battery answers in place (unless the battery status model
// is to answer), the pointer out of the way.
class DisplayTestScope {
 public:
  explicit DisplayTestScope(bool fake_battery = true) : saved_(app::State().settings) {
    if (fake_battery) scoped_.emplace(battery);
    app::State().settings = app::AppSettings{};
    MovePointerAway();
  }
  ~DisplayTestScope() { app::State().settings = saved_; }
  app::AppSettings& settings() { return app::State().settings; }
  FakeMeterBattery battery;

 private:
  app::AppSettings saved_;
  std::optional<display::ScopedMeterBattery> scoped_;
};

// A 32-bit top-down drawing surface whose pixels read back as 0xRRGGBB.
class Surface {
 public:
  Surface(int width, int height) : width_(width), height_(height), dc_(::CreateCompatibleDC(nullptr)) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    bitmap_ = ::CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<unsigned*>(bits);
    old_ = ::SelectObject(dc_, bitmap_);
  }
  ~Surface() {
    ::SelectObject(dc_, old_);
    ::DeleteObject(bitmap_);
    ::DeleteDC(dc_);
  }
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;
  HDC dc() const { return dc_; }
  unsigned At(int x, int y) const {
    ::GdiFlush();
    return bits_[y * width_ + x] & 0xFFFFFFu;
  }
  // Copies a bitmap resource of the test program onto the surface.
  bool LoadResource(UINT id) {
    HBITMAP picture = static_cast<HBITMAP>(
        ::LoadImageA(fw::ResourceInstance(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    HDC source = ::CreateCompatibleDC(dc_);
    HGDIOBJ old = ::SelectObject(source, picture);
    BOOL copied = picture && ::BitBlt(dc_, 0, 0, width_, height_, source, 0, 0, SRCCOPY);
    ::SelectObject(source, old);
    ::DeleteDC(source);
    ::DeleteObject(picture);
    return copied != FALSE;
  }

 private:
  int width_, height_;
  HDC dc_;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  unsigned* bits_ = nullptr;
};

// A modification that changes nothing succeeds only for an icon the notification area holds.
inline bool TrayIconExists(HWND owner, UINT id) {
  NOTIFYICONDATAA data{};
  data.cbSize = NOTIFYICONDATAA_V2_SIZE;
  data.hWnd = owner;
  data.uID = id;
  return ::Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

inline BYTE LayeredAlpha(HWND window) {
  BYTE alpha = 0;
  DWORD flags = 0;
  COLORREF key = 0;
  return ::GetLayeredWindowAttributes(window, &key, &alpha, &flags) ? alpha : 0;
}

// Killing is the only way to ask whether a timer runs; it is started again afterwards.
inline bool TimerRuns(HWND window, UINT_PTR id, UINT period) {
  if (!::KillTimer(window, id)) return false;
  ::SetTimer(window, id, period, nullptr);
  return true;
}

}  // namespace vantrel::testing
