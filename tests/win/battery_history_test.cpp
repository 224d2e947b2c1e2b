// The battery history on the simulated laptop, its clock run fast: months of ageing recorded
// and shown, an exchanged battery, sleep, damaged and foreign files, a folder that cannot be
// written, the report, and the page's drawing objects.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "battery/battery_status.h"
#include "battery/history_page.h"
#include "battery/history_recorder.h"
#include "display/meter_window.h"
#include "framework/handles.h"
#include "history_ids.h"
#include "i18n/core/language_table.h"
#include "power/power_actions.h"
#include "win/test_support.h"

namespace vantrel {
namespace {

namespace h = battery::history;
using platform::sim::SimBattery;

constexpr long long kNewYear = 1767225600;  // 2026-01-01 00:00 UTC
constexpr double kHour = 3600;

SimBattery Battery(const char* serial) {
  SimBattery b = testing::SimLaptopBattery("42T4969", 93600, 93600, 80000, 0);
  b.serial_number = serial;
  b.unique_id = std::string("42T4969") + serial;
  b.fade_per_cycle = 0.0004;
  b.fade_per_year = 0.03;
  return b;
}

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class BatteryHistoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::sim::SimState state;
    state.time_scale = 0;  // time moves by Advance() only
    state.clock = kNewYear;
    state.routine_from = 9;  // on battery 9:00 to 13:00, on mains the rest of the day
    state.routine_to = 13;
    state.batteries = {Battery(" 7392")};
    pc_.Boot(std::move(state));
    path_ = dir_.File("battery-history.txt");
    ASSERT_TRUE(host_.Create(600, 480));
  }
  void Start() { recorder_ = std::make_unique<battery::HistoryRecorder>(path_); }
  battery::CHistoryPage& OpenPage() {
    page_ = std::make_unique<battery::CHistoryPage>(host_.hwnd());
    EXPECT_TRUE(page_->Create());
    ::ShowWindow(page_->hwnd(), SW_SHOWNORMAL);
    return *page_;
  }
  // The meter's ticks, `step` simulated seconds apart, for `hours`.
  void Run(double hours, double step) {
    power::PowerPlatform platform;
    for (double t = 0; t < hours * kHour; t += step) {
      pc_.machine().Advance(step);
      const battery::MeterFigures figures = battery::ComputeMeterFigures(platform, settings::AppSettings{});
      recorder_->OnTick(&figures, false, platform);
    }
  }
  const h::History& history() const { return recorder_->history(); }

  testing::TempDir dir_;
  testing::PowerTestMachine pc_;
  std::string path_;
  std::unique_ptr<battery::HistoryRecorder> recorder_;
  testing::ControlHost host_;
  std::unique_ptr<battery::CHistoryPage> page_;
};

// The wear, the cycles and the daily summaries half a year brings are shown end to end.
TEST_F(BatteryHistoryTest, SixMonthsOfAgeingAreKeptWholeAndDrawn) {
  Start();
  Run(181 * 24, 2 * kHour);
  Run(48, 300);  // the last days sampled as the meter does: every 5 minutes on battery
  recorder_->Close();
  // The file holds exactly what the recorder holds.
  h::History read;
  const std::string bytes = FileBytes(path_);
  EXPECT_EQ(h::Read(bytes, read).damaged, 0u);
  EXPECT_EQ(h::Encode(read), h::Encode(history()));
  EXPECT_LT(bytes.size(), 200000u);

  // The fading line: higher at the left than at the right.
  HWND page = OpenPage().hwnd(), chart = ::GetDlgItem(page, IDC_HISTORY_CAPACITY_CHART);
  ::UpdateWindow(page);
  RECT r{};
  ::GetClientRect(chart, &r);
  auto line_top = [&](int x) {
    for (int y = 0; y < r.bottom; ++y)
      if (testing::WindowPixel(chart, x, y) == RGB(0x31, 0x8C, 0x26)) return y;
    return -1;
  };
  const int left = line_top(r.right * 2 / 5), right = line_top(r.right - 12);
  ASSERT_GE(left, 0);
  EXPECT_GT(right, left + 3) << "the full-charged capacity does not fall in the chart";
}

