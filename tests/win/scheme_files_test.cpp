// Export and Import on the Schemes page, on both power interfaces of the simulated machine:
// round trips within and across them (the system's records field by field), files refused with
// nothing created, and imports that fail half-way and are undone.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/prompt.h"
#include "i18n/core/language_table.h"
#include "i18n/core/text_format.h"
#include "i18n/core/text_ids.h"
#include "power/scheme_file_io.h"
#include "power/scheme_records_win.h"
#include "power/schemes_page.h"
#include "schemes_ids.h"
#include "win/plan_test_support.h"

namespace vantrel::power {
namespace {

using platform::sim::SimPowerBackend;
using platform::sim::SimState;
namespace g = platform::guids;
constexpr SimPowerBackend kXp = SimPowerBackend::Xp, kPlans = SimPowerBackend::Plans;

// Every field of both records set to a value of its own, each within what the field holds.
XpSchemeRecords DistinctRecords() {
  XpSchemeRecords r;
  uint32_t n = 0;
  for (const RecordField& f : RecordFields()) SetField(r, f, static_cast<uint32_t>(++n % (FieldMaximum(f) + 1ull)));
  return r;
}

// Every setting of the machine set by the plan itself, AC and DC apart, off its defaults.
void SetEverySetting(platform::sim::SimPlan& plan) {
  uint32_t n = 0;
  for (const platform::sim::SimSettingDefinition& s : platform::sim::SimSettings()) {
    const uint64_t values = s.values.empty() ? uint64_t{s.max} - s.min + 1 : s.values.size();
    const DWORD base = s.values.empty() ? s.min : 0;
    plan.values.push_back({s.guid, static_cast<DWORD>(base + (++n * 7) % values),
                           static_cast<DWORD>(base + (n * 13) % values)});
  }
}

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

class SchemeFilesTest : public ::testing::Test, protected testing::PageControls {
 protected:
  void Boot(SimState state) {
    page_.reset();
    pc_.reset();
    pc_ = std::make_unique<testing::PlanTestMachine>(std::move(state));
    host_.hide_on_close = false;
    ASSERT_TRUE(host_.IsWindow() || host_.Create());
    page_ = std::make_unique<SchemesPage>(host_.hwnd(), nullptr, nullptr);
    page_->set_file_asker([this](HWND, bool, bool, const std::wstring&) { return std::optional<std::wstring>(Wide(path_)); });
    ASSERT_TRUE(page_->Create());
    ::ShowWindow(page_->hwnd(), SW_SHOW);
    prompts_.clear();
  }
  static SimState Laptop(SimPowerBackend backend) {
    SimState state = platform::sim::DefaultLaptop();
    state.power_backend = backend;
    return state;
  }
  void TearDown() override {
    page_.reset();
    pc_.reset();
  }
  HWND page() const override { return page_->hwnd(); }
  bool on_plans() const { return page_->on_plans(); }
  size_t Count() { return on_plans() ? pc_->store().plans.size() : pc_->machine().state().schemes.size(); }
  std::string ExportSelected(int number) {
    path_ = dir_.File("out.vps");
    Choose(IDC_SCHEME_COMBO, number);
    Press(IDC_SCHEME_EXPORT);
    std::string bytes;
    EXPECT_EQ(ReadSchemeFileBytes(Wide(path_), &bytes), SchemeFileError::None);
    EXPECT_TRUE(prompts_.entries().empty()) << prompts_.entries().front().text;
    return bytes;
  }
  // Imports file `name`, written with `bytes` unless `write` is false; gives what the user was told.
  std::string Import(const std::string& bytes, const char* name = "in.vps", bool write = true) {
    path_ = dir_.File(name);
    EXPECT_TRUE(!write || dir_.Write(name, bytes));
    prompts_.clear();
    Press(IDC_SCHEME_IMPORT);
    return prompts_.entries().empty() ? "" : prompts_.entries().back().text;
  }
  size_t Creates() {
    return pc_->recorder().Called("PowerDuplicateScheme") + pc_->recorder().Called("WritePwrScheme");
  }

