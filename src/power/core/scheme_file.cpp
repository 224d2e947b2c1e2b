#include "power/core/scheme_file.h"

#include <cstdio>
#include <optional>
#include <set>

#include "i18n/core/text_ids.h"
#include "power/core/plan_fields.h"
#include "power/core/scheme_rules.h"

namespace vantrel::power {

namespace {

using E = SchemeFileError;
using platform::PlanGuid;

constexpr std::string_view kMagic = "vantrel-scheme ";
constexpr int kVersion = 1;
constexpr std::string_view kSettingPrefix = "setting.";

SchemeFileProblem Problem(E error, int line = 0, std::string_view key = {}) { return {error, line, std::string(key)}; }

// The length of the UTF-8 sequence that starts at `at`, 0 when there is none there; `cut` is
// set when the bytes end inside an otherwise well-formed sequence.
size_t Utf8Length(std::string_view s, size_t at, bool* cut) {
  const auto b = static_cast<unsigned char>(s[at]);
  if (b < 0x80) return 1;
  // The lead byte: the sequence's length, the smallest code point it may hold, its own bits.
  struct Lead {
    unsigned char mask, bits;
    size_t n;
    uint32_t min;
  };
  constexpr Lead kLeads[] = {{0xe0, 0xc0, 2, 0x80}, {0xf0, 0xe0, 3, 0x800}, {0xf8, 0xf0, 4, 0x10000}};
  size_t n = 0;
  uint32_t min = 0, cp = 0;
  for (const Lead& lead : kLeads) {
    if ((b & lead.mask) == lead.bits) n = lead.n, min = lead.min, cp = b & static_cast<unsigned char>(~lead.mask);
  }
  if (n == 0) return 0;
  for (size_t i = 1; i < n; ++i) {
    if (at + i >= s.size()) {
      *cut = true;
      return 0;
    }
    const auto c = static_cast<unsigned char>(s[at + i]);
    if ((c & 0xc0) != 0x80) return 0;
    cp = cp << 6 | (c & 0x3fu);
  }
  if (cp < min || cp > 0x10ffff || (cp >= 0xd800 && cp <= 0xdfff)) return 0;
  return n;
}

bool IsUtf8(std::string_view s) {
  bool cut = false;
  for (size_t at = 0; at < s.size();) {
    const size_t n = Utf8Length(s, at, &cut);
    if (n == 0) return false;
    at += n;
  }
  return true;
}

// Characters of valid UTF-8 text, counted as UTF-16 units when `utf16`.
size_t CountChars(std::string_view s, bool utf16) {
  size_t count = 0;
  for (unsigned char c : s) {
    if ((c & 0xc0) != 0x80) count += (utf16 && c >= 0xf0) ? 2 : 1;
  }
  return count;
}

// Checks the bytes as text: UTF-8, no NUL, no control character but tab and the line ends
// (LF, or CR LF). Fills `problem` and returns false otherwise.
bool CheckText(std::string_view s, SchemeFileProblem* problem) {
  int line = 1;
  for (size_t at = 0; at < s.size();) {
    const char c = s[at];
    if (c == '\n') ++line;
    const bool crlf = c == '\r' && at + 1 < s.size() && s[at + 1] == '\n';
    if ((static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && !crlf) || c == 0x7f) {
      *problem = Problem(E::NotText, line);
      return false;
    }
    bool cut = false;
    const size_t n = Utf8Length(s, at, &cut);
    if (n == 0) {
      *problem = Problem(cut ? E::Truncated : E::NotText, line);
      return false;
    }
    at += n;
  }
  return true;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A decimal number or "0x" and up to eight hexadecimal digits; nothing else.
std::optional<uint32_t> ParseNumber(std::string_view s) {
  uint64_t v = 0;
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    s.remove_prefix(2);
    if (s.size() > 8) return std::nullopt;
    for (char c : s) {
      const int d = HexValue(c);
      if (d < 0) return std::nullopt;
      v = v << 4 | static_cast<unsigned>(d);
    }
    return static_cast<uint32_t>(v);
  }
  if (s.empty() || s.size() > 10) return std::nullopt;
  for (char c : s) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + static_cast<unsigned>(c - '0');
  }
  if (v > 0xffffffffu) return std::nullopt;
  return static_cast<uint32_t>(v);
}

// A number too large for 32 bits reads as out of range, not as the wrong type.
bool IsDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// Text values: "\\" and "\xHH" escapes; the result must be UTF-8 without NUL.
std::optional<std::string> Unescape(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\') {
      out += s[i];
      continue;
    }
    if (i + 1 < s.size() && s[i + 1] == '\\') {
      out += '\\';
      ++i;
      continue;
    }
    if (i + 3 >= s.size() || s[i + 1] != 'x') return std::nullopt;
    const int hi = HexValue(s[i + 2]), lo = HexValue(s[i + 3]);
    if (hi < 0 || lo < 0 || (hi == 0 && lo == 0)) return std::nullopt;
    out += static_cast<char>(hi << 4 | lo);
    i += 3;
  }
  if (!IsUtf8(out)) return std::nullopt;
  return out;
}