// The file is written before the machine sleeps; the gap a sleep leaves is followed the whole
// way in the next test.
TEST_F(BatteryHistoryTest, AnExchangedBatteryStartsItsOwnSeries) {
  Start();
  Run(48, 600);
  pc_.machine().ExchangeBattery(0, Battery(" 9001"));
  Run(24, 600);
  ASSERT_EQ(history().batteries.size(), 2u);
  EXPECT_EQ(history().batteries[1].identity.serial, " 9001");
  const auto runs_old = h::Runs(history(), 0, 0, INT64_MAX), runs_new = h::Runs(history(), 1, 0, INT64_MAX);
  ASSERT_FALSE(runs_old.empty());
  ASSERT_FALSE(runs_new.empty());
  EXPECT_LT(runs_old.back().back().time, runs_new.front().front().time);

  // The same battery put back continues its own series.
  pc_.machine().ExchangeBattery(0, Battery(" 7392"));
  Run(1, 600);
  EXPECT_EQ(history().batteries.size(), 2u);
  EXPECT_EQ(history().samples.back().battery, 0);
  const unsigned writes = recorder_->writes();
  recorder_->OnSuspend();
  EXPECT_EQ(recorder_->writes(), writes + 1);

  const battery::CHistoryPage& page = OpenPage();
  EXPECT_EQ(page.series().size(), 2u);
  EXPECT_EQ(page.series()[static_cast<size_t>(page.Selected())], 0);  // the battery sampled last
}

// The whole way: the machine tells its windows of the sleep, the meter tells its recorder.
TEST_F(BatteryHistoryTest, TheMeterRecordsTheMachinesSleep) {
  testing::DisplayTestScope scope(false);
  pc_.state().suspend_seconds = 3 * 3600;
  pc_.state().capabilities.SystemS3 = TRUE;
  display::MeterWindow meter(scope.settings());
  ASSERT_TRUE(meter.Create());
  ASSERT_NE(meter.history(), nullptr);
  testing::Pump(1500);  // a tick or so: the batteries seen
  ASSERT_EQ(power::SleepSystem(false, false), 0);
  testing::Pump(1500);
  std::string events;
  for (const h::Mark& m : meter.history()->history().marks) events += static_cast<char>(m.event);
  EXPECT_NE(events.find("ZR"), std::string::npos) << events;
  const auto runs =
      h::Runs(meter.history()->history(), meter.history()->history().samples.back().battery, 0, INT64_MAX);
  ASSERT_GE(runs.size(), 2u);
  EXPECT_GE(runs.back().front().time - runs[runs.size() - 2].back().time, 3 * 3600);
}

