// A simulated laptop with power plans behind a recorder of every call that changes power
// state (plan functions and XP-era writes alike), for the plan back end's tests.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/sim/sim_machine.h"
#include "platform/system_api.h"
#include "win/test_support.h"

namespace vantrel::testing {

class PlanRecorder : public platform::ForwardingSystemApi {
 public:
  using ForwardingSystemApi::ForwardingSystemApi;
  std::vector<std::string> calls;
  // The noted calls that start with `prefix`.
  size_t Count(const std::string& prefix) const;
  // The position of the first call that starts with `prefix` (the count when there is none).
  size_t Find(const std::string& prefix) const;

  BOOLEAN WritePwrScheme(PUINT id, LPWSTR name, LPWSTR description, PPOWER_POLICY policy) override;
  BOOLEAN DeletePwrScheme(UINT id) override;
  BOOLEAN SetActivePwrScheme(UINT id, PGLOBAL_POWER_POLICY global, PPOWER_POLICY policy) override;
  BOOLEAN WriteGlobalPwrPolicy(PGLOBAL_POWER_POLICY policy) override;
  FARPROC GetPowerLibraryProc(LPCSTR name) override;
  DWORD PowerSetActiveScheme(HKEY root, const GUID* scheme) override;
  DWORD PowerWriteACValueIndex(HKEY root, const GUID* scheme, const GUID* subgroup, const GUID* setting,
                               DWORD index) override;
  DWORD PowerWriteDCValueIndex(HKEY root, const GUID* scheme, const GUID* subgroup, const GUID* setting,
                               DWORD index) override;
  DWORD PowerWriteFriendlyName(HKEY root, const GUID* scheme, const GUID* subgroup, const GUID* setting, UCHAR* buffer,
                               DWORD size) override;
  DWORD PowerDuplicateScheme(HKEY root, const GUID* source, GUID** destination) override;
  DWORD PowerDeleteScheme(HKEY root, const GUID* scheme) override;
};

// "Power…" and the XP-era write functions, as the recorder writes them.
inline constexpr const char* kXpWrites[] = {"WritePwrScheme", "DeletePwrScheme", "SetActivePwrScheme",
                                            "WriteGlobalPwrPolicy", "GetPowerLibraryProc WriteProcessorPwrScheme"};
std::string GuidText(const GUID& guid);

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
  PlanRecorder& recorder() { return *recorder_; }
  const std::string& ini() const { return ini_; }
  // A plan's value of a setting, as the machine keeps it.
  platform::sim::SimPlanValue Value(size_t plan, const platform::PlanGuid& setting);

 private:
  void Boot(platform::sim::SimState state);
  TempDir dir_;
  std::string ini_;
  std::unique_ptr<platform::sim::SimulatedMachine> machine_;
  std::unique_ptr<PlanRecorder> recorder_;
  std::unique_ptr<platform::ScopedSystemApi> scope_;
};

}  // namespace vantrel::testing
