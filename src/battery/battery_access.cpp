// The battery half of PowerPlatform: the battery class driver reached through the device
// interfaces of the battery class, one handle and one tag per battery, nothing cached.
#include <windows.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "battery/battery_platform.h"
#include "battery/core/battery_figures.h"
#include "platform/battery_interface.h"
#include "platform/system_api.h"

namespace vantrel::battery {

// The published layouts, on both word sizes.
static_assert(sizeof(BATTERY_QUERY_INFORMATION) == 12);
static_assert(sizeof(BATTERY_INFORMATION) == 36);
static_assert(sizeof(BATTERY_WAIT_STATUS) == 20);
static_assert(sizeof(BATTERY_STATUS) == 16);
static_assert(sizeof(BATTERY_MANUFACTURE_DATE) == 4);
static_assert(sizeof(BATTERY_SET_INFORMATION) == 12);
// The interface detail's fixed part, which its cbSize must give: 5 bytes on 32-bit systems,
// 8 on 64-bit ones (packing differs).
static_assert(sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A) == (sizeof(void*) == 8 ? 8 : 5));

namespace {

// More interfaces than any machine has; an enumerator that never ends stops here.
constexpr DWORD kMaxInterfaces = 64;
// Device texts are at most 128 bytes on real devices; a device that keeps asking for more
// stops the doubling here.
constexpr DWORD kMaxTextBytes = 64 * 1024;
constexpr DWORD kFirstScratchBytes = 3;
// Interface paths are short; anything larger is not a path.
constexpr DWORD kMaxDetailBytes = 64 * 1024;

// The last error of a failed call; a call that failed without saying why still failed.
DWORD LastError() {
  DWORD error = ::GetLastError();
  return error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE;
}

// The device information list of one enumeration, destroyed through the seam.
class DeviceList {
 public:
  explicit DeviceList(HDEVINFO set) noexcept : set_(set) {}
  ~DeviceList() {
    if (valid()) platform::Sys().SetupDiDestroyDeviceInfoList(set_);
  }
  DeviceList(const DeviceList&) = delete;
  DeviceList& operator=(const DeviceList&) = delete;
  bool valid() const noexcept { return set_ != INVALID_HANDLE_VALUE && set_ != nullptr; }
  HDEVINFO get() const noexcept { return set_; }

 private:
  HDEVINFO set_;
};

// Opens one battery interface; INVALID_HANDLE_VALUE when its path cannot be read or opened.
HANDLE OpenInterface(HDEVINFO set, SP_DEVICE_INTERFACE_DATA& data) {
  platform::SystemApi& sys = platform::Sys();
  DWORD required = 0;
  if (sys.SetupDiGetDeviceInterfaceDetailA(set, &data, nullptr, 0, &required, nullptr) ||
      ::GetLastError() != ERROR_INSUFFICIENT_BUFFER || required <= sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A) ||
      required > kMaxDetailBytes)
    return INVALID_HANDLE_VALUE;
  // One spare zero byte keeps the path terminated whatever the call writes.
  std::vector<DWORD> storage(required / sizeof(DWORD) + 2, 0);
  auto* detail = reinterpret_cast<PSP_DEVICE_INTERFACE_DETAIL_DATA_A>(storage.data());
  detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
  if (!sys.SetupDiGetDeviceInterfaceDetailA(set, &data, detail, required, nullptr, nullptr))
    return INVALID_HANDLE_VALUE;
  return sys.CreateFileA(detail->DevicePath, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
}

// A UTF-16 answer of `bytes` bytes, up to its first zero, in the ANSI code page.
std::string NarrowAnswer(const std::vector<BYTE>& answer, DWORD bytes) {
  std::wstring wide(bytes / sizeof(wchar_t), L'\0');
  if (!wide.empty()) std::memcpy(wide.data(), answer.data(), wide.size() * sizeof(wchar_t));
  wide.resize(std::wcslen(wide.c_str()));
  if (wide.empty()) return {};
  int n = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string narrow(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), narrow.data(), n, nullptr, nullptr);
  return narrow;
}

DWORD InfoField(BatteryPlatform& platform, unsigned index, ULONG BATTERY_INFORMATION::*field, ULONG& value) {
  BATTERY_INFORMATION info{};
  DWORD result = platform.GetBatteryInfo(index, info);
  if (result == ERROR_SUCCESS) value = info.*field;
  return result;
}

}  // namespace

// ---- enumeration and tags ---------------------------------------------------------------------

BatteryPlatform::BatteryPlatform() { EnumBatteries(); }

