#include "win/plan_test_support.h"

#include "power/power_backend.h"

namespace vantrel::testing {

using platform::sim::SimState;

std::string GuidText(const GUID& guid) { return platform::FormatGuid(platform::FromGuid(guid)); }

namespace {
std::string Of(const GUID* guid) { return guid ? GuidText(*guid) : "null"; }
}  // namespace

size_t PlanRecorder::Count(const std::string& prefix) const {
  size_t n = 0;
  for (const std::string& call : calls) n += call.rfind(prefix, 0) == 0 ? 1 : 0;
  return n;
}

size_t PlanRecorder::Find(const std::string& prefix) const {
  for (size_t i = 0; i < calls.size(); ++i) {
    if (calls[i].rfind(prefix, 0) == 0) return i;
  }
  return calls.size();
}

BOOLEAN PlanRecorder::WritePwrScheme(PUINT id, LPWSTR name, LPWSTR description, PPOWER_POLICY policy) {
  calls.push_back("WritePwrScheme");
  return ForwardingSystemApi::WritePwrScheme(id, name, description, policy);
}
BOOLEAN PlanRecorder::DeletePwrScheme(UINT id) {
  calls.push_back("DeletePwrScheme");
  return ForwardingSystemApi::DeletePwrScheme(id);
}
BOOLEAN PlanRecorder::SetActivePwrScheme(UINT id, PGLOBAL_POWER_POLICY global, PPOWER_POLICY policy) {
  calls.push_back("SetActivePwrScheme");
  return ForwardingSystemApi::SetActivePwrScheme(id, global, policy);
}
BOOLEAN PlanRecorder::WriteGlobalPwrPolicy(PGLOBAL_POWER_POLICY policy) {
  calls.push_back("WriteGlobalPwrPolicy");
  return ForwardingSystemApi::WriteGlobalPwrPolicy(policy);
}
FARPROC PlanRecorder::GetPowerLibraryProc(LPCSTR name) {
  calls.push_back(std::string("GetPowerLibraryProc ") + (name ? name : "null"));
  return ForwardingSystemApi::GetPowerLibraryProc(name);
}
DWORD PlanRecorder::PowerSetActiveScheme(HKEY root, const GUID* scheme) {
  calls.push_back("PowerSetActiveScheme " + Of(scheme));
  return ForwardingSystemApi::PowerSetActiveScheme(root, scheme);
}
DWORD PlanRecorder::PowerWriteACValueIndex(HKEY root, const GUID* scheme, const GUID* subgroup, const GUID* setting,
                                           DWORD index) {
  calls.push_back("PowerWriteACValueIndex " + Of(scheme) + " " + Of(setting) + " " + std::to_string(index));
  return ForwardingSystemApi::PowerWriteACValueIndex(root, scheme, subgroup, setting, index);
}
DWORD PlanRecorder::PowerWriteDCValueIndex(HKEY root, const GUID* scheme, const GUID* subgroup, const GUID* setting,
                                           DWORD index) {
  calls.push_back("PowerWriteDCValueIndex " + Of(scheme) + " " + Of(setting) + " " + std::to_string(index));
  return ForwardingSystemApi::PowerWriteDCValueIndex(root, scheme, subgroup, setting, index);
}
DWORD PlanRecorder::PowerWriteFriendlyName(HKEY root, const GUID* scheme, const GUID* subgroup, const GUID* setting,
                                           UCHAR* buffer, DWORD size) {
  calls.push_back("PowerWriteFriendlyName " + Of(scheme));
  return ForwardingSystemApi::PowerWriteFriendlyName(root, scheme, subgroup, setting, buffer, size);
}
DWORD PlanRecorder::PowerDuplicateScheme(HKEY root, const GUID* source, GUID** destination) {
  calls.push_back("PowerDuplicateScheme " + Of(source));
  return ForwardingSystemApi::PowerDuplicateScheme(root, source, destination);
}
DWORD PlanRecorder::PowerDeleteScheme(HKEY root, const GUID* scheme) {
  calls.push_back("PowerDeleteScheme " + Of(scheme));
  return ForwardingSystemApi::PowerDeleteScheme(root, scheme);
}

void PlanTestMachine::Boot(SimState state) {
  ini_ = dir_.File("sim.ini");
  platform::sim::SaveState(ini_, state);  // as a machine that ran before finds it
  machine_ = std::make_unique<platform::sim::SimulatedMachine>(ini_, std::move(state));
  recorder_ = std::make_unique<PlanRecorder>(*machine_);
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
