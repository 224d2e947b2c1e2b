#include "battery/core/history.h"

#include <algorithm>
#include <cstdio>

namespace vantrel::battery::history {

namespace {

constexpr std::string_view kHeader = "vantrel-history 1";
constexpr int kMaxSeries = 9999;
// A silence this many sampling periods long is a gap even without a mark.
constexpr int64_t kGapPeriods = 3;

// ---- fields ----

// Each line ends in " #" and a checksum of what precedes it, so that a line a crash left
// half-written, or filled with what the disk held, is told apart from a record.
uint32_t Checksum(std::string_view text) noexcept {
  uint32_t hash = 2166136261u;
  for (unsigned char c : text) hash = (hash ^ c) * 16777619u;
  return hash;
}

std::string Finish(std::string body) {
  char sum[16];
  std::snprintf(sum, sizeof sum, " #%08x\n", static_cast<unsigned>(Checksum(body)));
  return body + sum;
}

void AddNumber(std::string& line, int64_t value) {
  line += ' ';
  line += std::to_string(value);
}
void AddCapacity(std::string& line, uint32_t value) {
  if (value == kUnknown)
    line += " -";
  else
    AddNumber(line, value);
}
// Texts come from the device: blanks, '%', '#', '-' alone and control bytes are written as %XX.
void AddText(std::string& line, std::string_view text) {
  line += ' ';
  if (text.empty()) {
    line += '-';
    return;
  }
  for (unsigned char c : text) {
    if (c <= ' ' || c == '%' || c == '#' || c == 0x7F || (c == '-' && text.size() == 1)) {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", c);
      line += escaped;
    } else {
      line += static_cast<char>(c);
    }
  }
}

// Splits a line's body at single blanks.
std::vector<std::string_view> Fields(std::string_view body) {
  std::vector<std::string_view> fields;
  size_t start = 0;
  while (start <= body.size()) {
    const size_t blank = body.find(' ', start);
    const size_t end = blank == std::string_view::npos ? body.size() : blank;
    fields.push_back(body.substr(start, end - start));
    if (blank == std::string_view::npos) break;
    start = blank + 1;
  }
  return fields;
}

bool ParseNumber(std::string_view text, int64_t low, int64_t high, int64_t& out) {
  bool negative = !text.empty() && text[0] == '-';
  if (negative) text.remove_prefix(1);
  if (text.empty() || text.size() > 18) return false;
  int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (negative) value = -value;
  if (value < low || value > high) return false;
  out = value;
  return true;
}

template <class T>
bool ParseField(std::string_view text, int64_t low, int64_t high, T& out) {
  int64_t value = 0;
  if (!ParseNumber(text, low, high, value)) return false;
  out = static_cast<T>(value);
  return true;
}

bool ParseCapacity(std::string_view text, uint32_t& out) {
  if (text == "-") {
    out = kUnknown;
    return true;
  }
  return ParseField(text, 0, kUnknown - 1, out);
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool ParseText(std::string_view text, std::string& out) {
  out.clear();
  if (text == "-") return true;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return false;
    const int high = HexDigit(text[i + 1]), low = HexDigit(text[i + 2]);
    if (high < 0 || low < 0) return false;
    out += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return !out.empty();
}

constexpr int64_t kTimeLow = 0, kTimeHigh = 253402300799;  // up to the year 9999

// One record line (without its line feed) into `history`; false when it is not one.
bool ParseLine(std::string_view line, History& history) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  const size_t mark = line.rfind(" #");
  if (mark == std::string_view::npos || line.size() - mark != 10) return false;
  uint32_t sum = 0;
  for (char c : line.substr(mark + 2)) {
    const int digit = HexDigit(c);
    if (digit < 0) return false;
    sum = sum * 16 + static_cast<uint32_t>(digit);
  }
  const std::string_view body = line.substr(0, mark);
  if (Checksum(body) != sum) return false;
  const std::vector<std::string_view> f = Fields(body);
  if (f.empty() || f[0].size() != 1) return false;
  auto known = [&](int id) { return history.battery(id) != nullptr; };
  switch (f[0][0]) {
    case 'B': {
      Battery b;
      if (f.size() != 9 || !ParseField(f[1], 0, kMaxSeries, b.id) || known(b.id) ||
          !ParseField(f[2], kTimeLow, kTimeHigh, b.first_seen) || !ParseCapacity(f[3], b.identity.design))
        return false;
      Identity& i = b.identity;
      if (!ParseText(f[4], i.unique_id) || !ParseText(f[5], i.serial) || !ParseText(f[6], i.name) ||
          !ParseText(f[7], i.maker) || !ParseText(f[8], i.chemistry))
        return false;
      history.batteries.push_back(std::move(b));
      return true;
    }
    case 'C': {
      Capacity c;
      if (f.size() != 6 || !ParseField(f[1], 0, kMaxSeries, c.battery) || !known(c.battery) ||
          !ParseField(f[2], kTimeLow, kTimeHigh, c.time) || !ParseCapacity(f[3], c.full) ||
          !ParseCapacity(f[4], c.design) || !ParseField(f[5], 0, kUnknown, c.cycles))
        return false;
      history.capacities.push_back(c);
      return true;
    }
    case 'S': {
      Sample s;
      char flow = f.size() == 6 && f[5].size() == 1 ? f[5][0] : '\0';
      if (f.size() != 6 || !ParseField(f[1], 0, kMaxSeries, s.battery) || !known(s.battery) ||
          !ParseField(f[2], kTimeLow, kTimeHigh, s.time) || !ParseCapacity(f[4], s.remaining))
        return false;
      if (f[3] != "-" && !ParseField(f[3], 0, 100, s.charge)) return false;
      if (flow != 'U' && flow != 'D' && flow != 'C' && flow != 'A') return false;
      s.flow = static_cast<Flow>(flow);
      history.samples.push_back(s);
      return true;
    }
    case 'E': {
      Mark m;
      const char event = f.size() == 3 && f[2].size() == 1 ? f[2][0] : '\0';
      if (f.size() != 3 || !ParseField(f[1], kTimeLow, kTimeHigh, m.time)) return false;
      if (event != 'S' && event != 'X' && event != 'Z' && event != 'R' && event != 'P') return false;
      m.event = static_cast<Event>(event);
      history.marks.push_back(m);
      return true;
    }
    case 'D': {
      DaySummary d;
      if (f.size() != 7 || !ParseField(f[1], 0, kMaxSeries, d.battery) || !known(d.battery) ||
          !ParseField(f[2], 0, kTimeHigh / kDay, d.day) || !ParseField(f[3], 0, kDay, d.seconds_on_battery) ||
          !ParseField(f[4], 0, kDay, d.sessions) || !ParseField(f[5], 0, kUnknown, d.drained_mwh) ||
          !ParseField(f[6], 0, kDay, d.drain_seconds))
        return false;
      history.days.push_back(d);
      return true;
    }
    default:
      return false;
  }
}

int64_t PeriodOf(Flow flow) { return flow == Flow::kDischarging ? kSampleOnBattery : kSampleOnMains; }

bool Breaks(Event e) { return e != Event::kSource; }

// Samples of one series within [from, to), in time order.
std::vector<Sample> SeriesSamples(const History& h, int battery, int64_t from, int64_t to) {
  std::vector<Sample> found;
  for (const Sample& s : h.samples)
    if (s.battery == battery && s.time >= from && s.time < to) found.push_back(s);
  std::stable_sort(found.begin(), found.end(), [](const Sample& a, const Sample& b) { return a.time < b.time; });
  return found;
}

}  // namespace

// ---- the model ----

int History::Find(const Identity& identity) const {
  for (const Battery& b : batteries)
    if (b.identity == identity) return b.id;
  return -1;
}

int History::Series(const Identity& identity, int64_t now) {
  const int found = Find(identity);
  if (found >= 0) return found;
  int next = 0;
  for (const Battery& b : batteries) next = std::max(next, b.id + 1);
  batteries.push_back(Battery{next, now, identity});
  return next;
}

const Battery* History::battery(int id) const {
  for (const Battery& b : batteries)
    if (b.id == id) return &b;
  return nullptr;
}

const Capacity* History::LastCapacity(int id) const {
  const Capacity* last = nullptr;
  for (const Capacity& c : capacities)
    if (c.battery == id && (!last || c.time >= last->time)) last = &c;
  return last;
}

const DaySummary* History::LastDay(int id) const {
  const DaySummary* last = nullptr;
  for (const DaySummary& d : days)
    if (d.battery == id && (!last || d.day >= last->day)) last = &d;
  return last;
}

// ---- the file ----

std::string_view Header() { return kHeader; }

ReadResult Read(std::string_view bytes, History& history) {
  ReadResult result;
  if (bytes.empty()) return result;
  const size_t first_end = bytes.find('\n');
  if (first_end == std::string_view::npos) {
    // Only a header cut short is still ours (a crash while the file was being made).
    const bool ours = bytes.size() <= kHeader.size() && kHeader.substr(0, bytes.size()) == bytes;
    result.status = ours ? ReadStatus::kEmpty : ReadStatus::kWrongFormat;
    result.cut_tail = ours;
    return result;
  }
  std::string_view header = bytes.substr(0, first_end);
  if (!header.empty() && header.back() == '\r') header.remove_suffix(1);
  if (header != kHeader) {
    result.status = ReadStatus::kWrongFormat;
    return result;
  }
  result.status = ReadStatus::kRead;
  size_t start = first_end + 1;
  while (start < bytes.size()) {
    const size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) {
      result.cut_tail = true;
      break;
    }
    if (!ParseLine(bytes.substr(start, end - start), history)) ++result.damaged;
    start = end + 1;
  }
  return result;
}