BatteryPlatform::~BatteryPlatform() { batteries_.Clear(); }


DWORD BatteryPlatform::EnumBatteries() {
  batteries_.Clear();
  platform::SystemApi& sys = platform::Sys();
  DWORD end = ERROR_NO_MORE_ITEMS;
  {
    DeviceList list(sys.SetupDiGetClassDevsA(&platform::kBatteryInterfaceClass, nullptr, nullptr,
                                             DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
    if (!list.valid()) return LastError();
    for (DWORD i = 0; i < kMaxInterfaces; ++i) {
      SP_DEVICE_INTERFACE_DATA data{};
      data.cbSize = sizeof data;
      if (!sys.SetupDiEnumDeviceInterfaces(list.get(), nullptr, &platform::kBatteryInterfaceClass, i, &data)) {
        end = LastError();
        break;
      }
      // A battery that cannot be opened keeps its place, so that indices follow the interfaces.
      batteries_.Add(OpenInterface(list.get(), data));
    }
  }
  if (end != ERROR_NO_MORE_ITEMS) return end;
  RefreshTags(INFINITE);  // bounded by QueryTag
  return ERROR_SUCCESS;
}

DWORD BatteryPlatform::RefreshTags(DWORD wait) {
  // Every battery is asked, so that one empty slot leaves the others usable; the first
  // failure is what the caller hears.
  DWORD first_error = ERROR_SUCCESS;
  for (unsigned i = 0; i < batteries_.size(); ++i) {
    if (!batteries_[i].handle.valid()) continue;
    DWORD result = QueryTag(i, wait);
    if (result != ERROR_SUCCESS && first_error == ERROR_SUCCESS) first_error = result;
  }
  return first_error;
}

DWORD BatteryPlatform::QueryTag(unsigned index, DWORD wait) {
  ULONG in = wait > kMaxTagWaitMs ? kMaxTagWaitMs : wait;
  ULONG tag = BATTERY_TAG_INVALID;
  DWORD returned = 0;
  DWORD result = BatteryRequest(index, IOCTL_BATTERY_QUERY_TAG, &in, sizeof in, &tag, sizeof tag, &returned);
  if (result == ERROR_SUCCESS && (returned < sizeof tag || tag == BATTERY_TAG_INVALID)) result = ERROR_FILE_NOT_FOUND;
  batteries_[index].tag = result == ERROR_SUCCESS ? tag : BATTERY_TAG_INVALID;
  return result;
}

DWORD BatteryPlatform::BatteryRequest(unsigned index, DWORD code, void* in, DWORD in_size, void* out, DWORD out_size,
                                    DWORD* returned) {
  DWORD ignored = 0;
  if (!returned) returned = &ignored;
  *returned = 0;
  if (!batteries_.contains(index)) return ERROR_INVALID_PARAMETER;
  const platform::SysHandle& handle = batteries_[index].handle;
  if (!handle.valid()) return ERROR_INVALID_HANDLE;
  if (!platform::Sys().DeviceIoControl(handle.get(), code, in, in_size, out, out_size, returned, nullptr))
    return LastError();
  return ERROR_SUCCESS;
}

DWORD BatteryPlatform::TaggedRequest(unsigned index, DWORD code, void* in, DWORD in_size, void* out, DWORD out_size,
                                   DWORD* returned) {
  // Every tagged record starts with the tag.
  static_assert(offsetof(BATTERY_QUERY_INFORMATION, BatteryTag) == 0 && offsetof(BATTERY_WAIT_STATUS, BatteryTag) == 0 &&
                offsetof(BATTERY_SET_INFORMATION, BatteryTag) == 0);
  if (!batteries_.contains(index)) return ERROR_INVALID_PARAMETER;
  std::memcpy(in, &batteries_[index].tag, sizeof(ULONG));
  DWORD result = BatteryRequest(index, code, in, in_size, out, out_size, returned);
  if (result != ERROR_FILE_NOT_FOUND) return result;
  // The battery was exchanged (or its tag changed): take the new tag and ask once more.
  DWORD retag = QueryTag(index, kRetagWaitMs);
  if (retag != ERROR_SUCCESS) return retag;
  std::memcpy(in, &batteries_[index].tag, sizeof(ULONG));
  return BatteryRequest(index, code, in, in_size, out, out_size, returned);
}

DWORD BatteryPlatform::QueryInformation(unsigned index, int level, LONG rate, void* out, DWORD out_size,
                                      DWORD* returned) {
  BATTERY_QUERY_INFORMATION query{};
  query.InformationLevel = static_cast<BATTERY_QUERY_INFORMATION_LEVEL>(level);
  query.AtRate = static_cast<ULONG>(rate);
  return TaggedRequest(index, IOCTL_BATTERY_QUERY_INFORMATION, &query, sizeof query, out, out_size, returned);
}

DWORD BatteryPlatform::SetInformation(unsigned index, int level) {
  BATTERY_SET_INFORMATION set{};
  set.InformationLevel = static_cast<BATTERY_SET_INFORMATION_LEVEL>(level);
  return TaggedRequest(index, IOCTL_BATTERY_SET_INFORMATION, &set, sizeof set, nullptr, 0, nullptr);
}

// ---- texts ------------------------------------------------------------------------------------

DWORD BatteryPlatform::QueryText(unsigned index, int level, char* buffer, DWORD size, DWORD* length) {
  if (!batteries_.contains(index)) return ERROR_INVALID_PARAMETER;
  if (!batteries_[index].handle.valid()) return ERROR_INVALID_HANDLE;
  // The device does not say how long its text is: ask with a growing scratch buffer.
  std::vector<BYTE> scratch;
  DWORD scratch_size = kFirstScratchBytes;
  DWORD returned = 0;
  for (;;) {
    scratch.assign(scratch_size, 0);
    DWORD result = QueryInformation(index, level, 0, scratch.data(), scratch_size, &returned);
    if (result == ERROR_SUCCESS) break;
    if (result != ERROR_INSUFFICIENT_BUFFER && result != ERROR_MORE_DATA) return result;
    if (scratch_size >= kMaxTextBytes) return result;
    scratch_size *= 2;
  }
  if (returned > scratch_size) returned = scratch_size;
  std::string text = NarrowAnswer(scratch, returned);
  auto n = static_cast<DWORD>(text.size());
  if (length) *length = n;
  if (n > size) return ERROR_INSUFFICIENT_BUFFER;
  if (!buffer) return n == 0 && size == 0 ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER;
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
  return ERROR_SUCCESS;
}

DWORD BatteryPlatform::GetDeviceName(unsigned index, char* buffer, DWORD size, DWORD* length) {
  return QueryText(index, BatteryDeviceName, buffer, size, length);
}
DWORD BatteryPlatform::GetManufactureName(unsigned index, char* buffer, DWORD size, DWORD* length) {
  return QueryText(index, BatteryManufactureName, buffer, size, length);
}
DWORD BatteryPlatform::GetUniqueId(unsigned index, char* buffer, DWORD size, DWORD* length) {
  return QueryText(index, BatteryUniqueID, buffer, size, length);
}
DWORD BatteryPlatform::GetSerialNumber(unsigned index, char* buffer, DWORD size, DWORD* length) {
  return QueryText(index, BatterySerialNumber, buffer, size, length);
}

int BatteryPlatform::FindBatteryByName(const std::string& name) {
  for (unsigned i = 0; i < batteries_.size(); ++i) {
    std::string device_name;
    if (ReadBatteryText(*this, BatteryText::DeviceName, i, device_name) && device_name == name)
      return static_cast<int>(i);
  }
  return -1;
}

// ---- information ------------------------------------------------------------------------------

DWORD BatteryPlatform::GetBatteryInfo(unsigned index, BATTERY_INFORMATION& info) {
  BATTERY_INFORMATION answer{};
  DWORD result = QueryInformation(index, BatteryInformation, 0, &answer, sizeof answer, nullptr);
  if (result == ERROR_SUCCESS) info = answer;
  return result;
}

DWORD BatteryPlatform::GetCapabilities(unsigned index, ULONG& flags) {
  BATTERY_INFORMATION info{};
  DWORD result = GetBatteryInfo(index, info);
  if (result == ERROR_SUCCESS) flags = info.Capabilities;
  return result;
}

bool BatteryPlatform::IsRechargeable(unsigned index) {
  BATTERY_INFORMATION info{};
  return GetBatteryInfo(index, info) == ERROR_SUCCESS && info.Technology == 1;
}

DWORD BatteryPlatform::GetChemistry(unsigned index, char (&chemistry)[5]) {
  BATTERY_INFORMATION info{};
  DWORD result = GetBatteryInfo(index, info);
  if (result != ERROR_SUCCESS) return result;
  std::memcpy(chemistry, info.Chemistry, sizeof info.Chemistry);
  chemistry[4] = '\0';
  return result;
}

DWORD BatteryPlatform::GetDesignedCapacity(unsigned index, ULONG& capacity) {
  BATTERY_INFORMATION info{};
  DWORD result = GetBatteryInfo(index, info);
  if (result == ERROR_SUCCESS)
    capacity = (info.Capabilities & BATTERY_CAPACITY_RELATIVE) ? 0 : info.DesignedCapacity;
  return result;
}

DWORD BatteryPlatform::GetFullChargedCapacity(unsigned index, ULONG& value) {
  return InfoField(*this, index, &BATTERY_INFORMATION::FullChargedCapacity, value);
}
DWORD BatteryPlatform::GetDefaultAlert1(unsigned index, ULONG& value) {
  return InfoField(*this, index, &BATTERY_INFORMATION::DefaultAlert1, value);
}
DWORD BatteryPlatform::GetDefaultAlert2(unsigned index, ULONG& value) {
  return InfoField(*this, index, &BATTERY_INFORMATION::DefaultAlert2, value);
}
DWORD BatteryPlatform::GetCriticalBias(unsigned index, ULONG& value) {
  return InfoField(*this, index, &BATTERY_INFORMATION::CriticalBias, value);
}
DWORD BatteryPlatform::GetCycleCount(unsigned index, ULONG& value) {
  return InfoField(*this, index, &BATTERY_INFORMATION::CycleCount, value);
}

bool BatteryPlatform::CanForceCharge(unsigned index) {
  ULONG flags = 0;
  return GetCapabilities(index, flags) == ERROR_SUCCESS && (flags & BATTERY_SET_CHARGE_SUPPORTED);
}

bool BatteryPlatform::CanForceDischarge(unsigned index) {
  ULONG flags = 0;
  return GetCapabilities(index, flags) == ERROR_SUCCESS && (flags & BATTERY_SET_DISCHARGE_SUPPORTED);
}

DWORD BatteryPlatform::GetManufactureDate(unsigned index, BATTERY_MANUFACTURE_DATE& date) {
  BATTERY_MANUFACTURE_DATE answer{};
  DWORD result = QueryInformation(index, BatteryManufactureDate, 0, &answer, sizeof answer, nullptr);
  if (result != ERROR_SUCCESS) return result;
  date = answer;
  bool valid = answer.Day >= 1 && answer.Day <= 31 && answer.Month >= 1 && answer.Month <= 12 &&
               answer.Year >= 1900 && answer.Year <= 2100;
  return valid ? ERROR_SUCCESS : kInvalidDate;
}

DWORD BatteryPlatform::GetTemperature(unsigned index, ULONG& temperature) {
  ULONG answer = 0;
  DWORD result = QueryInformation(index, BatteryTemperature, 0, &answer, sizeof answer, nullptr);
  if (result == ERROR_SUCCESS) temperature = answer;
  return result;
}

DWORD BatteryPlatform::GetEstimatedTime(unsigned index, LONG rate, ULONG& seconds) {
  ULONG answer = 0;
  DWORD result = QueryInformation(index, BatteryEstimatedTime, rate, &answer, sizeof answer, nullptr);
  if (result != ERROR_SUCCESS) return result;
  seconds = answer;
  return answer == BATTERY_UNKNOWN_TIME ? kUnknownFigure : ERROR_SUCCESS;
}

// ---- status -----------------------------------------------------------------------------------

DWORD BatteryPlatform::GetStatus(unsigned index, BATTERY_STATUS& status, ULONG wait, ULONG power_state, ULONG low,
                               ULONG high) {
  BATTERY_WAIT_STATUS in{};
  in.Timeout = wait > kMaxStatusWaitMs ? kMaxStatusWaitMs : wait;
  in.PowerState = power_state;
  in.LowCapacity = low;
  in.HighCapacity = high;
  BATTERY_STATUS answer{};
  DWORD result = TaggedRequest(index, IOCTL_BATTERY_QUERY_STATUS, &in, sizeof in, &answer, sizeof answer, nullptr);
  if (result == ERROR_SUCCESS) status = answer;
  return result;
}

DWORD BatteryPlatform::GetCapacity(unsigned index, ULONG& capacity, ULONG wait, ULONG power_state, ULONG low,
                                 ULONG high) {
  BATTERY_STATUS status{};
  DWORD result = GetStatus(index, status, wait, power_state, low, high);
  if (result != ERROR_SUCCESS) return result;
  capacity = status.Capacity;
  return status.Capacity == BATTERY_UNKNOWN_CAPACITY ? kUnknownFigure : ERROR_SUCCESS;
}

DWORD BatteryPlatform::GetVoltage(unsigned index, ULONG& voltage, ULONG wait, ULONG power_state, ULONG low,
                                ULONG high) {
  BATTERY_STATUS status{};
  DWORD result = GetStatus(index, status, wait, power_state, low, high);
  if (result != ERROR_SUCCESS) return result;
  voltage = status.Voltage;
  return status.Voltage == BATTERY_UNKNOWN_VOLTAGE ? kUnknownFigure : ERROR_SUCCESS;
}

DWORD BatteryPlatform::GetRate(unsigned index, LONG& rate, ULONG wait, ULONG power_state, ULONG low, ULONG high) {
  BATTERY_STATUS status{};
  DWORD result = GetStatus(index, status, wait, power_state, low, high);
  if (result != ERROR_SUCCESS) return result;
  rate = status.Rate;
  return static_cast<ULONG>(status.Rate) == BATTERY_UNKNOWN_RATE ? kUnknownRate : ERROR_SUCCESS;
}

bool BatteryPlatform::IsCharging(unsigned index) {
  BATTERY_STATUS status{};
  return GetStatus(index, status, 0, 0, 0, 0) == ERROR_SUCCESS && (status.PowerState & BATTERY_CHARGING);
}

bool BatteryPlatform::IsDischarging(unsigned index) {
  BATTERY_STATUS status{};
  return GetStatus(index, status, 0, 0, 0, 0) == ERROR_SUCCESS && (status.PowerState & BATTERY_DISCHARGING);
}

DWORD BatteryPlatform::ForceCharge(unsigned index) { return SetInformation(index, BatteryCharge); }
DWORD BatteryPlatform::ForceDischarge(unsigned index) { return SetInformation(index, BatteryDischarge); }

// ---- derived figures --------------------------------------------------------------------------

BatteryPlatform::ChargeReading BatteryPlatform::ReadCharge(unsigned index) {
  BATTERY_INFORMATION info{};
  const bool info_read = GetBatteryInfo(index, info) == ERROR_SUCCESS;
  ULONG full = info_read ? info.FullChargedCapacity : 1;
  BATTERY_STATUS status{};
  const bool status_read = GetStatus(index, status, 0, 0, 0, 0) == ERROR_SUCCESS;
  ULONG remaining = status_read ? status.Capacity : 0;
  ChargeReading reading;
  reading.percent = ChargeFromCapacity(remaining, full);
  reading.known = info_read && status_read && full != 0 && full != BATTERY_UNKNOWN_CAPACITY &&
                  remaining != BATTERY_UNKNOWN_CAPACITY;
  reading.power_state = status_read ? status.PowerState : 0;
  reading.read = info_read && status_read;
  if (info_read) {
    reading.full = info.FullChargedCapacity;
    reading.design = (info.Capabilities & BATTERY_CAPACITY_RELATIVE) ? 0 : info.DesignedCapacity;
    reading.cycles = info.CycleCount;
  }
  if (status_read) reading.remaining = status.Capacity;
  return reading;
}

unsigned BatteryPlatform::GetWearPercent(unsigned index) {
  BATTERY_INFORMATION info{};
  ULONG full = 0;
  ULONG design = 1;
  if (GetBatteryInfo(index, info) == ERROR_SUCCESS) {
    full = info.FullChargedCapacity;
    design = (info.Capabilities & BATTERY_CAPACITY_RELATIVE) ? 0 : info.DesignedCapacity;
  }
  return WearFromCapacity(full, design);
}

// ---- texts -----------------------------------------------------------------------------------

bool ReadBatteryText(BatteryPlatform& platform, BatteryText which, unsigned index, std::string& text) {
  using Getter = DWORD (BatteryPlatform::*)(unsigned, char*, DWORD, DWORD*);
  Getter get = &BatteryPlatform::GetDeviceName;
  switch (which) {
    case BatteryText::DeviceName: get = &BatteryPlatform::GetDeviceName; break;
    case BatteryText::ManufactureName: get = &BatteryPlatform::GetManufactureName; break;
    case BatteryText::UniqueId: get = &BatteryPlatform::GetUniqueId; break;
    case BatteryText::SerialNumber: get = &BatteryPlatform::GetSerialNumber; break;
  }
  DWORD length = 0;
  if ((platform.*get)(index, nullptr, 0, &length) != ERROR_INSUFFICIENT_BUFFER || length == 0) return false;
  std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
  DWORD read = 0;
  if ((platform.*get)(index, buffer.data(), length, &read) != ERROR_SUCCESS) return false;
  text.assign(buffer.data(), read);
  return true;
}

}  // namespace vantrel::battery