  fw::PromptRecorder prompts_;  // no box may wait for a user
  testing::TempDir dir_;
  std::string path_;
  std::unique_ptr<testing::PlanTestMachine> pc_;
  testing::MainWindowStandIn host_;
  std::unique_ptr<SchemesPage> page_;
};

TEST_F(SchemeFilesTest, SameInterfaceRoundTripsKeepEveryByteAndEverySettingUnderAFreeName) {
  // XP: both records byte for byte, padding included. Members set by their system names are
  // written under their own keys, so a field or bit the portable table puts at the wrong place shows.
  SimState xp = Laptop(kXp);
  POWER_POLICY& policy = xp.schemes[1].policy;
  MACHINE_PROCESSOR_POWER_POLICY& processor = xp.schemes[1].processor;
  FromSchemeRecords(DistinctRecords(), &policy, &processor);
  policy.user.ForcedThrottleDc = 66;
  processor.ProcessorPolicyDc.DisableCStates = 1;
  processor.ProcessorPolicyDc.Reserved = 0x1234567;
  processor.ProcessorPolicyDc.Policy[2] = {50000, 100, 200, 40, 80, {1, 2}, 1, 0, 0x2aaaaaaa};
  const XpSchemeRecords records = ToSchemeRecords(policy, processor);
  Boot(xp);
  const std::string xp_file = ExportSelected(1);
  for (const char* line : {"user.ForcedThrottleDc = 66", "processor.Dc.DisableCStates = 1",
                           "processor.Dc.Reserved = 0x01234567", "processor.Dc.Policy2.AllowDemotion = 1",
                           "processor.Dc.Policy2.AllowPromotion = 0", "processor.Dc.Policy2.Reserved = 0x2aaaaaaa"})
    EXPECT_NE(xp_file.find(std::string("\n") + line), std::string::npos) << line;
  Boot(Laptop(kXp));
  const size_t schemes = Count();
  EXPECT_EQ(Import(xp_file), "") << "nothing to say";
  ASSERT_EQ(Count(), schemes + 1);
  const platform::sim::SimScheme& made = pc_->machine().state().schemes.back();
  EXPECT_EQ(ToSchemeRecords(made.policy, made.processor), records);
  EXPECT_EQ(made.name, xp.schemes[1].name + L" (2)");
  EXPECT_EQ(Selected(IDC_SCHEME_COMBO), static_cast<int>(schemes));

  // Plans: every setting, hidden ones too, and the personality.
  SimState plans = Laptop(kPlans);
  plans.plans.policy_locked = {};  // the laptop's Group Policy fixes the wake timers
  SetEverySetting(plans.plans.plans[2]);
  Boot(plans);
  const std::string plan_file = ExportSelected(2);
  EXPECT_NE(plan_file.find(platform::FormatGuid(g::kPowerSaver)), std::string::npos);
  SimState unlocked = Laptop(kPlans);
  unlocked.plans.policy_locked = {};
  Boot(unlocked);
  EXPECT_EQ(Import(plan_file), "");
  ASSERT_EQ(Count(), 4u);
  EXPECT_EQ(pc_->store().plans[3].personality, g::kPowerSaver);
  for (const platform::sim::SimSettingDefinition& s : platform::sim::SimSettings()) {
    const auto want = EffectiveValue(plans.plans.plans[2], s), got = pc_->Value(3, s.guid);
    EXPECT_EQ(std::make_pair(got.ac, got.dc), std::make_pair(want.ac, want.dc)) << platform::FormatGuid(s.guid);
  }

  // Where Group Policy fixes a setting the plan is made all the same, and the setting listed.
  Boot(Laptop(kPlans));
  EXPECT_NE(Import(plan_file).find(platform::FormatGuid(g::kAllowWakeTimers)), std::string::npos);
  EXPECT_EQ(Count(), 4u);
}

TEST_F(SchemeFilesTest, AcrossInterfacesTheMappedFieldsAreTakenAndTheRestListedInOneMessage) {
  SimState xp = Laptop(kXp);
  USER_POWER_POLICY& user = xp.schemes[0].policy.user;
  user.VideoTimeoutAc = 420, user.VideoTimeoutDc = 180, user.SpindownTimeoutAc = 1500, user.SpindownTimeoutDc = 240;
  Boot(xp);
  const std::string xp_file = ExportSelected(0);
  SimState plans = Laptop(kPlans);
  plans.plans.plans[0].values = {{g::kVideoTimeout, 660, 90}, {g::kDiskTimeout, 900, 300}};
  Boot(plans);
  const std::string plan_file = ExportSelected(0);

  // XP file on the plan machine.
  std::string said = Import(xp_file);
  ASSERT_EQ(Count(), 4u);
  const auto video = pc_->Value(3, g::kVideoTimeout), disk = pc_->Value(3, g::kDiskTimeout);
  EXPECT_EQ(std::vector<DWORD>({video.ac, video.dc, disk.ac, disk.dc}), std::vector<DWORD>({420, 180, 1500, 240}));
  const std::string lead = i18n::Text(i18n::IDS_SCHEME_FILE_NOT_TAKEN).substr(0, 20);
  EXPECT_EQ(said.rfind(lead, 0), 0u) << said;
  for (const char* field : {"ThrottlePolicy", "MaxSleep", "OverThrottled"})
    EXPECT_NE(said.find(field), std::string::npos) << field << " in " << said;
  EXPECT_EQ(said.find("VideoTimeout"), std::string::npos) << "a taken field is not listed";

  // Plan file on the XP machine: a scheme of the machine gives every other field.
  Boot(Laptop(kXp));
  const size_t schemes = Count();
  said = Import(plan_file);
  ASSERT_EQ(Count(), schemes + 1);
  const USER_POWER_POLICY& made = pc_->machine().state().schemes.back().policy.user;
  EXPECT_EQ(std::vector<DWORD>({made.VideoTimeoutAc, made.VideoTimeoutDc, made.SpindownTimeoutAc}),
            std::vector<DWORD>({660, 90, 900}));
  const std::string boost = platform::FormatGuid(g::kBoostMode);
  for (const char* field : {"PowerButton", "LidClose", boost.c_str()})
    EXPECT_NE(said.find(field), std::string::npos) << field << " in " << said;
  EXPECT_EQ(pc_->recorder().Called("WriteGlobalPwrPolicy"), 0u) << "the machine's global policy is left alone";
}

TEST_F(SchemeFilesTest, BadFilesAreRefusedWithTheirReasonAndCreateNothing) {
  struct Case {
    const char* what;
    std::string (*make)(const std::string& good);
    SchemeFileError error;
    const char* key;
  };
  const Case cases[] = {
      {"cut short", [](const std::string& f) { return f.substr(0, f.rfind('\n', f.size() / 2) + 1); }, SchemeFileError::Truncated, ""},
      {"unknown key", [](const std::string& f) { return Replace(f, "\nend", "\ncolour = 3\nend"); },
       SchemeFileError::UnknownKey, "colour"},
      {"huge", [](const std::string& f) { return f + std::string(300 * 1024, '#'); }, SchemeFileError::TooLarge, ""},
  };
  for (SimPowerBackend backend : {kXp, kPlans}) {
    Boot(Laptop(backend));
    const std::string good = ExportSelected(0);
    const size_t count = Count();
    pc_->recorder().calls.clear();
    for (const Case& c : cases) {
      const std::string said = Import(c.make(good));
      const std::string reason = i18n::FormatText(i18n::Text(SchemeFileErrorTextId(c.error)), {c.key});
      EXPECT_NE(said.find(reason), std::string::npos) << c.what << ": " << said;
      EXPECT_EQ(Count(), count) << c.what;
    }
    EXPECT_EQ(Import("", "missing.vps", false), i18n::Text(i18n::IDS_SCHEME_FILE_UNREADABLE));
    EXPECT_EQ(Creates(), 0u) << "nothing was even begun";
  }
  // A file of the system's own format goes to the system, which cannot read it here.
  EXPECT_EQ(Import("binary", "plan.pow"), i18n::FormatText(i18n::Text(i18n::IDS_SCHEME_FILE_SYSTEM_REFUSED),
                                                            {std::to_string(ERROR_INVALID_DATA)}));
  EXPECT_EQ(Count(), 3u);
}

TEST_F(SchemeFilesTest, AWriteThatDoesNotTakeRemovesWhatWasCreatedAndAFailedExportKeepsTheOldFile) {
  for (SimPowerBackend backend : {kXp, kPlans}) {
    SimState state = Laptop(backend);
    state.plans.writes_ignored = g::kDiskTimeout;
    Boot(state);
    const std::string file = ExportSelected(0);
    const size_t count = Count();
    pc_->recorder().fail_processor_write = true;
    // On plans the file asks for a disk timeout other than the copy's own, which then does not take.
    const std::string said = Import(backend == kPlans ? Replace(file, " = 1200 ", " = 1260 ") : file);
    EXPECT_EQ(said, i18n::Text(i18n::IDS_SCHEME_FILE_REMOVED)) << static_cast<int>(backend);
    EXPECT_EQ(Count(), count);
    EXPECT_GE(Creates(), 1u) << "it was created, then removed";
  }
  // A file that cannot be replaced keeps its old bytes, and no temporary is left beside it.
  ASSERT_TRUE(dir_.Write("old.vps", "old"));
  path_ = dir_.File("old.vps");
  HANDLE held = ::CreateFileA(path_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  prompts_.clear();
  Press(IDC_SCHEME_EXPORT);
  ::CloseHandle(held);
  ASSERT_EQ(prompts_.entries().size(), 1u) << "the file is in use";
  EXPECT_EQ(prompts_.entries()[0].text, i18n::Text(i18n::IDS_SCHEME_FILE_NOT_WRITTEN));
  std::string bytes;
  ASSERT_EQ(ReadSchemeFileBytes(Wide(path_), &bytes), SchemeFileError::None);
  EXPECT_EQ(bytes, "old");
  WIN32_FIND_DATAA found;
  HANDLE search = ::FindFirstFileA(dir_.File("vps*.tmp").c_str(), &found);
  EXPECT_EQ(search, INVALID_HANDLE_VALUE) << found.cFileName;
  if (search != INVALID_HANDLE_VALUE) ::FindClose(search);
}

}  // namespace
}  // namespace vantrel::power