std::string Line(const Battery& b) {
  std::string line = "B";
  AddNumber(line, b.id);
  AddNumber(line, b.first_seen);
  AddCapacity(line, b.identity.design);
  AddText(line, b.identity.unique_id);
  AddText(line, b.identity.serial);
  AddText(line, b.identity.name);
  AddText(line, b.identity.maker);
  AddText(line, b.identity.chemistry);
  return Finish(std::move(line));
}

std::string Line(const Capacity& c) {
  std::string line = "C";
  AddNumber(line, c.battery);
  AddNumber(line, c.time);
  AddCapacity(line, c.full);
  AddCapacity(line, c.design);
  AddNumber(line, c.cycles);
  return Finish(std::move(line));
}

std::string Line(const Sample& s) {
  std::string line = "S";
  AddNumber(line, s.battery);
  AddNumber(line, s.time);
  if (s.charge < 0)
    line += " -";
  else
    AddNumber(line, s.charge);
  AddCapacity(line, s.remaining);
  line += ' ';
  line += static_cast<char>(s.flow);
  return Finish(std::move(line));
}

std::string Line(const Mark& m) {
  std::string line = "E";
  AddNumber(line, m.time);
  line += ' ';
  line += static_cast<char>(m.event);
  return Finish(std::move(line));
}