std::string Escape(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    const bool edge_blank = (c == ' ' || c == '\t') && (i == 0 || i + 1 == s.size());
    if (c == '\\') {
      out += "\\\\";
    } else if (c < 0x20 || c == 0x7f || edge_blank) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

bool HasEndLine(std::string_view s) {
  while (!s.empty()) {
    const size_t eol = s.find('\n');
    if (Trim(s.substr(0, eol)) == "end" || Trim(s.substr(0, eol)) == "end\r") return true;
    s.remove_prefix(eol == std::string_view::npos ? s.size() : eol + 1);
  }
  return false;
}

std::string RecordKey(const RecordField& f) { return std::string(f.group) + "." + f.name; }

// The reader's state while it goes through the lines of one file.
class Reader {
 public:
  SchemeFileProblem Read(std::string_view bytes, SchemeFile* out);

 private:
  SchemeFileProblem Line(std::string_view key, std::string_view value);
  SchemeFileProblem Setting(std::string_view key, std::string_view value);
  SchemeFileProblem Finish();
  bool Seen(std::string_view key) { return !keys_.insert(std::string(key)).second; }

  SchemeFile file_;
  int line_ = 0;
  bool have_backend_ = false;
  int name_line_ = 0;
  int description_line_ = 0;
  std::set<std::string> keys_;
  std::vector<bool> have_field_ = std::vector<bool>(RecordFields().size());
};

SchemeFileProblem Reader::Read(std::string_view bytes, SchemeFile* out) {
  if (bytes.size() > kSchemeFileMaxBytes) return Problem(E::TooLarge);
  if (bytes.substr(0, 3) == "\xef\xbb\xbf") bytes.remove_prefix(3);
  SchemeFileProblem problem;
  if (!CheckText(bytes, &problem)) return problem;
  bool ended = false;
  while (!bytes.empty()) {
    const size_t eol = bytes.find('\n');
    std::string_view line = bytes.substr(0, eol);
    bytes.remove_prefix(eol == std::string_view::npos ? bytes.size() : eol + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    ++line_;
    if (line_ == 1) {
      if (line.substr(0, kMagic.size()) != kMagic) return Problem(E::NotSchemeFile, 1);
      const std::string_view version = line.substr(kMagic.size());
      if (!IsDigits(version)) return Problem(E::NotSchemeFile, 1);
      if (version != std::to_string(kVersion)) return Problem(E::WrongVersion, 1);
      // A file cut short may end in half a line: say so rather than what that half is.
      if (!HasEndLine(bytes)) return Problem(E::Truncated);
      continue;
    }
    const std::string_view text = Trim(line);
    if (text.empty() || text.front() == '#') continue;
    if (ended) return Problem(E::BadLine, line_);
    if (text == "end") {
      ended = true;
      continue;
    }
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) return Problem(E::BadLine, line_);
    const std::string_view key = Trim(line.substr(0, eq));
    // A blank at either end of a text is written escaped; raw ones are a hand edit's.
    const std::string_view value = Trim(line.substr(eq + 1));
    if (key.empty()) return Problem(E::BadLine, line_);
    problem = Line(key, value);
    if (!problem.ok()) return problem;
  }
  if (!ended) return Problem(E::Truncated);
  problem = Finish();
  if (problem.ok() && out) *out = std::move(file_);
  return problem;
}

SchemeFileProblem Reader::Line(std::string_view key, std::string_view value) {
  if (!have_backend_) {
    // The back end comes first: it says which keys follow.
    if (key == "name" || key == "description") return Problem(E::MissingKey, line_, "backend");
    if (key != "backend") return Problem(E::UnknownKey, line_, key);
    if (value == "xp")
      file_.backend = SchemeBackend::Xp;
    else if (value == "plan")
      file_.backend = SchemeBackend::Plan;
    else
      return Problem(E::OutOfRange, line_, key);
    have_backend_ = true;
    Seen(key);
    return {};
  }
  if (key == "backend") return Problem(E::DuplicateKey, line_, key);
  const bool plan = file_.backend == SchemeBackend::Plan;
  if (key == "name" || key == "description") {
    if (Seen(key)) return Problem(E::DuplicateKey, line_, key);
    std::optional<std::string> text = Unescape(value);
    if (!text) return Problem(E::WrongType, line_, key);
    (key == "name" ? file_.name : file_.description) = std::move(*text);
    (key == "name" ? name_line_ : description_line_) = line_;
    return {};
  }
  if (plan && key == "personality") {
    if (Seen(key)) return Problem(E::DuplicateKey, line_, key);
    if (!platform::ParseGuid(value, &file_.personality)) return Problem(E::WrongType, line_, key);
    // The three default plans are the only personalities there are.
    namespace g = platform::guids;
    for (const PlanGuid& known : {g::kBalanced, g::kHighPerformance, g::kPowerSaver}) {
      if (file_.personality == known) return {};
    }
    return Problem(E::OutOfRange, line_, key);
  }
  if (plan && key.substr(0, kSettingPrefix.size()) == kSettingPrefix) return Setting(key, value);
  const RecordField* field = plan ? nullptr : FindRecordField(key);
  if (!field) return Problem(E::UnknownKey, line_, key);
  const size_t index = static_cast<size_t>(field - RecordFields().data());
  if (have_field_[index]) return Problem(E::DuplicateKey, line_, key);
  const std::string_view v = Trim(value);
  const std::optional<uint32_t> number = ParseNumber(v);
  if (!number) return Problem(IsDigits(v) ? E::OutOfRange : E::WrongType, line_, key);
  if (*number > FieldMaximum(*field)) return Problem(E::OutOfRange, line_, key);
  SetField(file_.records, *field, *number);
  have_field_[index] = true;
  return {};
}

// "setting.<subgroup GUID>.<setting GUID> = <AC value> <DC value>"
SchemeFileProblem Reader::Setting(std::string_view key, std::string_view value) {
  const std::string_view guids = key.substr(kSettingPrefix.size());
  const size_t dot = guids.find('.');
  PlanSettingValue s;
  if (dot == std::string_view::npos || !platform::ParseGuid(guids.substr(0, dot), &s.subgroup) ||
      !platform::ParseGuid(guids.substr(dot + 1), &s.setting)) {
    return Problem(E::UnknownKey, line_, key);
  }
  for (const PlanSettingValue& other : file_.settings) {
    if (other.setting == s.setting) return Problem(E::DuplicateKey, line_, key);
  }
  const std::string_view v = Trim(value);
  const size_t gap = v.find_first_of(" \t");
  if (gap == std::string_view::npos) return Problem(E::WrongType, line_, key);
  const std::string_view ac = v.substr(0, gap), dc = Trim(v.substr(gap));
  const std::optional<uint32_t> a = ParseNumber(ac), d = ParseNumber(dc);
  if (!a || !d) return Problem(IsDigits(ac) && IsDigits(dc) ? E::OutOfRange : E::WrongType, line_, key);
  s.ac = *a;
  s.dc = *d;
  file_.settings.push_back(s);
  return {};
}

SchemeFileProblem Reader::Finish() {
  if (!have_backend_) return Problem(E::MissingKey, 0, "backend");
  if (!keys_.count("name")) return Problem(E::MissingKey, 0, "name");
  if (!keys_.count("description")) return Problem(E::MissingKey, 0, "description");
  if (file_.backend == SchemeBackend::Plan) {
    if (!keys_.count("personality")) return Problem(E::MissingKey, 0, "personality");
  } else {
    for (size_t i = 0; i < have_field_.size(); ++i) {
      if (!have_field_[i]) return Problem(E::MissingKey, 0, RecordKey(RecordFields()[i]));
    }
  }
  const E texts = CheckSchemeTexts(file_.name, file_.description, file_.backend);
  if (texts == E::DescriptionTooLong) return Problem(texts, description_line_, "description");
  if (texts != E::None) return Problem(texts, name_line_, "name");
  return {};
}

// The scheme-record fields that have a plan setting, by their keys.
struct MappedKeys {
  XpField field;
  const char* ac;
  const char* dc;
};
constexpr MappedKeys kMappedKeys[] = {
    {XpField::IdleTimeout, "user.IdleTimeoutAc", "user.IdleTimeoutDc"},
    {XpField::IdleSensitivity, "user.IdleSensitivityAc", "user.IdleSensitivityDc"},
    {XpField::VideoTimeout, "user.VideoTimeoutAc", "user.VideoTimeoutDc"},
    {XpField::SpindownTimeout, "user.SpindownTimeoutAc", "user.SpindownTimeoutDc"},
    {XpField::ForcedThrottle, "user.ForcedThrottleAc", "user.ForcedThrottleDc"},
    {XpField::DozeS4Timeout, "mach.DozeS4TimeoutAc", "mach.DozeS4TimeoutDc"},
    {XpField::MinThrottle, "mach.MinThrottleAc", "mach.MinThrottleDc"},
};

const MappedKeys* FindMappedKeys(XpField field) {
  for (const MappedKeys& m : kMappedKeys) {
    if (m.field == field) return &m;
  }
  return nullptr;
}

// The fields of XpField that live in the scheme records (the rest are the global policy's).
constexpr XpField kLastSchemeField = XpField::ProcessorStates;
bool InSchemeRecords(XpField field) { return static_cast<int>(field) <= static_cast<int>(kLastSchemeField); }

constexpr uint32_t kActionSleep = 2;  // PowerActionSleep

uint32_t Get(const XpSchemeRecords& r, const char* key) { return GetField(r, *FindRecordField(key)); }

// A plan's idle timeout always means sleep: an XP idle timeout maps only where its action is
// sleep, or where it never runs out.
bool IdleMeansSleep(const XpSchemeRecords& r) {
  return (Get(r, "user.IdleAc.Action") == kActionSleep || Get(r, "user.IdleTimeoutAc") == 0) &&
         (Get(r, "user.IdleDc.Action") == kActionSleep || Get(r, "user.IdleTimeoutDc") == 0);
}

}  // namespace

