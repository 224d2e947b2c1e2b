// When the battery notices are due: the low-battery notice when the charge falls to or below
// its level on battery power, the charge-limit notice when it reaches its level while
// charging (or when charging stops there). Each is raised once per crossing and armed again
// only after the charge has gone back by kNoticeRearmPoints, so that a charge wavering around
// a level raises nothing more.
// Fed with the meter's figures once a second. No Windows types.
#pragma once

#include <cstdint>

namespace vantrel::display {

enum class Notice : uint8_t { kNone, kLowBattery, kChargeLimit };

enum class PowerFlow : uint8_t { kOnMains, kCharging, kDischarging };

// A charge that is not known (no battery answers); it never raises a notice.
inline constexpr unsigned kUnknownCharge = 255;
inline constexpr unsigned kNoticeRearmPoints = 5;

// Levels in per cent; 0 is off.
struct NoticeLevels {
  unsigned low_battery = 0;
  unsigned charge_limit = 0;
};

class NoticeRules {
 public:
  // One reading: the charge in per cent (kUnknownCharge or more: unknown) and how the
  // batteries are powered. Returns the notice to raise now, if any.
  Notice Update(const NoticeLevels& levels, unsigned charge, PowerFlow flow) noexcept;

 private:
  // Both start armed: a charge already past a level when the program starts is worth telling.
  bool low_armed_ = true;
  bool limit_armed_ = true;
  bool was_charging_ = false;  // the last known reading was charging
  NoticeLevels levels_;
};

}  // namespace vantrel::display
