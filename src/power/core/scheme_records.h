// The two records of an XP-era power scheme, POWER_POLICY and MACHINE_PROCESSOR_POWER_POLICY,
// as their bytes, with every field named: a scheme file lists them by these names. The
// offsets are those of the system's published layout (the same in 32-bit and 64-bit builds);
// the Windows side checks them against the SDK's records at compile time
// (power/scheme_records_win.cpp), and every byte but the user part's two bytes of tail padding
// belongs to exactly one field.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace vantrel::power {

inline constexpr size_t kPowerPolicySize = 144;      // POWER_POLICY: user part 80, machine part 64
inline constexpr size_t kProcessorPolicySize = 156;  // MACHINE_PROCESSOR_POWER_POLICY

struct XpSchemeRecords {
  std::array<uint8_t, kPowerPolicySize> policy{};
  std::array<uint8_t, kProcessorPolicySize> processor{};
  friend bool operator==(const XpSchemeRecords&, const XpSchemeRecords&) = default;
};

enum class Record : uint8_t { Policy, Processor };

// What a field holds, which sets the values a file may give it.
enum class FieldKind : uint8_t {
  Number,    // any value of its width
  Flags,     // any value of its width, written in hexadecimal
  Action,    // POWER_ACTION, 0 (none) to 7 (warm eject)
  State,     // SYSTEM_POWER_STATE, 0 (unspecified) to 7
  Percent,   // 0 to 100
  Throttle,  // PO_THROTTLE_NONE (0) to PO_THROTTLE_ADAPTIVE (3)
  Boolean,   // 0 or 1
};

struct RecordField {
  const char* group;  // "user", "mach", "processor", "processor.Ac.Policy1"…
  const char* name;   // "VideoTimeoutAc"
  Record record;
  uint16_t offset;
  uint8_t size;       // 1 or 4 bytes, little-endian
  uint8_t bit = 0;    // a bit field of a 4-byte word: its first bit and width
  uint8_t width = 0;  // 0: the whole field
  FieldKind kind = FieldKind::Number;
};