int SchemeFileErrorTextId(SchemeFileError error) {
  static_assert(i18n::IDS_SCHEME_FILE_DESCRIPTION_TOO_LONG - i18n::IDS_SCHEME_FILE_UNREADABLE ==
                static_cast<int>(E::DescriptionTooLong) - static_cast<int>(E::Unreadable));
  static_assert(static_cast<int>(E::DescriptionTooLong) + 1 == static_cast<int>(E::Count));
  if (error == E::None || error >= E::Count) return 0;
  return i18n::IDS_SCHEME_FILE_UNREADABLE + static_cast<int>(error) - static_cast<int>(E::Unreadable);
}

SchemeFileProblem ReadSchemeFile(std::string_view bytes, SchemeFile* out) { return Reader().Read(bytes, out); }

SchemeFileProblem WriteSchemeFile(const SchemeFile& scheme, std::string* text) {
  std::string t;
  t += kMagic;
  t += std::to_string(kVersion) + "\n";
  const bool plan = scheme.backend == SchemeBackend::Plan;
  t += plan ? "backend = plan\n" : "backend = xp\n";
  t += "name = " + Escape(scheme.name) + "\n";
  t += "description = " + Escape(scheme.description) + "\n";
  if (plan) {
    t += "personality = " + platform::FormatGuid(scheme.personality) + "\n";
    for (const PlanSettingValue& s : scheme.settings) {
      t += std::string(kSettingPrefix) + platform::FormatGuid(s.subgroup) + "." + platform::FormatGuid(s.setting) +
           " = " + std::to_string(s.ac) + " " + std::to_string(s.dc) + "\n";
    }
  } else {
    for (const RecordField& f : RecordFields()) {
      char value[16];
      const uint32_t v = GetField(scheme.records, f);
      if (f.kind == FieldKind::Flags) {
        std::snprintf(value, sizeof value, "0x%0*x", f.width ? 8 : f.size * 2, static_cast<unsigned>(v));
      } else {
        std::snprintf(value, sizeof value, "%u", static_cast<unsigned>(v));
      }
      t += RecordKey(f) + " = " + value + "\n";
    }
  }
  t += "end\n";
  SchemeFileProblem problem = ReadSchemeFile(t, nullptr);
  if (problem.ok() && text) *text = std::move(t);
  return problem;
}

