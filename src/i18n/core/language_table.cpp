#include "i18n/core/language_table.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <utility>

namespace vantrel::i18n {

namespace {

struct BuiltIn {
  int id;
  const char* text;
};

// The program's own English texts, ascending by identifier. Their spelling is the program's
// own and translations refer to it; do not correct it.
constexpr BuiltIn kBuiltIn[] = {
    {1, "OK"},
    {2, "Cancel"},
    {3, "Apply"},
    {100, "Hours"},
    {101, "Minutes"},
    {102, "Never"},
    {105, "This computer don't have batteries!"},
    {1000, "Main Dialog..."},
    {1010, "Logging Off"},
    {1020, "Shutdown"},
    {1030, "Reboot"},
    {1040, "WakeUp After"},
    {1050, "Sleep"},
    {1060, "Hibernate"},
    {1070, "Exit"},
    {3001, "Control"},
    {3002, "Schemes"},
    {3003, "Batteries"},
    {3004, "Policy"},
    {3100, "Pages"},
    {3101, "Languages"},
    {3102, "Help"},
    {3200, "Default"},
    {3300, "Help Topics"},
    {3301, "Web Site"},
    {3302, "About"},
    {4000, "Battery meter options"},
    {4001, "Transparent"},
    {4002, "Always on top"},
    {4003, "Appear on Chr/DisChr"},
    {4004, "After Wake Up Signal"},
    {4005, "Auto hide"},
    {4006, "Display charge"},
    {4007, "All batteries"},
    {4008, "One battery"},
    {4009, "Internal windows settings"},
    {4010, "Display multiple battery"},
    {4011, "Password logon"},
    {4012, "Display battery meter in SysTray"},
    {4013, "Video dimming support"},
    {4014, "Wake On Ring support"},
    {4015, "Allow using hibernate mode"},
    {4016, "Program auto startup"},
    {5000, "Power scheme"},
    {5001, "Save As..."},
    {5002, "Delete"},
    {5003, "Power policy"},
    {5010, "USER"},
    {5011, "MACHINE"},
    {5012, "PROCESSOR"},
    {5013, "Delete power scheme ('%s')?"},
    {5014, "Save current power scheme with name:"},
    {5015, "Delete power scheme"},
    {5200, "Idle timeout:"},
    {5201, "Idle sensitivity:"},
    {5202, "Max system sleep state:"},
    {5203, "Video timeout:"},
    {5204, "Spindown timeout:"},
    {5205, "Optimize for power:"},
    {5206, "Fan throttle tolerance:"},
    {5207, "Forced throttle:"},
    {5300, "Min system power state:"},
    {5301, "Max system power state:"},
    {5302, "Working-standby timeout:"},
    {5303, "Suspend-hibernate timeout:"},
    {5304, "Min throttle:"},
    {5400, "Dynamic throttle:"},
    {5401, "Processor C-state policy: "},
    {5402, "Time check:"},
    {5403, "Allow demotion:"},
    {5404, "Demote limit:"},
    {5405, "Demote percent:"},
    {5406, "Allow promote:"},
    {5407, "Promote limit:"},
    {5408, "Promote percent:"},
    {5409, "mks"},
    {6000, "Device name"},
    {6001, "Information"},
    {6002, "Technology:"},
    {6003, "Chemistry:"},
    {6004, "Default alert \"Low Battery\":"},
    {6005, "Default alert \"Warning\":"},
    {6006, "Manufacture date:"},
    {6007, "Manufacture name:"},
    {6008, "Serial number:"},
    {6009, "Unique ID:"},
    {6010, "Status"},
    {6011, "Full charged capacity:"},
    {6012, "Cycle count:"},
    {6013, "Critical bias:"},
    {6014, "Temperature:"},
    {6015, "Capacity:"},
    {6016, "Voltage:"},
    {6017, "Rate:"},
    {6018, "Estimated time:"},
    {6019, "Status:"},
    {6020, "Battery wear:"},
    {6021, "Battery charge:"},
    {6022, "Design capacity:"},
    {6030, "OnLine"},
    {6031, "Charging"},
    {6032, "Discharging"},
    {6200, "Rechargable"},
    {6201, "NoRechargeble"},
    {6202, " "},
    {6203, "Unknown"},
    {6204, "mWh"},
    {6205, "mv"},
    {6206, "Charge"},
    {6207, "Discharge"},
    {7000, "Policy settings"},
    {7001, "Action on"},
    {7002, "when running on"},
    {7003, "Power scheme"},
    {7004, "Battery"},
    {7005, "Minimum system state:"},
    {7006, "Actions settings"},
    {7007, "Action:"},
    {7008, "Flags:"},
    {7009, "Notify event:"},
    {8000, "About program"},
    {8002, "For comments, bug reports, and suggestion"},
    {8003, "please write to :"},
    {8004, "Download the latest version here:"},
};

bool ReadWholeFile(const std::string& path, std::string& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  std::string data;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) data.append(buffer, n);
  bool failed = std::ferror(file) != 0;
  if (std::fclose(file) != 0) failed = true;
  if (failed) return false;
  bytes = std::move(data);
  return true;
}

LanguageTable* g_installed = nullptr;

}  // namespace

