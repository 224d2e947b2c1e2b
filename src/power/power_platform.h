// PowerPlatform: the object through which the program talks to the system's power
// management. Each owner (start-up, the meter and its painter, each page, each wake-up
// request) builds its own; nothing is shared or cached between instances.
//
// Its battery half (battery/battery_platform.h: device enumeration, tags, every battery query and command, the derived
// charge and wear) and its scheme half (power schemes, processor and global policy,
// capabilities and permissions) share the object but not their logic. Every system call goes
// through platform::Sys().
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "battery/battery_platform.h"
#include "platform/system_api.h"
#include "power/core/scheme_rules.h"

namespace vantrel::power {

// The battery half comes from BatteryPlatform; this adds the scheme half.
class PowerPlatform : public battery::BatteryPlatform {
 public:
  // Enumerates the batteries, starts an empty scheme list and opens "\\.\LCD".
  PowerPlatform();
  // For the schemes alone: no battery is looked for (a battery slot that never answers costs
  // a wait).
  explicit PowerPlatform(battery::BatteryPlatform::NoBatteries none);
  // Releases the scheme list, the display device and every battery handle.
  ~PowerPlatform() override;
  PowerPlatform(const PowerPlatform&) = delete;
  PowerPlatform& operator=(const PowerPlatform&) = delete;

  // ---- power schemes, policies, capabilities ----
  // Results follow the program's convention: 0 on success, otherwise the system's last error
  // of the failing call; -1 where a function is missing or, for SetActiveScheme, any failure.
  // On the plan back end (power_backend.h) every XP-era write is refused without a call:
  // ERROR_NOT_SUPPORTED, 0 from DeleteScheme, -1 from SetActiveScheme.
  // A scheme number is a position in the list filled by EnumSchemes. A number outside the
  // list names no scheme: queries answer as for an empty slot and operations fail
  // (ERROR_FILE_NOT_FOUND, 0 or -1 as their result allows) instead of reading past the end.

  // Rebuilds the list from the system's enumeration; always 1.
  int EnumSchemes();
  unsigned GetSchemeCount() const noexcept { return static_cast<unsigned>(schemes_.size()); }
  // Two-call text access: each string is copied (with its terminator) when its buffer is given
  // and `capacity` (terminator not counted) holds it; otherwise its length goes to the out
  // length when that is given. Always 0.
  int GetSchemeText(int number, char* name, unsigned nameCapacity, unsigned* nameLength, char* description,
                    unsigned descriptionCapacity, unsigned* descriptionLength) const;
  // The entry's identifier; kNoSchemeId for a number outside the list.
  static constexpr UINT kNoSchemeId = 0xFFFFFFFFu;
  UINT GetSchemeId(int number) const noexcept;
  // The number of the active scheme; the count when the active scheme is not in the list
  // (also when the system cannot tell which one is active).
  int GetActiveSchemeIndex() const;
  int ReadScheme(int number, POWER_POLICY* policy) const;
  // Writes scheme `*number` when it is in the list (keeping its identifier; a missing name or
  // description keeps the stored one), otherwise a new scheme under NewSchemeId, appended to
  // the list, with its number stored in `*number` (a missing description is empty). Names are
  // cut to 32 characters, descriptions to 255. 0, or the error of the write, in which case the
  // list is left as it was.
  int WriteScheme(const char* name, const char* description, const POWER_POLICY& policy, int* number);
  // Deletes a scheme, first handing the active state to the next scheme (the previous one
  // for the last). Never deletes the only scheme. 1 deleted, 0 not.
  int DeleteScheme(int number);
  // 0, or -1 on any failure. The records are optional.
  int SetActiveScheme(int number, const GLOBAL_POWER_POLICY* global = nullptr,
                      const POWER_POLICY* policy = nullptr);
  // 1 when no entry has exactly this name (byte for byte), 0 when one has.
  int IsSchemeNameFree(const char* name) const;
  UINT NewSchemeId() const { return power::NewSchemeId(schemes_); }
  const std::vector<PowerSchemeEntry>& schemes() const noexcept { return schemes_; }

  // The processor-policy functions are looked up in the power library at every call; older
  // systems lack them (-1).
  int ReadProcessorScheme(int number, MACHINE_PROCESSOR_POWER_POLICY* policy) const;
  int WriteProcessorScheme(int number, const MACHINE_PROCESSOR_POWER_POLICY& policy) const;
  // 1 when the power library has both processor-scheme functions.
  static int HasProcessorSchemes();

  static int ReadGlobalPolicy(GLOBAL_POWER_POLICY* policy);
  // Writes the global policy and re-activates the active scheme so that it applies at once.
  static int WriteGlobalPolicy(const GLOBAL_POWER_POLICY& policy);

  // Capabilities and permissions, asked afresh each time: 1 or 0.
  static int HasPowerButton();
  static int HasSleepButton();
  static int HasLid();
  // `state` is the digit of the sleep state, 1 (S1) to 5 (S5); anything else gives 0. A
  // SYSTEM_POWER_STATE value v is asked as v - 1.
  static int SupportsSleepState(int state);
  // 1 with the throttle range (percent) in the outputs that are given; 0 without throttling.
  static int GetThrottleRange(BYTE* minimum, BYTE* maximum);
  static int HasSystemBatteries();
  static int CanHibernate();
  static int CanShutdown();
  static int CanSuspend();

  // ---- the display device and the wake-up timer ----
  // "\\.\LCD", opened and closed, never otherwise used; invalid when it could not be opened.
  HANDLE lcd_handle() const noexcept { return lcd_.get(); }
  HANDLE wake_timer() const noexcept { return wake_timer_; }
  void set_wake_timer(HANDLE timer) noexcept { wake_timer_ = timer; }

 private:
  // ---- power schemes ----
  static BOOLEAN CALLBACK OnSchemeEnumerated(UINT id, DWORD nameSize, LPWSTR name, DWORD descriptionSize,
                                             LPWSTR description, PPOWER_POLICY policy, LPARAM context);
  const PowerSchemeEntry* Entry(int number) const noexcept;

  std::vector<PowerSchemeEntry> schemes_;  // in the system's enumeration order
  // Each entry's name and description as the system gave them, by the same number: written
  // back unchanged unless the caller changes them, since the user's code page may lack some of
  // their characters.
  struct WideTexts {
    std::wstring name, description;
  };
  std::vector<WideTexts> wide_;
  platform::SysHandle lcd_;
  HANDLE wake_timer_ = nullptr;
};

}  // namespace vantrel::power
