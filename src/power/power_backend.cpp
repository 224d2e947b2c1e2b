#include "power/power_backend.h"

#include <windows.h>

#include "platform/system_api.h"

namespace vantrel::power {

namespace {

PowerBackend g_backend = PowerBackend::None;

bool PlansAnswer() {
  GUID* active = nullptr;
  const DWORD error = platform::Sys().PowerGetActiveScheme(nullptr, &active);
  if (active) ::LocalFree(active);
  if (error != ERROR_SUCCESS) return false;
  GUID first{};
  DWORD size = sizeof first;
  return platform::Sys().PowerEnumerate(nullptr, nullptr, nullptr, platform::kAccessScheme, 0,
                                        reinterpret_cast<UCHAR*>(&first), &size) == ERROR_SUCCESS &&
         size == sizeof first;
}

BOOLEAN CALLBACK StopAtFirst(UINT, DWORD, LPWSTR, DWORD, LPWSTR, PPOWER_POLICY, LPARAM) { return FALSE; }

bool XpAnswers() {
  UINT active = 0;
  return platform::Sys().GetActivePwrScheme(&active) || platform::Sys().EnumPwrSchemes(&StopAtFirst, 0);
}

}  // namespace

PowerBackend DetectPowerBackend() {
  if (PlansAnswer()) return PowerBackend::Plans;
  if (XpAnswers()) return PowerBackend::Xp;
  return PowerBackend::None;
}

PowerBackend ChoosePowerBackend() { return g_backend = DetectPowerBackend(); }

PowerBackend CurrentPowerBackend() noexcept { return g_backend; }

const char* PowerBackendName(PowerBackend backend) noexcept {
  switch (backend) {
    case PowerBackend::Xp:
      return "xp";
    case PowerBackend::Plans:
      return "plans";
    case PowerBackend::None:
      break;
  }
  return "none";
}

}  // namespace vantrel::power
