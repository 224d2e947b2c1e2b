// The plan back end: the choice of interface, the XP-shaped view of a plan and its store, the
// plan operations, and no XP-era write while plans are in use.
#include "power/power_plans.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "power/power_backend.h"
#include "power/power_platform.h"
#include "win/plan_test_support.h"

namespace vantrel::power {
namespace {

namespace g = platform::guids;
using platform::PlanGuid;
using platform::sim::SimPowerBackend;
using testing::GuidText;
using testing::PlanTestMachine;

std::string Text(const PlanGuid& guid) { return platform::FormatGuid(guid); }

TEST(PowerBackendTest, ChosenByWhatTheSystemAnswers) {
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
    platform::sim::SimState state = platform::sim::DefaultLaptop();
    state.power_backend = row.machine;
    if (!row.plans_listed) state.plans.plans.clear();
    PlanTestMachine pc(std::move(state));
    EXPECT_EQ(CurrentPowerBackend(), row.chosen) << PowerBackendName(row.chosen);
  }
  EXPECT_EQ(CurrentPowerBackend(), PowerBackend::None) << "the machines are gone";
}

class PowerPlansTest : public ::testing::Test {
 protected:
  void SetUp() override { Reload(); }
  void Reload() {
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

TEST(PowerPlansLockTest, LockedSettingsAndWritesThatDoNotTakeAreReported) {
  platform::sim::SimState state = testing::PlanLaptop();
  state.plans.policy_locked = g::kVideoTimeout;
  state.plans.writes_ignored = g::kDiskTimeout;
  PlanTestMachine pc(std::move(state));
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
  ASSERT_EQ(calls().size(), 2u);
  EXPECT_EQ(calls()[0], "PowerWriteDCValueIndex " + GuidText(trip) + " " + Text(g::kVideoTimeout) + " 60");
  EXPECT_EQ(calls()[1], "PowerSetActiveScheme " + GuidText(trip));
  const auto applied = std::find_if(pc_.store().applied.begin(), pc_.store().applied.end(),
                                    [](const auto& v) { return v.setting == g::kVideoTimeout; });
  ASSERT_NE(applied, pc_.store().applied.end());
  EXPECT_EQ(applied->dc, 60u);

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
TEST(PowerPlansXpTest, NoXpWriteOnThePlanBackEnd) {
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

// The tray offers only the three modes; nothing else may reach the system.
TEST(PowerPlansModeTest, OnlyTheThreeModesAreSet) {
  platform::sim::SimState state = testing::PlanLaptop();
  state.plans.power_modes = true;
  PlanTestMachine pc(std::move(state));
  const PlanGuid before = pc.store().mode_ac;
  EXPECT_EQ(PowerPlans::SetPowerMode(false, PowerMode::Other), ERROR_INVALID_PARAMETER);
  EXPECT_TRUE(pc.store().mode_ac == before);
}

}  // namespace
}  // namespace vantrel::power
