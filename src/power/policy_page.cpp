#include "power/policy_page.h"

#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "controls/icon_combo.h"
#include "framework/caught.h"
#include "framework/prompt.h"
#include "i18n/core/language_table.h"
#include "i18n/core/text_format.h"
#include "i18n/core/text_ids.h"
#include "policy_ids.h"
#include "power/power_backend.h"
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

// "Turn off the display": an action of the button settings of power plans, not of XP's records.
constexpr uint32_t kActionDisplayOff = 8;

// An item of the action list for a POWER_ACTION value, coloured by whether the machine can do it.
// "Hebirnate" is misspelled on purpose: the program's texts are kept byte for byte.
ListItem ActionItem(uint32_t value) {
  const COLORREF shutdown = Colour(PowerPlatform::CanShutdown());
  switch (value) {
    case PowerActionNone:
      return {"None"};
    case PowerActionSleep:
      return {"Sleep", Colour(PowerPlatform::CanSuspend())};
    case PowerActionHibernate:
      return {"Hebirnate", Colour(PowerPlatform::CanHibernate())};
    case PowerActionShutdown:
      return {"Shutdown", shutdown};
    case PowerActionShutdownReset:
      return {"Shutdown Reset", shutdown};
    case PowerActionShutdownOff:
      return {"Shutdown Off", shutdown};
    case PowerActionWarmEject:
      return {"Warm Eject"};
    case kActionDisplayOff:
      return {i18n::Text(i18n::IDS_POLICY_DISPLAY_OFF)};
    default: {
      // A value of a newer system: shown by number, so that it can still be kept or chosen.
      char text[16];
      std::snprintf(text, sizeof text, "(%u)", static_cast<unsigned>(value));
      return {text};
    }
  }
}

// The plan fields behind an event's controls: the action, the flags and the notify events, and
// for a battery alarm its enable, level and minimum state.
struct EventFields {
  XpField action, flags, events;
  XpField enable = XpField::Count, level = XpField::Count, min_state = XpField::Count;
};

EventFields FieldsOf(int event) {
  switch (event) {
    case kPowerButtonEvent:
      return {XpField::PowerButton, XpField::ButtonFlags, XpField::ButtonFlags};
    case kSleepButtonEvent:
      return {XpField::SleepButton, XpField::ButtonFlags, XpField::ButtonFlags};
    case kLidCloseEvent:
      return {XpField::LidClose, XpField::ButtonFlags, XpField::ButtonFlags};
    case kIdleEvent:
      return {XpField::IdleAction, XpField::IdleAction, XpField::IdleAction};
    case kOverThrottledEvent:
      return {XpField::OverThrottled, XpField::OverThrottled, XpField::OverThrottled};
    default:
      break;
  }
  const int n = event - kFirstBatteryEvent;
  return {AlarmField(XpField::AlarmAction, n),     AlarmField(XpField::AlarmActionFlags, n),
          AlarmField(XpField::AlarmEvents, n),     AlarmField(XpField::AlarmEnable, n),
          AlarmField(XpField::AlarmLevel, n),      AlarmField(XpField::AlarmMinState, n)};
}

