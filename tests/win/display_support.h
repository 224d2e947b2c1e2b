// Helpers of the meter and tray icon tests: battery answers chosen by the test, a surface
// whose pixels can be read, the tray menu's events recorded, and the settings put back.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/app_state.h"
#include "display/meter_battery.h"
#include "display/meter_window.h"

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

// What the tray menu would have been told.
struct TrayMenuEvents {
  int builds = 0;
  std::vector<UINT> notifications;
  std::vector<UINT> commands;
};

class RecordingTrayMenu : public display::TrayMenuHook {
 public:
  explicit RecordingTrayMenu(TrayMenuEvents& events) : events_(&events) {}
  void BuildTrayMenu(HWND) override { ++events_->builds; }
  void OnTrayNotify(HWND, UINT mouse_message) override { events_->notifications.push_back(mouse_message); }
  void OnMenuCommand(HWND, UINT id) override { events_->commands.push_back(id); }

 private:
  TrayMenuEvents* events_;
};

// A 32-bit top-down drawing surface whose pixels are read back as 0xRRGGBB.
class Surface {
 public:
  Surface(int width, int height);
  ~Surface();
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;
  HDC dc() const noexcept { return dc_; }
  int width() const noexcept { return width_; }
  int height() const noexcept { return height_; }
  unsigned At(int x, int y) const;
  // Copies a bitmap resource of the test program onto the surface at (0, 0).
  bool LoadResource(UINT id);

 private:
  int width_;
  int height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  unsigned* bits_ = nullptr;
};

// Puts the settings back as they were and the battery answers and layered lookup in place.
class DisplayTestScope {
 public:
  DisplayTestScope();
  ~DisplayTestScope();
  DisplayTestScope(const DisplayTestScope&) = delete;
  DisplayTestScope& operator=(const DisplayTestScope&) = delete;
  FakeMeterBattery battery;
  app::AppSettings& settings() { return app::State().settings; }

 private:
  app::AppSettings saved_;
  display::ScopedMeterBattery scoped_;
};

// Pumps messages until `done` holds or `ms` milliseconds have passed; returns `done()`.
template <class Predicate>
bool PumpUntil(Predicate done, DWORD ms) {
  DWORD start = ::GetTickCount();
  for (;;) {
    if (done()) return true;
    if (::GetTickCount() - start >= ms) return done();
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

// The pointer, moved for real.
void MovePointer(int x, int y);
void MovePointerInto(HWND window);
void MovePointerAway();

// True when the notification area holds the icon (window, id): a modification that changes
// nothing succeeds only for an icon that exists.
bool TrayIconExists(HWND owner, UINT id);

BYTE LayeredAlpha(HWND window);

}  // namespace vantrel::testing