SchemeFileError CheckSchemeTexts(std::string_view name, std::string_view description, SchemeBackend target) {
  const bool plan = target == SchemeBackend::Plan;
  if (name.empty()) return E::NameEmpty;
  if (CountChars(name, plan) > (plan ? kPlanNameLimit : kSchemeNameLimit)) return E::NameTooLong;
  if (CountChars(description, plan) > (plan ? kPlanDescriptionLimit : kSchemeDescriptionLimit)) {
    return E::DescriptionTooLong;
  }
  return E::None;
}

std::vector<PlanSettingValue> PlanSettingsFromXp(const XpSchemeRecords& r, std::vector<std::string>* not_taken) {
  std::vector<PlanSettingValue> out;
  const bool sleep = IdleMeansSleep(r);
  for (int i = 0; i <= static_cast<int>(kLastSchemeField); ++i) {
    const auto field = static_cast<XpField>(i);
    const PlanSetting* row = FindPlanSetting(field);
    const MappedKeys* keys = FindMappedKeys(field);
    std::optional<uint32_t> ac, dc;
    if (row && keys && (field != XpField::IdleTimeout || sleep)) {
      ac = ToSetting(row->conversion, Get(r, keys->ac), 0);
      dc = ToSetting(row->conversion, Get(r, keys->dc), 0);
    }
    if (ac && dc) {
      out.push_back({row->subgroup, row->setting, *ac, *dc});
    } else if (field != XpField::IdleAction || !sleep) {
      not_taken->push_back(XpFieldName(field));
    }
  }
  return out;
}

