#include "battery/core/history_report.h"

#include <algorithm>
#include <cstdio>

#include "battery/core/battery_figures.h"
#include "i18n/core/language_table.h"
#include "i18n/core/text_format.h"
#include "i18n/core/text_ids.h"

namespace vantrel::battery::history {

namespace {

constexpr int kChartWidth = 640, kChartHeight = 220;
// The plot inside a report chart: room for the value labels at the left and the dates below.
constexpr double kLeft = 44, kRight = 12, kTop = 10, kBottom = 26;

std::string Colour(uint32_t rgb) {
  char text[8];
  std::snprintf(text, sizeof text, "#%06x", static_cast<unsigned>(rgb & 0xFFFFFF));
  return text;
}

std::string Number(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", v);
  return text;
}

void Polylines(std::string& svg, const std::vector<std::vector<Point>>& lines, uint32_t colour, const char* extra) {
  for (const std::vector<Point>& line : lines) {
    if (line.size() == 1) {
      svg += "<circle cx=\"" + Number(line[0].x) + "\" cy=\"" + Number(line[0].y) + "\" r=\"2\" fill=\"" +
             Colour(colour) + "\"/>\n";
      continue;
    }
    svg += "<polyline fill=\"none\" stroke=\"" + Colour(colour) + "\" stroke-width=\"2\"" + extra + " points=\"";
    for (const Point& p : line) svg += Number(p.x) + "," + Number(p.y) + " ";
    svg += "\"/>\n";
  }
}

std::string Cell(const std::string& text, const char* tag = "td") {
  return std::string("<") + tag + ">" + Escape(text) + "</" + tag + ">";
}

std::string Row(std::initializer_list<std::string> cells, const char* tag = "td") {
  std::string row = "<tr>";
  for (const std::string& c : cells) row += Cell(c, tag);
  return row + "</tr>\n";
}

std::string Figure(uint32_t value) {
  return value == kUnknown ? i18n::Text(i18n::IDS_BATTERY_UNKNOWN) : std::to_string(value);
}

std::string RunTimeText(uint64_t seconds) {
  return seconds ? TimeText(seconds) : i18n::Text(i18n::IDS_BATTERY_UNKNOWN);
}

// A label from the language file without the colon that ends it on the Batteries page.
std::string Label(int id) {
  std::string text = i18n::Text(id);
  while (!text.empty() && (text.back() == ':' || text.back() == ' ')) text.pop_back();
  return text;
}

Area ReportPlot() { return {kLeft, kTop, kChartWidth - kRight, kChartHeight - kBottom}; }

void Legend(std::string& html, std::initializer_list<std::pair<uint32_t, int>> keys) {
  html += "<p class=\"legend\">";
  for (const auto& [colour, text] : keys)
    html += "<span style=\"background:" + Colour(colour) + "\"></span> " + Escape(i18n::Text(text)) + " ";
  html += "</p>\n";
}

void BatterySection(std::string& html, const History& h, const Battery& b, int64_t now, int64_t utc_offset) {
  const Identity& id = b.identity;
  const SeriesFigures f = FiguresOf(h, b.id);
  html += "<section>\n<h2>" + Escape(id.name.empty() ? "?" : id.name) + "</h2>\n<table class=\"facts\">\n";
  html += Row({Label(i18n::IDS_BATTERY_MANUFACTURE_NAME), id.maker});
  html += Row({Label(i18n::IDS_BATTERY_SERIAL_NUMBER), id.serial});
  html += Row({Label(i18n::IDS_BATTERY_UNIQUE_ID), id.unique_id});
  html += Row({Label(i18n::IDS_BATTERY_CHEMISTRY), id.chemistry});
  html += Row({Label(i18n::IDS_BATTERY_DESIGN_CAPACITY), Figure(f.has_capacity ? f.design : id.design) + " mWh"});
  if (f.has_capacity) {
    html += Row({Label(i18n::IDS_BATTERY_FULL_CHARGED_CAPACITY), Figure(f.full) + " mWh"});
    html += Row({Label(i18n::IDS_BATTERY_WEAR), std::to_string(f.wear) + " %"});
    html += Row({Label(i18n::IDS_BATTERY_CYCLE_COUNT), std::to_string(f.cycles)});
  }
  html += "</table>\n<p>" +
          Escape(i18n::FormatText(i18n::Text(i18n::IDS_HISTORY_RUN_TIME),
                                  {RunTimeText(f.run_time_now), RunTimeText(f.run_time_new)})) +
          "</p>\n";

  html += "<h3>" + Escape(i18n::Text(i18n::IDS_HISTORY_CAPACITY_CHART)) + "</h3>\n<div class=\"pair\">\n";
  html += Svg(CapacityChart(h, b.id, now, utc_offset, ReportPlot()), kChartWidth, kChartHeight);
  // Beside the chart: the first record of each month and the newest.
  html += "<table>\n" + Row({i18n::Text(i18n::IDS_HISTORY_DATE), i18n::Text(i18n::IDS_HISTORY_FULL),
                             i18n::Text(i18n::IDS_HISTORY_DESIGN), Label(i18n::IDS_BATTERY_CYCLE_COUNT),
                             i18n::Text(i18n::IDS_HISTORY_WEAR_COLUMN)},
                            "th");
  std::vector<Capacity> records;
  for (const Capacity& c : h.capacities)
    if (c.battery == b.id) records.push_back(c);
  std::stable_sort(records.begin(), records.end(),
                   [](const Capacity& x, const Capacity& y) { return x.time < y.time; });
  std::string month;
  for (size_t i = 0; i < records.size(); ++i) {
    const Capacity& c = records[i];
    const std::string date = DateText(DayOf(c.time, utc_offset));
    if (date.compare(0, 7, month) == 0 && i + 1 != records.size()) continue;
    month = date.substr(0, 7);
    html += Row({date, Figure(c.full), Figure(c.design), std::to_string(c.cycles),
                 std::to_string(WearPercent(c.full, c.design))});
  }
  html += "</table>\n</div>\n";
  Legend(html, {{kFullColour, i18n::IDS_HISTORY_FULL}, {kDesignColour, i18n::IDS_HISTORY_DESIGN}});

  html += "<h3>" + Escape(i18n::Text(i18n::IDS_HISTORY_CHARGE_CHART)) + "</h3>\n";
  html += Svg(ChargeChart(h, b.id, now, utc_offset, ReportPlot()), kChartWidth, kChartHeight);
  Legend(html, {{kMainsBandColour, i18n::IDS_HISTORY_ON_MAINS}, {kBatteryBandColour, i18n::IDS_HISTORY_ON_BATTERY}});

  html += "<h3>" + Escape(i18n::Text(i18n::IDS_HISTORY_DAILY)) + "</h3>\n<table>\n" +
          Row({i18n::Text(i18n::IDS_HISTORY_DATE), i18n::Text(i18n::IDS_HISTORY_TIME_ON_BATTERY),
               i18n::Text(i18n::IDS_HISTORY_SESSIONS), i18n::Text(i18n::IDS_HISTORY_AVERAGE_RATE)},
              "th");
  std::vector<DaySummary> days;
  for (const DaySummary& d : h.days)
    if (d.battery == b.id) days.push_back(d);
  std::stable_sort(days.begin(), days.end(), [](const DaySummary& x, const DaySummary& y) { return x.day > y.day; });
  for (const DaySummary& d : days) {
    html += Row({DateText(d.day), TimeText(d.seconds_on_battery), std::to_string(d.sessions),
                 d.average_rate() ? std::to_string(d.average_rate()) : "-"});
  }
  html += "</table>\n</section>\n";
}

}  // namespace

std::string Escape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
        break;
    }
  }
  return out;
}

