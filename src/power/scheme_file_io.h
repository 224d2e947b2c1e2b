// Export and Import of the Schemes page: the file dialogs, reading and writing scheme files
// safely, and a scheme or plan of this system to and from the program's own scheme file
// (core/scheme_file.h). An import creates a new scheme or plan under a name no other one has
// and never touches an existing one.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "power/core/scheme_file.h"
#include "power/power_plans.h"
#include "power/power_platform.h"

namespace vantrel::power {

// The standard dialog for a file to write (`save`) or to read; on the plan back end the open
// dialog also offers the system's own .pow files. The path on OK, nothing on Cancel.
std::optional<std::wstring> AskSchemeFile(HWND owner, bool save, bool plans, const std::wstring& suggested);

// A whole file of at most kSchemeFileMaxBytes. A larger one is TooLarge without being read.
SchemeFileError ReadSchemeFileBytes(const std::wstring& path, std::string* bytes);
// Writes the file through a temporary file beside it, which then replaces it: a write that
// fails leaves a file of that name as it was. False on any failure.
bool ReplaceFileWith(const std::wstring& path, std::string_view bytes);

// What the user reads when a file is refused.
std::string SchemeFileMessage(const SchemeFileProblem& problem);

// The scheme or plan `number` as a file holds it: 0, or the error of the read that failed.
int XpSchemeToFile(const PowerPlatform& power, int number, SchemeFile* out);
int PlanToFile(const PowerPlans& plans, int number, SchemeFile* out);

// What an import did: the number of the new scheme or plan (-1 for none) and what the user is
// told (nothing when empty).
struct ImportOutcome {
  int created = -1;
  std::string message;
};
// Into the XP-era schemes; a plan file takes the other fields from scheme `base` (or the first
// scheme that can be read).
ImportOutcome ImportXpScheme(PowerPlatform& power, std::string_view bytes, int base);
ImportOutcome ImportPlan(PowerPlans& plans, std::string_view bytes);
// A file of the system's own export format, handed to the system.
ImportOutcome ImportSystemPlanFile(PowerPlans& plans, const std::wstring& path);
// True for the extension of the system's own format (.pow).
bool IsSystemPlanFile(const std::wstring& path);

}  // namespace vantrel::power
