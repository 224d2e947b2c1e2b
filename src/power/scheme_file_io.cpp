#include "power/scheme_file_io.h"

#include <commdlg.h>

#include <cstring>

#include "framework/handles.h"
#include "i18n/core/language_table.h"
#include "i18n/core/text_format.h"
#include "i18n/core/text_ids.h"
#include "power/schemes_page.h"
#include "power/scheme_records_win.h"
#include "power/wide_text.h"

namespace vantrel::power {

namespace {

std::string Narrow(std::wstring_view text, UINT code_page) {
  if (text.empty()) return {};
  const int chars = static_cast<int>(text.size());
  const int bytes = ::WideCharToMultiByte(code_page, 0, text.data(), chars, nullptr, 0, nullptr, nullptr);
  std::string out(bytes > 0 ? static_cast<size_t>(bytes) : 0, '\0');
  if (bytes > 0) ::WideCharToMultiByte(code_page, 0, text.data(), chars, out.data(), bytes, nullptr, nullptr);
  return out;
}

std::string Message(int id) { return i18n::Text(id); }

// `name`, or the first of "name (2)", "name (3)"… that `taken` does not know, its stem cut so
// that `length` stays within `limit`; empty when none is free.
template <class Taken, class Length>
std::wstring UniqueName(const std::wstring& name, size_t limit, Taken taken, Length length) {
  if (!taken(name)) return name;
  for (int n = 2; n < 1000; ++n) {
    const std::string number = std::to_string(n);  // ASCII digits: widened as they are
    const std::wstring suffix = L" (" + std::wstring(number.begin(), number.end()) + L")";
    std::wstring stem = name;
    while (!stem.empty() && length(stem + suffix) > limit) stem.pop_back();
    while (!stem.empty() && stem.back() == L' ') stem.pop_back();
    if (stem.empty()) return {};
    if (!taken(stem + suffix)) return stem + suffix;
  }
  return {};
}

std::string NotTakenMessage(const std::vector<std::string>& not_taken) {
  if (not_taken.empty()) return {};
  std::string list;
  for (const std::string& name : not_taken) list += (list.empty() ? "" : ", ") + name;
  return i18n::FormatText(Message(i18n::IDS_SCHEME_FILE_NOT_TAKEN), {list});
}

// A refusal of the texts themselves, before anything is created.
ImportOutcome TextsRefused(SchemeFileError error) {
  return {-1, SchemeFileMessage({error, 0, error == SchemeFileError::DescriptionTooLong ? "description" : "name"})};
}

bool ReadRecords(const PowerPlatform& power, int number, XpSchemeRecords* out) {
  POWER_POLICY policy{};
  MACHINE_PROCESSOR_POWER_POLICY processor{};
  if (power.ReadScheme(number, &policy) != 0) return false;
  if (PowerPlatform::HasProcessorSchemes() && power.ReadProcessorScheme(number, &processor) != 0) return false;
  *out = ToSchemeRecords(policy, processor);
  return true;
}

}  // namespace

// ---- files ---------------------------------------------------------------------------------------------

std::optional<std::wstring> AskSchemeFile(HWND owner, bool save, bool plans, const std::wstring& suggested) {
  const std::wstring type = Widen(Message(i18n::IDS_SCHEME_FILE_TYPE), CP_ACP);
  const wchar_t* patterns = save || !plans ? L"*.vps" : L"*.vps;*.pow";
  // "Power scheme files (*.vps)\0*.vps\0\0"
  std::wstring filter = type + L" (" + patterns + L")";
  filter += L'\0';
  filter += patterns;
  filter += L'\0';
  std::wstring file(1024, L'\0');
  suggested.copy(file.data(), std::min(suggested.size(), file.size() - 1));
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter.c_str();
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrDefExt = L"vps";
  dialog.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
                 (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
  if (!(save ? ::GetSaveFileNameW(&dialog) : ::GetOpenFileNameW(&dialog))) return std::nullopt;
  file.resize(std::wcslen(file.c_str()));
  return file;
}

SchemeFileError ReadSchemeFileBytes(const std::wstring& path, std::string* bytes) {
  fw::UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return SchemeFileError::Unreadable;
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.get(), &size)) return SchemeFileError::Unreadable;
  if (size.QuadPart > static_cast<LONGLONG>(kSchemeFileMaxBytes)) return SchemeFileError::TooLarge;
  // One byte more than allowed tells a file that grew since its size was asked.
  std::string data(kSchemeFileMaxBytes + 1, '\0');
  size_t got = 0;
  for (DWORD n = 1; n > 0 && got < data.size(); got += n) {
    if (!::ReadFile(file.get(), data.data() + got, static_cast<DWORD>(data.size() - got), &n, nullptr))
      return SchemeFileError::Unreadable;
  }
  if (got > kSchemeFileMaxBytes) return SchemeFileError::TooLarge;
  data.resize(got);
  *bytes = std::move(data);
  return SchemeFileError::None;
}

