#include "display/core/notice_rules.h"

namespace vantrel::display {

namespace {
constexpr unsigned kFull = 100;
}  // namespace

Notice NoticeRules::Update(const NoticeLevels& levels, unsigned charge, PowerFlow flow) noexcept {
  // A new level is a new promise: tell about it afresh.
  if (levels.low_battery != levels_.low_battery) low_armed_ = true;
  if (levels.charge_limit != levels_.charge_limit) limit_armed_ = true;
  levels_ = levels;
  if (charge >= kUnknownCharge || charge > kFull) return Notice::kNone;

  const unsigned low = levels.low_battery;
  const unsigned limit = levels.charge_limit;
  // Near the ends of the scale the charge cannot go back five points; there, reaching the end
  // counts: a full battery on mains re-arms a level above 95, an empty one (not charging) a
  // limit below 5.
  if (low != 0 && !low_armed_) {
    if (low + kNoticeRearmPoints <= kFull ? charge >= low + kNoticeRearmPoints
                                          : charge == kFull && flow != PowerFlow::kDischarging)
      low_armed_ = true;
  }
  if (limit != 0 && !limit_armed_) {
    if (limit >= kNoticeRearmPoints ? charge <= limit - kNoticeRearmPoints
                                    : charge == 0 && flow != PowerFlow::kCharging)
      limit_armed_ = true;
  }

  if (low != 0 && low_armed_ && flow == PowerFlow::kDischarging && charge <= low) {
    low_armed_ = false;
    was_charging_ = false;
    return Notice::kLowBattery;
  }
  // A charger that stops as it reaches the level (at full, or at a threshold of its own) turns
  // the battery to "on mains" on the very reading that reaches it: that counts as charging.
  const bool charged = flow == PowerFlow::kCharging || (flow == PowerFlow::kOnMains && was_charging_);
  was_charging_ = flow == PowerFlow::kCharging;
  if (limit != 0 && limit_armed_ && charged && charge >= limit) {
    limit_armed_ = false;
    return Notice::kChargeLimit;
  }
  return Notice::kNone;
}

}  // namespace vantrel::display
