// The Control page of the main window: how the battery meter behaves, five flags of the
// system's global power policy, the hibernation file, starting with Windows and the beep after
// a timed wake-up. Transparency, its amount and "always on top" are previewed on the running
// meter as they change; OK puts the choices into effect, Apply also stores them, Cancel puts
// everything back.
//
// On power plans (Vista and later) the password on waking is a setting of each plan: it is
// shown from the active plan and saved to every plan. The other flags have no plan setting and
// are shown disabled with a tip, never written.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "power/power_plans.h"
#include "power/power_platform.h"
#include "settings/core/app_settings.h"
#include "ui/bindings.h"
#include "ui/control_tips.h"
#include "ui/page.h"

namespace vantrel::display {

class MeterWindow;

// What the page acts on, handed in by the window that makes it.
struct ControlPageContext {
  settings::AppSettings& settings;  // the running program's options; outlives the page
  MeterWindow* meter = nullptr;     // the battery meter, previewed and placed from here
  std::string app_directory;        // the program's folder, without a trailing backslash
  std::string exe_base_name;        // the program's file name without ".exe"
  // The batteries to list, found once for the whole program (the meter's); null: the meter's
  // when there is a meter, else the page finds them itself.
  battery::BatteryPlatform* batteries = nullptr;
};

// The system's side of the page as its boxes show it.
struct SystemOptions {
  uint32_t GlobalFlags = 0;  // the user part of the global power policy
  uint32_t Hibernate = 0;    // hibernation allowed
  uint32_t AutoStart = 0;    // the program starts with Windows
};

// The global flags the page shows; every other bit of the word is left as the system has it.
inline constexpr uint32_t kShownGlobalFlags = EnableSysTrayBatteryMeter | EnableMultiBatteryDisplay |
                                              EnablePasswordLogon | EnableWakeOnRing | EnableVideoDimDisplay;

class CControlPage : public ui::CPage {
 public:
  CControlPage(HWND parent, ControlPageContext context);

  // The options, the policy, the hibernation state and the auto-start entry into the controls;
  // Apply disabled.
  void LoadControlPage();
  // The controls into the running program: the options and the chosen battery at once, the
  // global flags and the hibernation file when their boxes changed. Nothing is stored. False,
  // after saying so, when the system refused a change; it is asked again the next time.
  bool TakeControlPage();
  // The preview, through the meter: layered with the slider's alpha, or not layered. Marks
  // the page changed (after a Cancel too, which so leaves Apply enabled).
  void TransparentClicked();
  // A scroll message of the slider: its code and the position it carries.
  void AlphaScrolled(WORD code, WORD position);
  // The preview of "always on top"; marks the page changed.
  void TopmostClicked();
  // Takes the controls and stores the options, the meter's position and the auto-start entry.
  // False when the system refused a change.
  bool ApplyControlPage();

  // The command the auto-start entry holds: the program's path in double quotes.
  std::string AutoStartCommand() const;

  // The texts, and on plans the tips in the new language.
  void ApplyLanguage() override;

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(WORD id, WORD code, HWND control) override;
  bool OnHScroll(HWND control, WORD code, WORD position) override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  bool OnApply() override;
  // OK takes the choices into the running program and stores nothing.
  bool OnOkay() override;
  void OnReset() override;

 private:
  battery::BatteryPlatform& batteries();
  void FillBatteryList();
  void SelectRememberedBattery();
  std::string SelectedBattery() const;
  // Controls of the meter group follow their own rule only while a battery exists.
  void EnableMeterControl(int id, bool enable);
  // The meter while its window exists, else null.
  MeterWindow* meter() const noexcept;
  uint8_t SliderPosition() const;
  // On plans: the global flags as the active plan holds them (the password on waking alone),
  // and which boxes have a plan setting; their tips.
  uint32_t LoadPlanFlags();
  void ShowPlanSupport();
  // On plans: the password on waking into every plan; false, after saying so, on a refusal.
  bool TakePlanFlags(uint32_t flags);

  ControlPageContext context_;
  std::unique_ptr<battery::BatteryPlatform> own_batteries_;
  ui::Bindings<settings::AppSettings> meter_rows_;
  ui::Bindings<SystemOptions> system_rows_;
  // What the system's boxes stood for when the page last loaded or put them into effect: only
  // boxes changed since then are written.
  SystemOptions loaded_;

  bool on_plans_ = false;
  power::PowerPlans plans_;
  power::FieldSupport password_support_ = power::FieldSupport::None;
  ui::ControlTips tips_;
};

}  // namespace vantrel::display
