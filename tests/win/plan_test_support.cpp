#include "win/plan_test_support.h"

#include "power/power_backend.h"

namespace vantrel::testing {

using platform::sim::SimState;

void PlanTestMachine::Boot(SimState state) {
  ini_ = dir_.File("sim.ini");
  platform::sim::SaveState(ini_, state);  // as a machine that ran before finds it
  machine_ = std::make_unique<platform::sim::SimulatedMachine>(ini_, std::move(state));
  recorder_ = std::make_unique<RecordingSystem>(*machine_);
  scope_ = std::make_unique<platform::ScopedSystemApi>(*recorder_);
  power::ChoosePowerBackend();
}

PlanTestMachine::~PlanTestMachine() {
  scope_.reset();
  recorder_.reset();
  machine_.reset();
  power::ChoosePowerBackend();  // none again: later tests start as before
}

platform::sim::SimPlanValue PlanTestMachine::Value(size_t plan, const platform::PlanGuid& setting) {
  return EffectiveValue(store().plans.at(plan), *platform::sim::FindSimSetting(setting));
}

}  // namespace vantrel::testing
