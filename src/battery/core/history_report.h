// The battery report: one HTML file that holds everything it shows (the charts as inline SVG,
// the tables beside them), runs no script and refers to nothing outside itself, so that it can
// be kept, mailed or opened anywhere. Texts in the current language. Portable.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "battery/core/history.h"
#include "battery/core/history_chart.h"

namespace vantrel::battery::history {

// Text for HTML: & < > " ' written as references.
std::string Escape(std::string_view text);

// A chart as an <svg> element of the given size (the chart's plot is laid out inside it).
std::string Svg(const Chart& chart, int width, int height);

// The whole report. `charset` names the code page the texts are in (for example
// "windows-1252"); `now` and `utc_offset` date it.
std::string ReportHtml(const History& history, int64_t now, int64_t utc_offset, std::string_view charset);

}  // namespace vantrel::battery::history
