// Drives the real back end's power binding for the binding test: which interface the program
// chooses, which power library it runs on, whether the device set-up library answers, and, with `store`, one edit of each of the first
// two plans through the plan adapter (the second plan's DC display timeout set to 900 s, the
// active plan's AC one raised by a minute), with what the adapter reported.
//   power-probe backend | store
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "platform/backend.h"
#include "platform/battery_interface.h"
#include "platform/system_api.h"
#include "power/power_backend.h"
#include "power/power_plans.h"

namespace {

using namespace vantrel;

void PrintReport(const char* what, const power::StoreReport& report) {
  std::printf("%s: written=%zu problems=%zu reapplied=%d result=%d\n", what, report.written.size(),
              report.problems.size(), report.reapplied ? 1 : 0, report.Result());
}

int Store() {
  power::PowerPlans plans;
  if (const int error = plans.EnumPlans()) {
    std::printf("enumeration failed: %d\n", error);
    return 1;
  }
  const int active = plans.GetActivePlanIndex();
  for (unsigned i = 0; i < plans.GetPlanCount(); ++i)
    std::printf("plan %u: %s%s\n", i, plans.GetPlanName(static_cast<int>(i)).c_str(),
                static_cast<int>(i) == active ? " (active)" : "");
  if (plans.GetPlanCount() < 2 || active >= 2) return 1;
  const int other = active == 0 ? 1 : 0;
  power::PlanView loaded, edited;
  if (plans.Load(other, &loaded) != 0) return 1;
  edited = loaded;
  edited.policy.user.VideoTimeoutDc = 900;
  PrintReport("other", plans.Store(other, edited, loaded));
  if (plans.Load(active, &loaded) != 0) return 1;
  edited = loaded;
  edited.policy.user.VideoTimeoutAc += 60;
  PrintReport("active", plans.Store(active, edited, loaded));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  if (!platform::StartBackend(::GetModuleHandleA(nullptr))) return 1;
  const power::PowerBackend backend = power::ChoosePowerBackend();
  char library[MAX_PATH] = "none";
  if (HMODULE module = ::GetModuleHandleA("powrprof.dll")) ::GetModuleFileNameA(module, library, sizeof library);
  std::printf("backend=%s\nlibrary=%s\n", power::PowerBackendName(backend), library);
  // The device set-up library, taken the same way: the battery enumeration answers through it.
  HDEVINFO devices = platform::Sys().SetupDiGetClassDevsA(&platform::kBatteryInterfaceClass, nullptr, nullptr,
                                                          DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
  const bool listed = devices != INVALID_HANDLE_VALUE;
  if (listed) platform::Sys().SetupDiDestroyDeviceInfoList(devices);
  char setup[MAX_PATH] = "none";
  if (HMODULE module = ::GetModuleHandleA("setupapi.dll")) ::GetModuleFileNameA(module, setup, sizeof setup);
  std::printf("setupapi=%s\nbattery devices listed=%d\n", setup, listed ? 1 : 0);
  const int status = std::strcmp(argv[1], "store") == 0 ? Store() : 0;
  platform::StopBackend();
  return status;
}
