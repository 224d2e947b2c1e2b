// The program's own scheme file: one power scheme (XP-era back end) or power plan (plan back
// end) as plain UTF-8 text, written on export and read on import; docs/scheme-files.md
// describes it. The reader is strict: a file it does not fully understand creates nothing.
// A file from either back end imports on either: across back ends the fields that have a
// counterpart (core/plan_fields.h) are taken and the others listed for the user.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/plan_guids.h"
#include "power/core/scheme_records.h"

namespace vantrel::power {

enum class SchemeBackend : uint8_t { Xp, Plan };

struct PlanSettingValue {
  platform::PlanGuid subgroup;
  platform::PlanGuid setting;
  uint32_t ac = 0;
  uint32_t dc = 0;
  friend bool operator==(const PlanSettingValue&, const PlanSettingValue&) = default;
};

struct SchemeFile {
  SchemeBackend backend = SchemeBackend::Xp;
  std::string name;                        // UTF-8
  std::string description;                 // UTF-8
  XpSchemeRecords records;                 // Xp: both records
  platform::PlanGuid personality;          // Plan: one of the default plans' GUIDs
  std::vector<PlanSettingValue> settings;  // Plan: every setting, each GUID once
};

// Why a file was refused; each has its own message (SchemeFileErrorTextId).
enum class SchemeFileError : uint8_t {
  None,
  Unreadable,          // the file could not be opened or read (the caller's)
  TooLarge,            // more than kSchemeFileMaxBytes
  NotText,             // a NUL, a control character or bytes that are not UTF-8
  NotSchemeFile,       // the first line is not the format's
  WrongVersion,        // a version of the format this program does not read
  Truncated,           // no end line: the file was cut short
  BadLine,             // a line that is not "key = value", or text after the end line
  UnknownKey,          // a key this format (or this back end's part of it) does not have
  DuplicateKey,        // a key, or a plan setting, given twice
  MissingKey,          // a key the back end needs is not there
  WrongType,           // not a number, a GUID or a text where one is due
  OutOfRange,          // a number beyond what the field holds, or an unknown back end
  NameEmpty,           // the scheme has no name
  NameTooLong,         // the name is longer than the system keeps
  DescriptionTooLong,  // the description is longer than the system keeps
  Count
};

struct SchemeFileProblem {
  SchemeFileError error = SchemeFileError::None;
  int line = 0;     // 1-based; 0 when it concerns the whole file
  std::string key;  // the key concerned, if any
  bool ok() const noexcept { return error == SchemeFileError::None; }
};

// Larger files are refused unread: a plan with every setting is a few tens of kilobytes.
inline constexpr size_t kSchemeFileMaxBytes = 256 * 1024;
// The extension the program offers in its file dialogs; the reader does not look at names.
inline constexpr const char* kSchemeFileExtension = "vps";

// How long a name and a description may be on each back end. XP-era names are counted in
// characters here; the caller checks the bytes again once converted to the user's code page
// (kSchemeNameLimit bytes). Plans have no published limit; these keep the system's own
// dialogs usable.
inline constexpr size_t kPlanNameLimit = 255;          // UTF-16 units
inline constexpr size_t kPlanDescriptionLimit = 1023;  // UTF-16 units

// The text of an error's message (i18n::IDS_SCHEME_FILE_UNREADABLE…; 0 for None). Those of
// errors with a key have one "%s" for it; a problem with a line goes into IDS_SCHEME_FILE_LINE.
int SchemeFileErrorTextId(SchemeFileError error);

// Reads a whole file. On success `out` holds the scheme; on failure it is untouched.
SchemeFileProblem ReadSchemeFile(std::string_view bytes, SchemeFile* out);
// Writes a scheme; the text is checked by reading it back, so a file the program writes is
// always one it reads (a name too long, a value out of range are refused here instead).
SchemeFileProblem WriteSchemeFile(const SchemeFile& scheme, std::string* text);

// NameEmpty, NameTooLong, DescriptionTooLong or None for the texts on back end `target`.
SchemeFileError CheckSchemeTexts(std::string_view name, std::string_view description, SchemeBackend target);

// Across back ends. The XP records' fields with a plan setting are converted to it; the
// names of the others (XpFieldName) are appended to `not_taken`.
std::vector<PlanSettingValue> PlanSettingsFromXp(const XpSchemeRecords& records, std::vector<std::string>* not_taken);
// The plan settings with a field in the XP records written over `base` (a scheme of this
// machine, which gives every other field); the names of the others are appended to
// `not_taken` (XpFieldName for a setting of the global policy, the GUID for the rest).
XpSchemeRecords XpFromPlanSettings(std::span<const PlanSettingValue> settings, const XpSchemeRecords& base,
                                   std::vector<std::string>* not_taken);

// What an import creates on back end `target`.
struct SchemeImport {
  SchemeFile scheme;                   // on the target back end
  std::vector<std::string> not_taken;  // fields or settings of the file with no counterpart there
};
// Reads a file and converts it for `target`. `xp_base` gives the XP fields a plan file has no
// setting for (only used when a plan file is imported on the XP back end); a file from the
// XP back end imported as a plan gets the Balanced personality. The name is checked against
// the target's limits. On failure `out` is untouched.
SchemeFileProblem ImportSchemeFile(std::string_view bytes, SchemeBackend target, const XpSchemeRecords& xp_base,
                                   SchemeImport* out);

}  // namespace vantrel::power
