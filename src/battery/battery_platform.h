// The battery half of PowerPlatform: every battery the system's battery class offers, opened
// by this object with a handle and a tag each, and one small query per figure. Nothing is
// cached: every call asks the device again. The scheme half (power/power_platform.h) builds on
// this one.
#pragma once

#include <windows.h>

#include <string>

#include "battery/battery_set.h"
#include "platform/system_api.h"

namespace vantrel::battery {

class BatteryPlatform {
 public:
  // Enumerates the batteries.
  BatteryPlatform();
  // Closes every battery handle.
  virtual ~BatteryPlatform();
  BatteryPlatform(const BatteryPlatform&) = delete;
  BatteryPlatform& operator=(const BatteryPlatform&) = delete;

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
  unsigned GetChargePercent(unsigned index) { return ReadCharge(index).percent; }
  // The same charge with what its two reads tell besides: whether it is known, and the power
  // state bits of the status (0 when the status cannot be read).
  struct ChargeReading {
    unsigned percent = 0;
    bool known = false;
    ULONG power_state = 0;
    // The figures of the same reads: both records read, the capacities (kUnknownFigure when
    // unknown; design 0 for relative capacities) and the cycle count.
    bool read = false;
    ULONG remaining = kUnknownFigure, full = kUnknownFigure, design = 0, cycles = 0;
  };
  ChargeReading ReadCharge(unsigned index);
  // Per cent of the design capacity lost, 0..100.
  unsigned GetWearPercent(unsigned index);

  const BatterySet& batteries() const noexcept { return batteries_; }

 private:
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

  BatterySet batteries_;

};

enum class BatteryText { DeviceName, ManufactureName, UniqueId, SerialNumber };

// Reads a battery text in two calls (the length, then the text). True only when the first call
// reported a text to read and the second read it: an empty or unreadable text gives false.
bool ReadBatteryText(BatteryPlatform& platform, BatteryText which, unsigned index, std::string& text);

}  // namespace vantrel::battery