namespace records_detail {

using K = FieldKind;
inline constexpr Record P = Record::Policy;
inline constexpr Record R = Record::Processor;

// USER_POWER_POLICY at 0, MACHINE_POWER_POLICY at 80.
inline constexpr RecordField kPolicyFields[] = {
    {"user", "Revision", P, 0, 4},
    {"user", "IdleAc.Action", P, 4, 4, 0, 0, K::Action},
    {"user", "IdleAc.Flags", P, 8, 4, 0, 0, K::Flags},
    {"user", "IdleAc.EventCode", P, 12, 4, 0, 0, K::Flags},
    {"user", "IdleDc.Action", P, 16, 4, 0, 0, K::Action},
    {"user", "IdleDc.Flags", P, 20, 4, 0, 0, K::Flags},
    {"user", "IdleDc.EventCode", P, 24, 4, 0, 0, K::Flags},
    {"user", "IdleTimeoutAc", P, 28, 4},
    {"user", "IdleTimeoutDc", P, 32, 4},
    {"user", "IdleSensitivityAc", P, 36, 1, 0, 0, K::Percent},
    {"user", "IdleSensitivityDc", P, 37, 1, 0, 0, K::Percent},
    {"user", "ThrottlePolicyAc", P, 38, 1, 0, 0, K::Throttle},
    {"user", "ThrottlePolicyDc", P, 39, 1, 0, 0, K::Throttle},
    {"user", "MaxSleepAc", P, 40, 4, 0, 0, K::State},
    {"user", "MaxSleepDc", P, 44, 4, 0, 0, K::State},
    {"user", "Reserved0", P, 48, 4, 0, 0, K::Flags},
    {"user", "Reserved1", P, 52, 4, 0, 0, K::Flags},
    {"user", "VideoTimeoutAc", P, 56, 4},
    {"user", "VideoTimeoutDc", P, 60, 4},
    {"user", "SpindownTimeoutAc", P, 64, 4},
    {"user", "SpindownTimeoutDc", P, 68, 4},
    {"user", "OptimizeForPowerAc", P, 72, 1, 0, 0, K::Boolean},
    {"user", "OptimizeForPowerDc", P, 73, 1, 0, 0, K::Boolean},
    {"user", "FanThrottleToleranceAc", P, 74, 1, 0, 0, K::Percent},
    {"user", "FanThrottleToleranceDc", P, 75, 1, 0, 0, K::Percent},
    {"user", "ForcedThrottleAc", P, 76, 1, 0, 0, K::Percent},
    {"user", "ForcedThrottleDc", P, 77, 1, 0, 0, K::Percent},
    {"mach", "Revision", P, 80, 4},
    {"mach", "MinSleepAc", P, 84, 4, 0, 0, K::State},
    {"mach", "MinSleepDc", P, 88, 4, 0, 0, K::State},
    {"mach", "ReducedLatencySleepAc", P, 92, 4, 0, 0, K::State},
    {"mach", "ReducedLatencySleepDc", P, 96, 4, 0, 0, K::State},
    {"mach", "DozeTimeoutAc", P, 100, 4},
    {"mach", "DozeTimeoutDc", P, 104, 4},
    {"mach", "DozeS4TimeoutAc", P, 108, 4},
    {"mach", "DozeS4TimeoutDc", P, 112, 4},
    {"mach", "MinThrottleAc", P, 116, 1, 0, 0, K::Percent},
    {"mach", "MinThrottleDc", P, 117, 1, 0, 0, K::Percent},
    {"mach", "Pad0", P, 118, 1, 0, 0, K::Flags},
    {"mach", "Pad1", P, 119, 1, 0, 0, K::Flags},
    {"mach", "OverThrottledAc.Action", P, 120, 4, 0, 0, K::Action},
    {"mach", "OverThrottledAc.Flags", P, 124, 4, 0, 0, K::Flags},
    {"mach", "OverThrottledAc.EventCode", P, 128, 4, 0, 0, K::Flags},
    {"mach", "OverThrottledDc.Action", P, 132, 4, 0, 0, K::Action},
    {"mach", "OverThrottledDc.Flags", P, 136, 4, 0, 0, K::Flags},
    {"mach", "OverThrottledDc.EventCode", P, 140, 4, 0, 0, K::Flags},
};

// MACHINE_PROCESSOR_POWER_POLICY: a revision, then a PROCESSOR_POWER_POLICY (76 bytes) for AC
// and one for DC, each ending in three PROCESSOR_POWER_POLICY_INFO (20 bytes).
inline constexpr size_t kProcessorPolicyAt[2] = {4, 80};
inline constexpr size_t kPolicyInfoAt = 16, kPolicyInfoSize = 20;
inline constexpr const char* kSideGroups[2] = {"processor.Ac", "processor.Dc"};
inline constexpr const char* kInfoGroups[2][3] = {
    {"processor.Ac.Policy0", "processor.Ac.Policy1", "processor.Ac.Policy2"},
    {"processor.Dc.Policy0", "processor.Dc.Policy1", "processor.Dc.Policy2"}};
inline constexpr size_t kProcessorFieldCount = 1 + 2 * (8 + 3 * 10);

constexpr std::array<RecordField, kProcessorFieldCount> MakeProcessorFields() {
  std::array<RecordField, kProcessorFieldCount> t{};
  size_t n = 0;
  t[n++] = {"processor", "Revision", R, 0, 4};
  for (int side = 0; side < 2; ++side) {
    const char* g = kSideGroups[side];
    const auto at = static_cast<uint16_t>(kProcessorPolicyAt[side]);
    t[n++] = {g, "Revision", R, at, 4};
    t[n++] = {g, "DynamicThrottle", R, static_cast<uint16_t>(at + 4), 1, 0, 0, K::Throttle};
    t[n++] = {g, "Spare0", R, static_cast<uint16_t>(at + 5), 1, 0, 0, K::Flags};
    t[n++] = {g, "Spare1", R, static_cast<uint16_t>(at + 6), 1, 0, 0, K::Flags};
    t[n++] = {g, "Spare2", R, static_cast<uint16_t>(at + 7), 1, 0, 0, K::Flags};
    t[n++] = {g, "DisableCStates", R, static_cast<uint16_t>(at + 8), 4, 0, 1, K::Boolean};
    t[n++] = {g, "Reserved", R, static_cast<uint16_t>(at + 8), 4, 1, 31, K::Flags};
    t[n++] = {g, "PolicyCount", R, static_cast<uint16_t>(at + 12), 4};
    for (int i = 0; i < 3; ++i) {
      const char* p = kInfoGroups[side][i];
      const auto info = static_cast<uint16_t>(at + kPolicyInfoAt + kPolicyInfoSize * i);
      t[n++] = {p, "TimeCheck", R, info, 4};
      t[n++] = {p, "DemoteLimit", R, static_cast<uint16_t>(info + 4), 4};
      t[n++] = {p, "PromoteLimit", R, static_cast<uint16_t>(info + 8), 4};
      t[n++] = {p, "DemotePercent", R, static_cast<uint16_t>(info + 12), 1};
      t[n++] = {p, "PromotePercent", R, static_cast<uint16_t>(info + 13), 1};
      t[n++] = {p, "Spare0", R, static_cast<uint16_t>(info + 14), 1, 0, 0, K::Flags};
      t[n++] = {p, "Spare1", R, static_cast<uint16_t>(info + 15), 1, 0, 0, K::Flags};
      t[n++] = {p, "AllowDemotion", R, static_cast<uint16_t>(info + 16), 4, 0, 1, K::Boolean};
      t[n++] = {p, "AllowPromotion", R, static_cast<uint16_t>(info + 16), 4, 1, 1, K::Boolean};
      t[n++] = {p, "Reserved", R, static_cast<uint16_t>(info + 16), 4, 2, 30, K::Flags};
    }
  }
  return t;
}

inline constexpr size_t kFieldCount = std::size(kPolicyFields) + kProcessorFieldCount;

constexpr std::array<RecordField, kFieldCount> MakeFields() {
  std::array<RecordField, kFieldCount> t{};
  size_t n = 0;
  for (const RecordField& f : kPolicyFields) t[n++] = f;
  for (const RecordField& f : MakeProcessorFields()) t[n++] = f;
  return t;
}

inline constexpr std::array<RecordField, kFieldCount> kFields = MakeFields();

constexpr bool KeyIs(const RecordField& f, std::string_view key) {
  const std::string_view group(f.group);
  return key.size() == group.size() + 1 + std::string_view(f.name).size() && key.substr(0, group.size()) == group &&
         key[group.size()] == '.' && key.substr(group.size() + 1) == f.name;
}

}  // namespace records_detail

// Every field of both records, in record order.
constexpr std::span<const RecordField> RecordFields() { return records_detail::kFields; }

// The field whose key ("<group>.<name>", as a scheme file has it) is `key`; null for none.
constexpr const RecordField* FindRecordField(std::string_view key) {
  for (const RecordField& f : records_detail::kFields) {
    if (records_detail::KeyIs(f, key)) return &f;
  }
  return nullptr;
}

// The byte offset of a field in its record, for the Windows side's layout check; -1 for none.
constexpr int RecordOffset(std::string_view key) {
  const RecordField* f = FindRecordField(key);
  return f ? f->offset : -1;
}

// The largest value the field accepts.
uint32_t FieldMaximum(const RecordField& field);
uint32_t GetField(const XpSchemeRecords& records, const RecordField& field);
// Sets the field's bits only; a value beyond its width is cut to it.
void SetField(XpSchemeRecords& records, const RecordField& field, uint32_t value);

}  // namespace vantrel::power
