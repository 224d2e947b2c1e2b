// A simulated laptop behind a recording fake, installed for one test.
#pragma once

#include <memory>
#include <string>
#include <utility>

#include "platform/sim/sim_machine.h"
#include "win/recording_system.h"
#include "win/test_support.h"

namespace vantrel::testing {

class PowerTestMachine {
 public:
  // Replaces any machine booted before, in the order the seam requires.
  void Boot(platform::sim::SimState state) {
    Release();
    machine_ = std::make_unique<platform::sim::SimulatedMachine>(dir_.File("sim.ini"), std::move(state));
    machine_->ClearLog();
    fake_ = std::make_unique<RecordingSystem>(*machine_);
    scope_ = std::make_unique<platform::ScopedSystemApi>(*fake_);
  }
  void Release() {
    scope_.reset();
    fake_.reset();
    machine_.reset();
  }
  ~PowerTestMachine() { Release(); }

  platform::sim::SimulatedMachine& machine() { return *machine_; }
  platform::sim::SimState& state() { return machine_->state(); }
  RecordingSystem& fake() { return *fake_; }
  const std::string& dir() const { return dir_.path(); }
  // Lines of the machine's log that start with `prefix`.
  size_t Logged(const std::string& prefix) const {
    size_t n = 0;
    for (const std::string& line : machine_->Log()) n += line.rfind(prefix, 0) == 0 ? 1 : 0;
    return n;
  }

 private:
  TempDir dir_;
  std::unique_ptr<platform::sim::SimulatedMachine> machine_;
  std::unique_ptr<RecordingSystem> fake_;
  std::unique_ptr<platform::ScopedSystemApi> scope_;
};

}  // namespace vantrel::testing
