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

#include "platform/system_api.h"

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

  // ---- power schemes, policies, capabilities ----

  // ---- the display device and the wake-up timer ----
  // "\\.\LCD", opened and closed, never otherwise used; invalid when it could not be opened.
  HANDLE lcd_handle() const noexcept { return lcd_.get(); }
  HANDLE wake_timer() const noexcept { return wake_timer_; }
  void set_wake_timer(HANDLE timer) noexcept { wake_timer_ = timer; }

 private:
  platform::SysHandle lcd_;
  HANDLE wake_timer_ = nullptr;
};

}  // namespace vantrel::power
