#include "display/control_page.h"

#include <commctrl.h>

#include <vector>

#include "control_ids.h"
#include "display/meter_window.h"
#include "display/notices_dialog.h"
#include "framework/caught.h"
#include "framework/prompt.h"
#include "i18n/core/language_table.h"
#include "i18n/core/text_format.h"
#include "i18n/core/text_ids.h"
#include "notices_ids.h"
#include "power/power_actions.h"
#include "power/power_backend.h"
#include "resource.h"
#include "settings/settings_store.h"

namespace vantrel::display {

namespace {

using settings::AppSettings;

constexpr i18n::ControlText kTexts[] = {
    {i18n::IDS_CONTROL_METER_OPTIONS, IDC_CONTROL_METER_GROUP},
    {i18n::IDS_CONTROL_TRANSPARENT, IDC_CONTROL_TRANSPARENT},
    {i18n::IDS_CONTROL_ALWAYS_ON_TOP, IDC_CONTROL_TOPMOST},
    {i18n::IDS_CONTROL_APPEAR_ON_CHR_DISCHR, IDC_CONTROL_APPEAR_ONLY},
    {i18n::IDS_CONTROL_AUTO_HIDE, IDC_CONTROL_AUTO_HIDE},
    {i18n::IDS_CONTROL_DISPLAY_CHARGE, IDC_CONTROL_DISPLAY_LABEL},
    {i18n::IDS_CONTROL_ALL_BATTERIES, IDC_CONTROL_ALL_BATTERIES},
    {i18n::IDS_CONTROL_ONE_BATTERY, IDC_CONTROL_ONE_BATTERY},
    {i18n::IDS_CONTROL_WINDOWS_SETTINGS, IDC_CONTROL_WINDOWS_GROUP},
    {i18n::IDS_CONTROL_MULTI_BATTERY_DISPLAY, IDC_CONTROL_MULTI_BATTERY},
    {i18n::IDS_CONTROL_PASSWORD_LOGON, IDC_CONTROL_PASSWORD_LOGON},
    {i18n::IDS_CONTROL_SYSTRAY_METER, IDC_CONTROL_SYSTRAY_METER},
    {i18n::IDS_CONTROL_VIDEO_DIMMING, IDC_CONTROL_VIDEO_DIMMING},
    {i18n::IDS_CONTROL_WAKE_ON_RING, IDC_CONTROL_WAKE_ON_RING},
    {i18n::IDS_CONTROL_ALLOW_HIBERNATE, IDC_CONTROL_HIBERNATE},
    {i18n::IDS_CONTROL_AUTO_START, IDC_CONTROL_AUTO_START},
    {i18n::IDS_CONTROL_BEEP_AFTER_WAKE_UP, IDC_CONTROL_BEEP},
    {i18n::IDS_OK, IDOK},
    {i18n::IDS_CANCEL, IDCANCEL},
    {i18n::IDS_APPLY, IDC_CONTROL_APPLY},
    {i18n::IDS_NOTICES_BUTTON, IDC_CONTROL_NOTICES},
};

constexpr int kHandCursorControls[] = {
    IDC_CONTROL_TRANSPARENT,   IDC_CONTROL_ALPHA,          IDC_CONTROL_TOPMOST,       IDC_CONTROL_APPEAR_ONLY,
    IDC_CONTROL_BEEP,          IDC_CONTROL_AUTO_HIDE,      IDC_CONTROL_ALL_BATTERIES, IDC_CONTROL_ONE_BATTERY,
    IDC_CONTROL_BATTERY_LIST,  IDC_CONTROL_MULTI_BATTERY,  IDC_CONTROL_PASSWORD_LOGON, IDC_CONTROL_SYSTRAY_METER,
    IDC_CONTROL_VIDEO_DIMMING, IDC_CONTROL_WAKE_ON_RING,   IDC_CONTROL_HIBERNATE,     IDC_CONTROL_AUTO_START,
};

// The meter group, disabled as a whole on a machine without batteries.
constexpr int kMeterGroup[] = {
    IDC_CONTROL_METER_GROUP,   IDC_CONTROL_TRANSPARENT,   IDC_CONTROL_ALPHA,         IDC_CONTROL_TOPMOST,
    IDC_CONTROL_APPEAR_ONLY,   IDC_CONTROL_AUTO_HIDE,     IDC_CONTROL_DISPLAY_LABEL, IDC_CONTROL_ALL_BATTERIES,
    IDC_CONTROL_ONE_BATTERY,   IDC_CONTROL_BATTERY_LIST,  IDC_CONTROL_NOTICES,
};

// The global flags no power plan has a setting for: shown disabled there, never written.
constexpr int kFlagsWithoutPlanSetting[] = {IDC_CONTROL_MULTI_BATTERY, IDC_CONTROL_SYSTRAY_METER,
                                            IDC_CONTROL_VIDEO_DIMMING, IDC_CONTROL_WAKE_ON_RING};

// The plans a store did not reach, by name.
std::string PlansNotSaved(const power::PowerPlans& plans, const std::vector<power::StoreReport>& reports) {
  std::string names;
  for (size_t i = 0; i < reports.size(); ++i) {
    if (reports[i].ok()) continue;
    if (!names.empty()) names += ", ";
    names += plans.GetPlanName(static_cast<int>(i));
  }
  return names;
}

constexpr int kAlphaLow = 0;
constexpr int kAlphaHigh = 255;

}  // namespace

CControlPage::CControlPage(HWND parent, ControlPageContext context)
    : CPage(IDD_CONTROL_PAGE, parent, IDC_CONTROL_APPLY), context_(std::move(context)) {
  SetTexts(kTexts);
  SetHandCursorControls(kHandCursorControls);
  using ui::Member;
  meter_rows_.Check(IDC_CONTROL_TRANSPARENT, Member(&AppSettings::TransparentForm))
      .TrackBar(IDC_CONTROL_ALPHA, Member(&AppSettings::bAlpha), kAlphaLow, kAlphaHigh)
      .Check(IDC_CONTROL_TOPMOST, Member(&AppSettings::AlwaysOnTop))
      .Check(IDC_CONTROL_APPEAR_ONLY, Member(&AppSettings::AppearOnlyWhenChrDischr))
      .Check(IDC_CONTROL_BEEP, Member(&AppSettings::BeepAfterWakeUp))
      .Check(IDC_CONTROL_AUTO_HIDE, Member(&AppSettings::PaneWindow))
      .RadioPair(IDC_CONTROL_ALL_BATTERIES, IDC_CONTROL_ONE_BATTERY, Member(&AppSettings::DisplayOneBatteryStatus));
  Watch(meter_rows_);
  const auto flags = Member(&SystemOptions::GlobalFlags);
  system_rows_.FlagBit(IDC_CONTROL_MULTI_BATTERY, flags, EnableMultiBatteryDisplay)
      .FlagBit(IDC_CONTROL_PASSWORD_LOGON, flags, EnablePasswordLogon)
      .FlagBit(IDC_CONTROL_SYSTRAY_METER, flags, EnableSysTrayBatteryMeter)
      .FlagBit(IDC_CONTROL_VIDEO_DIMMING, flags, EnableVideoDimDisplay)
      .FlagBit(IDC_CONTROL_WAKE_ON_RING, flags, EnableWakeOnRing)
      .Check(IDC_CONTROL_HIBERNATE, Member(&SystemOptions::Hibernate))
      .Check(IDC_CONTROL_AUTO_START, Member(&SystemOptions::AutoStart));
  Watch(system_rows_);
}

BOOL CControlPage::OnInitDialog() {
  meter_rows_.Attach(hwnd());
  system_rows_.Attach(hwnd());
  LoadControlPage();
  CPage::OnInitDialog();  // the texts
  if (batteries().GetBatteryCount() == 0) {
    for (int id : kMeterGroup) EnableItem(id, false);
  }
  return TRUE;
}

battery::BatteryPlatform& CControlPage::batteries() {
  if (context_.batteries) return *context_.batteries;
  if (context_.meter) return context_.meter->platform();
  if (!own_batteries_) own_batteries_ = std::make_unique<battery::BatteryPlatform>();
  return *own_batteries_;
}

MeterWindow* CControlPage::meter() const noexcept {
  return context_.meter && context_.meter->IsWindow() ? context_.meter : nullptr;
}

uint8_t CControlPage::SliderPosition() const {
  return static_cast<uint8_t>(::SendMessageA(Item(IDC_CONTROL_ALPHA), TBM_GETPOS, 0, 0) & 0xFF);
}

void CControlPage::EnableMeterControl(int id, bool enable) {
  // Without a battery the whole group stays disabled, also after Cancel or a click.
  EnableItem(id, enable && batteries().GetBatteryCount() > 0);
}

// ---- loading ----------------------------------------------------------------------------------

void CControlPage::LoadControlPage() {
  LoadScope loading(*this);
  const AppSettings& s = context_.settings;
  meter_rows_.Load(s);
  EnableMeterControl(IDC_CONTROL_ALPHA, s.TransparentForm != 0);
  FillBatteryList();
  EnableMeterControl(IDC_CONTROL_BATTERY_LIST, s.DisplayOneBatteryStatus != 0);
  SelectRememberedBattery();

  SystemOptions system;
  on_plans_ = power::CurrentPowerBackend() == power::PowerBackend::Plans;
  if (on_plans_) {
    system.GlobalFlags = LoadPlanFlags();
  } else {
    GLOBAL_POWER_POLICY policy{};
    // A policy that cannot be read shows no flag; Take then writes only what the user ticks.
    if (power::PowerPlatform::ReadGlobalPolicy(&policy) == 0) system.GlobalFlags = policy.user.GlobalFlags;
  }
  system.Hibernate = power::PowerPlatform::CanHibernate() != 0 ? 1 : 0;
  settings::SettingsStore store;
  system.AutoStart = store.IsAutoStart() ? 1 : 0;
  system_rows_.Load(system);
  loaded_ = system;
  if (on_plans_) ShowPlanSupport();
}

uint32_t CControlPage::LoadPlanFlags() {
  plans_.EnumPlans();
  power::PlanView view;
  if (plans_.Load(plans_.GetActivePlanIndex(), &view) != 0) {
    // No active plan to read: nothing to show, nothing to write.
    password_support_ = power::FieldSupport::None;
    return 0;
  }
  password_support_ = view.Support(power::XpField::PasswordLogon);
  return view.global.user.GlobalFlags & EnablePasswordLogon;
}

void CControlPage::ShowPlanSupport() {
  auto show = [&](int id, power::FieldSupport support) {
    EnableItem(id, support == power::FieldSupport::Counterpart);
    const int why = support == power::FieldSupport::None     ? i18n::IDS_SCHEMES_NO_COUNTERPART
                    : support == power::FieldSupport::Locked ? i18n::IDS_SCHEMES_LOCKED
                                                             : 0;
    tips_.Set(hwnd(), id, why ? i18n::Text(why) : std::string());
  };
  for (int id : kFlagsWithoutPlanSetting) show(id, power::FieldSupport::None);
  show(IDC_CONTROL_PASSWORD_LOGON, password_support_);
}

bool CControlPage::TakePlanFlags(uint32_t flags) {
  power::PlanView loaded;
  std::vector<power::StoreReport> reports;
  if (plans_.Load(plans_.GetActivePlanIndex(), &loaded) == 0) {
    power::PlanView edited = loaded;
    ULONG& word = edited.global.user.GlobalFlags;
    word = (word & ~static_cast<ULONG>(EnablePasswordLogon)) | (flags & EnablePasswordLogon);
    reports = plans_.StoreInEveryPlan(edited, loaded);
  }
  // No active plan to read from: the setting itself is named.
  const std::string names =
      reports.empty() ? i18n::Text(i18n::IDS_CONTROL_PASSWORD_LOGON) : PlansNotSaved(plans_, reports);
  if (names.empty()) return true;
  fw::TraceQuietFailure("Control page, password on waking not saved in every plan");
  fw::AppPrompt(hwnd(), i18n::FormatText(i18n::Text(i18n::IDS_PLANS_NOT_SAVED), {names}), MB_OK | MB_ICONEXCLAMATION);
  return false;
}

void CControlPage::FillBatteryList() {
  HWND list = Item(IDC_CONTROL_BATTERY_LIST);
  ::SendMessageA(list, CB_RESETCONTENT, 0, 0);
  for (unsigned i = 0; i < batteries().GetBatteryCount(); ++i) {
    // The meter finds its battery by name: one whose name cannot be read could never be it.
    std::string name;
    if (battery::ReadBatteryText(batteries(), battery::BatteryText::DeviceName, i, name))
      ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  }
}

void CControlPage::SelectRememberedBattery() {
  HWND list = Item(IDC_CONTROL_BATTERY_LIST);
  const std::string& name = context_.settings.BatteryName;
  LRESULT found = CB_ERR;
  // The list's own search: the first entry that begins with the name, in any case.
  if (!name.empty()) found = ::SendMessageA(list, CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name.c_str()));
  if (found == CB_ERR && ::SendMessageA(list, CB_GETCOUNT, 0, 0) > 0) found = 0;
  ::SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(found), 0);
}