std::string Line(const DaySummary& d) {
  std::string line = "D";
  AddNumber(line, d.battery);
  AddNumber(line, d.day);
  AddNumber(line, d.seconds_on_battery);
  AddNumber(line, d.sessions);
  AddNumber(line, d.drained_mwh);
  AddNumber(line, d.drain_seconds);
  return Finish(std::move(line));
}

std::string Encode(const History& h) {
  std::string text(kHeader);
  text += '\n';
  for (const Battery& b : h.batteries) text += Line(b);
  for (const Capacity& c : h.capacities) text += Line(c);
  for (const DaySummary& d : h.days) text += Line(d);
  for (const Mark& m : h.marks) text += Line(m);
  for (const Sample& s : h.samples) text += Line(s);
  return text;
}

void Compact(History& h, int64_t now) {
  const int64_t oldest = now - kKeepSamples;
  std::erase_if(h.samples, [&](const Sample& s) { return s.time < oldest; });
  std::erase_if(h.marks, [&](const Mark& m) { return m.time < oldest; });
}

// ---- figures ----

int64_t DayOf(int64_t time, int64_t utc_offset) noexcept {
  const int64_t local = time + utc_offset;
  return local >= 0 ? local / kDay : (local - kDay + 1) / kDay;
}

std::string DateText(int64_t day) {
  // Civil date from a day number (proleptic Gregorian calendar).
  const int64_t z = day + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t d = doy - (153 * mp + 2) / 5 + 1;
  const int64_t m = mp < 10 ? mp + 3 : mp - 9;
  const int64_t y = yoe + era * 400 + (m <= 2 ? 1 : 0);
  char text[32];
  std::snprintf(text, sizeof text, "%04lld-%02lld-%02lld", static_cast<long long>(y), static_cast<long long>(m),
                static_cast<long long>(d));
  return text;
}

