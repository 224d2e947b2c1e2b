// "Automatic switching": which power scheme becomes active when the machine changes to mains
// or to battery power, chosen by name from the system's schemes; on the plan back end from its
// plans, each kept by GUID with its name (core/scheme_switch_rules.h).
#pragma once

#include <string>

#include "i18n/lang_dialog.h"
#include "power/power_plans.h"
#include "settings/core/app_settings.h"

namespace vantrel::power {

class PowerPlatform;

class AutoSwitchDialog : public i18n::CLangDialog {
 public:
  // Both must outlive the dialog. OK stores the two choices in `settings` and in the registry.
  AutoSwitchDialog(HWND parent, PowerPlatform& platform, settings::AppSettings& settings) noexcept;
  void ApplyLanguage() override;

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;

 private:
  // Fills one list and shows the stored name in it; the item shown is kept for OK.
  int FillChoice(int control, const std::string& stored);
  // The name to store from one list; the lists keep the names as they were when it opened.
  std::string Chosen(int control, int shown, const std::string& stored) const;

  PowerPlatform& platform_;
  settings::AppSettings& settings_;
  bool on_plans_ = false;
  PowerPlans plans_;
  int shown_mains_ = 0;
  int shown_battery_ = 0;
};

}  // namespace vantrel::power
