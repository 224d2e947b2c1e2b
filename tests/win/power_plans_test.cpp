// The plan back end: the choice of interface, the XP-shaped view of a plan and its store, the
// plan operations, and no XP-era write while plans are in use; and the simulated machine's plan
// functions under it: the documented call rules, what is applied when, the plan store in the
// state file.
#include "power/power_plans.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "power/power_backend.h"
#include "power/power_platform.h"
#include "platform/sim/sim_machine.h"
#include "win/plan_test_support.h"

namespace vantrel::power {
namespace {

namespace g = platform::guids;
using namespace platform::sim;
using platform::PlanGuid;
using testing::GuidText;
using testing::PlanTestMachine;

std::string Text(const PlanGuid& guid) { return platform::FormatGuid(guid); }

// The battery side of a setting as the machine runs on it.
DWORD AppliedDc(PlanTestMachine& pc, const PlanGuid& setting) {
  for (const SimPlanValue& v : pc.store().applied)
    if (v.setting == setting) return v.dc;
  return 0;
}

TEST(PlanBackEndTest, ChosenByWhatTheSystemAnswers) {
  struct Row {
    SimPowerBackend machine;
    bool plans_listed;
    PowerBackend chosen;
  } rows[] = {{SimPowerBackend::Plans, true, PowerBackend::Plans},
              {SimPowerBackend::Xp, true, PowerBackend::Xp},
              {SimPowerBackend::None, true, PowerBackend::None},
              // A plan machine whose active plan is not there answers with its XP functions.
              {SimPowerBackend::Plans, false, PowerBackend::Xp}};
  for (const Row& row : rows) {
    SimState state = DefaultLaptop();
    state.power_backend = row.machine;
    if (!row.plans_listed) state.plans.plans.clear();
    PlanTestMachine pc(std::move(state));
    EXPECT_EQ(CurrentPowerBackend(), row.chosen) << PowerBackendName(row.chosen);
  }
  EXPECT_EQ(CurrentPowerBackend(), PowerBackend::None) << "the machines are gone";
}

class PowerPlansTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(plans_.EnumPlans(), 0);
    pc_.recorder().calls.clear();
  }
  PlanView Loaded(int number) {
    PlanView view;
    EXPECT_EQ(plans_.Load(number, &view), 0);
    return view;
  }
  std::vector<std::string>& calls() { return pc_.recorder().calls; }

  PlanTestMachine pc_;
  PowerPlans plans_;
};

// Each edit of the XP-era records, and the setting values it must give (AC, DC).
struct Edit {
  const char* what;
  std::function<void(PlanView&)> edit;
  PlanGuid setting;
  DWORD ac, dc;
};

TEST_F(PowerPlansTest, EveryMappedFieldRoundTripsWithDistinctAcAndDcValues) {
  const Edit edits[] = {
      {"display", [](PlanView& v) { v.policy.user.VideoTimeoutAc = 1200, v.policy.user.VideoTimeoutDc = 180; },
       g::kVideoTimeout, 1200, 180},
      {"disk", [](PlanView& v) { v.policy.user.SpindownTimeoutAc = 2400, v.policy.user.SpindownTimeoutDc = 420; },
       g::kDiskTimeout, 2400, 420},
      {"standby", [](PlanView& v) { v.policy.user.IdleTimeoutAc = 3000, v.policy.user.IdleTimeoutDc = 240; },
       g::kStandbyTimeout, 3000, 240},
      {"hibernate", [](PlanView& v) { v.policy.mach.DozeS4TimeoutAc = 7200, v.policy.mach.DozeS4TimeoutDc = 1800; },
       g::kHibernateTimeout, 7200, 1800},
      {"idle", [](PlanView& v) { v.policy.user.IdleSensitivityAc = 70, v.policy.user.IdleSensitivityDc = 30; },
       g::kIdleThreshold, 70, 30},
      {"minimum", [](PlanView& v) { v.policy.mach.MinThrottleAc = 20, v.policy.mach.MinThrottleDc = 10; },
       g::kProcessorMinimum, 20, 10},
      {"maximum", [](PlanView& v) { v.policy.user.ForcedThrottleAc = 90, v.policy.user.ForcedThrottleDc = 60; },
       g::kProcessorMaximum, 90, 60},
      // The alarms' own index: the third one enabled, the fourth one's level (they act on battery).
      {"alarm 3 on", [](PlanView& v) { v.global.user.DischargePolicy[2].Enable = TRUE; }, g::kAlarmFlags[2], 0,
       0x80000000},
      {"alarm 4 level", [](PlanView& v) { v.global.user.DischargePolicy[3].BatteryLevel = 20; }, g::kAlarmLevel[3], 0,
       20},
  };
  const int high_performance = 1;  // not the active plan
  const PlanView loaded = Loaded(high_performance);
  PlanView edited = loaded;
  for (const Edit& e : edits) e.edit(edited);
  const StoreReport report = plans_.Store(high_performance, edited, loaded);
  EXPECT_TRUE(report.ok()) << report.Result();
  EXPECT_EQ(report.written.size(), std::size(edits));
  EXPECT_FALSE(report.reapplied);
  for (const Edit& e : edits) {
    const auto value = pc_.Value(high_performance, e.setting);
    EXPECT_EQ(value.ac, e.ac) << e.what;
    EXPECT_EQ(value.dc, e.dc) << e.what;
  }
  // Read again, the plan shows exactly what was stored.
  const PlanView again = Loaded(high_performance);
  EXPECT_EQ(std::memcmp(&again.policy, &edited.policy, sizeof edited.policy), 0);
  EXPECT_EQ(std::memcmp(&again.processor, &edited.processor, sizeof edited.processor), 0);
  EXPECT_EQ(std::memcmp(&again.global, &edited.global, sizeof edited.global), 0);
  // Nothing unchanged was written: a second store of the same edit writes nothing.
  calls().clear();
  EXPECT_TRUE(plans_.Store(high_performance, again, again).written.empty());
  EXPECT_EQ(pc_.recorder().Called("PowerWrite"), 0u);
}

