#include "battery/core/history_chart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace vantrel::battery::history {

namespace {

constexpr int kMaxTimeTicks = 6;
constexpr int64_t kTickSteps[] = {1, 2, 7, 14, 30, 61, 91, 182, 365, 730};

// Maps times and values into the plot.
struct Scale {
  Area plot;
  double t0, t1, v0, v1;
  double X(int64_t t) const { return plot.left + (static_cast<double>(t) - t0) / (t1 - t0) * plot.width(); }
  double Y(double v) const { return plot.bottom - (v - v0) / (v1 - v0) * plot.height(); }
};

// "MM-DD" for short spans, "YYYY-MM" for long ones.
std::string DayLabel(int64_t day, bool long_span) {
  const std::string date = DateText(day);
  return long_span ? date.substr(0, 7) : date.substr(5);
}

// Ticks at local midnights, a whole number of days apart, at most kMaxTimeTicks of them.
std::vector<Tick> TimeTicks(const Scale& s, int64_t from, int64_t to, int64_t utc_offset) {
  const int64_t first = DayOf(from, utc_offset), last = DayOf(to, utc_offset);
  int64_t step = kTickSteps[std::size(kTickSteps) - 1];
  for (int64_t candidate : kTickSteps) {
    if ((last - first) / candidate < kMaxTimeTicks) {
      step = candidate;
      break;
    }
  }
  std::vector<Tick> ticks;
  for (int64_t day = (first / step + 1) * step; day <= last; day += step) {
    const int64_t at = day * kDay - utc_offset;
    if (at >= from && at <= to) ticks.push_back({s.X(at), DayLabel(day, step >= 30)});
  }
  return ticks;
}

// A round step for about four value ticks over [low, high].
double NiceStep(double span) {
  const double raw = span / 4;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (double m : {1.0, 2.0, 2.5, 5.0, 10.0})
    if (m * power >= raw) return m * power;
  return 10 * power;
}

std::string WattHours(double mwh) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", std::round(mwh / 100.0) / 10.0);
  return text;
}

}  // namespace

Chart CapacityChart(const History& h, int battery, int64_t now, int64_t utc_offset, Area plot) {
  Chart chart;
  chart.plot = plot;
  chart.line_colour = kFullColour;
  std::vector<Capacity> records;
  for (const Capacity& c : h.capacities)
    if (c.battery == battery && c.time <= now) records.push_back(c);
  std::stable_sort(records.begin(), records.end(),
                   [](const Capacity& a, const Capacity& b) { return a.time < b.time; });
  if (records.empty() || plot.width() < 1 || plot.height() < 1) return chart;

  const int64_t from = std::min(records.front().time, now - kCapacityChartMinSpan);
  double low = 1e18, high = 0;
  for (const Capacity& c : records) {
    for (uint32_t v : {c.full, c.design}) {
      if (v == kUnknown || v == 0) continue;
      low = std::min(low, static_cast<double>(v));
      high = std::max(high, static_cast<double>(v));
    }
  }
  if (high <= 0) return chart;
  // Room around the lines, on round values; a fade of a few per cent stays visible.
  const double step = NiceStep(std::max(high - low, high * 0.1));
  const double v0 = std::max(0.0, std::floor((low - step / 2) / step) * step);
  const double v1 = std::ceil((high + step / 4) / step) * step;
  const Scale s{plot, static_cast<double>(from), static_cast<double>(now), v0, v1};

  // Steps: a figure holds until the next record, the last one until now.
  auto trace = [&](uint32_t Capacity::*field) {
    std::vector<std::vector<Point>> lines(1);
    for (size_t i = 0; i < records.size(); ++i) {
      const uint32_t v = records[i].*field;
      if (v == kUnknown || v == 0) {
        if (!lines.back().empty()) lines.emplace_back();
        continue;
      }
      const double y = s.Y(v);
      if (!lines.back().empty()) lines.back().push_back({s.X(records[i].time), lines.back().back().y});
      lines.back().push_back({s.X(records[i].time), y});
      if (i + 1 == records.size()) lines.back().push_back({s.X(now), y});
    }
    std::erase_if(lines, [](const std::vector<Point>& line) { return line.empty(); });
    return lines;
  };
  chart.lines = trace(&Capacity::full);
  chart.reference = trace(&Capacity::design);
  chart.x_ticks = TimeTicks(s, from, now, utc_offset);
  for (double v = v0; v <= v1 + step / 2; v += step) chart.y_ticks.push_back({s.Y(v), WattHours(v)});
  return chart;
}

Chart ChargeChart(const History& h, int battery, int64_t now, int64_t utc_offset, Area plot) {
  Chart chart;
  chart.plot = plot;
  if (plot.width() < 1 || plot.height() < 1) return chart;
  const int64_t from = now - kChargeChartSpan;
  const Scale s{plot, static_cast<double>(from), static_cast<double>(now), 0, 100};
  int64_t band_end = INT64_MIN;
  for (const std::vector<Sample>& run : Runs(h, battery, from, now + 1)) {
    std::vector<Point> line;
    for (size_t i = 0; i < run.size(); ++i) {
      const Sample& a = run[i];
      if (a.charge < 0) {
        if (!line.empty()) chart.lines.push_back(std::move(line));
        line.clear();
      } else {
        line.push_back({s.X(a.time), s.Y(a.charge)});
      }
      if (i + 1 == run.size() || a.flow == Flow::kUnknown) continue;
      const bool on_battery = a.flow == Flow::kDischarging;
      const double right = s.X(run[i + 1].time);
      // Joined where the last band ended at this sample (compared in seconds: two computations
      // of one position need not give the same double on every processor).
      if (!chart.bands.empty() && chart.bands.back().on_battery == on_battery && band_end == a.time)
        chart.bands.back().right = right;
      else
        chart.bands.push_back({s.X(a.time), right, on_battery});
      band_end = run[i + 1].time;
    }
    if (!line.empty()) chart.lines.push_back(std::move(line));
  }
  chart.x_ticks = TimeTicks(s, from, now, utc_offset);
  for (int v = 0; v <= 100; v += 25) chart.y_ticks.push_back({s.Y(v), std::to_string(v)});
  return chart;
}

SeriesFigures FiguresOf(const History& h, int battery) {
  SeriesFigures f;
  if (const Capacity* last = h.LastCapacity(battery)) {
    f.has_capacity = true;
    f.full = last->full;
    f.design = last->design;
    f.cycles = last->cycles;
    f.wear = WearPercent(last->full, last->design);
  }
  f.rate = ObservedRate(h, battery);
  if (f.has_capacity) {
    f.run_time_now = RunTime(f.full, f.rate);
    f.run_time_new = f.design ? RunTime(f.design, f.rate) : 0;
  }
  return f;
}

}  // namespace vantrel::battery::history
