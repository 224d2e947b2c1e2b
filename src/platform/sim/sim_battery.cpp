// The simulated battery class driver and device set-up library: the batteries of the state
// file appear as battery-class device interfaces, open as devices and answer the battery I/O
// control requests as the real driver does (tags, waits, units, unknown markers, error codes).
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/battery_interface.h"
#include "platform/sim/sim_machine.h"

namespace vantrel::platform::sim {

namespace {

// Interface paths look like the ACPI battery's: "\\?\acpi#pnp0c0a#<slot + 1>#{class}".
constexpr char kPathPrefix[] = "\\\\?\\acpi#pnp0c0a#";
constexpr char kPathSuffix[] = "#{72631e54-78a4-11d0-bcf7-00aa00b7b32a}";
constexpr char kLcdPath[] = "\\\\.\\LCD";

// The driver waits for ever when asked to; the simulation gives up after this long, so that
// a program that asks for an endless wait is seen to hang without hanging its tests.
constexpr DWORD kLongestWaitMs = 30000;
constexpr DWORD kPollMs = 10;

constexpr double kSecondsPerHour = 3600.0;
constexpr double kSecondsPerDay = 86400.0;
constexpr double kSecondsPerYear = 365.25 * kSecondsPerDay;

BOOL Fail(DWORD error) { return sim::Fail<BOOL>(error, FALSE); }

std::string InterfacePath(size_t slot) { return kPathPrefix + std::to_string(slot + 1) + kPathSuffix; }

// The slot of an interface path, or false when `path` is not one.
bool SlotOfPath(const char* path, size_t& slot) {
  std::string text = path ? path : "";
  const size_t prefix = sizeof kPathPrefix - 1;
  const size_t suffix = sizeof kPathSuffix - 1;
  if (text.size() <= prefix + suffix || ::_strnicmp(text.c_str(), kPathPrefix, prefix) != 0 ||
      ::_stricmp(text.c_str() + text.size() - suffix, kPathSuffix) != 0)
    return false;
  std::string number = text.substr(prefix, text.size() - prefix - suffix);
  char* end = nullptr;
  unsigned long n = std::strtoul(number.c_str(), &end, 10);
  if (number.empty() || *end != '\0' || n == 0) return false;
  slot = n - 1;
  return true;
}

bool IsBatteryClass(const GUID* guid) { return guid && *guid == kBatteryInterfaceClass; }

// A slot reports a battery when it answers and holds a tag.
bool Present(const SimBattery& b) { return b.answers && b.tag != BATTERY_TAG_INVALID; }

// How long to wait for a requested number of milliseconds.
DWORD WaitLimit(ULONG requested) { return requested == INFINITE ? kLongestWaitMs : std::min<DWORD>(requested, kLongestWaitMs); }

double DesignOf(const SimBattery& b) {
  return b.info.DesignedCapacity ? b.info.DesignedCapacity : b.info.FullChargedCapacity;
}

// Energy drawn (mWh) since the live state was last reset.
double DrawnSinceBase(const SimBattery& b, double now) {
  const double hours = (now - b.since) / kSecondsPerHour;
  if (hours <= 0 || !(b.power_state & BATTERY_DISCHARGING) || b.rate >= 0 || b.capacity == BATTERY_UNKNOWN_CAPACITY ||
      static_cast<ULONG>(b.rate) == BATTERY_UNKNOWN_RATE)
    return 0;
  return std::min<double>(b.capacity, -static_cast<double>(b.rate) * hours);
}

// The information record as the battery has aged by `now`: the full-charged capacity faded by
// the cycles drawn and the time passed, and those cycles counted.
BATTERY_INFORMATION Aged(const SimBattery& b, double now) {
  BATTERY_INFORMATION info = b.info;
  const double design = DesignOf(b);
  if ((b.fade_per_cycle <= 0 && b.fade_per_year <= 0) || design <= 0 ||
      info.FullChargedCapacity == BATTERY_UNKNOWN_CAPACITY)
    return info;
  const double cycles = (b.drawn + DrawnSinceBase(b, now)) / design;
  const double fade = design * (b.fade_per_cycle * cycles + b.fade_per_year * std::max(0.0, now) / kSecondsPerYear);
  info.FullChargedCapacity = static_cast<ULONG>(std::max<long long>(0, std::llround(info.FullChargedCapacity - fade)));
  info.CycleCount += static_cast<ULONG>(cycles);
  return info;
}

// The live state of `b` at simulated time `now`.
BATTERY_STATUS Live(const SimBattery& b, double now) {
  BATTERY_STATUS s{b.power_state, b.capacity, b.voltage, b.rate};
  const bool unknown = b.capacity == BATTERY_UNKNOWN_CAPACITY || static_cast<ULONG>(b.rate) == BATTERY_UNKNOWN_RATE;
  const double hours = (now - b.since) / kSecondsPerHour;
  if (unknown || hours <= 0) return s;
  const double moved = b.capacity + b.rate * hours;
  if ((b.power_state & BATTERY_DISCHARGING) && b.rate < 0) {
    s.Capacity = moved <= 0 ? 0 : static_cast<ULONG>(moved);
  } else if ((b.power_state & BATTERY_CHARGING) && b.rate > 0) {
    const ULONG full = Aged(b, now).FullChargedCapacity;
    if (full != BATTERY_UNKNOWN_CAPACITY && moved >= full) {
      // Full: the charger stops and the battery rests on mains.
      s.Capacity = std::max(full, b.capacity);
      s.PowerState = (b.power_state & ~BATTERY_CHARGING) | BATTERY_POWER_ON_LINE;
      s.Rate = 0;
    } else {
      s.Capacity = moved >= 0xFFFFFFFE ? 0xFFFFFFFE : static_cast<ULONG>(moved);
    }
  }
  return s;
}

// Seconds left at `rate` mW (negative: draining) from `capacity`; unknown when not draining.
ULONG TimeAt(ULONG capacity, LONG rate) {
  if (capacity == BATTERY_UNKNOWN_CAPACITY || rate >= 0 || static_cast<ULONG>(rate) == BATTERY_UNKNOWN_RATE)
    return BATTERY_UNKNOWN_TIME;
  unsigned long long seconds = static_cast<unsigned long long>(capacity) * 3600ull /
                               static_cast<unsigned long long>(-static_cast<long long>(rate));
  return seconds >= BATTERY_UNKNOWN_TIME ? BATTERY_UNKNOWN_TIME - 1 : static_cast<ULONG>(seconds);
}

// Zero-terminated UTF-16 in the ANSI code page's reading of `text`.
std::vector<BYTE> Utf16(const std::string& text) {
  std::wstring wide;
  if (!text.empty()) {
    int n = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    wide.assign(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  }
  std::vector<BYTE> bytes((wide.size() + 1) * sizeof(wchar_t), 0);
  if (!wide.empty()) std::memcpy(bytes.data(), wide.data(), wide.size() * sizeof(wchar_t));
  return bytes;
}

template <class T>
std::vector<BYTE> Bytes(const T& value) {
  std::vector<BYTE> bytes(sizeof(T));
  std::memcpy(bytes.data(), &value, sizeof(T));
  return bytes;
}

ULONG NextTag(ULONG tag) { return tag + 1 == BATTERY_TAG_INVALID ? 1 : tag + 1; }

// Rates the simulated charger and load use when the battery reports none: half the design
// capacity per hour to charge, a sixth of it to discharge (a laptop's usual drain).
LONG ChargeRate(const SimBattery& b) {
  ULONG design = b.info.DesignedCapacity ? b.info.DesignedCapacity : b.info.FullChargedCapacity;
  return static_cast<LONG>(std::clamp<ULONG>(design / 2, 1, 0x7FFFFFFF));
}
LONG DischargeRate(const SimBattery& b) {
  ULONG design = b.info.DesignedCapacity ? b.info.DesignedCapacity : b.info.FullChargedCapacity;
  return static_cast<LONG>(std::clamp<ULONG>(design / 6, 1, 0x7FFFFFFF));
}

// Carries the live state over to `t`, counting what was drawn, so that it can change course.
void Rebase(SimBattery& b, double t) {
  const BATTERY_STATUS live = Live(b, t);
  b.drawn += DrawnSinceBase(b, t);
  b.capacity = live.Capacity;
  b.power_state = live.PowerState;
  b.rate = live.Rate;
  b.since = t;
}

}  // namespace

// ---- device set-up library ----------------------------------------------------------------------

HDEVINFO SimulatedMachine::SetupDiGetClassDevsA(const GUID* classGuid, PCSTR, HWND, DWORD flags) {
  // A list of another class, or of device classes rather than interfaces, holds no battery.
  size_t count = 0;
  if (IsBatteryClass(classGuid) && (flags & DIGCF_DEVICEINTERFACE)) {
    Lock lock(*this);
    count = state_.batteries.size();
  }
  // The list's "index" is the number of interfaces it saw: a snapshot, as on the real system.
  return static_cast<HDEVINFO>(NewHandle(HandleKind::DeviceSet, count));
}

BOOL SimulatedMachine::SetupDiEnumDeviceInterfaces(HDEVINFO set, PSP_DEVINFO_DATA, const GUID* interfaceGuid,
                                                   DWORD index, PSP_DEVICE_INTERFACE_DATA data) {
  size_t count = 0;
  if (!LookupHandle(set, HandleKind::DeviceSet, &count)) return Fail(ERROR_INVALID_HANDLE);
  if (!data || data->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA)) return Fail(ERROR_INVALID_USER_BUFFER);
  if (!IsBatteryClass(interfaceGuid) || index >= count) return Fail(ERROR_NO_MORE_ITEMS);
  data->InterfaceClassGuid = kBatteryInterfaceClass;
  data->Flags = SPINT_ACTIVE;
  data->Reserved = index + 1;  // the slot, for the detail call
  return TRUE;
}

BOOL SimulatedMachine::SetupDiGetDeviceInterfaceDetailA(HDEVINFO set, PSP_DEVICE_INTERFACE_DATA data,
                                                        PSP_DEVICE_INTERFACE_DETAIL_DATA_A detail, DWORD detailSize,
                                                        PDWORD requiredSize, PSP_DEVINFO_DATA device) {
  size_t count = 0;
  if (!LookupHandle(set, HandleKind::DeviceSet, &count)) return Fail(ERROR_INVALID_HANDLE);
  if (!data || data->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA) || data->Reserved == 0 || data->Reserved > count)
    return Fail(ERROR_INVALID_PARAMETER);
  const size_t slot = data->Reserved - 1;
  const std::string path = InterfacePath(slot);
  const DWORD required = static_cast<DWORD>(offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath) + path.size() + 1);
  if (requiredSize) *requiredSize = required;
  if (!detail) return Fail(detailSize == 0 ? ERROR_INSUFFICIENT_BUFFER : ERROR_INVALID_USER_BUFFER);
  // The fixed part's size of this build, exactly: the real library refuses anything else.
  if (detail->cbSize != sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) return Fail(ERROR_INVALID_USER_BUFFER);
  if (detailSize < required) return Fail(ERROR_INSUFFICIENT_BUFFER);
  std::memcpy(detail->DevicePath, path.c_str(), path.size() + 1);
  if (device) {
    if (device->cbSize != sizeof(SP_DEVINFO_DATA)) return Fail(ERROR_INVALID_USER_BUFFER);
    device->ClassGuid = kBatteryInterfaceClass;
    device->DevInst = static_cast<DWORD>(slot + 1);
    device->Reserved = slot + 1;
  }
  return TRUE;
}