TEST_F(PowerPlansTest, FieldsWithoutCounterpartAreReportedAndNeverWritten) {
  struct Row {
    std::function<void(PlanView&)> edit;
    XpField field;
    StoreProblem problem;
  } rows[] = {
      // in the order of the fields, as reported
      {[](PlanView& v) { v.policy.user.IdleDc.Action = PowerActionHibernate; }, XpField::IdleAction,
       StoreProblem::NoCounterpart},
      {[](PlanView& v) { v.policy.user.ThrottlePolicyAc = PO_THROTTLE_NONE; }, XpField::ThrottlePolicy,
       StoreProblem::NoCounterpart},
      {[](PlanView& v) { v.processor.ProcessorPolicyDc.DynamicThrottle = PO_THROTTLE_DEGRADE; },
       XpField::DynamicThrottle, StoreProblem::NoCounterpart},
      // The sleep button cannot shut down.
      {[](PlanView& v) { v.global.user.SleepButtonDc.Action = PowerActionShutdownOff; }, XpField::SleepButton,
       StoreProblem::NotRepresentable},
      {[](PlanView& v) { v.global.user.DischargePolicy[0].PowerPolicy.Flags = POWER_ACTION_CRITICAL; },
       AlarmField(XpField::AlarmActionFlags, 0), StoreProblem::NoCounterpart},
      {[](PlanView& v) { v.global.user.GlobalFlags |= EnableSysTrayBatteryMeter; }, XpField::OtherGlobalFlags,
       StoreProblem::NoCounterpart},
  };
  const PlanView loaded = Loaded(0);
  PlanView edited = loaded;
  for (const Row& row : rows) row.edit(edited);
  const StoreReport report = plans_.Store(0, edited, loaded);
  ASSERT_EQ(report.problems.size(), std::size(rows));
  for (size_t i = 0; i < std::size(rows); ++i) {
    EXPECT_EQ(report.problems[i].field, rows[i].field) << XpFieldName(report.problems[i].field);
    EXPECT_EQ(report.problems[i].problem, rows[i].problem) << XpFieldName(rows[i].field);
  }
  EXPECT_TRUE(report.written.empty());
  EXPECT_FALSE(report.reapplied) << "nothing written, nothing to apply";
  EXPECT_TRUE(calls().empty()) << calls().front();
}