// The events whose settings hold whichever plan is active.
bool HoldsEveryPlan(int event) { return event != kIdleEvent && event != kOverThrottledEvent; }

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
    {i18n::IDS_POLICY_PLANS_NOTE, IDC_POLICY_PLANS_NOTE},
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
  out.plan_number = -1;
  if (on_plans_) {
    // One view holds both records; idling and over-throttling are the chosen plan's.
    if (event < 0 || event >= kPolicyEventCount) return false;
    const int number = HoldsEveryPlan(event) ? plans_.GetActivePlanIndex() : scheme;
    if (plans_.Load(number, &out.plan) != 0) return false;
    out.plan_number = number;
    out.global = out.plan.global;
    out.scheme = out.plan.policy;
  }
  if (event >= kPowerButtonEvent && event <= kLidCloseEvent) {
    if (!on_plans_ && PowerPlatform::ReadGlobalPolicy(&out.global) != 0) return false;
    GLOBAL_USER_POWER_POLICY& user = out.global.user;
    POWER_ACTION_POLICY* const pairs[3][2] = {{&user.PowerButtonAc, &user.PowerButtonDc},
                                              {&user.SleepButtonAc, &user.SleepButtonDc},
                                              {&user.LidCloseAc, &user.LidCloseDc}};
    out.record = pairs[event][dc ? 1 : 0];
  } else if (event == kIdleEvent || event == kOverThrottledEvent) {
    if (!on_plans_ && power_.ReadScheme(scheme, &out.scheme) != 0) return false;
    if (event == kIdleEvent)
      out.record = dc ? &out.scheme.user.IdleDc : &out.scheme.user.IdleAc;
    else
      out.record = dc ? &out.scheme.mach.OverThrottledDc : &out.scheme.mach.OverThrottledAc;
  } else if (event >= kFirstBatteryEvent && event < kPolicyEventCount) {
    if (!on_plans_ && PowerPlatform::ReadGlobalPolicy(&out.global) != 0) return false;
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

  // On plans the page fills the action list itself, event by event.
  if (!on_plans_) {
    std::vector<ListItem> actions;
    for (uint32_t value : kActionValues) actions.push_back(ActionItem(value));
    action_.List({IDC_POLICY_ACTION}, {Member(&POWER_ACTION_POLICY::Action)}, std::move(actions), kActionValues,
                 ActionPosition);
  }
  action_.CheckList(IDC_POLICY_FLAGS, Member(&POWER_ACTION_POLICY::Flags),
                 Items({"CRITICAL", "DISABLE WAKES", "LIHGTEST FIRST", "LOCK CONSOLE", "OVERRIDE APPS", "QUERY ALLOWED",
                        "UI ALLOWED"}),
                 kFlagBits)
      .CheckList(IDC_POLICY_EVENT_CODES, Member(&POWER_ACTION_POLICY::EventCode),
                 Items({"RESET", "EXEC", "SOUND", "TEXT", "BUTTON", "SHUTDOWN"}), kEventCodeBits);
}

BOOL PolicyPage::OnInitDialog() {
  LoadScope loading(*this);
  on_plans_ = CurrentPowerBackend() == PowerBackend::Plans;
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
  if (on_plans_) {
    plan_actions_ = std::make_unique<controls::CIconComboBox>();
    if (!plan_actions_->Subclass(Item(IDC_POLICY_ACTION))) plan_actions_.reset();
    ::ShowWindow(Item(IDC_POLICY_PLANS_NOTE), SW_SHOW);
  }
  LoadActionPolicy();
  return CPage::OnInitDialog();
}

void PolicyPage::FillSchemes() {
  HWND list = Item(IDC_POLICY_SCHEME);
  ::SendMessageA(list, CB_RESETCONTENT, 0, 0);
  if (on_plans_) {
    plans_.EnumPlans();
    // Names kept wide, as the system gives them.
    for (const PlanEntry& plan : plans_.plans())
      ::SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(plan.name.c_str()));
    ::SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(plans_.GetActivePlanIndex()), 0);
    return;
  }
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
  const int event = Selection(IDC_POLICY_EVENT);
  const bool read = FindRecord(event, Selection(IDC_POLICY_SOURCE), Selection(IDC_POLICY_SCHEME), found);
  action_.Load(read ? *found.record : none);
  if (on_plans_) {
    if (event != offered_for_) FillPlanActions(event);
    LoadPlanAction(read ? found.record->Action : PowerActionNone);
    ShowPlanSupport(event, read ? &found.plan : nullptr);
  }
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
  if (on_plans_) ::ShowWindow(Item(IDC_POLICY_PLANS_NOTE), HoldsEveryPlan(event) ? SW_SHOW : SW_HIDE);
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
    if (on_plans_) {
      StorePlanAction(*found.record);
      return StorePlans(event, found);
    }
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

// ---- power plans ----------------------------------------------------------------------------------

void PolicyPage::FillPlanActions(int event) {
  HWND list = Item(IDC_POLICY_ACTION);
  ::SendMessageA(list, CB_RESETCONTENT, 0, 0);
  offered_for_ = event;
  offered_ = event >= 0 && event < kPolicyEventCount ? PowerPlans::OfferedActions(FieldsOf(event).action)
                                                     : std::vector<uint32_t>{};
  // A setting with no list of actions (idling, over-throttling) still shows what it holds.
  if (offered_.empty()) offered_ = kActionValues;
  for (size_t i = 0; i < offered_.size(); ++i) {
    const ListItem item = ActionItem(offered_[i]);
    ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.text.c_str()));
    if (plan_actions_ && item.colour != ListItem::kDefaultColour)
      plan_actions_->SetItemColor(static_cast<int>(i), item.colour);
  }
}

