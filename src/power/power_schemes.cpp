// The scheme, policy and capability half of PowerPlatform.
#include <windows.h>

#include <string>
#include <string_view>
#include <utility>

#include "framework/caught.h"
#include "power/power_backend.h"
#include "power/power_platform.h"
#include "power/wide_text.h"

namespace vantrel::power {

namespace {

using platform::Sys;

constexpr char kReadProcessorFunction[] = "ReadProcessorPwrScheme";
constexpr char kWriteProcessorFunction[] = "WriteProcessorPwrScheme";

// The last error of a failed call. A failure is never reported as 0, even by a call that
// forgot to set the reason.
int FailureCode() {
  DWORD error = ::GetLastError();
  return error != ERROR_SUCCESS ? static_cast<int>(error) : ERROR_GEN_FAILURE;
}

bool IsLeadByte(unsigned char byte) { return ::IsDBCSLeadByte(byte) != FALSE; }

// Wide text of at most `maxChars` characters (the system's sizes count the terminator, which
// may be missing) in the user's code page.
std::string Narrow(const wchar_t* text, size_t maxChars) {
  if (!text) return {};
  size_t length = 0;
  while (length < maxChars && text[length] != L'\0') ++length;
  if (length == 0) return {};
  int wide = static_cast<int>(length);
  int bytes = ::WideCharToMultiByte(CP_ACP, 0, text, wide, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return {};
  std::string narrow(static_cast<size_t>(bytes), '\0');
  bytes = ::WideCharToMultiByte(CP_ACP, 0, text, wide, narrow.data(), bytes, nullptr, nullptr);
  narrow.resize(bytes > 0 ? static_cast<size_t>(bytes) : 0);
  return narrow;
}

// At most `maxChars` characters of a system text, up to its terminator.
std::wstring Bounded(const wchar_t* text, size_t maxChars) {
  if (!text) return {};
  size_t length = 0;
  while (length < maxChars && text[length] != L'\0') ++length;
  return std::wstring(text, length);
}

// Copies `text` when the buffer holds it, else reports its length: the two-call pattern.
void ProvideText(const std::string& text, char* buffer, unsigned capacity, unsigned* length) {
  if (buffer && capacity >= text.size()) {
    text.copy(buffer, text.size());
    buffer[text.size()] = '\0';
  } else if (length) {
    *length = static_cast<unsigned>(text.size());
  }
}

platform::ProcessorSchemeFn ProcessorFunction(const char* name) {
  FARPROC proc = Sys().GetPowerLibraryProc(name);
  // Through a generic function type: the address is typed by its export name only.
  return reinterpret_cast<platform::ProcessorSchemeFn>(reinterpret_cast<void (*)()>(proc));
}

SYSTEM_POWER_CAPABILITIES Capabilities() {
  SYSTEM_POWER_CAPABILITIES capabilities{};
  if (!Sys().GetPwrCapabilities(&capabilities)) capabilities = SYSTEM_POWER_CAPABILITIES{};
  return capabilities;
}

int Flag(BOOLEAN value) { return value ? 1 : 0; }

// On the plan back end no XP-era write is ever made: what those functions do to a plan is not
// documented. The refusal leaves a trace and ERROR_NOT_SUPPORTED.
bool XpWriteRefused(const char* what) {
  if (CurrentPowerBackend() != PowerBackend::Plans) return false;
  fw::TraceQuietFailure(what, ERROR_NOT_SUPPORTED);
  ::SetLastError(ERROR_NOT_SUPPORTED);
  return true;
}

}  // namespace

const PowerSchemeEntry* PowerPlatform::Entry(int number) const noexcept {
  if (number < 0 || static_cast<size_t>(number) >= schemes_.size()) return nullptr;
  return &schemes_[static_cast<size_t>(number)];
}

// ---- the scheme list --------------------------------------------------------------------------

BOOLEAN CALLBACK PowerPlatform::OnSchemeEnumerated(UINT id, DWORD nameSize, LPWSTR name, DWORD descriptionSize,
                                                   LPWSTR description, PPOWER_POLICY, LPARAM context) {
  auto* self = reinterpret_cast<PowerPlatform*>(context);
  if (!self) return FALSE;
  try {
    PowerSchemeEntry entry;
    entry.id = id;
    entry.name = Narrow(name, nameSize / sizeof(WCHAR));
    entry.description = Narrow(description, descriptionSize / sizeof(WCHAR));
    WideTexts wide{Bounded(name, nameSize / sizeof(WCHAR)), Bounded(description, descriptionSize / sizeof(WCHAR))};
    self->wide_.reserve(self->schemes_.size() + 1);
    self->schemes_.push_back(std::move(entry));
    self->wide_.push_back(std::move(wide));
    return TRUE;
  } catch (...) {
    fw::ReportCaughtException("power scheme enumeration");
    return FALSE;  // out of memory: keep what was listed so far
  }
}

int PowerPlatform::EnumSchemes() {
  schemes_.clear();
  wide_.clear();
  Sys().EnumPwrSchemes(&PowerPlatform::OnSchemeEnumerated, reinterpret_cast<LPARAM>(this));
  return 1;
}

int PowerPlatform::GetSchemeText(int number, char* name, unsigned nameCapacity, unsigned* nameLength,
                                 char* description, unsigned descriptionCapacity,
                                 unsigned* descriptionLength) const {
  const PowerSchemeEntry* entry = Entry(number);
  if (!entry) return 0;
  ProvideText(entry->name, name, nameCapacity, nameLength);
  ProvideText(entry->description, description, descriptionCapacity, descriptionLength);
  return 0;
}

UINT PowerPlatform::GetSchemeId(int number) const noexcept {
  const PowerSchemeEntry* entry = Entry(number);
  return entry ? entry->id : kNoSchemeId;
}

int PowerPlatform::GetActiveSchemeIndex() const {
  UINT active = 0;
  if (Sys().GetActivePwrScheme(&active)) {
    for (size_t i = 0; i < schemes_.size(); ++i) {
      if (schemes_[i].id == active) return static_cast<int>(i);
    }
  }
  return static_cast<int>(schemes_.size());
}

int PowerPlatform::ReadScheme(int number, POWER_POLICY* policy) const {
  const PowerSchemeEntry* entry = Entry(number);
  if (!entry) return ERROR_FILE_NOT_FOUND;
  if (!policy) return ERROR_INVALID_PARAMETER;
  return Sys().ReadPwrScheme(entry->id, policy) ? 0 : FailureCode();
}

int PowerPlatform::WriteScheme(const char* name, const char* description, const POWER_POLICY& policy,
                               int* number) {
  if (XpWriteRefused("WritePwrScheme on the plan back end")) return ERROR_NOT_SUPPORTED;
  const PowerSchemeEntry* existing = Entry(number ? *number : -1);
  PowerSchemeEntry entry;
  WideTexts wide;
  if (existing) {
    entry = *existing;
    wide = wide_[static_cast<size_t>(*number)];
  } else {
    entry.id = NewSchemeId();
  }
  // The list keeps what the system stores: the cut texts. A text given as it was read goes
  // back as the system gave it.
  if (name && !(existing && entry.name == name)) {
    entry.name = std::string(CutSchemeName(name, IsLeadByte));
    wide.name = Widen(entry.name);
  }
  if (description && !(existing && entry.description == description)) {
    entry.description = std::string(CutSchemeDescription(description, IsLeadByte));
    wide.description = Widen(entry.description);
  }

  WideTexts written = wide;  // the call takes writable texts
  POWER_POLICY stored = policy;
  UINT id = entry.id;
  if (!Sys().WritePwrScheme(&id, written.name.data(), written.description.data(), &stored)) return FailureCode();

  if (existing) {
    schemes_[static_cast<size_t>(*number)] = std::move(entry);
    wide_[static_cast<size_t>(*number)] = std::move(wide);
  } else {
    int appended = static_cast<int>(schemes_.size());
    wide_.reserve(schemes_.size() + 1);
    schemes_.push_back(std::move(entry));
    wide_.push_back(std::move(wide));
    if (number) *number = appended;
  }
  return 0;
}

int PowerPlatform::DeleteScheme(int number) {
  if (XpWriteRefused("DeletePwrScheme on the plan back end")) return 0;
  const PowerSchemeEntry* entry = Entry(number);
  // The last scheme is never deleted: the system must keep an active one.
  if (schemes_.size() < 2 || !entry) return 0;
  bool handed_over = false;
  if (number == GetActiveSchemeIndex()) {
    bool last = static_cast<size_t>(number) == schemes_.size() - 1;
    handed_over = SetActiveScheme(last ? number - 1 : number + 1) == 0;
  }
  if (!Sys().DeletePwrScheme(entry->id)) {
    // The scheme stays, and so does its active state.
    if (handed_over) SetActiveScheme(number);
    return 0;
  }
  schemes_.erase(schemes_.begin() + number);
  wide_.erase(wide_.begin() + number);
  return 1;
}

int PowerPlatform::SetActiveScheme(int number, const GLOBAL_POWER_POLICY* global, const POWER_POLICY* policy) {
  if (XpWriteRefused("SetActivePwrScheme on the plan back end")) return -1;
  const PowerSchemeEntry* entry = Entry(number);
  if (!entry) return -1;
  GLOBAL_POWER_POLICY globalCopy{};
  POWER_POLICY policyCopy{};
  if (global) globalCopy = *global;
  if (policy) policyCopy = *policy;
  BOOLEAN ok = Sys().SetActivePwrScheme(entry->id, global ? &globalCopy : nullptr, policy ? &policyCopy : nullptr);
  return ok ? 0 : -1;
}

int PowerPlatform::IsSchemeNameFree(const char* name) const {
  std::string_view wanted = name ? name : "";
  for (const PowerSchemeEntry& entry : schemes_) {
    if (entry.name == wanted) return 0;
  }
  return 1;
}

// ---- processor policy --------------------------------------------------------------------------

int PowerPlatform::ReadProcessorScheme(int number, MACHINE_PROCESSOR_POWER_POLICY* policy) const {
  platform::ProcessorSchemeFn read = ProcessorFunction(kReadProcessorFunction);
  if (!read) return -1;
  const PowerSchemeEntry* entry = Entry(number);
  if (!entry) return ERROR_FILE_NOT_FOUND;
  if (!policy) return ERROR_INVALID_PARAMETER;
  return read(entry->id, policy) ? 0 : FailureCode();
}

int PowerPlatform::WriteProcessorScheme(int number, const MACHINE_PROCESSOR_POWER_POLICY& policy) const {
  if (XpWriteRefused("WriteProcessorPwrScheme on the plan back end")) return ERROR_NOT_SUPPORTED;
  platform::ProcessorSchemeFn write = ProcessorFunction(kWriteProcessorFunction);
  if (!write) return -1;
  const PowerSchemeEntry* entry = Entry(number);
  if (!entry) return ERROR_FILE_NOT_FOUND;
  MACHINE_PROCESSOR_POWER_POLICY stored = policy;
  return write(entry->id, &stored) ? 0 : FailureCode();
}

// Both functions: a record that cannot be read must not be edited and written back.
int PowerPlatform::HasProcessorSchemes() {
  return ProcessorFunction(kWriteProcessorFunction) && ProcessorFunction(kReadProcessorFunction) ? 1 : 0;
}

// ---- global policy -------------------------------------------------------------------------------

int PowerPlatform::ReadGlobalPolicy(GLOBAL_POWER_POLICY* policy) {
  if (!policy) return ERROR_INVALID_PARAMETER;
  return Sys().ReadGlobalPwrPolicy(policy) ? 0 : FailureCode();
}

int PowerPlatform::WriteGlobalPolicy(const GLOBAL_POWER_POLICY& policy) {
  if (XpWriteRefused("WriteGlobalPwrPolicy on the plan back end")) return ERROR_NOT_SUPPORTED;
  GLOBAL_POWER_POLICY stored = policy;
  if (!Sys().WriteGlobalPwrPolicy(&stored)) return FailureCode();
  // The system applies a new global policy only when a scheme is activated.
  UINT active = 0;
  if (Sys().GetActivePwrScheme(&active)) Sys().SetActivePwrScheme(active, nullptr, nullptr);
  return 0;
}

// ---- capabilities and permissions ----------------------------------------------------------------

int PowerPlatform::HasPowerButton() { return Flag(Capabilities().PowerButtonPresent); }
int PowerPlatform::HasSleepButton() { return Flag(Capabilities().SleepButtonPresent); }
int PowerPlatform::HasLid() { return Flag(Capabilities().LidPresent); }

int PowerPlatform::SupportsSleepState(int state) {
  if (state < 1 || state > 5) return 0;
  SYSTEM_POWER_CAPABILITIES c = Capabilities();
  const BOOLEAN supported[] = {c.SystemS1, c.SystemS2, c.SystemS3, c.SystemS4, c.SystemS5};
  return Flag(supported[state - 1]);
}

int PowerPlatform::GetThrottleRange(BYTE* minimum, BYTE* maximum) {
  SYSTEM_POWER_CAPABILITIES c = Capabilities();
  if (!c.ProcessorThrottle) return 0;
  if (minimum) *minimum = c.ProcessorMinThrottle;
  if (maximum) *maximum = c.ProcessorMaxThrottle;
  return 1;
}

int PowerPlatform::HasSystemBatteries() { return Flag(Capabilities().SystemBatteriesPresent); }
int PowerPlatform::CanHibernate() { return Flag(Sys().IsPwrHibernateAllowed()); }
int PowerPlatform::CanShutdown() { return Flag(Sys().IsPwrShutdownAllowed()); }
int PowerPlatform::CanSuspend() { return Flag(Sys().IsPwrSuspendAllowed()); }

}  // namespace vantrel::power
