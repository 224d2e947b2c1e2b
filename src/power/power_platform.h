// PowerPlatform: the object through which the program talks to the system's power
// management. Each owner (start-up, the meter and its painter, each page, each wake-up
// request) builds its own; nothing is shared or cached between instances.
//
// Its battery half (device enumeration, tags, every battery query and command, the derived
// charge and wear) and its scheme half (power schemes, processor and global policy,
// capabilities and permissions) share the object but not their logic. Every system call goes
// through platform::Sys().
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "battery/battery_set.h"
#include "platform/system_api.h"
#include "power/core/scheme_rules.h"

namespace vantrel::power {

class PowerPlatform {
 public:
  // Enumerates the batteries, starts an empty scheme list and opens "\\.\LCD".
  PowerPlatform();
  // Releases the scheme list, every battery handle and the display device.
  ~PowerPlatform();
  PowerPlatform(const PowerPlatform&) = delete;
  PowerPlatform& operator=(const PowerPlatform&) = delete;

  // ---- batteries ----
  // Every operation takes the battery index first and returns 0 or a system error code (an
  // index out of range gives ERROR_INVALID_PARAMETER), or one of the codes below; figures come
  // back through the out-parameters. A request that finds the battery's tag stale (the battery
  // was exchanged) takes the new tag and is asked once more.
  static constexpr DWORD kUnknownFigure = 0xFFFFFFFF;  // -1: capacity, voltage or time unknown
  static constexpr DWORD kUnknownRate = 0x80000000;    // the rate is unknown
  static constexpr DWORD kInvalidDate = 14090;         // the manufacture date is not a date

  // The longest a tag request may wait for a battery to appear in an empty slot (a slot that
  // never reports one would otherwise block for ever); and the wait when a query found a tag
  // stale, which happens during periodic refreshes and must not block them.
  static constexpr DWORD kMaxTagWaitMs = 500;
  static constexpr DWORD kRetagWaitMs = 0;
  // The longest a status request may wait for a change: the requests come from the
  // user-interface thread, which must stay responsive.
  static constexpr DWORD kMaxStatusWaitMs = 100;

  // Closes the present batteries and opens every battery interface again, in enumeration order.
  DWORD EnumBatteries();
  unsigned GetBatteryCount() const noexcept { return batteries_.size(); }
  // Asks every opened battery for its tag, waiting up to `wait` ms (at most kMaxTagWaitMs) for
  // an empty slot to report a battery; a slot without one ends with tag 0. Returns the first
  // failure.
  DWORD RefreshTags(DWORD wait);

  // Texts: `buffer` holds `size` + 1 bytes; the length in bytes is stored through `length`.
  // ERROR_INSUFFICIENT_BUFFER when the text is longer than `size` (ask first with no buffer
  // and size 0, then with length + 1 bytes). An empty text gives 0 and length 0.
  DWORD GetDeviceName(unsigned index, char* buffer, DWORD size, DWORD* length);
  DWORD GetManufactureName(unsigned index, char* buffer, DWORD size, DWORD* length);
  DWORD GetUniqueId(unsigned index, char* buffer, DWORD size, DWORD* length);
  DWORD GetSerialNumber(unsigned index, char* buffer, DWORD size, DWORD* length);

  DWORD GetBatteryInfo(unsigned index, BATTERY_INFORMATION& info);
  DWORD GetCapabilities(unsigned index, ULONG& flags);
  bool IsRechargeable(unsigned index);
  // The four chemistry bytes and a terminating zero.
  DWORD GetChemistry(unsigned index, char (&chemistry)[5]);
  // 0 for a battery whose capacities are relative.
  DWORD GetDesignedCapacity(unsigned index, ULONG& capacity);
  DWORD GetFullChargedCapacity(unsigned index, ULONG& capacity);
  DWORD GetDefaultAlert1(unsigned index, ULONG& capacity);
  DWORD GetDefaultAlert2(unsigned index, ULONG& capacity);
  DWORD GetCriticalBias(unsigned index, ULONG& capacity);
  DWORD GetCycleCount(unsigned index, ULONG& count);
  bool CanForceCharge(unsigned index);
  bool CanForceDischarge(unsigned index);

