#include "display/notices_dialog.h"

#include <commctrl.h>


#include "i18n/core/text_ids.h"
#include "notices_ids.h"
#include "settings/settings_store.h"

namespace vantrel::display {

namespace {

using settings::AppSettings;

constexpr i18n::ControlText kTexts[] = {{i18n::IDS_NOTICES_CAPTION, i18n::kDialogCaption},
                                        {i18n::IDS_NOTICES_LOW_BATTERY, IDC_NOTICES_LOW_CHECK},
                                        {i18n::IDS_NOTICES_CHARGE_LIMIT, IDC_NOTICES_LIMIT_CHECK},
                                        {i18n::IDS_NOTICES_EXPLAIN, IDC_NOTICES_EXPLAIN},
                                        {i18n::IDS_OK, IDOK},
                                        {i18n::IDS_CANCEL, IDCANCEL}};

constexpr int kLowestLevel = 1;
constexpr int kHighestLevel = static_cast<int>(settings::kNoticeLevelMax);
constexpr WPARAM kLevelDigits = 3;

}  // namespace

// A notice's controls and its field.
struct NoticeLevelRow {
  int check, edit, spin, unit;
  uint32_t AppSettings::*level;
  uint32_t suggested;  // shown while the notice is off
};

namespace {

constexpr NoticeLevelRow kRows[] = {
    {IDC_NOTICES_LOW_CHECK, IDC_NOTICES_LOW_EDIT, IDC_NOTICES_LOW_SPIN, IDC_NOTICES_LOW_UNIT,
     &AppSettings::LowBatteryNotice, settings::kDefaultLowBatteryNotice},
    {IDC_NOTICES_LIMIT_CHECK, IDC_NOTICES_LIMIT_EDIT, IDC_NOTICES_LIMIT_SPIN, IDC_NOTICES_LIMIT_UNIT,
     &AppSettings::ChargeLimitNotice, settings::kSuggestedChargeLimit},
};

}  // namespace

CNoticesDialog::CNoticesDialog(HWND parent, AppSettings& settings) noexcept
    : CLangDialog(IDD_NOTICES, parent), settings_(settings) {}

void CNoticesDialog::ApplyLanguage() { ApplyTexts(kTexts); }

BOOL CNoticesDialog::OnInitDialog() {
  for (const NoticeLevelRow& row : kRows) LoadRow(row);
  ApplyLanguage();
  return TRUE;
}

void CNoticesDialog::LoadRow(const NoticeLevelRow& row) const {
  HWND spin = Item(row.spin);
  ::SendMessageA(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(Item(row.edit)), 0);
  ::SendMessageA(spin, UDM_SETRANGE32, kLowestLevel, kHighestLevel);
  ::SendMessageA(Item(row.edit), EM_LIMITTEXT, kLevelDigits, 0);
  const uint32_t level = settings_.*row.level;
  const bool on = level != settings::kNoticeLevelOff && level <= settings::kNoticeLevelMax;
  SetChecked(row.check, on);
  ::SendMessageA(spin, UDM_SETPOS32, 0, static_cast<LPARAM>(on ? level : row.suggested));
  EnableRow(row);
}

void CNoticesDialog::EnableRow(const NoticeLevelRow& row) const {
  const bool on = IsChecked(row.check);
  for (int id : {row.edit, row.spin, row.unit}) EnableItem(id, on);
}

uint32_t CNoticesDialog::ChosenLevel(const NoticeLevelRow& row) const {
  if (!IsChecked(row.check)) return settings::kNoticeLevelOff;
  // What was typed counts, also beyond the range the arrows keep to.
  BOOL typed = FALSE;
  const int value = static_cast<int>(::GetDlgItemInt(hwnd(), row.edit, &typed, TRUE));
  // Nothing typed: the arrows' position.
  if (!typed) return static_cast<uint32_t>(::SendMessageA(Item(row.spin), UDM_GETPOS32, 0, 0));
  if (value < kLowestLevel) return kLowestLevel;
  return value > kHighestLevel ? kHighestLevel : static_cast<uint32_t>(value);
}

bool CNoticesDialog::OnCommand(WORD id, WORD code, HWND control) {
  if (code == BN_CLICKED) {
    for (const NoticeLevelRow& row : kRows) {
      if (row.check != id) continue;
      EnableRow(row);
      return true;
    }
  }
  return CLangDialog::OnCommand(id, code, control);
}

void CNoticesDialog::OnOK() {
  for (const NoticeLevelRow& row : kRows) settings_.*row.level = ChosenLevel(row);
  // Stored at once, as the levels are already in effect: a small dialog of its own does not
  // wait for the page's Apply.
  settings::SettingsStore().SaveNoticeLevels(settings_);
  EndDialog(IDOK);
}

}  // namespace vantrel::display
