// Records the battery history from the figures the meter reads anyway: the meter hands them
// over on its tick, and the recorder keeps them in memory and writes its file in batches (at
// most every 15 minutes, and when the program ends or the machine goes to sleep).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "battery/battery_platform.h"
#include "battery/core/battery_figures.h"
#include "battery/core/history.h"

namespace vantrel::battery {

// A message for the History page, kept as a text id and its arguments so that it follows the
// language.
struct HistoryNotice {
  int id = 0;  // 0: none
  std::vector<std::string> args;
  bool empty() const noexcept { return id == 0; }
  std::string Text() const;
};

// "<local application data>\Vantrel\battery-history.txt" of the user; empty when the system
// names no such folder.
std::string DefaultHistoryPath();

// Reads a history file as it is, without changing it; false when there is none to read.
bool ReadHistoryFile(const std::string& path, history::History& history);

// Now on the platform's clock, in seconds since 1970 (UTC), and the local offset from UTC.
int64_t HistoryClock();
int64_t LocalOffset();

class HistoryRecorder {
 public:
  // Reads the file (a missing one is begun at the first write; one of another format is
  // renamed aside, with a line in the debugger's trace, and a new one begun).
  explicit HistoryRecorder(std::string path);
  // Writes what is pending, as at exit.
  ~HistoryRecorder();
  HistoryRecorder(const HistoryRecorder&) = delete;
  HistoryRecorder& operator=(const HistoryRecorder&) = delete;

  // The meter's tick. `figures`: what it read this tick, null when it read nothing; `quiet`:
  // the tick found no battery charging or discharging (the meter then hides and reads
  // nothing, and the batteries keep their charge). The platform is the one the figures came
  // from: it is asked only for the identity of a battery not seen before or exchanged.
  void OnTick(const MeterFigures* figures, bool quiet, BatteryPlatform& platform);
  // The power source changed: every battery is sampled at the next tick.
  void OnPowerSourceChange();
  // The machine goes to sleep, or has woken.
  void OnSuspend();
  void OnResume();
  // The program ends: the last samples, the mark and the file.
  void Close();

  const history::History& history() const noexcept { return history_; }
  const std::string& path() const noexcept { return path_; }
  // What the page should tell: a file set aside, or the history that cannot be written.
  const HistoryNotice& notice() const noexcept { return notice_; }
  // Writes of the file so far (appends and rewrites), for the tests.
  unsigned writes() const noexcept { return writes_; }

 private:
  struct Slot {
    ULONG tag = 0;     // the battery's tag when its identity was read
    int series = -1;   // -1 until the identity has been read
    BatterySeen last;  // the newest figures
    bool seen = false;
    history::Capacity capacity;  // the series' newest capacity record
    int64_t capacity_day = -1;   // its local day, -1 until known
  };

  void Load();
  bool SetAside();
  void Add(const history::Sample& s);
  void Add(const history::Capacity& c);
  void Add(const history::Mark& m);
  void Add(const history::DaySummary& d);
  void Add(const history::Battery& b);
  const history::Sample* LastSample(int series) const;
  void TakeSample(Slot& slot, int64_t now);
  // The last samples and a mark before a gap, and the file written.
  void EndRun(history::Event event);
  void CheckCapacity(Slot& slot, int64_t now);
  void CloseDays(int64_t now);
  // The local offset from UTC, read again when the hour changes.
  int64_t Offset(int64_t now);
  // Writes the pending records when due (or `force`): appended, or the whole file rewritten
  // when it must be made anew (new, damaged or due for compaction).
  void Flush(int64_t now, bool force);
  bool Append(const std::string& text);
  bool Rewrite();
  void Failed(DWORD error);

  std::string path_;
  history::History history_;
  std::vector<Slot> slots_;
  std::string pending_;
  HistoryNotice notice_;
  int64_t last_write_ = 0;
  int64_t last_day_ = 0;
  int64_t offset_ = 0, offset_hour_ = -1;
  bool rewrite_ = false;  // the file must be written whole before anything is appended
  bool blocked_ = false;  // the file exists but could not be read: never written over
  bool sample_all_ = true;
  bool closed_ = false;
  bool failed_ = false;
  unsigned writes_ = 0;
};

// The recorder of the running program, if any: the History page shows its history.
HistoryRecorder* RunningHistory() noexcept;

}  // namespace vantrel::battery
