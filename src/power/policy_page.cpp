#include "power/policy_page.h"

#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "controls/icon_combo.h"
#include "framework/caught.h"
#include "framework/prompt.h"
#include "i18n/core/language_table.h"
#include "i18n/core/text_ids.h"
#include "policy_ids.h"
#include "resource.h"

namespace vantrel::power {
namespace {

using controls::CIconComboBox;
using ui::ListItem;
using ui::Member;

constexpr int kMaxLevel = 100;

COLORREF Colour(int present) {
  return present ? CIconComboBox::kSupportedColour : CIconComboBox::kUnsupportedColour;
}

// POWER_ACTION value of each action list position; the reserved value 1 has no item.
const std::vector<uint32_t> kActionValues = {PowerActionNone,     PowerActionSleep,         PowerActionHibernate,
                                             PowerActionShutdown, PowerActionShutdownReset, PowerActionShutdownOff,
                                             PowerActionWarmEject};

int ActionPosition(uint32_t value) { return value == 0 ? 0 : static_cast<int>(value) - 1; }

const std::vector<uint32_t> kFlagBits = {POWER_ACTION_CRITICAL,       POWER_ACTION_DISABLE_WAKES,
                                         POWER_ACTION_LIGHTEST_FIRST, POWER_ACTION_LOCK_CONSOLE,
                                         POWER_ACTION_OVERRIDE_APPS,  POWER_ACTION_QUERY_ALLOWED,
                                         POWER_ACTION_UI_ALLOWED};

const std::vector<uint32_t> kEventCodeBits = {POWER_FORCE_TRIGGER_RESET, POWER_LEVEL_USER_NOTIFY_EXEC,
                                              POWER_LEVEL_USER_NOTIFY_SOUND, POWER_LEVEL_USER_NOTIFY_TEXT,
                                              POWER_USER_NOTIFY_BUTTON, POWER_USER_NOTIFY_SHUTDOWN};

std::string LevelText(uint32_t percent) {
  char text[16];
  std::snprintf(text, sizeof text, "%u%%", static_cast<unsigned>(percent));
  return text;
}

std::vector<ListItem> Items(std::initializer_list<const char*> texts) {
  std::vector<ListItem> items;
  for (const char* text : texts) items.push_back({text});
  return items;
}

constexpr i18n::ControlText kTexts[] = {
    {i18n::IDS_OK, IDOK},
    {i18n::IDS_CANCEL, IDCANCEL},
    {i18n::IDS_APPLY, IDC_APPLY},
    {i18n::IDS_POLICY_SETTINGS, IDC_POLICY_SETTINGS_GROUP},
    {i18n::IDS_POLICY_ACTION_ON, IDC_POLICY_ACTION_ON},
    {i18n::IDS_POLICY_RUNNING_ON, IDC_POLICY_RUNNING_ON},
    {i18n::IDS_POLICY_POWER_SCHEME, IDC_POLICY_SCHEME_LABEL},
    {i18n::IDS_POLICY_BATTERY, IDC_POLICY_BATTERY_LABEL},
    {i18n::IDS_POLICY_MIN_SYSTEM_STATE, IDC_POLICY_MIN_STATE_LABEL},
    {i18n::IDS_POLICY_ACTIONS_SETTINGS, IDC_POLICY_ACTIONS_GROUP},
    {i18n::IDS_POLICY_ACTION, IDC_POLICY_ACTION_LABEL},
    {i18n::IDS_POLICY_FLAGS, IDC_POLICY_FLAGS_LABEL},
    {i18n::IDS_POLICY_NOTIFY_EVENT, IDC_POLICY_EVENTS_LABEL},
};

constexpr int kHandCursorControls[] = {IDC_POLICY_EVENT,      IDC_POLICY_SOURCE,       IDC_POLICY_SCHEME,
                                       IDC_POLICY_ACTION,     IDC_POLICY_MIN_STATE,    IDC_POLICY_ALARM_ENABLE,
                                       IDC_POLICY_ALARM_LEVEL};

}  // namespace

PolicyPage::PolicyPage(HWND parent) : CPage(IDD_POLICY_PAGE, parent, IDC_APPLY) {
  SetTexts(kTexts);
  SetHandCursorControls(kHandCursorControls);
  // The event, source and scheme lists only choose what is shown: no change of their own.
  Watch(action_);
  Watch(alarm_);
}

bool PolicyPage::FindRecord(int event, int source, int scheme, PolicyRecord& out) const {
  out.record = nullptr;
  out.alarm = nullptr;
  const bool dc = source == 1;
  if (event >= kPowerButtonEvent && event <= kLidCloseEvent) {
    if (PowerPlatform::ReadGlobalPolicy(&out.global) != 0) return false;
    GLOBAL_USER_POWER_POLICY& user = out.global.user;
    POWER_ACTION_POLICY* const pairs[3][2] = {{&user.PowerButtonAc, &user.PowerButtonDc},
                                              {&user.SleepButtonAc, &user.SleepButtonDc},
                                              {&user.LidCloseAc, &user.LidCloseDc}};
    out.record = pairs[event][dc ? 1 : 0];
  } else if (event == kIdleEvent || event == kOverThrottledEvent) {
    if (power_.ReadScheme(scheme, &out.scheme) != 0) return false;
    if (event == kIdleEvent)
      out.record = dc ? &out.scheme.user.IdleDc : &out.scheme.user.IdleAc;
    else
      out.record = dc ? &out.scheme.mach.OverThrottledDc : &out.scheme.mach.OverThrottledAc;
  } else if (event >= kFirstBatteryEvent && event < kPolicyEventCount) {
    if (PowerPlatform::ReadGlobalPolicy(&out.global) != 0) return false;
    out.alarm = &out.global.user.DischargePolicy[event - kFirstBatteryEvent];
    out.record = &out.alarm->PowerPolicy;
  }
  return out.record != nullptr;
}

void PolicyPage::SetUpBindings() {
  const COLORREF batteries = Colour(PowerPlatform::HasSystemBatteries());
  std::vector<ListItem> events = {
      {"Power Button Pressed", Colour(PowerPlatform::HasPowerButton())},
      {"Sleep Button Pressed", Colour(PowerPlatform::HasSleepButton())},
      {"Lid Close", Colour(PowerPlatform::HasLid())},
      {"Idle"},
      {"Over Throttled", Colour(PowerPlatform::GetThrottleRange(nullptr, nullptr))},
  };
  for (int alarm = 1; alarm <= NUM_DISCHARGE_POLICIES; ++alarm) {
    char text[32];
    std::snprintf(text, sizeof text, "Battery Event (%d)", alarm);
    events.push_back({text, batteries});
  }
  choice_.List({IDC_POLICY_EVENT}, {Member(&Choice::event)}, std::move(events))
      .List({IDC_POLICY_SOURCE}, {Member(&Choice::source)}, {{"AC"}, {"DC", batteries}});

  // "Unspecefied", "Hebirnate" and "LIHGTEST" below are misspelled on purpose: the program's
  // texts are kept byte for byte (a test pins them).
  std::vector<ListItem> states = Items({"Unspecefied", "(S0)Working", "(S1)Sleeping", "(S2)Sleeping", "(S3)Sleeping",
                                        "(S4)Hebirnate", "(S5)Shutdown", "Maximum"});
  for (int position = 2; position <= 6; ++position)
    states[static_cast<size_t>(position)].colour = Colour(PowerPlatform::SupportsSleepState(position - 1));
  alarm_.Check(IDC_POLICY_ALARM_ENABLE, Member(&SYSTEM_POWER_LEVEL::Enable))
      .TrackBar(IDC_POLICY_ALARM_LEVEL, Member(&SYSTEM_POWER_LEVEL::BatteryLevel), 0, kMaxLevel)
      .Text(IDC_POLICY_LEVEL_TEXT, [](const SYSTEM_POWER_LEVEL& level) { return LevelText(level.BatteryLevel); })
      .List({IDC_POLICY_MIN_STATE}, {Member(&SYSTEM_POWER_LEVEL::MinSystemState)}, std::move(states));

  const COLORREF shutdown = Colour(PowerPlatform::CanShutdown());
  std::vector<ListItem> actions = {{"None"},
                                   {"Sleep", Colour(PowerPlatform::CanSuspend())},
                                   {"Hebirnate", Colour(PowerPlatform::CanHibernate())},
                                   {"Shutdown", shutdown},
                                   {"Shutdown Reset", shutdown},
                                   {"Shutdown Off", shutdown},
                                   {"Warm Eject"}};
  action_.List({IDC_POLICY_ACTION}, {Member(&POWER_ACTION_POLICY::Action)}, std::move(actions), kActionValues,
               ActionPosition)
      .CheckList(IDC_POLICY_FLAGS, Member(&POWER_ACTION_POLICY::Flags),
                 Items({"CRITICAL", "DISABLE WAKES", "LIHGTEST FIRST", "LOCK CONSOLE", "OVERRIDE APPS", "QUERY ALLOWED",
                        "UI ALLOWED"}),
                 kFlagBits)
      .CheckList(IDC_POLICY_EVENT_CODES, Member(&POWER_ACTION_POLICY::EventCode),
                 Items({"RESET", "EXEC", "SOUND", "TEXT", "BUTTON", "SHUTDOWN"}), kEventCodeBits);
}

BOOL PolicyPage::OnInitDialog() {
  LoadScope loading(*this);
  SetUpBindings();
  choice_.Attach(hwnd());
  choice_.Load(Choice{});
  FillSchemes();
  EnableItem(IDC_POLICY_SCHEME, false);
  EnableItem(IDC_POLICY_ALARM_ENABLE, false);
  EnableItem(IDC_POLICY_ALARM_LEVEL, false);
  EnableItem(IDC_POLICY_MIN_STATE, false);
  alarm_.Attach(hwnd());
  ::SendMessageA(Item(IDC_POLICY_MIN_STATE), CB_SETCURSEL, 0, 0);
  action_.Attach(hwnd());
  LoadActionPolicy();
  return CPage::OnInitDialog();
}

void PolicyPage::FillSchemes() {
  HWND list = Item(IDC_POLICY_SCHEME);
  ::SendMessageA(list, CB_RESETCONTENT, 0, 0);
  power_.EnumSchemes();
  for (unsigned number = 0; number < power_.GetSchemeCount(); ++number) {
    unsigned length = 0;
    power_.GetSchemeText(static_cast<int>(number), nullptr, 0, &length, nullptr, 0, nullptr);
    std::string name(length + 1, '\0');
    power_.GetSchemeText(static_cast<int>(number), name.data(), length, nullptr, nullptr, 0, nullptr);
    name.resize(length);
    ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  }
  // An active scheme outside the list leaves nothing selected.
  ::SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(power_.GetActiveSchemeIndex()), 0);
}

