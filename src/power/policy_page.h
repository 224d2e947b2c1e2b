// The Policy page of the main window: what the system does on each power event (the buttons,
// the lid, idling, over-throttling and the four battery alarms), for mains and battery power.
#pragma once

#include <windows.h>

#include <cstdint>

#include "power/power_platform.h"
#include "ui/bindings.h"
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
};

class PolicyPage : public ui::CPage {
 public:
  explicit PolicyPage(HWND parent);

  // Reads the records of event `event`, power source `source` (0 AC, 1 DC) and scheme `scheme`
  // into `out`; false when the read failed.
  bool FindRecord(int event, int source, int scheme, PolicyRecord& out) const;

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(WORD id, WORD code, HWND control) override;
  bool OnHScroll(HWND control, WORD code, WORD position) override;
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

  // The schemes only: the page looks for no battery.
  PowerPlatform power_{battery::BatteryPlatform::NoBatteries{}};
  ui::Bindings<Choice> choice_;
  ui::Bindings<POWER_ACTION_POLICY> action_;
  ui::Bindings<SYSTEM_POWER_LEVEL> alarm_;
};

}  // namespace vantrel::power
