// History files come from disks that crash and from anyone who edits them: whatever their
// bytes, reading one must not fail, what it reads must write back to a file that reads the
// same, and a damaged tail must not cost the records before it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "battery/core/history.h"
#include "battery/core/history_chart.h"
#include "battery/core/history_report.h"

namespace h = vantrel::battery::history;

static void Check(bool condition) {
  if (!condition) std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  h::History history;
  const h::ReadResult result = h::Read(bytes, history);
  if (result.status != h::ReadStatus::kRead) {
    Check(history.batteries.empty() && history.samples.empty() && history.capacities.empty());
    return 0;
  }
  // Written again, it reads the same, undamaged.
  const std::string again = h::Encode(history);
  h::History back;
  const h::ReadResult second = h::Read(again, back);
  Check(second.status == h::ReadStatus::kRead && second.damaged == 0 && !second.cut_tail);
  Check(h::Encode(back) == again);

  // Every record of the file survives a cut anywhere after it, and nothing is invented.
  h::History shorter;
  h::Read(bytes.substr(0, size / 2), shorter);
  Check(shorter.samples.size() <= history.samples.size() && shorter.batteries.size() <= history.batteries.size());

  // The figures, the charts and the report of whatever was read.
  const int64_t now = 1767225600;
  for (const h::Battery& b : history.batteries) {
    h::FiguresOf(history, b.id);
    h::ChargeChart(history, b.id, now, 0, {0, 0, 200, 100});
    h::CapacityChart(history, b.id, now, 0, {0, 0, 200, 100});
    if (history.batteries.size() > 4) break;
  }
  const std::string html = h::ReportHtml(history, now, 0, "windows-1252");
  Check(html.find("<script") == std::string::npos);
  return 0;
}
