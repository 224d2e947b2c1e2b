// A simulated laptop with power plans behind the recording fake, which notes every call that
// changes power state (plan functions and XP-era writes alike), for the plan back end's tests.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/sim/sim_machine.h"
#include "platform/system_api.h"
#include "win/test_support.h"

namespace vantrel::testing {

// The simulated machine (the default laptop, answering as `backend`), the recorder, both
// installed, and the power interface chosen; all undone at the end of the test.
class PlanTestMachine {
 public:
  explicit PlanTestMachine(platform::sim::SimPowerBackend backend = platform::sim::SimPowerBackend::Plans) {
    platform::sim::SimState state = platform::sim::DefaultLaptop();
    state.power_backend = backend;
    Boot(std::move(state));
  }
  explicit PlanTestMachine(platform::sim::SimState state) { Boot(std::move(state)); }
  ~PlanTestMachine();
  PlanTestMachine(const PlanTestMachine&) = delete;
  PlanTestMachine& operator=(const PlanTestMachine&) = delete;

  platform::sim::SimulatedMachine& machine() { return *machine_; }
  platform::sim::SimPlanStore& store() { return machine_->state().plans; }
  RecordingSystem& recorder() { return *recorder_; }
  const std::string& ini() const { return ini_; }
  // A plan's value of a setting, as the machine keeps it.
  platform::sim::SimPlanValue Value(size_t plan, const platform::PlanGuid& setting);

 private:
  void Boot(platform::sim::SimState state);
  TempDir dir_;
  std::string ini_;
  std::unique_ptr<platform::sim::SimulatedMachine> machine_;
  std::unique_ptr<RecordingSystem> recorder_;
  std::unique_ptr<platform::ScopedSystemApi> scope_;
};

}  // namespace vantrel::testing