std::vector<std::vector<Sample>> Runs(const History& h, int battery, int64_t from, int64_t to) {
  std::vector<std::vector<Sample>> runs;
  const std::vector<Sample> samples = SeriesSamples(h, battery, from, to);
  std::vector<int64_t> breaks;
  for (const Mark& m : h.marks)
    if (Breaks(m.event)) breaks.push_back(m.time);
  std::sort(breaks.begin(), breaks.end());
  for (size_t i = 0; i < samples.size(); ++i) {
    bool cut = i == 0;
    if (!cut) {
      const Sample& a = samples[i - 1];
      const Sample& b = samples[i];
      const auto mark = std::lower_bound(breaks.begin(), breaks.end(), a.time);
      // A mark at the time of the sample before it (the last one before a sleep or an end) closes
      // the run that sample ends.
      cut = b.time - a.time > kGapPeriods * PeriodOf(a.flow) || (mark != breaks.end() && *mark < b.time);
    }
    if (cut) runs.emplace_back();
    runs.back().push_back(samples[i]);
  }
  return runs;
}

DaySummary Summarize(const History& h, int battery, int64_t day, int64_t utc_offset) {
  DaySummary d;
  d.battery = battery;
  d.day = day;
  const int64_t start = day * kDay - utc_offset, end = start + kDay;
  // A day earlier too: a session that began yesterday is not counted again today.
  for (const std::vector<Sample>& run : Runs(h, battery, start - kDay, end)) {
    for (size_t i = 0; i < run.size(); ++i) {
      const Sample& b = run[i];
      if (b.time < start) continue;
      const bool draining = b.flow == Flow::kDischarging;
      if (draining && (i == 0 || run[i - 1].flow != Flow::kDischarging)) ++d.sessions;
      if (i == 0) continue;
      const Sample& a = run[i - 1];
      if (a.time < start || a.flow != Flow::kDischarging) continue;
      const auto seconds = static_cast<uint32_t>(b.time - a.time);
      d.seconds_on_battery += seconds;
      if (draining && a.remaining != kUnknown && b.remaining != kUnknown && a.remaining >= b.remaining) {
        d.drained_mwh += a.remaining - b.remaining;
        d.drain_seconds += seconds;
      }
    }
  }
  d.seconds_on_battery = std::min<uint32_t>(d.seconds_on_battery, kDay);
  d.drain_seconds = std::min<uint32_t>(d.drain_seconds, kDay);
  return d;
}

std::vector<DaySummary> DueSummaries(const History& h, int battery, int64_t today, int64_t utc_offset) {
  const DaySummary* last = h.LastDay(battery);
  std::vector<int64_t> days;
  for (const Sample& s : h.samples) {
    if (s.battery != battery) continue;
    const int64_t day = DayOf(s.time, utc_offset);
    if (day < today && (!last || day > last->day)) days.push_back(day);
  }
  std::sort(days.begin(), days.end());
  days.erase(std::unique(days.begin(), days.end()), days.end());
  std::vector<DaySummary> due;
  for (int64_t day : days) due.push_back(Summarize(h, battery, day, utc_offset));
  return due;
}

unsigned WearPercent(uint32_t full, uint32_t design) noexcept {
  if (design == 0 || design == kUnknown || full == kUnknown) return 0;
  return 100 - static_cast<unsigned>(uint64_t{std::min(full, design)} * 100 / design);
}

uint32_t ObservedRate(const History& h, int battery) {
  uint64_t drained = 0, seconds = 0;
  for (const std::vector<Sample>& run : Runs(h, battery, INT64_MIN, INT64_MAX)) {
    for (size_t i = 1; i < run.size(); ++i) {
      const Sample &a = run[i - 1], &b = run[i];
      if (a.flow != Flow::kDischarging || b.flow != Flow::kDischarging) continue;
      if (a.remaining == kUnknown || b.remaining == kUnknown || a.remaining < b.remaining) continue;
      drained += a.remaining - b.remaining;
      seconds += static_cast<uint64_t>(b.time - a.time);
    }
  }
  if (seconds == 0) {
    for (const DaySummary& d : h.days) {
      if (d.battery != battery) continue;
      drained += d.drained_mwh;
      seconds += d.drain_seconds;
    }
  }
  return seconds ? static_cast<uint32_t>(std::min<uint64_t>(drained * 3600 / seconds, kUnknown - 1)) : 0;
}

uint64_t RunTime(uint32_t capacity_mwh, uint32_t rate_mw) noexcept {
  if (rate_mw == 0 || capacity_mwh == kUnknown) return 0;
  return uint64_t{capacity_mwh} * 3600 / rate_mw;
}

}  // namespace vantrel::battery::history
