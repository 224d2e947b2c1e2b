// The batteries one PowerPlatform has opened: a handle and a tag for each, in the order in
// which the device interfaces were enumerated. A battery is addressed by its index here.
#pragma once

#include <windows.h>

#include <utility>
#include <vector>

#include "platform/system_api.h"

namespace vantrel::battery {

struct BatteryRecord {
  // Opened for read and write without sharing; invalid when the open failed.
  platform::SysHandle handle;
  // 0 (BATTERY_TAG_INVALID) until a tag query succeeds.
  ULONG tag = 0;
};

class BatterySet {
 public:
  unsigned size() const noexcept { return static_cast<unsigned>(records_.size()); }
  bool empty() const noexcept { return records_.empty(); }
  bool contains(unsigned index) const noexcept { return index < records_.size(); }
  BatteryRecord& operator[](unsigned index) { return records_[index]; }
  const BatteryRecord& operator[](unsigned index) const { return records_[index]; }

  // Takes ownership of `handle`, which may be INVALID_HANDLE_VALUE.
  void Add(HANDLE handle) {
    BatteryRecord record;
    record.handle.reset(handle);  // closed again should the list fail to grow
    records_.push_back(std::move(record));
  }
  // Closes every handle.
  void Clear() noexcept { records_.clear(); }

 private:
  std::vector<BatteryRecord> records_;
};

}  // namespace vantrel::battery