BOOL SimulatedMachine::SetupDiDestroyDeviceInfoList(HDEVINFO set) {
  if (!LookupHandle(set, HandleKind::DeviceSet, nullptr)) return Fail(ERROR_INVALID_HANDLE);
  ReleaseHandle(set);
  return TRUE;
}

// ---- devices ------------------------------------------------------------------------------------

HANDLE SimulatedMachine::CreateFileA(LPCSTR path, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE) {
  if (path && ::_stricmp(path, kLcdPath) == 0) {
    bool present = false;
    {
      Lock lock(*this);
      present = state_.lcd_device;
    }
    return present ? NewHandle(HandleKind::Lcd, 0) : Fail(ERROR_FILE_NOT_FOUND, INVALID_HANDLE_VALUE);
  }
  size_t slot = 0;
  if (!SlotOfPath(path, slot)) return Fail(ERROR_FILE_NOT_FOUND, INVALID_HANDLE_VALUE);
  {
    Lock lock(*this);
    if (slot >= state_.batteries.size()) return Fail(ERROR_FILE_NOT_FOUND, INVALID_HANDLE_VALUE);
    if (state_.batteries[slot].open_fails) return Fail(ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE);
  }
  return NewHandle(HandleKind::Battery, slot);
}

BOOL SimulatedMachine::DeviceIoControl(HANDLE device, DWORD code, LPVOID in, DWORD inSize, LPVOID out,
                                       DWORD outSize, LPDWORD returned, LPOVERLAPPED overlapped) {
  if (returned) *returned = 0;
  size_t slot = 0;
  if (!LookupHandle(device, HandleKind::Battery, &slot)) {
    // The display device understands none of the battery requests.
    return Fail(LookupHandle(device, HandleKind::Lcd, nullptr) ? ERROR_INVALID_FUNCTION : ERROR_INVALID_HANDLE);
  }
  // Synchronous handles only; the byte count is required without an OVERLAPPED.
  if (overlapped || !returned) return Fail(ERROR_INVALID_PARAMETER);
  switch (code) {
    case IOCTL_BATTERY_QUERY_TAG:
      return QueryTag(slot, in, inSize, out, outSize, returned);
    case IOCTL_BATTERY_QUERY_INFORMATION:
      return QueryInformation(slot, in, inSize, out, outSize, returned);
    case IOCTL_BATTERY_QUERY_STATUS:
      return QueryStatus(slot, in, inSize, out, outSize, returned);
    case IOCTL_BATTERY_SET_INFORMATION:
      return SetInformation(slot, in, inSize);
    default:
      return Fail(ERROR_INVALID_FUNCTION);
  }
}

