#include "power/auto_switch_dialog.h"

#include "i18n/core/language_table.h"
#include "i18n/core/text_format.h"
#include "i18n/core/text_ids.h"
#include "power/core/scheme_switch_rules.h"
#include "power/power_backend.h"
#include "power/power_platform.h"
#include "settings/settings_store.h"
#include "tray_schemes_ids.h"

namespace vantrel::power {

AutoSwitchDialog::AutoSwitchDialog(HWND parent, PowerPlatform& platform, settings::AppSettings& settings) noexcept
    : CLangDialog(IDD_AUTO_SWITCH, parent), platform_(platform), settings_(settings) {}

void AutoSwitchDialog::ApplyLanguage() {
  static constexpr i18n::ControlText kTexts[] = {{i18n::IDS_AUTO_SWITCH_CAPTION, i18n::kDialogCaption},
                                                 {i18n::IDS_AUTO_SWITCH_ON_MAINS, IDC_AUTO_SWITCH_MAINS_LABEL},
                                                 {i18n::IDS_AUTO_SWITCH_ON_BATTERY, IDC_AUTO_SWITCH_BATTERY_LABEL},
                                                 {i18n::IDS_OK, IDOK},
                                                 {i18n::IDS_CANCEL, IDCANCEL}};
  ApplyTexts(kTexts);
}

int AutoSwitchDialog::FillChoice(int control, const std::string& stored) {
  HWND list = Item(control);
  ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(i18n::Text(i18n::IDS_AUTO_SWITCH_NONE).c_str()));
  if (on_plans_) {
    // The plan of the stored GUID, or for a choice kept by name the plan of that name.
    const PlanChoice choice = ParsePlanChoice(stored);
    int shown = 0;
    for (unsigned k = 0; k < plans_.GetPlanCount(); ++k) {
      const PlanEntry& plan = plans_.plans()[k];
      ::SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(plan.name.c_str()));
      const bool match = choice.has_guid
                             ? platform::FromGuid(plan.guid) == choice.guid
                             : !choice.name.empty() && plans_.GetPlanName(static_cast<int>(k)) == choice.name;
      if (match && shown == 0) shown = static_cast<int>(k) + 1;
    }
    ::SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(shown), 0);
    return shown;
  }
  for (const PowerSchemeEntry& scheme : platform_.schemes()) {
    ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(scheme.name.c_str()));
  }
  const int shown = SchemeChoiceItem(stored, platform_.schemes());
  // A stored scheme that is gone shows as missing: kept while left alone, cleared by choosing
  // "(do not switch)".
  if (shown > static_cast<int>(platform_.schemes().size())) {
    const std::string missing = i18n::FormatText(i18n::Text(i18n::IDS_AUTO_SWITCH_MISSING), {stored});
    ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(missing.c_str()));
  }
  ::SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(shown), 0);
  return shown;
}

BOOL AutoSwitchDialog::OnInitDialog() {
  on_plans_ = CurrentPowerBackend() == PowerBackend::Plans;
  if (on_plans_) plans_.EnumPlans();
  else platform_.EnumSchemes();
  shown_mains_ = FillChoice(IDC_AUTO_SWITCH_MAINS, settings_.SchemeOnMains);
  shown_battery_ = FillChoice(IDC_AUTO_SWITCH_BATTERY, settings_.SchemeOnBattery);
  ApplyLanguage();
  return TRUE;
}

std::string AutoSwitchDialog::Chosen(int control, int shown, const std::string& stored) const {
  HWND list = Item(control);
  const int chosen = static_cast<int>(::SendMessageA(list, CB_GETCURSEL, 0, 0));
  if (on_plans_) {
    // A plan shown is stored by GUID, one kept by name included: it is matched now.
    if (chosen <= 0 || static_cast<unsigned>(chosen) > plans_.GetPlanCount()) return chosen == shown ? stored : "";
    const int number = chosen - 1;
    return FormatPlanChoice(platform::FromGuid(plans_.plans()[static_cast<size_t>(number)].guid),
                            plans_.GetPlanName(number));
  }
  const LRESULT length = chosen >= 0 ? ::SendMessageA(list, CB_GETLBTEXTLEN, chosen, 0) : CB_ERR;
  std::string text(length > 0 ? static_cast<size_t>(length) : 0, '\0');
  if (length > 0) ::SendMessageA(list, CB_GETLBTEXT, chosen, reinterpret_cast<LPARAM>(text.data()));
  return ChosenSchemeName(chosen, shown, stored, text);
}

void AutoSwitchDialog::OnOK() {
  settings_.SchemeOnMains = Chosen(IDC_AUTO_SWITCH_MAINS, shown_mains_, settings_.SchemeOnMains);
  settings_.SchemeOnBattery = Chosen(IDC_AUTO_SWITCH_BATTERY, shown_battery_, settings_.SchemeOnBattery);
  // Nothing is said when the registry refuses: this run switches all the same.
  settings::SettingsStore().SaveSchemeSwitch(settings_);
  EndDialog(IDOK);
}

}  // namespace vantrel::power