LanguageTable::LanguageTable(std::string folder, FileReader reader)
    : folder_(std::move(folder)), reader_(reader ? std::move(reader) : FileReader(&ReadWholeFile)) {}

std::string LanguageTable::FilePath(const std::string& name) const { return folder_ + "\\" + name + ".lng"; }

bool LanguageTable::Load(const std::string& name) {
  if (name.empty()) {
    entries_.clear();
    name_.clear();
    return true;
  }
  std::string bytes;
  if (!reader_(FilePath(name), bytes)) return false;
  std::vector<LanguageEntry> entries;
  ParseLanguageFile(bytes, entries);
  entries_ = std::move(entries);
  name_ = name;
  return true;
}

void LanguageTable::GetText(int id, std::string& out) const {
  if (name_.empty()) {
    const char* text = BuiltInText(id);
    out = text ? text : "";
    return;
  }
  for (const LanguageEntry& entry : entries_) {
    if (entry.id == id) {
      out = entry.text;
      return;
    }
  }
  out.clear();
}

std::string LanguageTable::GetText(int id) const {
  std::string text;
  GetText(id, text);
  return text;
}

void ScanLine(std::string_view line, std::vector<LanguageEntry>& entries) {
  enum class State { Start, Identifier, Text };
  State state = State::Start;
  std::string digits;
  std::string text;
  for (char c : line) {
    bool digit = c >= '0' && c <= '9';
    if (state == State::Start) {
      if (c == '#') return;
      if (digit) {
        digits += c;
        state = State::Identifier;
      } else if (c == ' ' || c == '\t') {
        state = State::Text;
      } else {
        return;
      }
    } else if (state == State::Identifier) {
      if (digit) {
        digits += c;
      } else if (c == ' ' || c == '\t' || c == '=') {
        state = State::Text;
      } else {
        return;
      }
    } else if (c != '\n') {
      text += c;
    }
  }
  if (state != State::Text) return;
  // The identifier is a 32-bit number; longer digit strings wrap as the conversion does.
  uint32_t id = 0;
  for (char d : digits) id = id * 10u + static_cast<uint32_t>(d - '0');
  entries.push_back(LanguageEntry{static_cast<int32_t>(id), std::move(text)});
}

void ParseLanguageFile(std::string_view bytes, std::vector<LanguageEntry>& entries) {
  size_t end_of_file = bytes.find('\x1a');
  if (end_of_file != std::string_view::npos) bytes = bytes.substr(0, end_of_file);
  size_t start = 0;
  while (start < bytes.size()) {
    size_t lf = bytes.find('\n', start);
    size_t stop = lf == std::string_view::npos ? bytes.size() : lf;
    size_t line_end = stop;
    // Carriage return and line feed end a line together; a lone carriage return stays.
    if (lf != std::string_view::npos && line_end > start && bytes[line_end - 1] == '\r') --line_end;
    ScanLine(bytes.substr(start, line_end - start), entries);
    if (lf == std::string_view::npos) break;
    start = lf + 1;
  }
}

const char* BuiltInText(int id) noexcept {
  auto it = std::lower_bound(std::begin(kBuiltIn), std::end(kBuiltIn), id,
                             [](const BuiltIn& entry, int key) { return entry.id < key; });
  return it != std::end(kBuiltIn) && it->id == id ? it->text : nullptr;
}

std::vector<int> BuiltInIds() {
  std::vector<int> ids;
  for (const BuiltIn& entry : kBuiltIn) ids.push_back(entry.id);
  return ids;
}

LanguageTable& Texts() noexcept {
  static LanguageTable fallback;
  return g_installed ? *g_installed : fallback;
}

void InstallTexts(LanguageTable* table) noexcept { g_installed = table; }

std::string Text(int id) { return Texts().GetText(id); }

}  // namespace vantrel::i18n