std::string CControlPage::SelectedBattery() const {
  HWND list = Item(IDC_CONTROL_BATTERY_LIST);
  const LRESULT selected = ::SendMessageA(list, CB_GETCURSEL, 0, 0);
  if (selected == CB_ERR) return {};
  const LRESULT length = ::SendMessageA(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(selected), 0);
  if (length <= 0) return {};
  std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
  const LRESULT copied =
      ::SendMessageA(list, CB_GETLBTEXT, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(text.data()));
  if (copied <= 0 || copied > length) return {};
  return std::string(text.data(), static_cast<size_t>(copied));
}

// ---- taking and applying ------------------------------------------------------------------------

bool CControlPage::TakeControlPage() {
  // The meter and the wake-up timer read the options when they act: this takes effect at once.
  // The battery list names only batteries that can be found by name; none chosen keeps the
  // remembered one.
  const std::string remembered = context_.settings.BatteryName;
  meter_rows_.Store(context_.settings);
  const std::string chosen_battery = SelectedBattery();
  context_.settings.BatteryName = chosen_battery.empty() ? remembered : chosen_battery;

  bool taken = true;
  SystemOptions chosen = loaded_;
  system_rows_.Store(chosen);
  // Only the flags whose boxes changed are written, over what the system holds now: the bits
  // the page does not show and any flag changed elsewhere meanwhile stay. A user without the
  // rights to change the machine's policy who changed only meter options causes no failing call.
  // A refused change is said, and asked for again next time.
  const uint32_t changed = (chosen.GlobalFlags ^ loaded_.GlobalFlags) & kShownGlobalFlags;
  if (on_plans_) {
    // Only the password on waking has a plan setting; the other boxes are never written.
    if (changed & EnablePasswordLogon) {
      if (TakePlanFlags(chosen.GlobalFlags)) {
        loaded_.GlobalFlags = (loaded_.GlobalFlags & ~static_cast<uint32_t>(EnablePasswordLogon)) |
                              (chosen.GlobalFlags & EnablePasswordLogon);
      } else {
        taken = false;
      }
    }
  } else if (changed) {
    GLOBAL_POWER_POLICY policy{};
    int result = power::PowerPlatform::ReadGlobalPolicy(&policy);
    if (result == 0) {
      policy.user.GlobalFlags = (policy.user.GlobalFlags & ~changed) | (chosen.GlobalFlags & changed);
      result = power::PowerPlatform::WriteGlobalPolicy(policy);
    }
    if (result == 0) {
      loaded_.GlobalFlags = chosen.GlobalFlags;
    } else {
      fw::TraceQuietFailure("Control page, global flags not changed", static_cast<unsigned long>(result));
      fw::AppPrompt(hwnd(), i18n::Text(i18n::IDS_CONTROL_FLAGS_NOT_SAVED), MB_OK | MB_ICONEXCLAMATION);
      taken = false;
    }
  }
  if (chosen.Hibernate != loaded_.Hibernate) {
    if (const int reserved = power::ReserveHibernationFile(chosen.Hibernate != 0); reserved == 0) {
      loaded_.Hibernate = chosen.Hibernate;
    } else {
      fw::TraceQuietFailure("Control page, hibernation file not changed", static_cast<unsigned long>(reserved));
      fw::AppPrompt(hwnd(), i18n::Text(i18n::IDS_CONTROL_HIBERNATE_NOT_SAVED), MB_OK | MB_ICONEXCLAMATION);
      taken = false;
    }
  }
  return taken;
}

