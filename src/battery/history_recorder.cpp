#include "battery/history_recorder.h"

#include <shlobj.h>

#include <algorithm>
#include <cstdio>

#include "framework/handles.h"
#include "i18n/core/language_table.h"
#include "i18n/core/text_format.h"
#include "i18n/core/text_ids.h"
#include "platform/system_api.h"

namespace vantrel::battery {

namespace h = history;

namespace {

HistoryRecorder* g_running = nullptr;

constexpr char kFolder[] = "\\Vantrel";
constexpr char kFileName[] = "\\battery-history.txt";
// No history file is this large: anything bigger is not one and is set aside unread.
constexpr DWORD kLargestFile = 16u << 20;
constexpr int kMostSetAside = 99;

void Trace(const std::string& line) { ::OutputDebugStringA(("Vantrel: " + line + "\n").c_str()); }

bool WriteAll(HANDLE file, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(text.size() - done, 1u << 20));
    DWORD written = 0;
    if (!::WriteFile(file, text.data() + done, chunk, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return true;
}

bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

h::Flow FlowOf(const PowerSeen& seen) {
  if (seen.charging) return h::Flow::kCharging;
  if (seen.discharging) return h::Flow::kDischarging;
  return seen.read ? h::Flow::kMains : h::Flow::kUnknown;
}

}  // namespace

std::string HistoryNotice::Text() const {
  if (!id) return {};
  // Two arguments at most.
  return i18n::FormatText(i18n::Text(id),
                          {args.size() > 0 ? args[0] : std::string(), args.size() > 1 ? args[1] : std::string()});
}

std::string DefaultHistoryPath() {
  char folder[MAX_PATH] = {};
  // Available from Windows 2000 on; the folder is made when it does not exist yet.
  if (FAILED(::SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, folder)))
    return {};
  return std::string(folder) + kFolder + kFileName;
}

int64_t HistoryClock() {
  FILETIME now{};
  platform::Sys().GetSystemTimeAsFileTime(&now);
  const uint64_t ticks = (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  return static_cast<int64_t>(ticks / 10000000u) - 11644473600;
}

int64_t LocalOffset() {
  TIME_ZONE_INFORMATION zone{};
  const DWORD which = ::GetTimeZoneInformation(&zone);
  LONG bias = zone.Bias;
  if (which == TIME_ZONE_ID_DAYLIGHT) bias += zone.DaylightBias;
  if (which == TIME_ZONE_ID_STANDARD) bias += zone.StandardBias;
  return -static_cast<int64_t>(bias) * 60;
}

bool ReadHistoryFile(const std::string& path, h::History& history) {
  fw::UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return false;
  const DWORD size = ::GetFileSize(file.get(), nullptr);
  if (size == INVALID_FILE_SIZE || size > kLargestFile) return false;
  std::string bytes(size, '\0');
  DWORD read = 0;
  if (size && (!::ReadFile(file.get(), bytes.data(), size, &read, nullptr) || read != size)) return false;
  return h::Read(bytes, history).status == h::ReadStatus::kRead;
}

HistoryRecorder::HistoryRecorder(std::string path) : path_(std::move(path)) {
  if (!g_running) g_running = this;
  Load();
  const int64_t now = HistoryClock();
  last_write_ = now;
  last_day_ = h::DayOf(now, Offset(now));
  Add(h::Mark{now, h::Event::kStart});
}

HistoryRecorder::~HistoryRecorder() {
  Close();
  if (g_running == this) g_running = nullptr;
}

HistoryRecorder* RunningHistory() noexcept { return g_running; }

// ---- the file ---------------------------------------------------------------------------------

void HistoryRecorder::Load() {
  if (path_.empty()) {
    blocked_ = true;
    return;
  }
  std::string bytes;
  bool too_large = false;
  {
    fw::UniqueHandle file(::CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
      const DWORD error = ::GetLastError();
      // Missing: begun at the first write. Anything else: left alone, and nothing written over it.
      if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
        blocked_ = true;
        Failed(error);
      }
      rewrite_ = true;
      return;
    }
    const DWORD size = ::GetFileSize(file.get(), nullptr);
    too_large = size == INVALID_FILE_SIZE || size > kLargestFile;
    if (!too_large && size) {
      bytes.resize(size);
      DWORD read = 0;
      if (!::ReadFile(file.get(), bytes.data(), size, &read, nullptr) || read != size) {
        blocked_ = true;
        Failed(::GetLastError());
        return;
      }
    }
  }
  const h::ReadResult result = too_large ? h::ReadResult{h::ReadStatus::kWrongFormat} : h::Read(bytes, history_);
  if (result.status == h::ReadStatus::kWrongFormat) {
    history_ = h::History{};
    if (!SetAside()) blocked_ = true;
    rewrite_ = true;
    return;
  }
  if (result.damaged || result.cut_tail) {
    Trace("battery history: " + std::to_string(result.damaged) + " damaged record(s)" +
          (result.cut_tail ? " and a record cut short" : "") + " skipped in " + path_);
  }
  // A damaged or cut file is written anew, whole, before anything is appended to it.
  rewrite_ = result.status != h::ReadStatus::kRead || result.damaged || result.cut_tail;
}

bool HistoryRecorder::SetAside() {
  for (int n = 1; n <= kMostSetAside; ++n) {
    const std::string aside = path_ + (n == 1 ? std::string(".bad") : ".bad" + std::to_string(n));
    if (Exists(aside)) continue;
    if (!::MoveFileA(path_.c_str(), aside.c_str())) break;
    const size_t slash = aside.find_last_of('\\');
    notice_ = {i18n::IDS_HISTORY_SET_ASIDE, {slash == std::string::npos ? aside : aside.substr(slash + 1)}};
    Trace("battery history: " + path_ + " is not a history file; kept as " + aside);
    return true;
  }
  Trace("battery history: " + path_ + " is not a history file and could not be set aside; nothing is written");
  return false;
}

void HistoryRecorder::Failed(DWORD error) {
  if (failed_) return;
  failed_ = true;
  notice_ = {i18n::IDS_HISTORY_NOT_WRITTEN, {path_, std::to_string(error)}};
  Trace("battery history: cannot write " + path_ + " (error " + std::to_string(error) + ")");
}

bool HistoryRecorder::Append(const std::string& text) {
  fw::UniqueHandle file(::CreateFileA(path_.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) {
    // Gone since it was read: begun again whole.
    if (::GetLastError() == ERROR_FILE_NOT_FOUND) return Rewrite();
    Failed(::GetLastError());
    return false;
  }
  if (!WriteAll(file.get(), text)) {
    Failed(::GetLastError());
    // Part of it may be there: the next write makes the file anew.
    rewrite_ = true;
    return false;
  }
  return true;
}

bool HistoryRecorder::Rewrite() {
  const size_t slash = path_.find_last_of('\\');
  if (slash != std::string::npos) ::CreateDirectoryA(path_.substr(0, slash).c_str(), nullptr);
  const std::string fresh = path_ + ".new";
  {
    fw::UniqueHandle file(
        ::CreateFileA(fresh.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
      Failed(::GetLastError());
      return false;
    }
    if (!WriteAll(file.get(), h::Encode(history_)) || !::FlushFileBuffers(file.get())) {
      Failed(::GetLastError());
      return false;
    }
  }
  // The old file stays whole until the new one replaces it in one step.
  if (!::MoveFileExA(fresh.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    Failed(::GetLastError());
    ::DeleteFileA(fresh.c_str());
    return false;
  }
  return true;
}

void HistoryRecorder::Flush(int64_t now, bool force) {
  if (!force && now - last_write_ < h::kWriteEvery && now >= last_write_) return;
  last_write_ = now;
  // Compaction: once the oldest sample is a day past the month kept. Also when nothing can be
  // written, so that what is held in memory stays bounded.
  const bool old = std::any_of(history_.samples.begin(), history_.samples.end(),
                               [&](const h::Sample& s) { return s.time < now - h::kKeepSamples - h::kDay; });
  if (old) h::Compact(history_, now);
  if (blocked_) {
    pending_.clear();
    return;
  }
  if (pending_.empty() && !old) return;
  bool ok = false;
  if (rewrite_ || old) {
    ok = Rewrite();
  } else {
    ok = Append(pending_);
  }
  ++writes_;
  if (ok) {
    rewrite_ = false;
    // A history that could not be written before is complete in the file again.
    if (failed_) {
      failed_ = false;
      notice_ = {};
    }
  } else {
    // Kept in memory; the next write makes the file whole.
    rewrite_ = true;
  }
  pending_.clear();
}

// ---- records ------------------------------------------------------------------------------------

void HistoryRecorder::Add(const h::Sample& s) {
  history_.samples.push_back(s);
  pending_ += h::Line(s);
}
void HistoryRecorder::Add(const h::Capacity& c) {
  history_.capacities.push_back(c);
  pending_ += h::Line(c);
}
void HistoryRecorder::Add(const h::Mark& m) {
  history_.marks.push_back(m);
  pending_ += h::Line(m);
}
void HistoryRecorder::Add(const h::DaySummary& d) {
  history_.days.push_back(d);
  pending_ += h::Line(d);
}
void HistoryRecorder::Add(const h::Battery& b) { pending_ += h::Line(b); }

const h::Sample* HistoryRecorder::LastSample(int series) const {
  for (auto it = history_.samples.rbegin(); it != history_.samples.rend(); ++it)
    if (it->battery == series) return &*it;
  return nullptr;
}

void HistoryRecorder::TakeSample(Slot& slot, int64_t now) {
  const PowerSeen& seen = slot.last.seen;
  h::Sample s;
  s.battery = slot.series;
  s.time = now;
  s.charge = seen.read ? static_cast<int>(std::min(slot.last.charge, 100u)) : -1;
  s.remaining = seen.read ? seen.remaining : h::kUnknown;
  s.flow = FlowOf(seen);
  Add(s);
}

void HistoryRecorder::CheckCapacity(Slot& slot, int64_t now) {
  const PowerSeen& seen = slot.last.seen;
  if (!seen.read) return;
  const int64_t offset = Offset(now);
  if (slot.capacity_day < 0) {
    // The series' newest record, looked up once: later ticks compare with the slot's copy.
    if (const h::Capacity* last = history_.LastCapacity(slot.series)) {
      slot.capacity = *last;
      slot.capacity_day = h::DayOf(last->time, offset);
    }
  }
  const h::Capacity& last = slot.capacity;
  if (slot.capacity_day == h::DayOf(now, offset) && last.full == seen.full && last.design == seen.design &&
      last.cycles == seen.cycles)
    return;
  slot.capacity = h::Capacity{slot.series, now, seen.full, seen.design, seen.cycles};
  slot.capacity_day = h::DayOf(now, offset);
  Add(slot.capacity);
}

int64_t HistoryRecorder::Offset(int64_t now) {
  // Asked of the system once an hour, not on every tick; that is soon enough for a change of
  // daylight-saving time.
  if (now / 3600 != offset_hour_) {
    offset_hour_ = now / 3600;
    offset_ = LocalOffset();
  }
  return offset_;
}

void HistoryRecorder::CloseDays(int64_t now) {
  const int64_t offset = Offset(now);
  const int64_t today = h::DayOf(now, offset);
  if (today == last_day_) return;
  last_day_ = today;
  for (const h::Battery& b : std::vector<h::Battery>(history_.batteries))
    for (const h::DaySummary& d : h::DueSummaries(history_, b.id, today, offset)) Add(d);
}

// ---- events ---------------------------------------------------------------------------------------

void HistoryRecorder::OnTick(const MeterFigures* figures, bool quiet, BatteryPlatform& platform) {
  if (closed_) return;
  const int64_t now = HistoryClock();
  if (figures) {
    for (const BatterySeen& seen : figures->batteries) {
      if (seen.index >= slots_.size()) slots_.resize(seen.index + 1);
      Slot& slot = slots_[seen.index];
      const ULONG tag = platform.batteries().contains(seen.index) ? platform.batteries()[seen.index].tag : 0;
      if (slot.series < 0 || slot.tag != tag) {
        // A battery not seen before, or exchanged: its identity, read once.
        if (!seen.seen.read) continue;
        h::Identity id;
        ReadBatteryText(platform, BatteryText::UniqueId, seen.index, id.unique_id);
        ReadBatteryText(platform, BatteryText::SerialNumber, seen.index, id.serial);
        ReadBatteryText(platform, BatteryText::DeviceName, seen.index, id.name);
        ReadBatteryText(platform, BatteryText::ManufactureName, seen.index, id.maker);
        char chemistry[5] = {};
        platform.GetChemistry(seen.index, chemistry);
        id.chemistry = chemistry;
        id.design = seen.seen.design;
        const size_t known = history_.batteries.size();
        slot.series = history_.Series(id, now);
        if (history_.batteries.size() != known) Add(history_.batteries.back());
        slot.tag = tag;
        slot.seen = false;  // a new battery is sampled at once
        slot.capacity_day = -1;
      }
      const bool changed = slot.seen && FlowOf(slot.last.seen) != FlowOf(seen.seen);
      const bool first = !slot.seen;
      slot.last = seen;
      slot.seen = true;
      const h::Sample* last = LastSample(slot.series);
      const int64_t period = FlowOf(seen.seen) == h::Flow::kDischarging ? h::kSampleOnBattery : h::kSampleOnMains;
      if (first || changed || sample_all_ || !last || now - last->time >= period || now < last->time)
        TakeSample(slot, now);
      CheckCapacity(slot, now);
    }
    sample_all_ = false;
  } else if (quiet) {
    // Nothing charges or discharges: each battery keeps the charge it was last seen with.
    for (Slot& slot : slots_) {
      if (slot.series < 0 || !slot.seen) continue;
      slot.last.seen.charging = slot.last.seen.discharging = false;
      const h::Sample* last = LastSample(slot.series);
      if (!last || last->flow != h::Flow::kMains || now - last->time >= h::kSampleOnMains || sample_all_)
        TakeSample(slot, now);
    }
    sample_all_ = false;
  }
  CloseDays(now);
  Flush(now, false);
}

void HistoryRecorder::OnPowerSourceChange() {
  if (closed_) return;
  sample_all_ = true;
  Add(h::Mark{HistoryClock(), h::Event::kSource});
}

void HistoryRecorder::EndRun(h::Event event) {
  const int64_t now = HistoryClock();
  // The last figures, a second old at most, close each line before the gap.
  for (Slot& slot : slots_)
    if (slot.series >= 0 && slot.seen) TakeSample(slot, now);
  Add(h::Mark{now, event});
  Flush(now, true);
}

void HistoryRecorder::OnSuspend() {
  if (!closed_) EndRun(h::Event::kSuspend);
}

void HistoryRecorder::OnResume() {
  if (closed_) return;
  sample_all_ = true;
  Add(h::Mark{HistoryClock(), h::Event::kResume});
}

void HistoryRecorder::Close() {
  if (closed_) return;
  EndRun(h::Event::kStop);
  closed_ = true;
}

}  // namespace vantrel::battery