  // kInvalidDate unless day 1..31, month 1..12 and year 1900..2100.
  DWORD GetManufactureDate(unsigned index, BATTERY_MANUFACTURE_DATE& date);
  // Tenths of a kelvin, as the device reports it.
  DWORD GetTemperature(unsigned index, ULONG& temperature);
  // At `rate` mW (0: the present rate); kUnknownFigure when unknown, the value still stored.
  DWORD GetEstimatedTime(unsigned index, LONG rate, ULONG& seconds);

  // The status once it differs from `power_state`, falls below `low` or rises above `high`, or
  // after `wait` ms (at most kMaxStatusWaitMs).
  DWORD GetStatus(unsigned index, BATTERY_STATUS& status, ULONG wait, ULONG power_state, ULONG low, ULONG high);
  // kUnknownFigure (kUnknownRate for the rate) when the device reports the field unknown.
  DWORD GetCapacity(unsigned index, ULONG& capacity, ULONG wait = 0, ULONG power_state = 0, ULONG low = 0,
                    ULONG high = 0);
  DWORD GetVoltage(unsigned index, ULONG& voltage, ULONG wait = 0, ULONG power_state = 0, ULONG low = 0,
                   ULONG high = 0);
  DWORD GetRate(unsigned index, LONG& rate, ULONG wait = 0, ULONG power_state = 0, ULONG low = 0, ULONG high = 0);
  // False also when the status cannot be read.
  bool IsCharging(unsigned index);
  bool IsDischarging(unsigned index);

  DWORD ForceCharge(unsigned index);
  DWORD ForceDischarge(unsigned index);

  // The first battery whose device name equals `name` exactly (case-sensitive), or -1.
  int FindBatteryByName(const std::string& name);

  // Per cent of the full charge, 0 when unknown; at most 100.
  unsigned GetChargePercent(unsigned index);
  // Per cent of the design capacity lost, 0..100.
  unsigned GetWearPercent(unsigned index);

  const battery::BatterySet& batteries() const noexcept { return batteries_; }

  // ---- power schemes, policies, capabilities ----
  // Results follow the program's convention: 0 on success, otherwise the system's last error
  // of the failing call; -1 where a function is missing or, for SetActiveScheme, any failure.
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
  // ---- batteries ----
  // A request on a battery's handle: 0 or the error (ERROR_INVALID_HANDLE when it never opened).
  DWORD BatteryRequest(unsigned index, DWORD code, void* in, DWORD in_size, void* out, DWORD out_size,
                       DWORD* returned);
  // A request whose input record starts with the tag: the battery's tag is put in, and a stale
  // tag is refreshed once and the request repeated.
  DWORD TaggedRequest(unsigned index, DWORD code, void* in, DWORD in_size, void* out, DWORD out_size,
                      DWORD* returned);
  DWORD QueryTag(unsigned index, DWORD wait);
  DWORD QueryInformation(unsigned index, int level, LONG rate, void* out, DWORD out_size, DWORD* returned);
  DWORD QueryText(unsigned index, int level, char* buffer, DWORD size, DWORD* length);
  DWORD SetInformation(unsigned index, int level);

  battery::BatterySet batteries_;

  // ---- power schemes ----
  static BOOLEAN CALLBACK OnSchemeEnumerated(UINT id, DWORD nameSize, LPWSTR name, DWORD descriptionSize,
                                             LPWSTR description, PPOWER_POLICY policy, LPARAM context);
  const PowerSchemeEntry* Entry(int number) const noexcept;

  std::vector<PowerSchemeEntry> schemes_;  // in the system's enumeration order
  platform::SysHandle lcd_;
  HANDLE wake_timer_ = nullptr;
};

}  // namespace vantrel::power
