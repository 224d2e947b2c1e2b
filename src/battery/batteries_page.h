// The Batteries page of the main window: the machine's batteries in a list, the chosen
// battery's fixed information and its live status with a wear bar and a charge bar, and a
// button that asks the battery to charge or to discharge.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "battery/battery_platform.h"
#include "controls/text_progress_bar.h"
#include "ui/bindings.h"
#include "ui/page.h"

namespace vantrel::battery {

// Refreshes the live status while the page is on screen.
inline constexpr UINT_PTR kBatteriesPageTimer = 256;
inline constexpr UINT kBatteriesPageRefreshMs = 500;

// One battery's fixed information as the page reads it: every figure with the result of its
// query, so that a failed one can show "Unknown".
struct BatteryInfoReading {
  DWORD info_result = ERROR_INVALID_PARAMETER;
  BATTERY_INFORMATION info{};
  DWORD date_result = ERROR_INVALID_PARAMETER;
  BATTERY_MANUFACTURE_DATE date{};
  bool has_maker = false, has_serial = false, has_unique_id = false;
  std::string maker, serial, unique_id;
};

// One battery's live status. One information and one status request serve every field that
// shows a part of them: a refresh makes four device requests, not one per field.
struct BatteryStatusReading {
  DWORD info_result = ERROR_INVALID_PARAMETER;
  BATTERY_INFORMATION info{};
  DWORD status_result = ERROR_INVALID_PARAMETER;
  BATTERY_STATUS status{};
  DWORD temperature_result = ERROR_INVALID_PARAMETER;
  ULONG temperature = 0;
  DWORD time_result = ERROR_INVALID_PARAMETER;
  ULONG seconds = 0;

  // False when the status cannot be read; charging wins when both bits are set.
  bool charging() const noexcept;
  bool discharging() const noexcept;
  // As BatteryPlatform's GetWearPercent and GetChargePercent compute them.
  unsigned wear() const noexcept;
  // False when the information cannot be read or either capacity is reported unknown: the
  // wear then says nothing.
  bool wear_known() const noexcept;
  unsigned charge() const noexcept;
  // Whether the battery accepts the command the charge button offers now.
  bool can_do_offered_action() const noexcept;
};

BatteryInfoReading ReadBatteryInfo(BatteryPlatform& platform, unsigned index);
BatteryStatusReading ReadBatteryStatus(BatteryPlatform& platform, unsigned index);

class CBatteriesPage : public ui::CPage {
 public:
  // With the program's batteries, found once (the meter's; they must outlive the page); without
  // them the page finds the batteries present now itself.
  explicit CBatteriesPage(HWND parent, BatteryPlatform* batteries = nullptr);
  ~CBatteriesPage() override;

  // The labels, then the shown battery's figures again so that units and states follow.
  void ApplyLanguage() override;

  BatteryPlatform& platform() noexcept { return platform_; }
  // The selected list entry, -1 when none.
  int Selected() const noexcept;
  // Whether timer 256 runs: from initialisation while the page is on screen.
  bool refreshing() const noexcept { return timer_running_; }

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(WORD id, WORD code, HWND control) override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  // Nothing to keep or put back: closing hides the main window, and the refresh stops now
  // rather than at the next tick; showing the page again starts it.
  bool OnOkay() override;
  void OnReset() override;

 private:
  void InitBatteriesPage();
  void ShowBatteryInfo(unsigned k);
  void ShowBatteryStatus(unsigned k);
  void ChargeButtonClicked();
  void OnRefreshTimer();

  // The page is on screen: visible with its parent, which is not minimised.
  bool OnScreen() const noexcept;
  void StartTimer(UINT period) noexcept;
  void StopTimer() noexcept;
  // The timer stops while the page is off screen; it starts again, refreshing at once, when
  // the page is shown or, since a child hears nothing when its parent is shown, painted.
  void ResumeIfStopped() noexcept;
  void SetItemTextIfChanged(int id, const std::string& text) const;
  // Each label centred on its value's row, over two lines when its text needs them.
  void CentreLabels() const;

  std::unique_ptr<BatteryPlatform> own_platform_;
  BatteryPlatform& platform_;
  controls::TextProgressBar wear_bar_, charge_bar_;
  ui::Bindings<BatteryInfoReading> info_;
  ui::Bindings<BatteryStatusReading> status_;
  bool timer_running_ = false;
};

}  // namespace vantrel::battery