// What was in the file before the program starts, and what it says about it.
TEST_F(BatteryHistoryTest, DamagedForeignAndUnwritableFilesLoseNothingWhole) {
  h::History before;
  before.Series({"old", " 1", "old battery", "LGC", "LION", 50000}, kNewYear - 86400);
  before.capacities.push_back({0, kNewYear - 86400, 48000, 50000, 3});
  before.samples.push_back({0, kNewYear - 3600, 50, 24000, h::Flow::kMains});
  const std::string whole = h::Encode(before);
  const std::string foreign = "PK\x03\x04 not a history at all\n";
  struct Case {
    const char* what;
    std::string path;
    std::string bytes;   // empty: no file
    size_t old_series;   // series read from the file
    const char* notice;  // the start of what the page is told, "" for nothing
    bool written;
  };
  const std::string blocked = "Z:\\proc\\vantrel-history\\battery-history.txt";  // read-only even to root
  const Case cases[] = {
      {"cut mid-record", path_, whole + "S 0 1767225600 5", 1, "", true},
      {"another format", path_, foreign, 0,
       "The history file could not be read; it was kept as battery-history.txt.bad.", true},
      {"a folder that cannot be written", blocked, "", 0, "The history cannot be written to ", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ::DeleteFileA(path_.c_str());
    ::DeleteFileA((path_ + ".bad").c_str());
    if (!c.bytes.empty()) {
      ASSERT_TRUE(dir_.Write("battery-history.txt", c.bytes));
    }
    recorder_ = std::make_unique<battery::HistoryRecorder>(c.path);
    EXPECT_EQ(history().batteries.size(), c.old_series);
    Run(1, 300);  // recording goes on
    EXPECT_EQ(history().batteries.size(), c.old_series + 1);
    recorder_->Close();
    EXPECT_EQ(recorder_->notice().Text().rfind(c.notice, 0), 0u) << recorder_->notice().Text();
    if (std::strcmp(c.what, "another format") == 0) {
      EXPECT_EQ(FileBytes(path_ + ".bad"), foreign);
    }
    h::History after;
    const bool readable = battery::ReadHistoryFile(c.path, after);
    EXPECT_EQ(readable, c.written);
    if (!readable) continue;
    h::History check;
    const h::ReadResult clean = h::Read(FileBytes(c.path), check);
    EXPECT_TRUE(clean.damaged == 0 && !clean.cut_tail) << clean.damaged;
    EXPECT_EQ(after.batteries.size(), c.old_series + 1);
    EXPECT_EQ(after.samples.size(), history().samples.size());
  }
}

TEST_F(BatteryHistoryTest, TheReportIsWrittenAndOpened) {
  Start();
  Run(72, 1800);
  battery::CHistoryPage& page = OpenPage();
  page.report_folder = dir_.path();
  std::string opened;
  page.open_report = [&](HWND, const std::string& file) { opened = file; };
  ASSERT_TRUE(page.SaveReport());
  EXPECT_EQ(opened, dir_.File("Vantrel battery report 2026-01-04.html"));
  EXPECT_NE(FileBytes(opened).find("42T4969"), std::string::npos);
  EXPECT_EQ(testing::WindowText(::GetDlgItem(page.hwnd(), IDC_HISTORY_NOTICE)), "Report saved as " + opened);

  // A folder that does not exist: said so, nothing opened.
  opened.clear();
  page.report_folder = dir_.File("missing");
  EXPECT_FALSE(page.SaveReport());
  EXPECT_TRUE(opened.empty());
  EXPECT_EQ(
      testing::WindowText(::GetDlgItem(page.hwnd(), IDC_HISTORY_NOTICE)).rfind("The report could not be saved", 0), 0u);
}

TEST_F(BatteryHistoryTest, RepaintsAtAnySizeAndInEveryLanguageLeakNothing) {
  Start();
  Run(96, 900);
  const long gdi = fw::LiveGdiObjects(), user = fw::LiveUserObjects();
  const DWORD system_gdi = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
  i18n::LanguageTable languages(VANTREL_LANGUAGE_SOURCE_DIR);
  struct Restore {
    ~Restore() { i18n::InstallTexts(nullptr); }
  } restore;
  i18n::InstallTexts(&languages);
  for (const char* language : {"", "Deutsch", "Francais", "Russkiy"}) {
    SCOPED_TRACE(language);
    ASSERT_TRUE(languages.Load(language));
    const HWND page = OpenPage().hwnd();
    const SIZE sizes[] = {{432, 380}, {200, 150}, {880, 680}, {30, 20}};
    for (int i = 0; i < 40; ++i) {
      const SIZE s = sizes[i % 4];
      ::MoveWindow(page, 0, 0, s.cx, s.cy, TRUE);
      ::UpdateWindow(page);
      // The charts stay inside the page and clear of each other.
      RECT a{}, b{}, client{};
      ::GetWindowRect(::GetDlgItem(page, IDC_HISTORY_CAPACITY_CHART), &a);
      ::GetWindowRect(::GetDlgItem(page, IDC_HISTORY_CHARGE_CHART), &b);
      EXPECT_LE(a.bottom, b.top);
      ::GetClientRect(page, &client);
      ::MapWindowPoints(page, nullptr, reinterpret_cast<POINT*>(&client), 2);
      if (s.cx >= 200) {
        EXPECT_LE(b.bottom, client.bottom);
      }
    }
    EXPECT_FALSE(testing::WindowText(::GetDlgItem(page, IDC_HISTORY_WEAR)).empty());
  }
  page_.reset();
  EXPECT_EQ(fw::LiveGdiObjects(), gdi);
  EXPECT_EQ(fw::LiveUserObjects(), user);
  // The system's own count too, where it keeps one.
  EXPECT_LE(::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS), system_gdi + 2);
}

}  // namespace
}  // namespace vantrel