// ---- battery class requests -----------------------------------------------------------------------

BOOL SimulatedMachine::QueryTag(size_t slot, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize, LPDWORD returned) {
  if (!in || inSize < sizeof(ULONG)) return Fail(ERROR_INVALID_PARAMETER);
  if (!out || outSize < sizeof(ULONG)) return Fail(ERROR_INSUFFICIENT_BUFFER);
  ULONG wait = 0;
  std::memcpy(&wait, in, sizeof wait);
  const DWORD limit = WaitLimit(wait);
  const DWORD start = ::GetTickCount();
  for (;;) {
    {
      Lock lock(*this);
      if (slot < state_.batteries.size() && Present(state_.batteries[slot])) {
        ULONG tag = state_.batteries[slot].tag;
        std::memcpy(out, &tag, sizeof tag);
        *returned = sizeof tag;
        return TRUE;
      }
    }
    const DWORD elapsed = ::GetTickCount() - start;
    if (elapsed >= limit) break;
    ::Sleep(std::min(kPollMs, limit - elapsed));
  }
  const ULONG none = BATTERY_TAG_INVALID;
  std::memcpy(out, &none, sizeof none);
  return Fail(ERROR_FILE_NOT_FOUND);
}

BOOL SimulatedMachine::QueryInformation(size_t slot, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize,
                                        LPDWORD returned) {
  if (!in || inSize < sizeof(BATTERY_QUERY_INFORMATION)) return Fail(ERROR_INVALID_PARAMETER);
  BATTERY_QUERY_INFORMATION query{};
  std::memcpy(&query, in, sizeof query);
  std::vector<BYTE> answer;
  {
    Lock lock(*this);
    FollowRoutine();
    if (slot >= state_.batteries.size()) return Fail(ERROR_FILE_NOT_FOUND);
    const SimBattery& b = state_.batteries[slot];
    if (!Present(b) || query.BatteryTag != b.tag) return Fail(ERROR_FILE_NOT_FOUND);
    const int level = static_cast<int>(query.InformationLevel);
    if (level < BatteryInformation || level > BatterySerialNumber || (b.unsupported & LevelBit(level)))
      return Fail(ERROR_INVALID_FUNCTION);
    switch (query.InformationLevel) {
      case BatteryInformation:
        answer = Bytes(Aged(b, Now()));
        break;
      case BatteryGranularityInformation: {
        // One reporting scale over the whole range.
        BATTERY_REPORTING_SCALE scale{};
        scale.Granularity = (b.info.Capabilities & BATTERY_CAPACITY_RELATIVE) ? 1 : 10;
        scale.Capacity = b.info.DesignedCapacity;
        answer = Bytes(scale);
        break;
      }
      case BatteryTemperature:
        answer = Bytes(b.temperature);
        break;
      case BatteryEstimatedTime: {
        const BATTERY_STATUS live = Live(b, Now());
        const auto at = static_cast<LONG>(query.AtRate);
        ULONG seconds = BATTERY_UNKNOWN_TIME;
        if (at != 0) {
          seconds = TimeAt(live.Capacity, at);
        } else if (live.PowerState & BATTERY_DISCHARGING) {
          seconds = TimeAt(live.Capacity, live.Rate);
        }
        answer = Bytes(seconds);
        break;
      }
      case BatteryDeviceName:
        answer = Utf16(b.device_name);
        break;
      case BatteryManufactureDate:
        answer = Bytes(b.manufacture_date);
        break;
      case BatteryManufactureName:
        answer = Utf16(b.manufacture_name);
        break;
      case BatteryUniqueID:
        answer = Utf16(b.unique_id);
        break;
      case BatterySerialNumber:
        answer = Utf16(b.serial_number);
        break;
    }
  }
  if (!out || outSize < answer.size()) return Fail(ERROR_INSUFFICIENT_BUFFER);
  std::memcpy(out, answer.data(), answer.size());
  *returned = static_cast<DWORD>(answer.size());
  return TRUE;
}

