// The scheme file: both back ends written and read back unchanged, converted across back ends
// through the field-to-setting table, and every kind of bad file refused with its own error; and
// the numbers typed or stepped into a plan's settings.
#include "power/core/scheme_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <tuple>

#include "i18n/core/language_table.h"
#include "power/core/setting_values.h"

namespace vantrel::power {
namespace {

namespace g = platform::guids;
using E = SchemeFileError;

// Every field a value of its own, as large as the field allows, so that a field written to
// the wrong bytes or cut short shows.
SchemeFile XpScheme() {
  SchemeFile s;
  s.name = "Road \\ Trip \xc3\xbc ";  // a backslash, a non-ASCII letter, a blank at the end
  s.description = "\tlong\nbattery=life";
  uint32_t n = 0;
  for (const RecordField& f : RecordFields()) SetField(s.records, f, FieldMaximum(f) - (++n % 2));
  return s;
}

SchemeFile PlanScheme() {
  SchemeFile s;
  s.backend = SchemeBackend::Plan;
  s.name = "Road Trip";
  s.personality = g::kPowerSaver;
  s.settings = {{g::kVideoSubgroup, g::kVideoTimeout, 600, 120},
                {g::kSleepSubgroup, g::kStandbyTimeout, 0, 900},
                {g::kProcessorSubgroup, g::kProcessorMaximum, 100, 50},
                {g::kButtonSubgroup, g::kPowerButton, 3, 1},
                {g::kVideoSubgroup, g::kVideoDimTimeout, 0xffffffffu, 0}};
  return s;
}

std::string Written(const SchemeFile& s) {
  std::string text;
  const SchemeFileProblem p = WriteSchemeFile(s, &text);
  EXPECT_TRUE(p.ok()) << static_cast<int>(p.error) << " " << p.key;
  return text;
}

TEST(SchemeFileTest, EveryByteOfTheRecordsIsOneFieldAndBothBackEndsComeBackUnchanged) {
  std::set<std::pair<int, int>> bits;  // (record byte, bit)
  std::set<std::string> keys;
  for (const RecordField& f : RecordFields()) {
    EXPECT_TRUE(keys.insert(std::string(f.group) + "." + f.name).second) << f.name;
    const int base = (f.record == Record::Policy ? 0 : 1000) + f.offset;
    const int width = f.width ? f.width : f.size * 8;
    for (int b = f.bit; b < f.bit + width; ++b) EXPECT_TRUE(bits.insert({base + b / 8, b % 8}).second) << f.name;
  }
  // Only the user part's tail padding (bytes 78 and 79) is no field.
  EXPECT_EQ(bits.size(), (kPowerPolicySize - 2 + kProcessorPolicySize) * 8);
  EXPECT_FALSE(bits.count({78, 0}) || bits.count({79, 7}));

  // Both back ends are written and read back unchanged.
  for (const SchemeFile& scheme : {XpScheme(), PlanScheme()}) {
    SchemeFile read;
    ASSERT_TRUE(ReadSchemeFile(Written(scheme), &read).ok()) << Written(scheme);
    EXPECT_TRUE(std::tie(read.backend, read.name, read.description, read.personality) ==
                std::tie(scheme.backend, scheme.name, scheme.description, scheme.personality));
    EXPECT_EQ(read.records, scheme.records);
    EXPECT_EQ(read.settings, scheme.settings);
    // The same back end on import: nothing converted, nothing listed.
    SchemeImport imported;
    ASSERT_TRUE(ImportSchemeFile(Written(scheme), scheme.backend, {}, &imported).ok());
    EXPECT_EQ(imported.scheme.records, scheme.records);
    EXPECT_EQ(imported.scheme.settings, scheme.settings);
    EXPECT_TRUE(imported.not_taken.empty());
  }
}

TEST(SchemeFileTest, AcrossBackEndsTheMappedFieldsAreTakenAndTheRestListed) {
  SchemeFile xp;
  xp.name = "Road Trip";
  auto set = [&](const char* key, uint32_t v) { SetField(xp.records, *FindRecordField(key), v); };
  const std::pair<const char*, uint32_t> values[] = {
      {"user.IdleAc.Action", 2},       {"user.IdleDc.Action", 2},      {"user.IdleTimeoutAc", 1800},
      {"user.IdleTimeoutDc", 300},     {"user.IdleSensitivityAc", 90}, {"user.IdleSensitivityDc", 50},
      {"user.VideoTimeoutAc", 900},    {"user.VideoTimeoutDc", 120},   {"user.SpindownTimeoutAc", 0},
      {"user.SpindownTimeoutDc", 600}, {"user.ForcedThrottleAc", 100}, {"user.ForcedThrottleDc", 60},
      {"mach.DozeS4TimeoutAc", 7200},  {"mach.DozeS4TimeoutDc", 3600}, {"mach.MinThrottleAc", 20},
      {"mach.MinThrottleDc", 5}};
  for (const auto& [key, v] : values) set(key, v);
  SchemeImport plan;
  ASSERT_TRUE(ImportSchemeFile(Written(xp), SchemeBackend::Plan, {}, &plan).ok());
  EXPECT_EQ(plan.scheme.backend, SchemeBackend::Plan);
  EXPECT_EQ(plan.scheme.personality, g::kBalanced);
  const PlanSettingValue expected[] = {
      {g::kSleepSubgroup, g::kStandbyTimeout, 1800, 300},     {g::kSleepSubgroup, g::kIdleThreshold, 90, 50},
      {g::kVideoSubgroup, g::kVideoTimeout, 900, 120},        {g::kDiskSubgroup, g::kDiskTimeout, 0, 600},
      {g::kProcessorSubgroup, g::kProcessorMaximum, 100, 60}, {g::kSleepSubgroup, g::kHibernateTimeout, 7200, 3600},
      {g::kProcessorSubgroup, g::kProcessorMinimum, 20, 5}};
  EXPECT_EQ(plan.scheme.settings, std::vector<PlanSettingValue>(std::begin(expected), std::end(expected)));
  const std::vector<std::string> rest = {
      "ThrottlePolicy",      "MaxSleep",    "OptimizeForPower", "FanThrottleTolerance", "MinSleep",
      "ReducedLatencySleep", "DozeTimeout", "OverThrottled",    "DynamicThrottle",      "ProcessorStates"};
  EXPECT_EQ(plan.not_taken, rest);

  // An idle action other than sleep has no plan setting: neither it nor its timeout is taken.
  set("user.IdleDc.Action", 3);
  ASSERT_TRUE(ImportSchemeFile(Written(xp), SchemeBackend::Plan, {}, &plan).ok());
  EXPECT_EQ(plan.not_taken[0], "IdleAction");
  EXPECT_EQ(plan.not_taken[1], "IdleTimeout");
  EXPECT_EQ(plan.scheme.settings.size(), std::size(expected) - 1);

  // A plan file on the XP back end: the mapped settings over the base, the rest listed.
  XpSchemeRecords base = XpScheme().records;
  SchemeImport on_xp;
  ASSERT_TRUE(ImportSchemeFile(Written(PlanScheme()), SchemeBackend::Xp, base, &on_xp).ok());
  EXPECT_EQ(on_xp.scheme.backend, SchemeBackend::Xp);
  const std::pair<const char*, uint32_t> taken[] = {{"user.VideoTimeoutAc", 600},   {"user.VideoTimeoutDc", 120},
                                                    {"user.IdleTimeoutAc", 0},      {"user.IdleTimeoutDc", 900},
                                                    {"user.IdleAc.Action", 2},      {"user.IdleDc.Action", 2},
                                                    {"user.ForcedThrottleAc", 100}, {"user.ForcedThrottleDc", 50}};
  for (const auto& [key, v] : taken) {
    EXPECT_EQ(GetField(on_xp.scheme.records, *FindRecordField(key)), v) << key;
    SetField(base, *FindRecordField(key), v);
  }
  EXPECT_EQ(on_xp.scheme.records, base);  // every other field is the base's
  EXPECT_EQ(on_xp.not_taken, (std::vector<std::string>{"PowerButton", platform::FormatGuid(g::kVideoDimTimeout)}));
}

// Each bad file refused with its own error, and nothing given back.
TEST(SchemeFileTest, BadFilesAreRefusedEachWithItsError) {
  const std::string xp = Written(XpScheme());
  const std::string plan = Written(PlanScheme());
  auto replace = [](std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return text.replace(at, from.size(), to);
  };
  auto line_of = [](const std::string& text, const std::string& key) {
    const size_t at = text.find(key);
    return text.substr(at, text.find('\n', at) + 1 - at);
  };
  const std::string video = line_of(xp, "user.VideoTimeoutAc = ");
  const std::string setting =
      "setting.7516b95f-f776-4464-8c53-06167f40cc99.3c0bc021-c8a8-4e07-a973-6b14cbcb2b7e = 600 120\n";
  const struct {
    std::string text;
    E error;
    int line;
  } rows[] = {
      {"", E::Truncated, 0},
      {xp.substr(0, xp.size() / 2), E::Truncated, 0},
      {xp.substr(0, xp.find("\xbc")), E::Truncated, 0},  // cut inside a character
      {replace(xp, "\xc3\xbc", "\xc3"), E::NotText, 3},
      {replace(xp, "Road", std::string("Ro\0d", 4)), E::NotText, 3},
      {replace(xp, "Road", "Ro\xff"), E::NotText, 3},
      {std::string(kSchemeFileMaxBytes + 1, 'a'), E::TooLarge, 0},
      {"PK\x03\x04 zip", E::NotText, 1},
      {"[Scheme]\nname=x\n", E::NotSchemeFile, 1},
      {replace(xp, "vantrel-scheme 1", "vantrel-scheme 2"), E::WrongVersion, 1},
      {replace(xp, video, video + "user.Bogus = 1\n"), E::UnknownKey, 0},
      {replace(plan, "personality", "user.VideoTimeoutAc = 1\npersonality"), E::UnknownKey, 5},
      {replace(xp, video, video + video), E::DuplicateKey, 0},
      {replace(xp, "name", "backend = xp\nname"), E::DuplicateKey, 3},
      {replace(plan, setting, setting + setting), E::DuplicateKey, 7},
      {replace(xp, video, ""), E::MissingKey, 0},
      {replace(plan, "personality", "# personality"), E::MissingKey, 0},
      {replace(xp, video, "user.VideoTimeoutAc = ten\n"), E::WrongType, 0},
      {replace(xp, video, "user.VideoTimeoutAc = -1\n"), E::WrongType, 0},
      {replace(plan, "600 120", "600"), E::WrongType, 6},
      {replace(plan, "= a184", "= a18x"), E::WrongType, 5},
      {replace(xp, video, "user.VideoTimeoutAc = 4294967296\n"), E::OutOfRange, 0},
      {replace(xp, line_of(xp, "user.IdleSensitivityAc = "), "user.IdleSensitivityAc = 101\n"), E::OutOfRange, 0},
      {replace(xp, "backend = xp", "backend = nt"), E::OutOfRange, 2},
      {replace(plan, "= a184", "= a185"), E::OutOfRange, 5},
      {replace(xp, "name = Road", "name =\nroad"), E::BadLine, 4},
      {xp + "user.Revision = 1\n", E::BadLine, 0},
      {replace(xp, "Road \\\\ Trip \xc3\xbc\\x20", ""), E::NameEmpty, 3},
      {replace(xp, "Road", std::string(30, 'R')), E::NameTooLong, 3},
      {replace(xp, "\\x09long", std::string(256, 'L')), E::DescriptionTooLong, 4},
      {replace(xp, "Trip", "Tr\\q"), E::WrongType, 3},
  };
  for (const auto& row : rows) {
    SchemeFile untouched = XpScheme();
    const SchemeFileProblem p = ReadSchemeFile(row.text, &untouched);
    EXPECT_EQ(p.error, row.error) << row.text.substr(0, 300);
    EXPECT_EQ(row.line ? p.line : 0, row.line) << row.text.substr(0, 300);
    EXPECT_EQ(untouched.name, XpScheme().name);
    EXPECT_NE(i18n::BuiltInText(SchemeFileErrorTextId(p.error)), nullptr);
  }
  // A plan's name too long for the XP back end: refused on import there, taken as a plan.
  SchemeFile long_name = PlanScheme();
  long_name.name = std::string(40, 'n');
  SchemeImport imported;
  EXPECT_EQ(ImportSchemeFile(Written(long_name), SchemeBackend::Xp, {}, &imported).error, E::NameTooLong);
  EXPECT_TRUE(imported.scheme.name.empty());
  EXPECT_TRUE(ImportSchemeFile(Written(long_name), SchemeBackend::Plan, {}, &imported).ok());
  // The writer refuses what the reader would.
  long_name.backend = SchemeBackend::Xp;
  std::string text = "kept";
  EXPECT_EQ(WriteSchemeFile(long_name, &text).error, E::NameTooLong);
  EXPECT_EQ(text, "kept");
}

constexpr SettingRange kPercent{0, 100, 1};
constexpr SettingRange kFives{10, 100, 5};  // 10, 15, ... 100
constexpr SettingRange kOdd{1, 20, 3};      // 1, 4, ... 19: the top is not a step
constexpr SettingRange kWhole{0, UINT32_MAX, 1};
constexpr SettingRange kUpsideDown{50, 20, 0};  // a broken definition: only its lowest

TEST(SettingValuesTest, TypedAndSteppedNumbersFitTheRangeAndItsSteps) {
  struct Row {
    const char* text;
    SettingRange range;
    bool taken;
    uint32_t value;
  } rows[] = {{"42", kPercent, true, 42},
              {" 7 ", kPercent, true, 7},
              {"250", kPercent, true, 100},
              {"0", kFives, true, 10},
              {"33", kFives, true, 30},
              {"20", kOdd, true, 19},
              {"99999999999999999999", kWhole, true, UINT32_MAX},
              {"4294967295", kWhole, true, UINT32_MAX},
              {"30", kUpsideDown, true, 50},
              {"", kPercent, false, 0},
              {"  ", kPercent, false, 0},
              {"-5", kPercent, false, 0},
              {"12a", kPercent, false, 0}};
  for (const Row& row : rows) {
    uint32_t value = 0;
    EXPECT_EQ(ParseInRange(row.text, row.range, &value), row.taken) << row.text;
    EXPECT_EQ(row.taken ? value : 0u, row.value) << row.text;
  }

  // Steps stay in the range.
  struct StepRow {
    uint32_t value;
    int steps;
    SettingRange range;
    uint32_t expected;
  } stepped[] = {
      {50, 1, kPercent, 51}, {0, -1, kPercent, 0},     {100, 1, kPercent, 100}, {15, 2, kFives, 25},
      {12, 1, kFives, 15},   {10, -3, kFives, 10},     {19, 1, kOdd, 19},       {UINT32_MAX, 1, kWhole, UINT32_MAX},
      {0, -1, kWhole, 0},    {50, 1, kUpsideDown, 50},
  };
  for (const StepRow& row : stepped)
    EXPECT_EQ(StepInRange(row.value, row.steps, row.range), row.expected) << row.value << " by " << row.steps;
}

}  // namespace
}  // namespace vantrel::power
