// The Policy page of the main window: what the system does on each power event (the buttons,
// the lid, idling, over-throttling and the four battery alarms), for mains and battery power.
//
// On power plans (Vista and later) the buttons, the lid and the alarms are settings of each
// plan. What the page sets keeps its meaning, holding whichever plan is active: those events
// are shown from the active plan and an edit is saved to every plan. Idle and over-throttling
// show the chosen plan. A control without a plan setting, or with one fixed by Group Policy, is
// disabled with a tip saying why; the action list offers what the setting offers.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "controls/icon_combo.h"
#include "power/power_plans.h"
#include "power/power_platform.h"
#include "ui/bindings.h"
#include "ui/control_tips.h"
#include "ui/page.h"

namespace vantrel::power {

// The events of the event list, by position.
enum PolicyEvent : int {
  kPowerButtonEvent = 0,
  kSleepButtonEvent = 1,
  kLidCloseEvent = 2,
  kIdleEvent = 3,
  kOverThrottledEvent = 4,
  kFirstBatteryEvent = 5,
  kPolicyEventCount = 9,
};

// The records an event's action lives in, read for one event, and the action record itself.
// `record` points into `global` or `scheme`, null when the read failed (or the event is
// unknown).
struct PolicyRecord {
  PolicyRecord() = default;
  PolicyRecord(const PolicyRecord&) = delete;
  PolicyRecord& operator=(const PolicyRecord&) = delete;

  GLOBAL_POWER_POLICY global{};
  POWER_POLICY scheme{};
  POWER_ACTION_POLICY* record = nullptr;
  // The battery alarm of events 5 to 8, inside `global`.
  SYSTEM_POWER_LEVEL* alarm = nullptr;
  // On power plans: the plan the records were read from (`global` and `scheme` are its view's).
  PlanView plan{};
  int plan_number = -1;
};

class PolicyPage : public ui::CPage {
 public:
  explicit PolicyPage(HWND parent);

  // Reads the records of event `event`, power source `source` (0 AC, 1 DC) and scheme `scheme`
  // into `out`; false when the read failed.
  bool FindRecord(int event, int source, int scheme, PolicyRecord& out) const;
  // The texts, and on plans the tips in the new language.
  void ApplyLanguage() override;

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(WORD id, WORD code, HWND control) override;
  bool OnHScroll(HWND control, WORD code, WORD position) override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  // A store the system refused keeps Apply on, and OK the window open, to try again.
  bool OnApply() override;
  bool OnOkay() override;
  // Everything for the current event again.
  void OnReset() override;

 private:
  // The event and power source lists: never loaded from a record, only selected.
  struct Choice {
    uint32_t event = 0;
    uint32_t source = 0;
  };

  void SetUpBindings();
  void FillSchemes();
  // Enables the controls for the chosen event, loads the alarm of a battery event and the
  // action, flags and notify events; Apply ends disabled.
  void OnEventChange();
  // The action, the flags and the notify events of the shown record; Apply ends disabled.
  void LoadActionPolicy();
  void OnSliderScroll(WORD code, WORD position);
  void ShowLevel(int percent);
  // Writes the shown record back; nothing when the event list has no selection. False, after
  // saying so, when the record could not be read or written.
  bool Store();

  int Selection(int id) const;

  // ---- power plans ----
  bool on_plans() const noexcept { return on_plans_; }
  // The action list for the event: the actions its setting offers.
  void FillPlanActions(int event);
  void LoadPlanAction(uint32_t action);
  void StorePlanAction(POWER_ACTION_POLICY& record) const;
  // Enables each control by its field's support in `view` (null: nothing could be read) and
  // gives the disabled ones their tip.
  void ShowPlanSupport(int event, const PlanView* view);
  bool StorePlans(int event, const PolicyRecord& found);

  // The schemes only: the page looks for no battery.
  PowerPlatform power_{battery::BatteryPlatform::NoBatteries{}};
  ui::Bindings<Choice> choice_;
  ui::Bindings<POWER_ACTION_POLICY> action_;
  ui::Bindings<SYSTEM_POWER_LEVEL> alarm_;

  bool on_plans_ = false;
  PowerPlans plans_;
  // On plans the action list is the page's own: its items change with the event.
  std::unique_ptr<controls::CIconComboBox> plan_actions_;
  std::vector<uint32_t> offered_;  // the XP action of each item
  int offered_for_ = -1;           // the event they were listed for
  ui::ControlTips tips_;
  std::vector<std::pair<int, int>> tip_texts_;  // control, text id (0: none), as last shown
};

}  // namespace vantrel::power