BOOL SimulatedMachine::QueryStatus(size_t slot, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize,
                                   LPDWORD returned) {
  if (!in || inSize < sizeof(BATTERY_WAIT_STATUS)) return Fail(ERROR_INVALID_PARAMETER);
  if (!out || outSize < sizeof(BATTERY_STATUS)) return Fail(ERROR_INSUFFICIENT_BUFFER);
  BATTERY_WAIT_STATUS wait{};
  std::memcpy(&wait, in, sizeof wait);
  const DWORD limit = WaitLimit(wait.Timeout);
  const DWORD start = ::GetTickCount();
  for (;;) {
    BATTERY_STATUS status{};
    {
      // A battery taken out while the request waits ends it, as a changed tag does.
      Lock lock(*this);
      FollowRoutine();
      if (slot >= state_.batteries.size()) return Fail(ERROR_FILE_NOT_FOUND);
      const SimBattery& b = state_.batteries[slot];
      if (!Present(b) || wait.BatteryTag != b.tag) return Fail(ERROR_FILE_NOT_FOUND);
      status = Live(b, Now());
    }
    const DWORD elapsed = ::GetTickCount() - start;
    const bool changed = status.PowerState != wait.PowerState || status.Capacity < wait.LowCapacity ||
                         status.Capacity > wait.HighCapacity;
    // The request ends with the status of that moment when the wait is over.
    if (changed || elapsed >= limit) {
      std::memcpy(out, &status, sizeof status);
      *returned = sizeof status;
      return TRUE;
    }
    ::Sleep(std::min(kPollMs, limit - elapsed));
  }
}

