// The battery history: what is recorded of each battery over time, and the file that keeps it
// (docs/battery-history.md describes the format). Portable: the recorder on the Windows side
// reads and writes the bytes; everything about their meaning is here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel::battery::history {

// Times are seconds since 1970-01-01 UTC; days are local days since then.
inline constexpr int64_t kDay = 86400;
inline constexpr int64_t kSampleOnBattery = 300;    // every 5 minutes on battery
inline constexpr int64_t kSampleOnMains = 900;      // every 15 minutes on mains
inline constexpr int64_t kWriteEvery = 900;         // the file is written at most this often
inline constexpr int64_t kKeepSamples = 30 * kDay;  // samples and events older than this go
inline constexpr uint32_t kUnknown = 0xFFFFFFFFu;   // a capacity that could not be read

// What tells one battery from another: a battery swapped for another starts its own series.
struct Identity {
  std::string unique_id, serial, name, maker, chemistry;
  uint32_t design = 0;  // mWh; 0 for a battery that reports relative capacities
  bool operator==(const Identity&) const = default;
};

// How a battery is powered at a sample.
enum class Flow : char { kUnknown = 'U', kDischarging = 'D', kCharging = 'C', kMains = 'A' };

struct Battery {
  int id = 0;  // the series number in the file
  int64_t first_seen = 0;
  Identity identity;
};

// Once a day, and whenever one of the figures changes.
struct Capacity {
  int battery = 0;
  int64_t time = 0;
  uint32_t full = kUnknown, design = 0, cycles = 0;
};

struct Sample {
  int battery = 0;
  int64_t time = 0;
  int charge = -1;                // per cent, -1 unknown
  uint32_t remaining = kUnknown;  // mWh
  Flow flow = Flow::kUnknown;
};

// Machine-wide: the program starting and ending, sleep and wake, and changes of power source.
// A start, an end or a sleep between two samples makes a gap in the charge line.
enum class Event : char { kStart = 'S', kStop = 'X', kSuspend = 'Z', kResume = 'R', kSource = 'P' };
struct Mark {
  int64_t time = 0;
  Event event = Event::kStart;
};

// One battery's day, kept for good once the day is over.
struct DaySummary {
  int battery = 0;
  int64_t day = 0;  // local days since 1970-01-01
  uint32_t seconds_on_battery = 0;
  uint32_t sessions = 0;       // discharge sessions that began that day
  uint32_t drained_mwh = 0;    // energy drawn while discharging
  uint32_t drain_seconds = 0;  // time over which it was drawn (samples of known capacity)
  // mW, 0 when nothing was measured.
  uint32_t average_rate() const noexcept {
    return drain_seconds ? static_cast<uint32_t>(uint64_t{drained_mwh} * 3600 / drain_seconds) : 0;
  }
};

struct History {
  std::vector<Battery> batteries;
  std::vector<Capacity> capacities;
  std::vector<Sample> samples;
  std::vector<Mark> marks;
  std::vector<DaySummary> days;

  // The series of a battery with this identity, or -1.
  int Find(const Identity& identity) const;
  // Its series, started now when there is none yet.
  int Series(const Identity& identity, int64_t now);
  const Battery* battery(int id) const;
  // The newest capacity record of a series, or null.
  const Capacity* LastCapacity(int id) const;
  // The newest summary of a series, or null.
  const DaySummary* LastDay(int id) const;
};

// ---- the file ----

// The first line of every history file: the format's name and version.
std::string_view Header();

enum class ReadStatus { kEmpty, kRead, kWrongFormat };
struct ReadResult {
  ReadStatus status = ReadStatus::kEmpty;
  unsigned damaged = 0;   // whole lines that were not records and were skipped
  bool cut_tail = false;  // the file ends in a record cut short
};
// Reads a file's bytes into `history` (appending). A file that does not start with Header()
// (other than an empty one) is of another format and gives nothing.
ReadResult Read(std::string_view bytes, History& history);

// One line of the file each, ending in a line feed.
std::string Line(const Battery& b);
std::string Line(const Capacity& c);
std::string Line(const Sample& s);
std::string Line(const Mark& m);
std::string Line(const DaySummary& d);

// The whole file for `history`: the header, then every record.
std::string Encode(const History& history);

// Drops samples and marks older than `now` − kKeepSamples; the rest stays.
void Compact(History& history, int64_t now);

// ---- figures ----

// Local day of a time, with the local offset from UTC in seconds.
int64_t DayOf(int64_t time, int64_t utc_offset) noexcept;
// "YYYY-MM-DD" of a local day.
std::string DateText(int64_t day);

// A series' samples in time order, cut into runs wherever the program was not watching: a
// start, an end, a sleep or a wake between two samples, or a silence much longer than the
// sampling period.
std::vector<std::vector<Sample>> Runs(const History& history, int battery, int64_t from, int64_t to);

// The summary of one local day of a series, from its samples.
DaySummary Summarize(const History& history, int battery, int64_t day, int64_t utc_offset);

// Summaries for every day before `today` that has samples and no summary yet, oldest first.
std::vector<DaySummary> DueSummaries(const History& history, int battery, int64_t today, int64_t utc_offset);

// Wear in per cent: 100 × (1 − full / design), 0 when either is unknown.
unsigned WearPercent(uint32_t full, uint32_t design) noexcept;

// The discharge rate observed over the samples kept, or, without them, the summaries: mW, 0 when
// the battery was never seen discharging.
uint32_t ObservedRate(const History& history, int battery);
// Seconds a capacity lasts at a rate; 0 when either is unknown.
uint64_t RunTime(uint32_t capacity_mwh, uint32_t rate_mw) noexcept;

}  // namespace vantrel::battery::history
