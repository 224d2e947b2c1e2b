// A simulated laptop with power plans behind the recording fake, which notes every call that
// changes power state (plan functions and XP-era writes alike), for the plan back end's tests.
#pragma once

#include "power/power_backend.h"
#include "win/test_support.h"

namespace vantrel::testing {

// The default laptop answering with power plans, or as `backend`.
inline platform::sim::SimState PlanLaptop(
    platform::sim::SimPowerBackend backend = platform::sim::SimPowerBackend::Plans) {
  platform::sim::SimState state = platform::sim::DefaultLaptop();
  state.power_backend = backend;
  return state;
}

// That laptop or the machine given, its state file written as a machine that ran before finds it,
// and the power interface chosen; all undone at the end.
class PlanTestMachine : public PowerTestMachine {
 public:
  explicit PlanTestMachine(platform::sim::SimPowerBackend backend = platform::sim::SimPowerBackend::Plans)
      : PlanTestMachine(PlanLaptop(backend)) {}
  explicit PlanTestMachine(platform::sim::SimState state) {
    platform::sim::SaveState(dir() + "\\sim.ini", state);
    Boot(std::move(state));
    power::ChoosePowerBackend();
  }
  ~PlanTestMachine() {
    Release();
    power::ChoosePowerBackend();  // none again: later tests start as before
  }

  platform::sim::SimPlanStore& store() { return state().plans; }
  RecordingSystem& recorder() { return fake(); }
  const std::string& ini() { return machine().ini_path(); }
  // A plan's value of a setting, as the machine keeps it.
  platform::sim::SimPlanValue Value(size_t plan, const platform::PlanGuid& setting) {
    return EffectiveValue(store().plans.at(plan), *platform::sim::FindSimSetting(setting));
  }
};

}  // namespace vantrel::testing