BOOL SimulatedMachine::SetInformation(size_t slot, LPVOID in, DWORD inSize) {
  if (!in || inSize < offsetof(BATTERY_SET_INFORMATION, Buffer)) return Fail(ERROR_INVALID_PARAMETER);
  BATTERY_SET_INFORMATION set{};
  std::memcpy(&set, in, std::min<size_t>(inSize, sizeof set));
  Lock lock(*this);
  if (slot >= state_.batteries.size()) return Fail(ERROR_FILE_NOT_FOUND);
  SimBattery& b = state_.batteries[slot];
  if (!Present(b) || set.BatteryTag != b.tag) return Fail(ERROR_FILE_NOT_FOUND);
  const ULONG caps = b.info.Capabilities;
  const bool charge = set.InformationLevel == BatteryCharge && (caps & BATTERY_SET_CHARGE_SUPPORTED);
  const bool discharge = set.InformationLevel == BatteryDischarge && (caps & BATTERY_SET_DISCHARGE_SUPPORTED);
  // Critical bias, charging sources and commands the battery does not offer are refused.
  if (!charge && !discharge) return Fail(ERROR_INVALID_FUNCTION);
  // Carry the live state over to now, then change course from there.
  const double now = Now();
  const BATTERY_STATUS live = Live(b, now);
  b.drawn += DrawnSinceBase(b, now);
  b.capacity = live.Capacity;
  b.since = now;
  const bool rate_known = static_cast<ULONG>(live.Rate) != BATTERY_UNKNOWN_RATE && live.Rate != 0;
  const LONG magnitude = rate_known ? (live.Rate < 0 ? -live.Rate : live.Rate) : 0;
  if (charge) {
    b.power_state = (live.PowerState & ~BATTERY_DISCHARGING) | BATTERY_POWER_ON_LINE | BATTERY_CHARGING;
    b.rate = magnitude ? magnitude : ChargeRate(b);
  } else {
    b.power_state = (live.PowerState & ~BATTERY_CHARGING) | BATTERY_DISCHARGING;
    b.rate = -(magnitude ? magnitude : DischargeRate(b));
  }
  return TRUE;
}