bool ReplaceFileWith(const std::wstring& path, std::string_view bytes) {
  const size_t slash = path.find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? L"." : path.substr(0, slash + 1);
  wchar_t temporary[MAX_PATH] = {};
  if (!::GetTempFileNameW(folder.c_str(), L"vps", 0, temporary)) return false;
  bool written = false;
  {
    fw::UniqueHandle file(
        ::CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD n = 0;
    written = file && ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr) &&
              n == bytes.size() && ::FlushFileBuffers(file.get());
  }
  if (written && ::MoveFileExW(temporary, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  ::DeleteFileW(temporary);
  return false;
}

std::string SchemeFileMessage(const SchemeFileProblem& problem) {
  const std::string text = i18n::FormatText(Message(SchemeFileErrorTextId(problem.error)), {problem.key});
  if (problem.line <= 0) return text;
  return i18n::FormatText(Message(i18n::IDS_SCHEME_FILE_LINE), {std::to_string(problem.line), text});
}

bool IsSystemPlanFile(const std::wstring& path) {
  return path.size() > 4 && ::lstrcmpiW(path.c_str() + path.size() - 4, L".pow") == 0;
}

// ---- export --------------------------------------------------------------------------------------------

int XpSchemeToFile(const PowerPlatform& power, int number, SchemeFile* out) {
  SchemeFile scheme;
  scheme.backend = SchemeBackend::Xp;
  if (!ReadRecords(power, number, &scheme.records)) return ERROR_READ_FAULT;
  unsigned name_length = 0, description_length = 0;
  power.GetSchemeText(number, nullptr, 0, &name_length, nullptr, 0, &description_length);
  std::string name(name_length, '\0'), description(description_length, '\0');
  power.GetSchemeText(number, name.data(), name_length, nullptr, description.data(), description_length, nullptr);
  scheme.name = Narrow(Widen(name, CP_ACP), CP_UTF8);
  scheme.description = Narrow(Widen(description, CP_ACP), CP_UTF8);
  *out = std::move(scheme);
  return 0;
}

int PlanToFile(const PowerPlans& plans, int number, SchemeFile* out) {
  const PlanEntry* entry = plans.Entry(number);
  if (!entry) return ERROR_FILE_NOT_FOUND;
  SchemeFile scheme;
  scheme.backend = SchemeBackend::Plan;
  if (const int error = plans.ReadSettings(number, &scheme.settings)) return error;
  scheme.personality = plans.Personality(number);
  scheme.name = Narrow(entry->name, CP_UTF8);
  scheme.description = Narrow(entry->description, CP_UTF8);
  *out = std::move(scheme);
  return 0;
}

// ---- import --------------------------------------------------------------------------------------------

ImportOutcome ImportXpScheme(PowerPlatform& power, std::string_view bytes, int base) {
  SchemeFile file;
  if (const SchemeFileProblem problem = ReadSchemeFile(bytes, &file); !problem.ok())
    return {-1, SchemeFileMessage(problem)};
  // A plan file gives only some fields: the others come from a scheme of this machine.
  XpSchemeRecords base_records{};
  bool have_base = ReadRecords(power, base, &base_records);
  for (unsigned n = 0; !have_base && n < power.GetSchemeCount(); ++n)
    have_base = ReadRecords(power, static_cast<int>(n), &base_records);
  if (file.backend == SchemeBackend::Plan && !have_base) return {-1, SchemesPage::kReadFailedMessage};
  SchemeImport imported;
  if (const SchemeFileProblem problem = ImportSchemeFile(bytes, SchemeBackend::Xp, base_records, &imported);
      !problem.ok())
    return {-1, SchemeFileMessage(problem)};

  // The system keeps names and descriptions in the user's code page, counted in its bytes.
  const std::wstring wide_name = Widen(imported.scheme.name, CP_UTF8);
  const std::string description = Narrow(Widen(imported.scheme.description, CP_UTF8), CP_ACP);
  if (Narrow(wide_name, CP_ACP).size() > kSchemeNameLimit) return TextsRefused(SchemeFileError::NameTooLong);
  if (description.size() > kSchemeDescriptionLimit) return TextsRefused(SchemeFileError::DescriptionTooLong);
  const std::wstring unique = UniqueName(
      wide_name, kSchemeNameLimit, [&](const std::wstring& n) { return !power.IsSchemeNameFree(Narrow(n, CP_ACP).c_str()); },
      [](const std::wstring& n) { return Narrow(n, CP_ACP).size(); });
  if (unique.empty()) return {-1, SchemesPage::kNameTakenMessage};

  POWER_POLICY policy{};
  MACHINE_PROCESSOR_POWER_POLICY processor{};
  FromSchemeRecords(imported.scheme.records, &policy, &processor);
  int number = -1;
  if (power.WriteScheme(Narrow(unique, CP_ACP).c_str(), description.c_str(), policy, &number) != 0)
    return {-1, SchemesPage::kCreateFailedMessage};
  // Each record is read back: a write the system answered but did not keep is no import.
  POWER_POLICY policy_back{};
  bool taken = power.ReadScheme(number, &policy_back) == 0 && std::memcmp(&policy_back, &policy, sizeof policy) == 0;
  if (taken && PowerPlatform::HasProcessorSchemes()) {
    MACHINE_PROCESSOR_POWER_POLICY processor_back{};
    taken = power.WriteProcessorScheme(number, processor) == 0 && power.ReadProcessorScheme(number, &processor_back) == 0 &&
            std::memcmp(&processor_back, &processor, sizeof processor) == 0;
  }
  if (!taken) {
    if (power.DeleteScheme(number) == 1) return {-1, Message(i18n::IDS_SCHEME_FILE_REMOVED)};
    return {number, SchemesPage::kWriteFailedMessage};
  }
  return {number, NotTakenMessage(imported.not_taken)};
}

ImportOutcome ImportPlan(PowerPlans& plans, std::string_view bytes) {
  SchemeImport imported;
  if (const SchemeFileProblem problem = ImportSchemeFile(bytes, SchemeBackend::Plan, {}, &imported); !problem.ok())
    return {-1, SchemeFileMessage(problem)};
  auto taken = [&](const std::wstring& name) {
    for (const PlanEntry& plan : plans.plans()) {
      if (plan.name == name) return true;
    }
    return false;
  };
  const std::wstring name = UniqueName(Widen(imported.scheme.name, CP_UTF8), kPlanNameLimit, taken,
                                       [](const std::wstring& n) { return n.size(); });
  if (name.empty()) return {-1, SchemesPage::kNameTakenMessage};
  int created = -1;
  bool removed = false;
  if (plans.CreatePlan(imported.scheme.personality, name, Widen(imported.scheme.description, CP_UTF8),
                       imported.scheme.settings, &imported.not_taken, &created, &removed) != 0)
    return {-1, removed ? Message(i18n::IDS_SCHEME_FILE_REMOVED) : SchemesPage::kCreateFailedMessage};
  return {created, NotTakenMessage(imported.not_taken)};
}

ImportOutcome ImportSystemPlanFile(PowerPlans& plans, const std::wstring& path) {
  int created = -1;
  if (const int error = plans.ImportSystemFile(path, &created))
    return {-1, i18n::FormatText(Message(i18n::IDS_SCHEME_FILE_SYSTEM_REFUSED), {std::to_string(error)})};
  // The file brings its own name: one that another plan has gets a number.
  const std::wstring name = plans.Entry(created)->name;
  const std::wstring unique = UniqueName(
      name, kPlanNameLimit,
      [&](const std::wstring& n) {
        for (size_t i = 0; i + 1 < plans.plans().size(); ++i) {
          if (plans.plans()[i].name == n) return true;
        }
        return false;
      },
      [](const std::wstring& n) { return n.size(); });
  if (!unique.empty() && unique != name) plans.Rename(created, unique, nullptr);
  return {created, {}};
}

}  // namespace vantrel::power
