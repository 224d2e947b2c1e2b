#include "i18n/core/language_table.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <limits>
#include <utility>

#include "i18n/core/text_ids.h"

namespace vantrel::i18n {

namespace {

struct BuiltIn {
  int id;
  const char* text;
};

// The program's own English texts, ascending by identifier. Their spelling is the program's
// own and translations refer to it; do not correct it: "don't have", "Rechargable" and
// "NoRechargeble" are misspelled on purpose (a test pins them).
constexpr BuiltIn kBuiltIn[] = {
    {IDS_OK, "OK"},
    {IDS_CANCEL, "Cancel"},
    {IDS_APPLY, "Apply"},
    {IDS_HOURS, "Hours"},
    {IDS_MINUTES, "Minutes"},
    {IDS_NEVER, "Never"},
    {IDS_NO_BATTERIES, "This computer don't have batteries!"},
    {IDS_TRAY_MAIN_DIALOG, "Main Dialog..."},
    {IDS_TRAY_LOG_OFF, "Logging Off"},
    {IDS_TRAY_SHUT_DOWN, "Shutdown"},
    {IDS_TRAY_REBOOT, "Reboot"},
    {IDS_TRAY_WAKE_UP_AFTER, "WakeUp After"},
    {IDS_TRAY_SLEEP, "Sleep"},
    {IDS_TRAY_HIBERNATE, "Hibernate"},
    {IDS_TRAY_EXIT, "Exit"},
    {IDS_PAGE_CONTROL, "Control"},
    {IDS_PAGE_SCHEMES, "Schemes"},
    {IDS_PAGE_BATTERIES, "Batteries"},
    {IDS_PAGE_POLICY, "Policy"},
    {IDS_PAGE_HISTORY, "History"},
    {IDS_MENU_PAGES, "Pages"},
    {IDS_MENU_LANGUAGES, "Languages"},
    {IDS_MENU_HELP, "Help"},
    {IDS_MENU_DEFAULT_LANGUAGE, "Default"},
    {IDS_MENU_HELP_TOPICS, "Help Topics"},
    {IDS_MENU_WEB_SITE, "Web Site"},
    {IDS_MENU_ABOUT, "About"},
    {IDS_CONTROL_METER_OPTIONS, "Battery meter options"},
    {IDS_CONTROL_TRANSPARENT, "Transparent"},
    {IDS_CONTROL_ALWAYS_ON_TOP, "Always on top"},
    {IDS_CONTROL_APPEAR_ON_CHR_DISCHR, "Appear on Chr/DisChr"},
    {IDS_CONTROL_BEEP_AFTER_WAKE_UP, "After Wake Up Signal"},
    {IDS_CONTROL_AUTO_HIDE, "Auto hide"},
    {IDS_CONTROL_DISPLAY_CHARGE, "Display charge"},
    {IDS_CONTROL_ALL_BATTERIES, "All batteries"},
    {IDS_CONTROL_ONE_BATTERY, "One battery"},
    {IDS_CONTROL_WINDOWS_SETTINGS, "Internal windows settings"},
    {IDS_CONTROL_MULTI_BATTERY_DISPLAY, "Display multiple battery"},
    {IDS_CONTROL_PASSWORD_LOGON, "Password logon"},
    {IDS_CONTROL_SYSTRAY_METER, "Display battery meter in SysTray"},
    {IDS_CONTROL_VIDEO_DIMMING, "Video dimming support"},
    {IDS_CONTROL_WAKE_ON_RING, "Wake On Ring support"},
    {IDS_CONTROL_ALLOW_HIBERNATE, "Allow using hibernate mode"},
    {IDS_CONTROL_AUTO_START, "Program auto startup"},
    {IDS_CONTROL_FLAGS_NOT_SAVED, "You can't change these Windows settings, the system refused them!"},
    {IDS_CONTROL_HIBERNATE_NOT_SAVED, "You can't change the hibernation file, the system refused it!"},
    {IDS_SCHEMES_POWER_SCHEME, "Power scheme"},
    {IDS_SCHEMES_SAVE_AS, "Save As..."},
    {IDS_SCHEMES_DELETE, "Delete"},
    {IDS_SCHEMES_POWER_POLICY, "Power policy"},
    {IDS_TAB_USER, "USER"},
    {IDS_TAB_MACHINE, "MACHINE"},
    {IDS_TAB_PROCESSOR, "PROCESSOR"},
    {IDS_SCHEMES_DELETE_QUESTION, "Delete power scheme ('%s')?"},
    {IDS_SCHEMES_SAVE_AS_PROMPT, "Save current power scheme with name:"},
    {IDS_SCHEMES_DELETE_CAPTION, "Delete power scheme"},
    {IDS_SCHEMES_PROCESSOR_NOT_SAVED, "The power scheme was saved without its processor settings: the system refused them!"},
    {IDS_SCHEMES_NO_COUNTERPART, "Windows power plans have no setting for this field: it is shown but never saved."},
    {IDS_SCHEMES_LOCKED, "Group Policy fixes this setting: it cannot be changed here."},
    {IDS_SCHEMES_UNREADABLE, "The power schemes of this system cannot be read."},
    {IDS_SCHEMES_EXPORT, "Export..."},
    {IDS_SCHEMES_IMPORT, "Import..."},
    {IDS_SCHEME_FILE_TYPE, "Power scheme files"},
    {IDS_SCHEME_FILE_NOT_TAKEN,
     "The scheme was imported. These settings of the file have no counterpart on this system and were left out: %s"},
    {IDS_SCHEME_FILE_REMOVED, "The scheme could not be created completely and was removed again."},
    {IDS_SCHEME_FILE_NOT_WRITTEN, "The file could not be written."},
    {IDS_SCHEME_FILE_LINE, "Line %d: %s"},
    {IDS_SCHEME_FILE_UNREADABLE, "The file could not be read."},
    {IDS_SCHEME_FILE_TOO_LARGE, "The file is too large to be a power scheme file."},
    {IDS_SCHEME_FILE_NOT_TEXT, "The file is not a text file."},
    {IDS_SCHEME_FILE_NOT_SCHEME_FILE, "The file is not a power scheme file."},
    {IDS_SCHEME_FILE_WRONG_VERSION, "The file is in a newer format of power scheme files and cannot be read."},
    {IDS_SCHEME_FILE_TRUNCATED, "The file is incomplete: its end is missing."},
    {IDS_SCHEME_FILE_BAD_LINE, "The line is not of the form \"name = value\"."},
    {IDS_SCHEME_FILE_UNKNOWN_KEY, "\"%s\" is not a setting of a power scheme file."},
    {IDS_SCHEME_FILE_DUPLICATE_KEY, "\"%s\" is given twice."},
    {IDS_SCHEME_FILE_MISSING_KEY, "The file has no value for \"%s\"."},
    {IDS_SCHEME_FILE_WRONG_TYPE, "The value of \"%s\" has the wrong form."},
    {IDS_SCHEME_FILE_OUT_OF_RANGE, "The value of \"%s\" is out of range."},
    {IDS_SCHEME_FILE_NAME_EMPTY, "The scheme in the file has no name."},
    {IDS_SCHEME_FILE_NAME_TOO_LONG, "The name of the scheme in the file is too long for this system."},
    {IDS_SCHEME_FILE_DESCRIPTION_TOO_LONG, "The description of the scheme in the file is too long for this system."},
    {IDS_SCHEME_FILE_SYSTEM_REFUSED, "The system could not import the file (error %d)."},
    {IDS_USER_IDLE_TIMEOUT, "Idle timeout:"},
    {IDS_USER_IDLE_SENSITIVITY, "Idle sensitivity:"},
    {IDS_USER_MAX_SLEEP, "Max system sleep state:"},
    {IDS_USER_VIDEO_TIMEOUT, "Video timeout:"},
    {IDS_USER_SPINDOWN_TIMEOUT, "Spindown timeout:"},
    {IDS_USER_OPTIMIZE_FOR_POWER, "Optimize for power:"},
    {IDS_USER_FAN_THROTTLE_TOLERANCE, "Fan throttle tolerance:"},
    {IDS_USER_FORCED_THROTTLE, "Forced throttle:"},
    {IDS_MACHINE_MIN_SLEEP, "Min system power state:"},
    {IDS_MACHINE_MAX_SLEEP, "Max system power state:"},
    {IDS_MACHINE_DOZE_TIMEOUT, "Working-standby timeout:"},
    {IDS_MACHINE_DOZE_S4_TIMEOUT, "Suspend-hibernate timeout:"},
    {IDS_MACHINE_MIN_THROTTLE, "Min throttle:"},
    {IDS_PROCESSOR_DYNAMIC_THROTTLE, "Dynamic throttle:"},
    {IDS_PROCESSOR_CSTATE_POLICY, "Processor C-state policy: "},
    {IDS_PROCESSOR_TIME_CHECK, "Time check:"},
    {IDS_PROCESSOR_ALLOW_DEMOTION, "Allow demotion:"},
    {IDS_PROCESSOR_DEMOTE_LIMIT, "Demote limit:"},
    {IDS_PROCESSOR_DEMOTE_PERCENT, "Demote percent:"},
    {IDS_PROCESSOR_ALLOW_PROMOTION, "Allow promote:"},
    {IDS_PROCESSOR_PROMOTE_LIMIT, "Promote limit:"},
    {IDS_PROCESSOR_PROMOTE_PERCENT, "Promote percent:"},
    {IDS_PROCESSOR_MICROSECONDS, "mks"},
    {IDS_POLICY_PLANS_NOTE, "Saved to every power plan"},
    {IDS_POLICY_PLANS_NOTE_TIP,
     "Windows keeps the buttons, the lid and the battery alarms in each power plan: they are shown from the active "
     "plan and saved to every plan, mains and battery apart."},
    {IDS_POLICY_DISPLAY_OFF, "Turn off the display"},
    {IDS_PLANS_NOT_SAVED, "The change could not be saved in every power plan, the system refused it! Not saved in: %s"},
    {IDS_TAB_ALL_SETTINGS, "ALL SETTINGS"},
    {IDS_ALL_SETTINGS_NAME, "Setting"},
    {IDS_ALL_SETTINGS_AC, "Plugged in"},
    {IDS_ALL_SETTINGS_DC, "On battery"},
    {IDS_ALL_SETTINGS_DEFAULT, "Default"},
    {IDS_ALL_SETTINGS_HIDDEN, "(hidden)"},
    {IDS_ALL_SETTINGS_LOCKED, "(locked)"},
    {IDS_ALL_SETTINGS_LOCKED_NOTE, "Group Policy fixes this setting: it cannot be changed here."},
    {IDS_ALL_SETTINGS_RANGE_NOTE, "From %s to %s in steps of %s. Enter or F2 edits; Left and Right choose the column."},
    {IDS_ALL_SETTINGS_LIST_NOTE, "Enter or F2 edits; Left and Right choose the column."},
    {IDS_ALL_SETTINGS_UNREADABLE, "The settings of this plan cannot be read."},
    {IDS_POWER_MODE_BEST_EFFICIENCY, "Best power efficiency"},
    {IDS_POWER_MODE_BALANCED, "Balanced"},
    {IDS_POWER_MODE_BEST_PERFORMANCE, "Best performance"},
    {IDS_POWER_MODE_NOT_SET, "The power mode could not be set."},
    {IDS_BATTERY_DEVICE_NAME, "Device name"},
    {IDS_BATTERY_INFORMATION, "Information"},
    {IDS_BATTERY_TECHNOLOGY, "Technology:"},
    {IDS_BATTERY_CHEMISTRY, "Chemistry:"},
    {IDS_BATTERY_ALERT_LOW, "Default alert \"Low Battery\":"},
    {IDS_BATTERY_ALERT_WARNING, "Default alert \"Warning\":"},
    {IDS_BATTERY_MANUFACTURE_DATE, "Manufacture date:"},
    {IDS_BATTERY_MANUFACTURE_NAME, "Manufacture name:"},
    {IDS_BATTERY_SERIAL_NUMBER, "Serial number:"},
    {IDS_BATTERY_UNIQUE_ID, "Unique ID:"},
    {IDS_BATTERY_STATUS_GROUP, "Status"},
    {IDS_BATTERY_FULL_CHARGED_CAPACITY, "Full charged capacity:"},
    {IDS_BATTERY_CYCLE_COUNT, "Cycle count:"},
    {IDS_BATTERY_CRITICAL_BIAS, "Critical bias:"},
    {IDS_BATTERY_TEMPERATURE, "Temperature:"},
    {IDS_BATTERY_CAPACITY, "Capacity:"},
    {IDS_BATTERY_VOLTAGE, "Voltage:"},
    {IDS_BATTERY_RATE, "Rate:"},
    {IDS_BATTERY_ESTIMATED_TIME, "Estimated time:"},
    {IDS_BATTERY_STATUS, "Status:"},
    {IDS_BATTERY_WEAR, "Battery wear:"},
    {IDS_BATTERY_CHARGE, "Battery charge:"},
    {IDS_BATTERY_DESIGN_CAPACITY, "Design capacity:"},
    {IDS_BATTERY_ONLINE, "OnLine"},
    {IDS_BATTERY_CHARGING, "Charging"},
    {IDS_BATTERY_DISCHARGING, "Discharging"},
    {IDS_BATTERY_RECHARGEABLE, "Rechargable"},
    {IDS_BATTERY_NOT_RECHARGEABLE, "NoRechargeble"},
    {IDS_BLANK, " "},
    {IDS_BATTERY_UNKNOWN, "Unknown"},
    {IDS_UNIT_MWH, "mWh"},
    {IDS_UNIT_MV, "mv"},
    {IDS_BATTERY_DO_CHARGE, "Charge"},
    {IDS_BATTERY_DO_DISCHARGE, "Discharge"},
    {IDS_POLICY_SETTINGS, "Policy settings"},
    {IDS_POLICY_ACTION_ON, "Action on"},
    {IDS_POLICY_RUNNING_ON, "when running on"},
    {IDS_POLICY_POWER_SCHEME, "Power scheme"},
    {IDS_POLICY_BATTERY, "Battery"},
    {IDS_POLICY_MIN_SYSTEM_STATE, "Minimum system state:"},
    {IDS_POLICY_ACTIONS_SETTINGS, "Actions settings"},
    {IDS_POLICY_ACTION, "Action:"},
    {IDS_POLICY_FLAGS, "Flags:"},
    {IDS_POLICY_NOTIFY_EVENT, "Notify event:"},
    {IDS_POLICY_NOT_SAVED, "You can't save this power policy, the system refused it!"},
    {IDS_ABOUT_CAPTION, "About program"},
    {IDS_ABOUT_COMMENTS, "For comments, bug reports, and suggestion"},
    {IDS_ABOUT_WRITE_TO, "please write to :"},
    {IDS_ABOUT_DOWNLOAD, "Download the latest version here:"},
    // Battery notices.
    {IDS_NOTICES_BUTTON, "Notices..."},
    {IDS_NOTICES_CAPTION, "Battery notices"},
    {IDS_NOTICES_LOW_BATTERY, "Low battery notice at"},
    {IDS_NOTICES_CHARGE_LIMIT, "Charge limit notice at"},
    {IDS_NOTICES_EXPLAIN, "A notice appears as a balloon of the tray icon, once each time the charge passes its level."},
    {IDS_NOTICE_LOW_BATTERY_TITLE, "Low battery"},
    {IDS_NOTICE_LOW_BATTERY_TEXT, "The battery is at %d%%, time left %s. Connect the charger."},
    {IDS_NOTICE_CHARGE_LIMIT_TITLE, "Charge limit reached"},
    {IDS_NOTICE_CHARGE_LIMIT_TEXT, "The battery is charged to %d%%. Unplug the charger to spare the battery."},
    // Power schemes from the tray menu and their automatic switching.
    {IDS_TRAY_POWER_SCHEMES, "Power Schemes"},
    {IDS_TRAY_AUTO_SWITCH, "Automatic switching..."},
    {IDS_AUTO_SWITCH_CAPTION, "Automatic switching"},
    {IDS_AUTO_SWITCH_ON_MAINS, "On mains power use"},
    {IDS_AUTO_SWITCH_ON_BATTERY, "On battery use"},
    {IDS_AUTO_SWITCH_NONE, "(do not switch)"},
    {IDS_AUTO_SWITCH_MISSING, "%s (missing)"},
    {IDS_HISTORY_BATTERY, "Battery:"},
    {IDS_HISTORY_CAPACITY_CHART, "Full-charged capacity against design capacity (Wh)"},
    {IDS_HISTORY_CHARGE_CHART, "Charge over the last 3 days (%)"},
    {IDS_HISTORY_FULL, "Full-charged"},
    {IDS_HISTORY_DESIGN, "Design"},
    {IDS_HISTORY_WEAR, "Wear: %s%%, cycles: %s"},
    {IDS_HISTORY_RUN_TIME, "Run time at full charge: %s now, %s when new"},
    {IDS_HISTORY_ON_MAINS, "On mains"},
    {IDS_HISTORY_ON_BATTERY, "On battery"},
    {IDS_HISTORY_SAVE_REPORT, "Save report..."},
    {IDS_HISTORY_NOTHING, "Nothing recorded yet."},
    {IDS_HISTORY_SET_ASIDE, "The history file could not be read; it was kept as %s."},
    {IDS_HISTORY_NOT_WRITTEN, "The history cannot be written to %s (error %s)."},
    {IDS_HISTORY_REPORT_SAVED, "Report saved as %s"},
    {IDS_HISTORY_REPORT_FAILED, "The report could not be saved as %s (error %s)."},
    {IDS_HISTORY_REPORT_TITLE, "Battery report"},
    {IDS_HISTORY_DATE, "Date"},
    {IDS_HISTORY_TIME_ON_BATTERY, "Time on battery"},
    {IDS_HISTORY_SESSIONS, "Discharge sessions"},
    {IDS_HISTORY_AVERAGE_RATE, "Average rate (mW)"},
    {IDS_HISTORY_DAILY, "Daily summaries"},
    {IDS_HISTORY_CAPACITY_RECORDS, "Capacity records"},
    {IDS_HISTORY_WEAR_COLUMN, "Wear (%)"},
    {IDS_HISTORY_MADE_ON, "Made on %s"},
};

// Lookups bisect the table.
constexpr bool Ascending() {
  for (size_t i = 1; i < std::size(kBuiltIn); ++i)
    if (kBuiltIn[i - 1].id >= kBuiltIn[i].id) return false;
  return true;
}
static_assert(Ascending(), "built-in texts must be sorted by identifier");

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

LanguageTable::~LanguageTable() {
  if (g_installed == this) g_installed = nullptr;
}

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
  // Too many digits saturate instead of wrapping, so an overlong number can never alias a
  // real identifier.
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  int32_t id = 0;
  for (char d : digits) {
    int digit = d - '0';
    id = id > (kMax - digit) / 10 ? kMax : id * 10 + digit;
  }
  entries.push_back(LanguageEntry{id, std::move(text)});
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