// ---- the machine's own controls -------------------------------------------------------------------

bool SimulatedMachine::ExchangeBattery(size_t index) {
  Lock lock(*this);
  if (index >= state_.batteries.size()) return false;
  SimBattery& b = state_.batteries[index];
  b.tag = NextTag(b.tag);
  return true;
}

bool SimulatedMachine::ExchangeBattery(size_t index, SimBattery replacement) {
  Lock lock(*this);
  if (index >= state_.batteries.size()) return false;
  replacement.tag = NextTag(state_.batteries[index].tag);
  replacement.since = Now();
  state_.batteries[index] = std::move(replacement);
  return true;
}

void SimulatedMachine::FollowRoutine() {
  const int from = state_.routine_from, to = state_.routine_to;
  if (from < 0 || to < 0 || from > 24 || to > 24 || from == to) return;
  // Each day's two changes, in the order of the day.
  struct Change {
    int hour;
    bool on_battery;
  };
  const Change changes[2] = {{std::min(from, to), from < to}, {std::max(from, to), from > to}};
  auto apply = [&](double t, bool on_battery) {
    for (SimBattery& b : state_.batteries) {
      if (!Present(b) || b.capacity == BATTERY_UNKNOWN_CAPACITY) continue;
      Rebase(b, t);
      b.power_state = on_battery ? BATTERY_DISCHARGING : (BATTERY_POWER_ON_LINE | BATTERY_CHARGING);
      b.rate = on_battery ? -DischargeRate(b) : ChargeRate(b);
    }
    state_.ac_line_status = on_battery ? 0 : 1;
  };
  const double now = Now();
  if (routine_done_ < 0) {
    // The machine starts in the state the time of day asks for.
    const double hour = std::fmod(wall_start_, kSecondsPerDay) / kSecondsPerHour;
    apply(0, (hour >= from && hour < to) || (from > to && (hour >= from || hour < to)));
    routine_done_ = 0;
  }
  for (double day = std::floor((wall_start_ + routine_done_) / kSecondsPerDay);; day += 1) {
    for (const Change& change : changes) {
      const double t = day * kSecondsPerDay + change.hour * kSecondsPerHour - wall_start_;
      if (t <= routine_done_) continue;
      if (t > now) {
        routine_done_ = now;
        return;
      }
      apply(t, change.on_battery);
    }
  }
}

BATTERY_INFORMATION SimulatedMachine::BatteryInformationNow(size_t index) const {
  Lock lock(*this);
  if (index >= state_.batteries.size()) return BATTERY_INFORMATION{};
  return Aged(state_.batteries[index], Now());
}

BATTERY_STATUS SimulatedMachine::BatteryStatusNow(size_t index) const {
  Lock lock(*this);
  if (index >= state_.batteries.size()) return BATTERY_STATUS{};
  return Live(state_.batteries[index], Now());
}

}  // namespace vantrel::platform::sim
