// Which power interface the program talks to: the XP-era scheme functions or the plan
// functions of Vista and later. It is chosen once, at start-up, by what the system answers and
// never by its version: Wine claims Windows 7 and answers neither, and what the XP functions do
// on a plan system is not documented.
#pragma once

#include <cstdint>

namespace vantrel::power {

enum class PowerBackend : uint8_t {
  None,   // neither answers: the pages show that the schemes cannot be read
  Xp,     // EnumPwrSchemes, ReadPwrScheme, the global and processor policies
  Plans,  // the plan functions (power_plans.h); no XP write function is ever called
};

// Asks the system now: plans when PowerGetActiveScheme succeeds and PowerEnumerate lists a
// plan; else XP when GetActivePwrScheme or EnumPwrSchemes answers; else none.
PowerBackend DetectPowerBackend();
// Detects and keeps the answer. Start-up calls it once, after the platform back end is in
// place; tests call it after booting a machine.
PowerBackend ChoosePowerBackend();
// The answer kept by the last choice (None before any).
PowerBackend CurrentPowerBackend() noexcept;
// "none", "xp", "plans".
const char* PowerBackendName(PowerBackend backend) noexcept;

}  // namespace vantrel::power