TEST(PlanBackEndTest, LockedSettingsAndWritesThatDoNotTakeAreReportedAndOnlyTheThreeModesSet) {
  SimState state = testing::PlanLaptop();
  state.plans.policy_locked = g::kVideoTimeout;
  state.plans.writes_ignored = g::kDiskTimeout;
  state.plans.power_modes = true;
  PlanTestMachine pc(std::move(state));
  // The tray offers only the three modes; nothing else may reach the system.
  const PlanGuid mode = pc.store().mode_ac;
  EXPECT_EQ(PowerPlans::SetPowerMode(false, PowerMode::Other), ERROR_INVALID_PARAMETER);
  EXPECT_TRUE(pc.store().mode_ac == mode);
  PowerPlans plans;
  ASSERT_EQ(plans.EnumPlans(), 0);
  PlanView loaded;
  ASSERT_EQ(plans.Load(2, &loaded), 0);
  EXPECT_EQ(loaded.Support(XpField::VideoTimeout), FieldSupport::Locked);
  EXPECT_EQ(loaded.Support(XpField::SpindownTimeout), FieldSupport::Counterpart);
  PlanView edited = loaded;
  edited.policy.user.VideoTimeoutDc = 60;
  edited.policy.user.SpindownTimeoutDc = 60;
  edited.policy.user.IdleTimeoutDc = 60;
  const StoreReport report = plans.Store(2, edited, loaded);
  ASSERT_EQ(report.problems.size(), 2u);
  EXPECT_EQ(report.problems[0].field, XpField::VideoTimeout);
  EXPECT_EQ(report.problems[0].problem, StoreProblem::Locked);
  EXPECT_EQ(report.problems[1].field, XpField::SpindownTimeout);
  EXPECT_EQ(report.problems[1].problem, StoreProblem::NotTaken);
  EXPECT_EQ(report.Result(), ERROR_ACCESS_DISABLED_BY_POLICY);
  EXPECT_EQ(report.written, std::vector<XpField>{XpField::IdleTimeout});
  EXPECT_EQ(pc.recorder().Called("PowerWriteDCValueIndex " + Text(g::kPowerSaver) + " " + Text(g::kVideoTimeout)), 0u)
      << "a locked setting is not even tried";
  EXPECT_EQ(pc.Value(2, g::kDiskTimeout).dc, 300u) << "the write did not take";
}