std::string Svg(const Chart& chart, int width, int height) {
  const Area& p = chart.plot;
  std::string svg = "<svg width=\"" + std::to_string(width) + "\" height=\"" + std::to_string(height) +
                    "\" viewBox=\"0 0 " + std::to_string(width) + " " + std::to_string(height) + "\">\n";
  for (const Band& band : chart.bands) {
    svg += "<rect x=\"" + Number(band.left) + "\" y=\"" + Number(p.top) + "\" width=\"" +
           Number(band.right - band.left) + "\" height=\"" + Number(p.height()) + "\" fill=\"" +
           Colour(band.on_battery ? kBatteryBandColour : kMainsBandColour) + "\"/>\n";
  }
  for (const Tick& t : chart.y_ticks) {
    svg += "<line x1=\"" + Number(p.left) + "\" y1=\"" + Number(t.at) + "\" x2=\"" + Number(p.right) + "\" y2=\"" +
           Number(t.at) + "\" stroke=\"" + Colour(kGridColour) + "\"/>\n";
    svg += "<text x=\"" + Number(p.left - 4) + "\" y=\"" + Number(t.at + 4) + "\" text-anchor=\"end\">" +
           Escape(t.label) + "</text>\n";
  }
  for (const Tick& t : chart.x_ticks) {
    svg += "<line x1=\"" + Number(t.at) + "\" y1=\"" + Number(p.top) + "\" x2=\"" + Number(t.at) + "\" y2=\"" +
           Number(p.bottom) + "\" stroke=\"" + Colour(kGridColour) + "\"/>\n";
    svg += "<text x=\"" + Number(t.at) + "\" y=\"" + Number(p.bottom + 16) + "\" text-anchor=\"middle\">" +
           Escape(t.label) + "</text>\n";
  }
  svg += "<rect x=\"" + Number(p.left) + "\" y=\"" + Number(p.top) + "\" width=\"" + Number(p.width()) +
         "\" height=\"" + Number(p.height()) + "\" fill=\"none\" stroke=\"" + Colour(kTextColour) + "\"/>\n";
  Polylines(svg, chart.reference, kDesignColour, " stroke-dasharray=\"6 4\"");
  Polylines(svg, chart.lines, chart.line_colour, "");
  if (chart.empty()) {
    svg += "<text x=\"" + Number((p.left + p.right) / 2) + "\" y=\"" + Number((p.top + p.bottom) / 2) +
           "\" text-anchor=\"middle\">" + Escape(i18n::Text(i18n::IDS_HISTORY_NOTHING)) + "</text>\n";
  }
  return svg + "</svg>\n";
}