bool CControlPage::ApplyControlPage() {
  const bool taken = TakeControlPage();
  TransparentClicked();
  TopmostClicked();

  AppSettings& s = context_.settings;
  RECT r{};
  if (MeterWindow* m = meter(); m && ::GetWindowRect(m->hwnd(), &r)) {
    s.BatteryMeterPosTop = r.top;
    s.BatteryMeterPosLeft = r.left;
  }
  settings::SettingsStore store;
  // In the order start-up reads them back: the options, the name, top, then left.
  store.SaveDisplayOptions(s);

  SystemOptions chosen = loaded_;
  system_rows_.Store(chosen);
  const bool was_on = store.IsAutoStart();
  if (chosen.AutoStart) {
    store.SetAutoStart(true, AutoStartCommand());
  } else if (was_on) {
    store.SetAutoStart(false, {});
  }
  loaded_.AutoStart = chosen.AutoStart;
  return taken;
}

std::string CControlPage::AutoStartCommand() const {
  // Quoted, so that a folder with blanks is not taken for a shorter program and its arguments.
  return "\"" + settings::AutoStartCommand(context_.app_directory, context_.exe_base_name) + "\"";
}

// ---- the preview ------------------------------------------------------------------------------

void CControlPage::TransparentClicked() {
  const bool transparent = IsChecked(IDC_CONTROL_TRANSPARENT);
  EnableMeterControl(IDC_CONTROL_ALPHA, transparent);
  if (MeterWindow* m = meter()) m->ShowTransparent(transparent, SliderPosition());
  MarkChanged();
}