int PolicyPage::Selection(int id) const {
  return static_cast<int>(::SendMessageA(Item(id), CB_GETCURSEL, 0, 0));
}

void PolicyPage::LoadActionPolicy() {
  LoadScope loading(*this);
  PolicyRecord found;
  POWER_ACTION_POLICY none{};
  // A record that cannot be read shows as no action.
  const bool read = FindRecord(Selection(IDC_POLICY_EVENT), Selection(IDC_POLICY_SOURCE), Selection(IDC_POLICY_SCHEME),
                               found);
  action_.Load(read ? *found.record : none);
}

void PolicyPage::OnEventChange() {
  LoadScope loading(*this);
  const int event = Selection(IDC_POLICY_EVENT);
  const bool alarm = event >= kFirstBatteryEvent;
  EnableItem(IDC_POLICY_SOURCE, !alarm);
  EnableItem(IDC_POLICY_SCHEME, event == kIdleEvent || event == kOverThrottledEvent);
  EnableItem(IDC_POLICY_ALARM_ENABLE, alarm);
  EnableItem(IDC_POLICY_ALARM_LEVEL, alarm);
  EnableItem(IDC_POLICY_MIN_STATE, alarm);
  if (alarm) {
    PolicyRecord found;
    if (FindRecord(event, 0, 0, found)) alarm_.Load(*found.alarm);
  }
  LoadActionPolicy();
}