XpSchemeRecords XpFromPlanSettings(std::span<const PlanSettingValue> settings, const XpSchemeRecords& base,
                                   std::vector<std::string>* not_taken) {
  XpSchemeRecords r = base;
  for (const PlanSettingValue& s : settings) {
    const PlanSetting* row = nullptr;
    for (const PlanSetting& candidate : PlanSettings()) {
      if (candidate.setting == s.setting) {
        row = &candidate;
        break;
      }
    }
    const MappedKeys* keys = row && InSchemeRecords(row->field) ? FindMappedKeys(row->field) : nullptr;
    if (!keys) {
      not_taken->push_back(row ? XpFieldName(row->field) : platform::FormatGuid(s.setting));
      continue;
    }
    const RecordField& ac_field = *FindRecordField(keys->ac);
    const RecordField& dc_field = *FindRecordField(keys->dc);
    const std::optional<uint32_t> ac = FromSetting(row->conversion, s.ac), dc = FromSetting(row->conversion, s.dc);
    if (!ac || !dc || *ac > FieldMaximum(ac_field) || *dc > FieldMaximum(dc_field)) {
      not_taken->push_back(XpFieldName(row->field));
      continue;
    }
    SetField(r, ac_field, *ac);
    SetField(r, dc_field, *dc);
    if (row->field == XpField::IdleTimeout) {
      SetField(r, *FindRecordField("user.IdleAc.Action"), kActionSleep);
      SetField(r, *FindRecordField("user.IdleDc.Action"), kActionSleep);
    }
  }
  return r;
}

SchemeFileProblem ImportSchemeFile(std::string_view bytes, SchemeBackend target, const XpSchemeRecords& xp_base,
                                   SchemeImport* out) {
  SchemeFile file;
  SchemeFileProblem problem = ReadSchemeFile(bytes, &file);
  if (!problem.ok()) return problem;
  const E texts = CheckSchemeTexts(file.name, file.description, target);
  if (texts != E::None) return Problem(texts, 0, texts == E::DescriptionTooLong ? "description" : "name");
  SchemeImport result;
  if (file.backend != target) {
    if (target == SchemeBackend::Plan) {
      file.settings = PlanSettingsFromXp(file.records, &result.not_taken);
      file.personality = platform::guids::kBalanced;
      file.records = {};
    } else {
      file.records = XpFromPlanSettings(file.settings, xp_base, &result.not_taken);
      file.settings.clear();
      file.personality = {};
    }
    file.backend = target;
  }
  result.scheme = std::move(file);
  if (out) *out = std::move(result);
  return {};
}

}  // namespace vantrel::power
