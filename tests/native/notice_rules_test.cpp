// The battery notices' crossing rules.
#include "display/core/notice_rules.h"

#include <gtest/gtest.h>

#include <vector>

namespace vantrel::display {
namespace {

constexpr PowerFlow kOn = PowerFlow::kOnMains;
constexpr PowerFlow kIn = PowerFlow::kCharging;
constexpr PowerFlow kOut = PowerFlow::kDischarging;

struct Reading {
  unsigned charge;
  PowerFlow flow;
};

// The notices a run of readings raises, in order.
std::vector<Notice> Raised(NoticeRules& rules, NoticeLevels levels, const std::vector<Reading>& readings) {
  std::vector<Notice> raised;
  for (const Reading& r : readings) {
    Notice n = rules.Update(levels, r.charge, r.flow);
    if (n != Notice::kNone) raised.push_back(n);
  }
  return raised;
}

std::vector<Notice> Raised(NoticeLevels levels, const std::vector<Reading>& readings) {
  NoticeRules rules;
  return Raised(rules, levels, readings);
}

const std::vector<Notice> kNothing;
const std::vector<Notice> kLowOnce{Notice::kLowBattery};
const std::vector<Notice> kLimitOnce{Notice::kChargeLimit};

TEST(NoticeRulesTest, LowBatteryOncePerCrossingOnlyOnBatteryAndArmedAgainFivePointsUp) {
  const NoticeLevels low{15, 0};
  // Draining through the level, wavering around it: one notice.
  EXPECT_EQ(Raised(low, {{17, kOut}, {16, kOut}, {15, kOut}, {14, kOut}, {16, kOut}, {15, kOut}, {13, kOut}}), kLowOnce);
  // Back up by four points is not enough; by five it is.
  EXPECT_EQ(Raised(low, {{15, kOut}, {19, kIn}, {15, kOut}}), kLowOnce);
  EXPECT_EQ(Raised(low, {{15, kOut}, {20, kIn}, {15, kOut}}), (std::vector<Notice>{Notice::kLowBattery, Notice::kLowBattery}));
  // Below the level but charging or on mains: nothing, until the charger is pulled.
  EXPECT_EQ(Raised(low, {{10, kIn}, {12, kOn}}), kNothing);
  EXPECT_EQ(Raised(low, {{10, kIn}, {11, kOut}, {10, kOut}}), kLowOnce);
  // Already below the level when the program starts: told at once.
  EXPECT_EQ(Raised(low, {{5, kOut}}), kLowOnce);
  // An unknown charge raises nothing and leaves the state alone.
  EXPECT_EQ(Raised(low, {{kUnknownCharge, kOut}, {0xFFFFFFFFu, kOut}, {101, kOut}}), kNothing);
  EXPECT_EQ(Raised(low, {{14, kOut}, {kUnknownCharge, kIn}, {14, kOut}}), kLowOnce);
}

TEST(NoticeRulesTest, ChargeLimitOncePerCrossingOnlyWhileChargingAndArmedAgainFivePointsDown) {
  const NoticeLevels limit{0, 80};
  EXPECT_EQ(Raised(limit, {{78, kIn}, {79, kIn}, {80, kIn}, {81, kIn}, {79, kIn}, {80, kIn}, {100, kOn}}), kLimitOnce);
  EXPECT_EQ(Raised(limit, {{80, kIn}, {76, kOut}, {80, kIn}}), kLimitOnce);
  EXPECT_EQ(Raised(limit, {{80, kIn}, {75, kOut}, {80, kIn}}), (std::vector<Notice>{Notice::kChargeLimit, Notice::kChargeLimit}));
  // Above the limit without charging (on mains, full, or on battery): nothing.
  EXPECT_EQ(Raised(limit, {{90, kOn}, {95, kOut}, {100, kOn}}), kNothing);
}

TEST(NoticeRulesTest, LevelsOffRaiseNothingAndAChangedLevelIsArmedAfresh) {
  EXPECT_EQ(Raised({0, 0}, {{0, kOut}, {1, kOut}, {100, kIn}, {50, kOn}}), kNothing);
  NoticeRules rules;
  EXPECT_EQ(Raised(rules, {15, 0}, {{14, kOut}, {13, kOut}}), kLowOnce);
  EXPECT_EQ(Raised(rules, {15, 0}, {{12, kOut}}), kNothing);
  EXPECT_EQ(Raised(rules, {30, 0}, {{12, kOut}}), kLowOnce);  // the user raised the level
  EXPECT_EQ(Raised(rules, {30, 0}, {{11, kOut}}), kNothing);
  EXPECT_EQ(Raised(rules, {0, 0}, {{11, kOut}}), kNothing);   // switched off
  EXPECT_EQ(Raised(rules, {30, 0}, {{11, kOut}}), kLowOnce);  // and on again
}

TEST(NoticeRulesTest, LevelsAtTheEndsOfTheScale) {
  // 100 % low battery: told when the charger is pulled from a full battery; a full battery on
  // mains arms it again, as five points more cannot be had.
  EXPECT_EQ(Raised({100, 0}, {{100, kOut}, {100, kOut}, {99, kOut}}), kLowOnce);
  EXPECT_EQ(Raised({100, 0}, {{100, kOut}, {99, kIn}, {100, kOn}, {100, kOut}}),
            (std::vector<Notice>{Notice::kLowBattery, Notice::kLowBattery}));
  // 100 % charge limit: told when charging reaches full, not before; also when the charger
  // stops on the reading that reaches full, as most do.
  EXPECT_EQ(Raised({0, 100}, {{98, kIn}, {99, kIn}, {100, kIn}, {100, kIn}}), kLimitOnce);
  EXPECT_EQ(Raised({0, 100}, {{98, kIn}, {99, kIn}, {100, kOn}, {100, kOn}}), kLimitOnce);
  EXPECT_EQ(Raised({0, 100}, {{100, kOn}, {100, kOut}, {100, kOn}}), kNothing);  // never charging
  EXPECT_EQ(Raised({0, 100}, {{100, kIn}, {96, kOut}, {100, kIn}}), kLimitOnce);
  EXPECT_EQ(Raised({0, 100}, {{100, kIn}, {95, kOut}, {100, kIn}}),
            (std::vector<Notice>{Notice::kChargeLimit, Notice::kChargeLimit}));
  // 1 %: low battery only at 1 and 0; a charge limit of 1 re-arms at empty.
  EXPECT_EQ(Raised({1, 0}, {{2, kOut}, {1, kOut}, {0, kOut}}), kLowOnce);
  EXPECT_EQ(Raised({0, 1}, {{1, kIn}, {0, kOn}, {1, kIn}}), (std::vector<Notice>{Notice::kChargeLimit, Notice::kChargeLimit}));
  // A charge of 0 is a real, empty battery and not "off".
  EXPECT_EQ(Raised({15, 0}, {{0, kOut}}), kLowOnce);
}

TEST(NoticeRulesTest, BothLevelsTogetherFollowACycle) {
  const NoticeLevels both{20, 80};
  EXPECT_EQ(Raised(both, {{50, kOut}, {20, kOut}, {10, kOut}, {10, kIn}, {50, kIn}, {80, kIn}, {90, kIn}, {90, kOut},
                       {60, kOut}, {19, kOut}}),
            (std::vector<Notice>{Notice::kLowBattery, Notice::kChargeLimit, Notice::kLowBattery}));
}

}  // namespace
}  // namespace vantrel::display