void PolicyPage::ShowLevel(int percent) { SetItemText(IDC_POLICY_LEVEL_TEXT, LevelText(static_cast<uint32_t>(percent))); }

void PolicyPage::OnSliderScroll(WORD code, WORD position) {
  // The thumb's messages carry the position; for the others, Home and End included, the
  // label follows the slider's own.
  if (code == TB_THUMBPOSITION || code == TB_THUMBTRACK)
    ShowLevel(position);
  else
    ShowLevel(static_cast<int>(::SendMessageA(Item(IDC_POLICY_ALARM_LEVEL), TBM_GETPOS, 0, 0)));
}

bool PolicyPage::Store() {
  const int event = Selection(IDC_POLICY_EVENT);
  if (event < 0) return true;
  int scheme = Selection(IDC_POLICY_SCHEME);
  PolicyRecord found;
  // A record that cannot be read is not written: the write would replace the system's whole
  // policy with an empty one.
  int written = ERROR_READ_FAULT;
  if (FindRecord(event, Selection(IDC_POLICY_SOURCE), scheme, found)) {
    // An action no item shows (a value of a newer system) stays until the user chooses one.
    action_.Store(*found.record);
    if (found.alarm) alarm_.Store(*found.alarm);
    if (event == kIdleEvent || event == kOverThrottledEvent) {
      written = power_.WriteScheme(nullptr, nullptr, found.scheme, &scheme);
      // The system applies a scheme's policy when the scheme is made active: the active one is
      // made so again, as a new global policy is.
      if (written == 0 && scheme == power_.GetActiveSchemeIndex() && power_.SetActiveScheme(scheme) != 0)
        fw::TraceQuietFailure("Policy page, active scheme not applied again");
    } else {
      written = PowerPlatform::WriteGlobalPolicy(found.global);
    }
  }
  if (written == 0) return true;
  fw::TraceQuietFailure("Policy page, policy not written", static_cast<unsigned long>(written));
  fw::AppPrompt(hwnd(), i18n::Text(i18n::IDS_POLICY_NOT_SAVED), MB_OK | MB_ICONEXCLAMATION);
  return false;
}

bool PolicyPage::OnCommand(WORD id, WORD code, HWND control) {
  if (code == CBN_SELCHANGE && id == IDC_POLICY_EVENT) {
    OnEventChange();
    return true;
  }
  if (code == CBN_SELCHANGE && (id == IDC_POLICY_SOURCE || id == IDC_POLICY_SCHEME)) {
    LoadActionPolicy();
    return true;
  }
  return CPage::OnCommand(id, code, control);
}

bool PolicyPage::OnHScroll(HWND control, WORD code, WORD position) {
  if (control != Item(IDC_POLICY_ALARM_LEVEL)) return false;
  OnSliderScroll(code, position);
  return true;
}

bool PolicyPage::OnApply() { return Store(); }

bool PolicyPage::OnOkay() { return Store(); }

void PolicyPage::OnReset() { OnEventChange(); }

}  // namespace vantrel::power
