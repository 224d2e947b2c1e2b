// The system's scheme records through a scheme file: set by the SDK's member names, written,
// read back and every byte equal, so a field the portable table puts at the wrong place shows.
#include <gtest/gtest.h>

#include <cstring>

#include "power/core/scheme_file.h"
#include "power/scheme_records_win.h"

namespace vantrel::power {
namespace {

TEST(SchemeRecordsTest, TheSystemRecordsComeBackByteForByte) {
  // Padding included: the file does not carry it, and it must read back as zeros.
  POWER_POLICY policy;
  MACHINE_PROCESSOR_POWER_POLICY processor;
  std::memset(&policy, 0, sizeof policy);
  std::memset(&processor, 0, sizeof processor);
  USER_POWER_POLICY& u = policy.user;
  u.Revision = 1;
  u.IdleAc = {PowerActionSleep, POWER_ACTION_QUERY_ALLOWED, 0x11};
  u.IdleDc = {PowerActionHibernate, POWER_ACTION_CRITICAL, 0x22};
  u.IdleTimeoutAc = 1800, u.IdleTimeoutDc = 300, u.IdleSensitivityAc = 90, u.IdleSensitivityDc = 50;
  u.ThrottlePolicyAc = PO_THROTTLE_ADAPTIVE, u.ThrottlePolicyDc = PO_THROTTLE_DEGRADE;
  u.MaxSleepAc = PowerSystemSleeping3, u.MaxSleepDc = PowerSystemHibernate, u.Reserved[1] = 0xabcdef01;
  u.VideoTimeoutAc = 900, u.VideoTimeoutDc = 120, u.SpindownTimeoutAc = 1200, u.SpindownTimeoutDc = 600;
  u.OptimizeForPowerDc = TRUE, u.FanThrottleToleranceAc = 100, u.FanThrottleToleranceDc = 80;
  u.ForcedThrottleAc = 100, u.ForcedThrottleDc = 66;
  MACHINE_POWER_POLICY& m = policy.mach;
  m.Revision = 1, m.MinSleepAc = PowerSystemSleeping1, m.ReducedLatencySleepDc = PowerSystemSleeping2;
  m.DozeTimeoutAc = 45, m.DozeS4TimeoutDc = 3600, m.MinThrottleAc = 30, m.MinThrottleDc = 5, m.pad1[1] = 0x5a;
  m.OverThrottledDc = {PowerActionShutdownOff, POWER_ACTION_OVERRIDE_APPS, 0x33};
  processor.Revision = 1;
  PROCESSOR_POWER_POLICY& dc = processor.ProcessorPolicyDc;
  dc.Revision = 1, dc.DynamicThrottle = PO_THROTTLE_CONSTANT, dc.Spare[2] = 7, dc.DisableCStates = 1;
  dc.Reserved = 0x1234567, dc.PolicyCount = 3;
  dc.Policy[2] = {50000, 100, 200, 40, 80, {1, 2}, 1, 0, 0x2aaaaaaa};
  processor.ProcessorPolicyAc.Policy[0].AllowPromotion = 1;

  SchemeFile scheme;
  scheme.name = "Road Trip";
  scheme.records = ToSchemeRecords(policy, processor);
  std::string text;
  ASSERT_TRUE(WriteSchemeFile(scheme, &text).ok());
  EXPECT_NE(text.find("user.ForcedThrottleDc = 66\n"), std::string::npos);
  EXPECT_NE(text.find("processor.Dc.Policy2.Reserved = 0x2aaaaaaa\n"), std::string::npos);
  EXPECT_NE(text.find("processor.Ac.Policy0.AllowPromotion = 1\n"), std::string::npos);
  SchemeFile read;
  ASSERT_TRUE(ReadSchemeFile(text, &read).ok());
  POWER_POLICY policy_back;
  MACHINE_PROCESSOR_POWER_POLICY processor_back;
  std::memset(&policy_back, 0xee, sizeof policy_back);
  FromSchemeRecords(read.records, &policy_back, &processor_back);
  EXPECT_EQ(std::memcmp(&policy_back, &policy, sizeof policy), 0);
  EXPECT_EQ(std::memcmp(&processor_back, &processor, sizeof processor), 0);
}

}  // namespace
}  // namespace vantrel::power
