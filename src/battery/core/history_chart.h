// The history's two charts as geometry: the page draws it with GDI, the report writes it as
// SVG, so that both show the same thing. Portable.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "battery/core/history.h"

namespace vantrel::battery::history {

// Colours as 0xRRGGBB, the same on the page and in the report.
inline constexpr uint32_t kFullColour = 0x318C26;
inline constexpr uint32_t kDesignColour = 0x8E98A2;
inline constexpr uint32_t kChargeColour = 0x2C6CB0;
inline constexpr uint32_t kMainsBandColour = 0xE4F1DF;
inline constexpr uint32_t kBatteryBandColour = 0xFBE9D0;
inline constexpr uint32_t kGridColour = 0xD9DFE4;
inline constexpr uint32_t kTextColour = 0x2A3038;

struct Point {
  double x = 0, y = 0;
};
struct Area {
  double left = 0, top = 0, right = 0, bottom = 0;
  double width() const noexcept { return right - left; }
  double height() const noexcept { return bottom - top; }
};
struct Tick {
  double at = 0;  // x for the time axis, y for the value axis
  std::string label;
};
// A stretch of time on mains (charging or resting) or on battery, shaded behind the line.
struct Band {
  double left = 0, right = 0;
  bool on_battery = false;
};

struct Chart {
  Area plot;
  // Polylines: a gap between two of them is time the program did not see. A line of one point
  // is a lone sample, drawn as a dot.
  std::vector<std::vector<Point>> lines;
  std::vector<std::vector<Point>> reference;  // the capacity chart's design capacity
  std::vector<Band> bands;
  std::vector<Tick> x_ticks, y_ticks;
  uint32_t line_colour = kChargeColour;
  bool empty() const noexcept { return lines.empty(); }
};

// The days shown by the charge chart, back from now.
inline constexpr int64_t kChargeChartSpan = 3 * kDay;
// The capacity chart shows at least this much time.
inline constexpr int64_t kCapacityChartMinSpan = 30 * kDay;

// Full-charged capacity (lines) and design capacity (reference) of a series over all its
// records, in Wh on the value axis.
Chart CapacityChart(const History& history, int battery, int64_t now, int64_t utc_offset, Area plot);
// Charge in per cent over the last three days, with the mains and battery stretches.
Chart ChargeChart(const History& history, int battery, int64_t now, int64_t utc_offset, Area plot);

// A series' figures for the page and the report: the newest capacities, the wear, and the run
// time at full charge now and when new at the observed discharge rate (0 when unknown).
struct SeriesFigures {
  uint32_t full = kUnknown, design = 0, cycles = 0;
  unsigned wear = 0;
  uint32_t rate = 0;  // mW
  uint64_t run_time_now = 0, run_time_new = 0;
  bool has_capacity = false;
};
SeriesFigures FiguresOf(const History& history, int battery);

}  // namespace vantrel::battery::history