void CControlPage::AlphaScrolled(WORD code, WORD position) {
  MeterWindow* m = meter();
  if (!m) return;
  switch (code) {
    case TB_THUMBPOSITION:
    case TB_THUMBTRACK:
      m->ShowAlpha(static_cast<uint8_t>(position & 0xFF));
      break;
    case TB_LINEUP:
    case TB_LINEDOWN:
    case TB_PAGEUP:
    case TB_PAGEDOWN:
    // Home and End move the thumb too; the preview follows it.
    case TB_TOP:
    case TB_BOTTOM:
      m->ShowAlpha(SliderPosition());
      break;
    default:  // the end of a scroll moves nothing
      break;
  }
}

void CControlPage::TopmostClicked() {
  if (MeterWindow* m = meter()) m->ShowOnTop(IsChecked(IDC_CONTROL_TOPMOST));
  MarkChanged();
}

// ---- messages ---------------------------------------------------------------------------------

bool CControlPage::OnCommand(WORD id, WORD code, HWND control) {
  if (code == BN_CLICKED) {
    switch (id) {
      case IDC_CONTROL_TRANSPARENT:
        TransparentClicked();
        return true;
      case IDC_CONTROL_TOPMOST:
        TopmostClicked();
        return true;
      case IDC_CONTROL_ONE_BATTERY:
      case IDC_CONTROL_ALL_BATTERIES:
        EnableMeterControl(IDC_CONTROL_BATTERY_LIST, id == IDC_CONTROL_ONE_BATTERY);
        return true;
      case IDC_CONTROL_NOTICES: {
        // Its own OK stores the levels: nothing here for Apply to do.
        CNoticesDialog dialog(::GetAncestor(hwnd(), GA_ROOT), context_.settings);
        dialog.DoModal();
        return true;
      }
      default:
        break;
    }
  }
  // The list is filled by the page, not by a table.
  if (id == IDC_CONTROL_BATTERY_LIST && code == CBN_SELCHANGE) {
    MarkChanged();
    return true;
  }
  return CPage::OnCommand(id, code, control);
}

bool CControlPage::OnHScroll(HWND control, WORD code, WORD position) {
  if (control != Item(IDC_CONTROL_ALPHA)) return false;
  AlphaScrolled(code, position);
  return true;
}

void CControlPage::ApplyLanguage() {
  CPage::ApplyLanguage();
  if (on_plans_ && hwnd()) ShowPlanSupport();  // the tips in the new language
}

bool CControlPage::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  // The tips go with the page's window.
  if (msg == WM_DESTROY) tips_.Reset();
  return CPage::OnMessage(msg, wp, lp, result);
}

bool CControlPage::OnApply() { return ApplyControlPage(); }

bool CControlPage::OnOkay() { return TakeControlPage(); }

void CControlPage::OnReset() {
  LoadControlPage();
  TransparentClicked();
  TopmostClicked();
}

}  // namespace vantrel::display
