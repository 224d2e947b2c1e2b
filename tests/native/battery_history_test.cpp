// The battery history: its file survives crashes and strangers, keeps its size, and its
// figures, charts and report show what was recorded.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "battery/core/history.h"
#include "battery/core/history_chart.h"
#include "battery/core/history_report.h"

namespace vantrel::battery::history {
namespace {

constexpr int64_t kT0 = 1767225600;  // 2026-01-01 00:00 UTC

// Awkward texts as devices report them: blanks, the file's own marks, a lone dash, Latin-1.
History Example() {
  History h;
  h.batteries = {{0, kT0, {"id 1%#", " 7392", "42T4969", "-", "LION", 93600}},
                 {1, kT0 + 5, {"", "\xE9t\xE9", "bay", "SANYO", "LiP", 0}}};
  h.capacities = {{0, kT0, 93550, 93600, 12}, {1, kT0, kUnknown, 0, 0}};
  h.samples = {{0, kT0, 81, 75000, Flow::kDischarging}, {1, kT0 + 300, -1, kUnknown, Flow::kUnknown}};
  h.marks = {{kT0 + 600, Event::kSuspend}, {kT0 + 900, Event::kResume}};
  h.days = {{0, 20454, 3600, 2, 14500, 3600}};
  return h;
}

size_t Count(const History& h) {
  return h.batteries.size() + h.capacities.size() + h.samples.size() + h.marks.size() + h.days.size();
}

// What is written reads back the same; damage loses only what was damaged.
TEST(BatteryHistoryFile, ReadsBackWhatWasWrittenDamageLosesOnlyTheDamagedRecordsAndAYearFits) {
  const std::string whole = Encode(Example());
  const size_t records = Count(Example());
  const size_t last_line = whole.rfind('\n', whole.size() - 2) + 1;
  struct Case { const char* what; std::string bytes; ReadStatus status; size_t kept; unsigned damaged; bool cut; };
  std::string flipped = whole;
  flipped[whole.find("\nS ") + 12] ^= 1;  // a digit of the first sample's time
  std::string dos;
  for (char c : whole) dos += c == '\n' ? std::string("\r\n") : std::string(1, c);
  const Case cases[] = {
      {"whole", whole, ReadStatus::kRead, records, 0, false},
      {"cut mid-record", whole.substr(0, last_line + 7), ReadStatus::kRead, records - 1, 0, true},
      {"a byte changed", flipped, ReadStatus::kRead, records - 1, 1, false},
      {"zeros after a crash", whole + std::string(40, '\0') + "\n", ReadStatus::kRead, records, 1, false},
      {"CR LF line ends", dos, ReadStatus::kRead, records, 0, false},
      {"a sample of no battery", whole + Line(Sample{7, kT0, 50, 1, Flow::kMains}), ReadStatus::kRead, records, 1,
       false},
      {"another format", "<?xml version=\"1.0\"?>\n<history/>\n", ReadStatus::kWrongFormat, 0, 0, false},
      {"a later version", "vantrel-history 2\n" + whole.substr(whole.find('\n') + 1), ReadStatus::kWrongFormat, 0, 0,
       false},
      {"no line end at all", "MZ\x90", ReadStatus::kWrongFormat, 0, 0, false},
      {"header cut short", "vantrel-hist", ReadStatus::kEmpty, 0, 0, true},
      {"empty", "", ReadStatus::kEmpty, 0, 0, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    History h;
    const ReadResult r = Read(c.bytes, h);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(Count(h), c.kept);
    EXPECT_EQ(r.damaged, c.damaged);
    EXPECT_EQ(r.cut_tail, c.cut);
    if (c.bytes == whole) {
      EXPECT_EQ(Encode(h), whole);
      EXPECT_EQ(h.batteries[1].identity.serial, "\xE9t\xE9");
    }
  }

  // Two batteries sampled every 5 minutes all day for a year, the worst case, compacted daily,
  // stay under a megabyte.
  History h;
  for (int b = 0; b < 2; ++b) h.Series({"u" + std::to_string(b), "s", "name", "maker", "LION", 93600}, kT0);
  size_t largest = 0;
  for (int day = 0; day < 365; ++day) {
    const int64_t start = kT0 + day * kDay;
    for (int b = 0; b < 2; ++b) h.capacities.push_back({b, start, 93600u - day * 20u, 93600, uint32_t(day)});
    for (int64_t t = start; t < start + kDay; t += kSampleOnBattery)
      for (int b = 0; b < 2; ++b) h.samples.push_back({b, t, 55, 51234, Flow::kDischarging});
    h.marks.push_back({start, Event::kStart});
    for (int b = 0; b < 2; ++b)
      for (const DaySummary& d : DueSummaries(h, b, DayOf(start, 0), 0)) h.days.push_back(d);
    // Largest just before a compaction; the steady state is reached after a month.
    if (day % 30 == 29 || day == 364) largest = std::max(largest, Encode(h).size());
    Compact(h, start + kDay);
  }
  EXPECT_LT(largest, 1000000u);
  EXPECT_EQ(h.days.size(), 2u * 364);  // every day but the running one summarised, and kept
}

// A day: on battery 9:00-10:00 and 14:00-14:30 with a sleep between, mains otherwise.
History ADay() {
  History h;
  h.Series({"u", "s", "n", "m", "LION", 50000}, kT0);
  auto run = [&](int64_t from, int64_t to, int64_t step, Flow flow, uint32_t start, int per_step) {
    uint32_t remaining = start;
    for (int64_t t = from; t <= to; t += step, remaining += per_step)
      h.samples.push_back({0, kT0 + t, int(remaining / 500), remaining, flow});
  };
  run(0, 9 * 3600 - 900, 900, Flow::kMains, 50000, 0);
  run(9 * 3600, 10 * 3600, 300, Flow::kDischarging, 50000, -1000);  // 12 W
  h.marks.push_back({kT0 + 10 * 3600 + 1, Event::kSuspend});
  h.marks.push_back({kT0 + 14 * 3600 - 1, Event::kResume});
  run(14 * 3600, 14 * 3600 + 1800, 300, Flow::kDischarging, 38000, -500);  // 6 W
  run(15 * 3600, 20 * 3600, 900, Flow::kCharging, 40000, 2000);
  h.marks.push_back({kT0 + 12 * 3600, Event::kSource});  // a change of source does not cut
  return h;
}

TEST(BatteryHistoryFigures, RunsSummariesRatesCompactionAndChartsFollowTheSamples) {
  const History h = ADay();
  const auto runs = Runs(h, 0, kT0, kT0 + kDay);
  ASSERT_EQ(runs.size(), 3u);  // cut by the sleep, and by the half hour without samples after it
  EXPECT_EQ(runs[0].back().time, kT0 + 10 * 3600);
  EXPECT_EQ(runs[1].front().time, kT0 + 14 * 3600);

  const DaySummary d = Summarize(h, 0, DayOf(kT0, 0), 0);
  EXPECT_EQ(d.sessions, 2u);
  EXPECT_EQ(d.seconds_on_battery, 3600u + 1800u);
  EXPECT_EQ(d.drained_mwh, 12000u + 3000u);
  EXPECT_EQ(d.average_rate(), 10000u);  // 15 Wh over 1.5 h
  EXPECT_EQ(ObservedRate(h, 0), 10000u);
  EXPECT_EQ(RunTime(50000, 10000), 5u * 3600);

  // Local days: the same samples an hour east of UTC still make one day, the next one none.
  EXPECT_EQ(DueSummaries(h, 0, DayOf(kT0, 0), 0).size(), 0u);  // the day is not over
  History done = h;
  done.days = DueSummaries(h, 0, DayOf(kT0, 0) + 1, 0);
  ASSERT_EQ(done.days.size(), 1u);
  EXPECT_TRUE(DueSummaries(done, 0, DayOf(kT0, 0) + 2, 0).empty());
  EXPECT_EQ(DateText(DayOf(kT0 - 1, 3600)), "2026-01-01");
  EXPECT_EQ(DateText(DayOf(kT0 - 1, 0)), "2025-12-31");
  EXPECT_EQ(WearPercent(84240, 93600), 10u);
  EXPECT_EQ(WearPercent(kUnknown, 93600), 0u);

  // Compaction keeps days and capacities for good.
  done.capacities.push_back({0, kT0, 50000, 50000, 1});
  Compact(done, kT0 + kKeepSamples + 12 * 3600);
  EXPECT_EQ(done.samples.front().time, kT0 + 12 * 3600 + 7200);  // the morning went, the evening stayed
  EXPECT_EQ(done.marks.size(), 2u);                              // the change of source, the resume
  EXPECT_EQ(done.capacities.size(), 1u);
  EXPECT_EQ(done.days.size(), 1u);
  Compact(done, kT0 + 60 * kDay);
  EXPECT_TRUE(done.samples.empty());
  EXPECT_EQ(FiguresOf(done, 0).rate, 10000u);  // the summaries still tell the rate

  // The charge chart shows gaps and sources, the capacity chart the fade.
  const Chart c = ChargeChart(h, 0, kT0 + kDay, 0, {0, 0, 300, 100});
  EXPECT_EQ(c.lines.size(), 3u);
  ASSERT_FALSE(c.bands.empty());
  EXPECT_FALSE(c.bands.front().on_battery);
  EXPECT_TRUE(c.bands[1].on_battery);
  // No band across the sleep: the space between 10:00 and 14:00 stays blank.
  const double ten = 300.0 * (2 * kDay + 10 * 3600) / (3 * kDay), two = 300.0 * (2 * kDay + 14 * 3600) / (3 * kDay);
  for (const Band& b : c.bands) EXPECT_FALSE(b.left < two - 1 && b.right > ten + 1) << b.left << " " << b.right;
  EXPECT_EQ(c.y_ticks.size(), 5u);
  EXPECT_TRUE(ChargeChart(h, 0, kT0 + 10 * kDay, 0, {0, 0, 300, 100}).empty());

  History aged;  // the capacity chart follows the fade
  aged.Series({"u", "s", "n", "m", "LION", 90000}, kT0);
  for (int day = 0; day <= 180; day += 10)
    aged.capacities.push_back({0, kT0 + day * kDay, 90000u - day * 50u, 90000, 0});
  const Chart fade = CapacityChart(aged, 0, kT0 + 180 * kDay, 0, {10, 10, 410, 210});
  ASSERT_EQ(fade.lines.size(), 1u);
  ASSERT_EQ(fade.reference.size(), 1u);
  EXPECT_LT(fade.lines[0].front().y, fade.lines[0].back().y - 50);  // the line falls by a quarter of the plot at least
  EXPECT_DOUBLE_EQ(fade.reference[0].front().y, fade.reference[0].back().y);
  EXPECT_NEAR(fade.lines[0].back().x, 410, 1e-9);
  for (const Tick& t : fade.x_ticks) EXPECT_EQ(t.label.size(), 7u) << t.label;  // months: YYYY-MM
  EXPECT_GE(fade.x_ticks.size(), 3u);
  for (const std::vector<Point>& line : fade.lines)
    for (const Point& p : line) EXPECT_TRUE(p.y >= 10 && p.y <= 210) << p.y;
}

// Tags of an HTML text, checked to nest; the void ones and SVG's self-closed ones stand alone.
bool Nests(const std::string& html) {
  std::vector<std::string> open;
  for (size_t at = html.find('<'); at != std::string::npos; at = html.find('<', at + 1)) {
    const size_t end = html.find('>', at);
    if (end == std::string::npos) return false;
    std::string tag = html.substr(at + 1, end - at - 1);
    if (tag[0] == '!' || tag.back() == '/') continue;
    const bool closing = tag[0] == '/';
    tag = tag.substr(closing ? 1 : 0, tag.find_first_of(" ") - (closing ? 1 : 0));
    if (tag == "meta") continue;
    if (!closing) {
      open.push_back(tag);
    } else if (open.empty() || open.back() != tag) {
      return false;
    } else {
      open.pop_back();
    }
  }
  return open.empty();
}

size_t Occurrences(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST(BatteryHistoryReport, IsOneSelfContainedPage) {
  History h = ADay();
  h.batteries[0].identity.name = "<script>&\"x\"";
  h.capacities.push_back({0, kT0, 45000, 50000, 3});
  h.days.push_back(Summarize(h, 0, DayOf(kT0, 0), 0));
  const std::string html = ReportHtml(h, kT0 + kDay, 0, "windows-1252");
  EXPECT_EQ(html.rfind("<!DOCTYPE html>", 0), 0u);
  EXPECT_TRUE(Nests(html));
  EXPECT_EQ(Occurrences(html, "<svg "), 2u);  // both charts, inline
  EXPECT_EQ(Occurrences(html, "<table"), 3u);
  for (const char* outside : {"<script", "http:", "https:", "src=", "url(", "href", "@import"})
    EXPECT_EQ(html.find(outside), std::string::npos) << outside;
  // The name escaped, the wear of 45000 of 50000 mWh, the day's time on battery, and the run
  // time when new at 10 W and now.
  for (const char* shown : {"<meta charset=\"windows-1252\">", "&lt;script&gt;&amp;&quot;x&quot;", "<td>10</td>",
                            "1:30:00", "5:00:00", "4:30:00"})
    EXPECT_NE(html.find(shown), std::string::npos) << shown;
}

}  // namespace
}  // namespace vantrel::battery::history
