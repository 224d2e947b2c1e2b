#include "power/scheme_records_win.h"

#include <cstddef>
#include <cstring>

namespace vantrel::power {

namespace {

// The portable table's offsets are the SDK's; bit fields are checked through the word that
// holds them.
constexpr size_t kMach = offsetof(POWER_POLICY, mach);
constexpr size_t kAc = offsetof(MACHINE_PROCESSOR_POWER_POLICY, ProcessorPolicyAc);
constexpr size_t kDc = offsetof(MACHINE_PROCESSOR_POWER_POLICY, ProcessorPolicyDc);
constexpr size_t kInfo = offsetof(PROCESSOR_POWER_POLICY, Policy);
constexpr size_t kInfoSize = sizeof(PROCESSOR_POWER_POLICY_INFO);

static_assert(sizeof(POWER_POLICY) == kPowerPolicySize &&
              sizeof(MACHINE_PROCESSOR_POWER_POLICY) == kProcessorPolicySize);
static_assert(kMach == 80 && sizeof(USER_POWER_POLICY) == 80 && sizeof(MACHINE_POWER_POLICY) == 64);
static_assert(RecordOffset("user.IdleDc.Action") == offsetof(USER_POWER_POLICY, IdleDc));
static_assert(RecordOffset("user.IdleTimeoutAc") == offsetof(USER_POWER_POLICY, IdleTimeoutAc));
static_assert(RecordOffset("user.IdleSensitivityDc") == offsetof(USER_POWER_POLICY, IdleSensitivityDc));
static_assert(RecordOffset("user.ThrottlePolicyAc") == offsetof(USER_POWER_POLICY, ThrottlePolicyAc));
static_assert(RecordOffset("user.MaxSleepDc") == offsetof(USER_POWER_POLICY, MaxSleepDc));
static_assert(RecordOffset("user.Reserved0") == offsetof(USER_POWER_POLICY, Reserved));
static_assert(RecordOffset("user.VideoTimeoutAc") == offsetof(USER_POWER_POLICY, VideoTimeoutAc));
static_assert(RecordOffset("user.SpindownTimeoutDc") == offsetof(USER_POWER_POLICY, SpindownTimeoutDc));
static_assert(RecordOffset("user.OptimizeForPowerAc") == offsetof(USER_POWER_POLICY, OptimizeForPowerAc));
static_assert(RecordOffset("user.FanThrottleToleranceAc") == offsetof(USER_POWER_POLICY, FanThrottleToleranceAc));
static_assert(RecordOffset("user.ForcedThrottleDc") == offsetof(USER_POWER_POLICY, ForcedThrottleDc));
static_assert(RecordOffset("mach.MinSleepAc") == kMach + offsetof(MACHINE_POWER_POLICY, MinSleepAc));
static_assert(RecordOffset("mach.ReducedLatencySleepDc") ==
              kMach + offsetof(MACHINE_POWER_POLICY, ReducedLatencySleepDc));
static_assert(RecordOffset("mach.DozeTimeoutAc") == kMach + offsetof(MACHINE_POWER_POLICY, DozeTimeoutAc));
static_assert(RecordOffset("mach.DozeS4TimeoutDc") == kMach + offsetof(MACHINE_POWER_POLICY, DozeS4TimeoutDc));
static_assert(RecordOffset("mach.MinThrottleAc") == kMach + offsetof(MACHINE_POWER_POLICY, MinThrottleAc));
static_assert(RecordOffset("mach.Pad0") == kMach + offsetof(MACHINE_POWER_POLICY, pad1));
static_assert(RecordOffset("mach.OverThrottledAc.Action") == kMach + offsetof(MACHINE_POWER_POLICY, OverThrottledAc));
static_assert(RecordOffset("mach.OverThrottledDc.EventCode") ==
              kMach + offsetof(MACHINE_POWER_POLICY, OverThrottledDc) + offsetof(POWER_ACTION_POLICY, EventCode));
static_assert(RecordOffset("processor.Ac.Revision") == kAc && RecordOffset("processor.Dc.Revision") == kDc);
static_assert(RecordOffset("processor.Dc.DynamicThrottle") == kDc + offsetof(PROCESSOR_POWER_POLICY, DynamicThrottle));
static_assert(RecordOffset("processor.Dc.Spare0") == kDc + offsetof(PROCESSOR_POWER_POLICY, Spare));
// DisableCStates sits in the word before PolicyCount.
static_assert(RecordOffset("processor.Dc.DisableCStates") + 4 == kDc + offsetof(PROCESSOR_POWER_POLICY, PolicyCount));
static_assert(RecordOffset("processor.Dc.PolicyCount") == kDc + offsetof(PROCESSOR_POWER_POLICY, PolicyCount));
static_assert(RecordOffset("processor.Dc.Policy2.TimeCheck") == kDc + kInfo + 2 * kInfoSize);
static_assert(RecordOffset("processor.Ac.Policy1.PromoteLimit") ==
              kAc + kInfo + kInfoSize + offsetof(PROCESSOR_POWER_POLICY_INFO, PromoteLimit));
static_assert(RecordOffset("processor.Ac.Policy1.DemotePercent") ==
              kAc + kInfo + kInfoSize + offsetof(PROCESSOR_POWER_POLICY_INFO, DemotePercent));
static_assert(RecordOffset("processor.Ac.Policy1.Spare0") ==
              kAc + kInfo + kInfoSize + offsetof(PROCESSOR_POWER_POLICY_INFO, Spare));
// The allow bits sit in the info's last word.
static_assert(RecordOffset("processor.Ac.Policy1.AllowDemotion") + 4 == kAc + kInfo + 2 * kInfoSize);

}  // namespace

XpSchemeRecords ToSchemeRecords(const POWER_POLICY& policy, const MACHINE_PROCESSOR_POWER_POLICY& processor) {
  XpSchemeRecords records;
  std::memcpy(records.policy.data(), &policy, sizeof policy);
  std::memcpy(records.processor.data(), &processor, sizeof processor);
  return records;
}

void FromSchemeRecords(const XpSchemeRecords& records, POWER_POLICY* policy,
                       MACHINE_PROCESSOR_POWER_POLICY* processor) {
  std::memcpy(policy, records.policy.data(), sizeof *policy);
  std::memcpy(processor, records.processor.data(), sizeof *processor);
}

}  // namespace vantrel::power