void PolicyPage::LoadPlanAction(uint32_t action) {
  int position = -1;
  for (size_t i = 0; i < offered_.size(); ++i)
    if (offered_[i] == action) position = static_cast<int>(i);
  ::SendMessageA(Item(IDC_POLICY_ACTION), CB_SETCURSEL, static_cast<WPARAM>(position), 0);
}

void PolicyPage::StorePlanAction(POWER_ACTION_POLICY& record) const {
  // No selection keeps what the plan holds.
  const int position = Selection(IDC_POLICY_ACTION);
  if (position >= 0 && static_cast<size_t>(position) < offered_.size())
    record.Action = static_cast<POWER_ACTION>(offered_[static_cast<size_t>(position)]);
}

void PolicyPage::ShowPlanSupport(int event, const PlanView* view) {
  const bool known = event >= 0 && event < kPolicyEventCount;
  const EventFields fields = known ? FieldsOf(event) : EventFields{XpField::Count, XpField::Count, XpField::Count};
  const struct {
    int id;
    XpField field;
  } rows[] = {{IDC_POLICY_ACTION, fields.action},      {IDC_POLICY_FLAGS, fields.flags},
              {IDC_POLICY_EVENT_CODES, fields.events}, {IDC_POLICY_ALARM_ENABLE, fields.enable},
              {IDC_POLICY_ALARM_LEVEL, fields.level},  {IDC_POLICY_MIN_STATE, fields.min_state}};
  tip_texts_.clear();
  for (const auto& row : rows) {
    // Not this event's: disabled, as on every system.
    if (row.field == XpField::Count) {
      EnableItem(row.id, false);
      tip_texts_.emplace_back(row.id, 0);
      continue;
    }
    const FieldSupport support = view ? view->Support(row.field) : FieldSupport::None;
    EnableItem(row.id, support == FieldSupport::Counterpart);
    const int why = !view                             ? 0
                    : support == FieldSupport::None   ? i18n::IDS_SCHEMES_NO_COUNTERPART
                    : support == FieldSupport::Locked ? i18n::IDS_SCHEMES_LOCKED
                                                      : 0;
    tip_texts_.emplace_back(row.id, why);
  }
  tip_texts_.emplace_back(IDC_POLICY_PLANS_NOTE, i18n::IDS_POLICY_PLANS_NOTE_TIP);
  for (const auto& [id, text] : tip_texts_) tips_.Set(hwnd(), id, text ? i18n::Text(text) : std::string());
}

bool PolicyPage::StorePlans(int event, const PolicyRecord& found) {
  PlanView edited = found.plan;
  edited.global = found.global;
  edited.policy = found.scheme;
  std::vector<std::string> failed;
  if (HoldsEveryPlan(event)) {
    const std::vector<StoreReport> reports = plans_.StoreInEveryPlan(edited, found.plan);
    for (size_t i = 0; i < reports.size(); ++i)
      if (!reports[i].ok()) failed.push_back(plans_.GetPlanName(static_cast<int>(i)));
  } else if (!plans_.Store(found.plan_number, edited, found.plan).ok()) {
    failed.push_back(plans_.GetPlanName(found.plan_number));
  }
  if (failed.empty()) return true;
  std::string names;
  for (const std::string& name : failed) names += (names.empty() ? "" : ", ") + name;
  fw::TraceQuietFailure("Policy page, a plan not written", static_cast<unsigned long>(failed.size()));
  fw::AppPrompt(hwnd(), i18n::FormatText(i18n::Text(i18n::IDS_PLANS_NOT_SAVED), {names}),
                MB_OK | MB_ICONEXCLAMATION);
  return false;
}

void PolicyPage::ApplyLanguage() {
  CPage::ApplyLanguage();
  if (!on_plans_ || !hwnd()) return;
  // The action texts and the tips in the new language; the user's choice stays.
  const int chosen = Selection(IDC_POLICY_ACTION);
  FillPlanActions(offered_for_);
  ::SendMessageA(Item(IDC_POLICY_ACTION), CB_SETCURSEL, static_cast<WPARAM>(chosen), 0);
  for (const auto& [id, text] : tip_texts_) tips_.Set(hwnd(), id, text ? i18n::Text(text) : std::string());
}

bool PolicyPage::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  // The tips go with the page's window.
  if (msg == WM_DESTROY) tips_.Reset();
  return CPage::OnMessage(msg, wp, lp, result);
}

bool PolicyPage::OnCommand(WORD id, WORD code, HWND control) {
  if (code == CBN_SELCHANGE && id == IDC_POLICY_ACTION && on_plans_) {
    MarkChanged();  // the page's own list: no table watches it
    return true;
  }
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
