#include "battery/battery_status.h"

#include <cstdint>
#include <vector>

#include "i18n/core/language_table.h"

namespace vantrel::battery {

namespace {

// The meter's view of one PowerPlatform.
class PlatformQueries final : public BatteryQueries {
 public:
  explicit PlatformQueries(power::PowerPlatform& platform) : platform_(platform) {}

  unsigned Count() override { return platform_.GetBatteryCount(); }
  int FindByName(const std::string& name) override { return platform_.FindBatteryByName(name); }
  unsigned ChargePercent(unsigned index) override { return platform_.GetChargePercent(index); }
  bool EstimatedTime(unsigned index, uint32_t& seconds) override {
    ULONG value = 0;
    if (platform_.GetEstimatedTime(index, 0, value) != ERROR_SUCCESS) return false;
    seconds = value;
    return true;
  }
  bool DeviceName(unsigned index, std::string& name) override {
    return ReadBatteryText(platform_, BatteryText::DeviceName, index, name);
  }
  bool IsCharging(unsigned index) override { return platform_.IsCharging(index); }
  bool IsDischarging(unsigned index) override { return platform_.IsDischarging(index); }

 private:
  power::PowerPlatform& platform_;
};

}  // namespace

MeterFigures ComputeMeterFigures(power::PowerPlatform& platform, const app::AppSettings& settings) {
  PlatformQueries queries(platform);
  return CombineMeterFigures(queries, settings.DisplayOneBatteryStatus != 0, settings.BatteryName);
}

int FindBatteryOfInterest(power::PowerPlatform& platform, const app::AppSettings& settings) {
  PlatformQueries queries(platform);
  return FirstBatteryOfInterest(queries, settings.DisplayOneBatteryStatus != 0, settings.BatteryName);
}

bool ReadBatteryText(power::PowerPlatform& platform, BatteryText which, unsigned index, std::string& text) {
  using Getter = DWORD (power::PowerPlatform::*)(unsigned, char*, DWORD, DWORD*);
  Getter get = &power::PowerPlatform::GetDeviceName;
  switch (which) {
    case BatteryText::DeviceName: get = &power::PowerPlatform::GetDeviceName; break;
    case BatteryText::ManufactureName: get = &power::PowerPlatform::GetManufactureName; break;
    case BatteryText::UniqueId: get = &power::PowerPlatform::GetUniqueId; break;
    case BatteryText::SerialNumber: get = &power::PowerPlatform::GetSerialNumber; break;
  }
  DWORD length = 0;
  if ((platform.*get)(index, nullptr, 0, &length) != ERROR_INSUFFICIENT_BUFFER || length == 0) return false;
  std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
  DWORD read = 0;
  if ((platform.*get)(index, buffer.data(), length, &read) != ERROR_SUCCESS) return false;
  text.assign(buffer.data(), read);
  return true;
}

std::string PowerStateText(power::PowerPlatform& platform, unsigned index) {
  // One status read for both bits.
  BATTERY_STATUS status{};
  bool known = platform.GetStatus(index, status, 0, 0, 0, 0) == ERROR_SUCCESS;
  return i18n::Text(PowerStateTextId(known && (status.PowerState & BATTERY_CHARGING) != 0,
                                     known && (status.PowerState & BATTERY_DISCHARGING) != 0));
}

bool EstimatedTimeText(power::PowerPlatform& platform, unsigned index, std::string& text) {
  ULONG seconds = 0;
  if (platform.GetEstimatedTime(index, 0, seconds) != ERROR_SUCCESS) return false;
  text = TimeText(seconds);
  return true;
}

}  // namespace vantrel::battery
