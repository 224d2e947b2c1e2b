#include "win/plan_test_support.h"

#include "power/power_backend.h"

namespace vantrel::testing {

using platform::sim::SimState;

PlanTestMachine::PlanTestMachine(platform::sim::SimPowerBackend backend) : PlanTestMachine(PlanLaptop(backend)) {}

PlanTestMachine::PlanTestMachine(SimState state) {
  platform::sim::SaveState(dir() + "\\sim.ini", state);
  Boot(std::move(state));
  power::ChoosePowerBackend();
}

PlanTestMachine::~PlanTestMachine() {
  Release();
  power::ChoosePowerBackend();  // none again: later tests start as before
}

platform::sim::SimPlanValue PlanTestMachine::Value(size_t plan, const platform::PlanGuid& setting) {
  return EffectiveValue(store().plans.at(plan), *platform::sim::FindSimSetting(setting));
}

}  // namespace vantrel::testing