TEST_F(PowerPlansTest, SaveAsActivateDeleteAndTheReapplyOfTheActivePlan) {
  int road = -1;
  ASSERT_EQ(plans_.SaveAs(0, L"Road Trip", nullptr, &road), 0);
  ASSERT_EQ(road, 3);
  const GUID trip = plans_.Entry(road)->guid;
  for (int i = 0; i < 3; ++i) EXPECT_NE(GuidText(plans_.Entry(i)->guid), GuidText(trip)) << "a new GUID";
  EXPECT_EQ(pc_.store().plans[3].name, L"Road Trip");
  EXPECT_EQ(plans_.Entry(road)->description, plans_.Entry(0)->description);

  ASSERT_EQ(plans_.Activate(road), 0);
  EXPECT_EQ(plans_.GetActivePlanIndex(), road);
  EXPECT_EQ(pc_.store().applied_plan, platform::FromGuid(trip));

  // An edit of the active plan is applied by making it active again, after the write.
  const PlanView loaded = Loaded(road);
  PlanView edited = loaded;
  edited.policy.user.VideoTimeoutDc = 60;
  calls().clear();
  const StoreReport report = plans_.Store(road, edited, loaded);
  EXPECT_TRUE(report.reapplied && report.ok());
  EXPECT_EQ(calls(), (std::vector<std::string>{"PowerWriteDCValueIndex " + GuidText(trip) + " " +
                                                   Text(g::kVideoTimeout) + " 60",
                                               "PowerSetActiveScheme " + GuidText(trip)}));
  EXPECT_EQ(AppliedDc(pc_, g::kVideoTimeout), 60u);

  // The active plan is switched away from (to the previous one: it is the last), then deleted.
  calls().clear();
  ASSERT_EQ(plans_.Delete(road), 0);
  EXPECT_EQ(calls(), (std::vector<std::string>{"PowerSetActiveScheme " + Text(g::kPowerSaver),
                                               "PowerDeleteScheme " + GuidText(trip)}));
  EXPECT_EQ(plans_.GetPlanCount(), 3u);
  EXPECT_EQ(pc_.store().plans.size(), 3u);

  // A copy whose name is refused does not stay behind.
  calls().clear();
  EXPECT_EQ(plans_.SaveAs(0, std::wstring(2000, L'x'), nullptr, &road), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(pc_.recorder().Called("PowerDeleteScheme"), 1u);
  EXPECT_EQ(pc_.store().plans.size(), 3u);

  // The last plan is kept.
  EXPECT_EQ(plans_.Delete(0), 0);
  EXPECT_EQ(plans_.Delete(0), 0);
  EXPECT_EQ(plans_.Delete(0), ERROR_ACCESS_DENIED);
  EXPECT_EQ(pc_.store().plans.size(), 1u);
}

// The XP-era writes of the scheme half: refused without a call on the plan back end, made on an
// XP machine (which shows that the recorder sees them).
TEST(PlanBackEndTest, NoXpWriteOnThePlanBackEnd) {
  for (SimPowerBackend backend : {SimPowerBackend::Plans, SimPowerBackend::Xp}) {
    PlanTestMachine pc(backend);
    PowerPlatform power;
    power.EnumSchemes();
    POWER_POLICY policy{};
    ASSERT_EQ(power.ReadScheme(1, &policy), 0);
    MACHINE_PROCESSOR_POWER_POLICY processor{};
    power.ReadProcessorScheme(1, &processor);
    GLOBAL_POWER_POLICY global{};
    ASSERT_EQ(PowerPlatform::ReadGlobalPolicy(&global), 0);
    int number = 1;
    power.WriteScheme("Renamed", nullptr, policy, &number);
    power.WriteProcessorScheme(1, processor);
    PowerPlatform::WriteGlobalPolicy(global);
    power.SetActiveScheme(2, &global, &policy);
    power.DeleteScheme(3);
    if (backend == SimPowerBackend::Plans) {
      for (const char* write : testing::kXpWrites) EXPECT_EQ(pc.recorder().Called(write), 0u) << write;
      EXPECT_EQ(pc.machine().state().schemes[1].name, L"Portable/Laptop");
    } else {
      for (const char* write : testing::kXpWrites) EXPECT_GE(pc.recorder().Called(write), 1u) << write;
    }
  }
}

std::string Ini(const std::string& path, const char* section, const char* key) {
  char text[256] = {};
  ::GetPrivateProfileStringA(section, key, "", text, sizeof text, path.c_str());
  return text;
}

TEST(PlanBackEndTest, TheCallsKeepTheDocumentedRulesAndAnEditOfTheActivePlanIsAppliedWhenItIsMadeActiveAgain) {
  PlanTestMachine pc;
  platform::SystemApi& sys = pc.machine();
  const GUID balanced = platform::ToGuid(g::kBalanced), saver = platform::ToGuid(g::kPowerSaver);
  // Sizes in bytes, the terminator counted; a missing buffer asks for the size.
  const DWORD name_bytes = sizeof(L"Balanced");
  UCHAR buffer[64] = {};
  DWORD size = 4;
  EXPECT_EQ(sys.PowerReadFriendlyName(nullptr, &balanced, nullptr, nullptr, buffer, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, name_bytes);
  size = 0;
  EXPECT_EQ(sys.PowerReadFriendlyName(nullptr, &balanced, nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, name_bytes);
  size = 0;
  EXPECT_EQ(sys.PowerEnumerate(nullptr, nullptr, nullptr, platform::kAccessScheme, 0, nullptr, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, sizeof(GUID));
  GUID item{};
  size = sizeof item;
  EXPECT_EQ(sys.PowerEnumerate(nullptr, nullptr, nullptr, platform::kAccessScheme, 3, reinterpret_cast<UCHAR*>(&item),
                               &size),
            ERROR_NO_MORE_ITEMS);
  // The active plan is handed out LocalAlloc'ed; it cannot be deleted.
  GUID* active = nullptr;
  ASSERT_EQ(sys.PowerGetActiveScheme(nullptr, &active), ERROR_SUCCESS);
  EXPECT_EQ(platform::FromGuid(*active), g::kBalanced);
  EXPECT_EQ(::LocalFree(active), nullptr);
  EXPECT_EQ(sys.PowerDeleteScheme(nullptr, &balanced), ERROR_ACCESS_DENIED);
  // Duplicating onto an existing plan is refused; without a destination it makes a new GUID.
  GUID existing = saver;
  GUID* destination = &existing;
  EXPECT_EQ(sys.PowerDuplicateScheme(nullptr, &balanced, &destination), ERROR_ALREADY_EXISTS);
  destination = nullptr;
  ASSERT_EQ(sys.PowerDuplicateScheme(nullptr, &balanced, &destination), ERROR_SUCCESS);
  EXPECT_NE(platform::FromGuid(*destination), g::kBalanced);
  ::LocalFree(destination);
  // Values outside a setting's range or list are refused.
  const GUID video = platform::ToGuid(g::kVideoSubgroup), timeout = platform::ToGuid(g::kVideoTimeout);
  const GUID buttons = platform::ToGuid(g::kButtonSubgroup), lid = platform::ToGuid(g::kLidClose);
  EXPECT_EQ(sys.PowerWriteACValueIndex(nullptr, &saver, &buttons, &lid, 4), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(sys.PowerWriteACValueIndex(nullptr, &saver, &buttons, &timeout, 4), ERROR_FILE_NOT_FOUND)
      << "a setting is reached through its own subgroup";
  EXPECT_EQ(sys.PowerIsSettingRangeDefined(&video, &timeout), TRUE);
  EXPECT_EQ(sys.PowerIsSettingRangeDefined(&buttons, &lid), FALSE);
  // What the machine runs on changes only when a plan is made active; the state file shows both.
  const std::string key = Text(g::kVideoTimeout);
  ASSERT_EQ(sys.PowerWriteDCValueIndex(nullptr, &balanced, &video, &timeout, 1200), ERROR_SUCCESS);
  EXPECT_EQ(Ini(pc.ini(), "Plan0", key.c_str()), "600,1200");
  EXPECT_EQ(Ini(pc.ini(), "Applied", key.c_str()), "600,300") << "what the machine runs on is unchanged";
  EXPECT_EQ(AppliedDc(pc, g::kVideoTimeout), 300u);
  ASSERT_EQ(sys.PowerSetActiveScheme(nullptr, &balanced), ERROR_SUCCESS);
  EXPECT_EQ(AppliedDc(pc, g::kVideoTimeout), 1200u);
  EXPECT_EQ(Ini(pc.ini(), "Applied", key.c_str()), "600,1200");
  EXPECT_EQ(Ini(pc.ini(), "Applied", "Plan"), Text(g::kBalanced));

  // An XP machine has none of these functions.
  PlanTestMachine xp(SimPowerBackend::Xp);
  EXPECT_EQ(xp.machine().PowerGetActiveScheme(nullptr, &active), ERROR_CALL_NOT_IMPLEMENTED);
  EXPECT_EQ(xp.machine().PowerReadSettingAttributes(&video, &timeout), 0u);
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_CALL_NOT_IMPLEMENTED));
}

// The plans' values and the active plan outlive a restart end to end; here what no run changes.
TEST(PlanBackEndTest, ThePlanStoreSurvivesTheStateFileAndAnOldFileStaysAnXpMachine) {
  testing::TempDir dir;
  const std::string ini = dir.File("plans.ini");
  SimState state = testing::PlanLaptop();
  state.plans.plans[1].name = L" Caf\u00e9 \\ \u65e5\u672c ";  // wide, a backslash, blanks at both ends
  state.plans.policy_locked = g::kVideoTimeout;
  state.plans.writes_ignored = g::kDiskTimeout;
  state.plans.power_modes = true;
  state.plans.mode_dc = g::kModeBestEfficiency;
  ASSERT_TRUE(SaveState(ini, state));
  SimState read;
  ASSERT_TRUE(LoadState(ini, read));
  EXPECT_EQ(read.power_backend, SimPowerBackend::Plans);
  ASSERT_EQ(read.plans.plans.size(), 3u);
  EXPECT_EQ(read.plans.plans[1].name, state.plans.plans[1].name);
  EXPECT_EQ(read.plans.plans[2].personality, g::kPowerSaver);
  EXPECT_EQ(read.plans.policy_locked, g::kVideoTimeout);
  EXPECT_EQ(read.plans.writes_ignored, g::kDiskTimeout);
  EXPECT_TRUE(read.plans.power_modes);
  EXPECT_EQ(read.plans.mode_dc, g::kModeBestEfficiency);
  EXPECT_EQ(read.plans.applied.size(), SimSettings().size());

  // A file from before the plans: an XP machine with the default plans in reserve.
  ASSERT_TRUE(::WritePrivateProfileStringA("Machine", "PowerBackend", nullptr, ini.c_str()));
  ASSERT_TRUE(::WritePrivateProfileStringA("Plans", nullptr, nullptr, ini.c_str()));
  ASSERT_TRUE(LoadState(ini, read));
  EXPECT_EQ(read.power_backend, SimPowerBackend::Xp);
  EXPECT_EQ(read.plans.plans.size(), 3u);
  EXPECT_EQ(read.plans.active, g::kBalanced);
}

}  // namespace
}  // namespace vantrel::power