std::string ReportHtml(const History& h, int64_t now, int64_t utc_offset, std::string_view charset) {
  const std::string title = i18n::Text(i18n::IDS_HISTORY_REPORT_TITLE);
  std::string html = "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"" + Escape(charset) + "\">\n<title>" +
                     Escape(title) + "</title>\n";
  html +=
      "<style>\n"
      "body { font-family: Tahoma, Verdana, sans-serif; font-size: 14px; color: #2a3038; margin: 24px; }\n"
      "h1 { font-size: 22px; } h2 { font-size: 18px; border-bottom: 1px solid #c9d0d6; }\n"
      "h3 { font-size: 15px; margin-bottom: 4px; }\n"
      "table { border-collapse: collapse; margin: 4px 0; vertical-align: top; }\n"
      "th, td { border: 1px solid #d9dfe4; padding: 2px 8px; text-align: left; }\n"
      "table.facts td:first-child { font-weight: bold; }\n"
      ".pair { display: flex; flex-wrap: wrap; gap: 16px; align-items: flex-start; }\n"
      "svg { font-size: 11px; background: #fff; }\n"
      ".legend span { display: inline-block; width: 14px; height: 10px; border: 1px solid #8e98a2; }\n"
      "</style>\n</head>\n<body>\n";
  html += "<h1>" + Escape(title) + "</h1>\n<p>" +
          Escape(i18n::FormatText(i18n::Text(i18n::IDS_HISTORY_MADE_ON), {DateText(DayOf(now, utc_offset))})) +
          "</p>\n";
  if (h.batteries.empty()) html += "<p>" + Escape(i18n::Text(i18n::IDS_HISTORY_NOTHING)) + "</p>\n";
  for (const Battery& b : h.batteries) BatterySection(html, h, b, now, utc_offset);
  return html + "</body>\n</html>\n";
}

}  // namespace vantrel::battery::history
