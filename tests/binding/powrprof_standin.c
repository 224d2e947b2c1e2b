/* A stand-in for the system's power library, for the tests of the program's own binding: a
   small plan store (two plans, four settings) that the program reads and edits the values of,
   with the documented calling conventions, sizes and error codes, and a record of every call.
   The XP-era functions answer as Wine's own library does (reads fail with 2, writes with 120),
   so a program that chooses by what the system answers takes the plan functions.

   Each call appends one line to the file named by VANTREL_STANDIN_LOG (nothing without it);
   the first line says where the library was loaded from. */
// The plan functions are declared for Vista and later.
#define _WIN32_WINNT 0x0601
#include <windows.h>
// after windows.h, which it needs
#include <powrprof.h>
#include <stdio.h>
#include <string.h>

#define EXPORT __declspec(dllexport)
#define UNUSED __attribute__((unused))

/* ---- the record ---- */

static char g_log[MAX_PATH];

/* Opened and closed for each line, so that the record is complete whenever it is read. */
static void Note(const char* format, ...) {
  FILE* file = g_log[0] ? fopen(g_log, "ab") : NULL;
  if (!file) return;
  va_list args;
  va_start(args, format);
  vfprintf(file, format, args);
  va_end(args);
  fputs("\r\n", file);
  fclose(file);
}

/* Formats into one of a few rotating buffers, so that one line can show several GUIDs. */
static const char* G(const GUID* g) {
  static char text[4][40];
  static int next;
  char* out = text[next++ & 3];
  if (!g) return "null";
  snprintf(out, 40, "%08lx-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x", (unsigned long)g->Data1, g->Data2, g->Data3,
           g->Data4[0], g->Data4[1], g->Data4[2], g->Data4[3], g->Data4[4], g->Data4[5], g->Data4[6], g->Data4[7]);
  return out;
}

/* ---- the store ---- */

static const GUID kBalanced = {0x381b4222, 0xf694, 0x41f0, {0x96, 0x85, 0xff, 0x5b, 0xb2, 0x60, 0xdf, 0x2e}};
static const GUID kQuiet = {0x5ab1e000, 0x0001, 0x4000, {0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01}};
static const GUID kVideo = {0x7516b95f, 0xf776, 0x4464, {0x8c, 0x53, 0x06, 0x16, 0x7f, 0x40, 0xcc, 0x99}};
static const GUID kVideoTimeout = {0x3c0bc021, 0xc8a8, 0x4e07, {0xa9, 0x73, 0x6b, 0x14, 0xcb, 0xcb, 0x2b, 0x7e}};
static const GUID kSleep = {0x238c9fa8, 0x0aad, 0x41ed, {0x83, 0xf4, 0x97, 0xbe, 0x24, 0x2c, 0x8f, 0x20}};
static const GUID kStandby = {0x29f6c1db, 0x86da, 0x48c5, {0x9f, 0xdb, 0xf2, 0xb6, 0x7b, 0x1f, 0x44, 0xda}};
static const GUID kButtons = {0x4f971e89, 0xeebd, 0x4455, {0xa8, 0xde, 0x9e, 0x59, 0x04, 0x0e, 0x73, 0x47}};
static const GUID kLid = {0x5ca83367, 0x6e45, 0x459f, {0xa2, 0x7b, 0x47, 0x6b, 0x1d, 0x01, 0xc9, 0x36}};
static const GUID kPowerButton = {0x7648efa3, 0xdd9c, 0x4e3e, {0xb5, 0x66, 0x50, 0xf9, 0x29, 0x38, 0x62, 0x80}};

#define PLANS 2
#define SETTINGS 4

typedef struct {
  const GUID* subgroup;
  const GUID* guid;
  BOOL list; /* a list of possible values (the button actions) rather than a range */
} Setting;

static const Setting kSettings[SETTINGS] = {
    {&kVideo, &kVideoTimeout, FALSE},
    {&kSleep, &kStandby, FALSE},
    {&kButtons, &kLid, TRUE},
    {&kButtons, &kPowerButton, TRUE},
};
static const DWORD kActionValues[] = {0, 2, 3, 6};
#define ACTIONS ((ULONG)(sizeof kActionValues / sizeof kActionValues[0]))

typedef struct {
  GUID guid;
  wchar_t name[64];
  wchar_t description[128];
  DWORD ac[SETTINGS], dc[SETTINGS];
} Plan;

static Plan g_plans[PLANS] = {
    {{0}, L"Balanced", L"Balances performance and energy", {600, 1800, 1, 3}, {300, 900, 1, 3}},
    {{0}, L"Quiet Stand-in", L"A second plan", {1200, 0, 0, 3}, {60, 600, 2, 1}},
};
static int g_active;

static int FindPlan(const GUID* guid) {
  if (!guid) return -1;
  for (int i = 0; i < PLANS; ++i)
    if (IsEqualGUID(&g_plans[i].guid, guid)) return i;
  return -1;
}

static int FindSetting(const GUID* subgroup, const GUID* setting) {
  if (!setting) return -1;
  for (int i = 0; i < SETTINGS; ++i)
    if (IsEqualGUID(kSettings[i].guid, setting) && (!subgroup || IsEqualGUID(kSettings[i].subgroup, subgroup)))
      return i;
  return -1;
}

/* The two-call pattern: copies `bytes` when the buffer holds them, else tells the size. */
static DWORD Give(const void* data, DWORD bytes, UCHAR* buffer, DWORD* size) {
  if (!size) return ERROR_INVALID_PARAMETER;
  const DWORD room = *size;
  *size = bytes;
  if (!buffer) return ERROR_SUCCESS;
  if (room < bytes) return ERROR_MORE_DATA;
  memcpy(buffer, data, bytes);
  return ERROR_SUCCESS;
}

/* ---- plan functions ---- */

EXPORT DWORD WINAPI PowerGetActiveScheme(HKEY root UNUSED, GUID** active) {
  Note("PowerGetActiveScheme");
  if (!active) return ERROR_INVALID_PARAMETER;
  *active = (GUID*)LocalAlloc(LMEM_FIXED, sizeof(GUID));
  if (!*active) return ERROR_NOT_ENOUGH_MEMORY;
  **active = g_plans[g_active].guid;
  return ERROR_SUCCESS;
}

EXPORT DWORD WINAPI PowerSetActiveScheme(HKEY root UNUSED, const GUID* scheme) {
  Note("PowerSetActiveScheme %s", G(scheme));
  int plan = FindPlan(scheme);
  if (plan < 0) return ERROR_FILE_NOT_FOUND;
  g_active = plan;
  return ERROR_SUCCESS;
}

EXPORT DWORD WINAPI PowerEnumerate(HKEY root UNUSED, const GUID* scheme, const GUID* subgroup,
                                   POWER_DATA_ACCESSOR access, ULONG index, UCHAR* buffer, DWORD* size) {
  Note("PowerEnumerate %s %s access=%d index=%lu size=%lu", G(scheme), G(subgroup), (int)access, index,
       size ? *size : 0);
  /* Only the plans: the binding test reads no catalogue of subgroups and settings. */
  if (access != ACCESS_SCHEME) return ERROR_CALL_NOT_IMPLEMENTED;
  return index < PLANS ? Give(&g_plans[index].guid, sizeof(GUID), buffer, size) : ERROR_NO_MORE_ITEMS;
}

static DWORD ReadText(const char* what, BOOL description, const GUID* scheme, const GUID* subgroup, const GUID* setting,
                      UCHAR* buffer, DWORD* size) {
  Note("%s %s %s %s size=%lu", what, G(scheme), G(subgroup), G(setting), size ? *size : 0);
  int plan = FindPlan(scheme);
  if (plan < 0 || subgroup || setting) return ERROR_FILE_NOT_FOUND;  /* only the plans' own texts */
  const wchar_t* text = description ? g_plans[plan].description : g_plans[plan].name;
  return Give(text, (DWORD)((wcslen(text) + 1) * sizeof(wchar_t)), buffer, size);
}

/* The exported functions that pass on to a shared body under their own name: a text's
   (buffer and size) or a value index's. */
#define SETTING_OF_PLAN HKEY root UNUSED, const GUID* scheme, const GUID* subgroup, const GUID* setting
#define SETTING_ALONE HKEY root UNUSED, const GUID* subgroup, const GUID* setting
#define TEXT_CALL(name, body, description)                                         \
  EXPORT DWORD WINAPI name(SETTING_OF_PLAN, UCHAR* buffer, LPDWORD size) {         \
    return body(#name, description, scheme, subgroup, setting, buffer, size);      \
  }
#define INDEX_CALL(name, body, dc, index_type)                                     \
  EXPORT DWORD WINAPI name(SETTING_OF_PLAN, index_type index) {                    \
    return body(#name, dc, scheme, subgroup, setting, index);                      \
  }
TEXT_CALL(PowerReadFriendlyName, ReadText, FALSE)
TEXT_CALL(PowerReadDescription, ReadText, TRUE)

static DWORD ReadIndex(const char* what, BOOL dc, const GUID* scheme, const GUID* subgroup, const GUID* setting,
                       LPDWORD index) {
  Note("%s %s %s %s", what, G(scheme), G(subgroup), G(setting));
  int plan = FindPlan(scheme), s = FindSetting(subgroup, setting);
  if (plan < 0 || s < 0) return ERROR_FILE_NOT_FOUND;
  if (!index) return ERROR_INVALID_PARAMETER;
  *index = dc ? g_plans[plan].dc[s] : g_plans[plan].ac[s];
  return ERROR_SUCCESS;
}

static DWORD WriteIndex(const char* what, BOOL dc, const GUID* scheme, const GUID* subgroup, const GUID* setting,
                        DWORD index) {
  Note("%s %s %s %s value=%lu", what, G(scheme), G(subgroup), G(setting), index);
  int plan = FindPlan(scheme), s = FindSetting(subgroup, setting);
  if (plan < 0 || s < 0) return ERROR_FILE_NOT_FOUND;
  if (kSettings[s].list && index >= ACTIONS) return ERROR_INVALID_PARAMETER;
  (dc ? g_plans[plan].dc : g_plans[plan].ac)[s] = index;
  return ERROR_SUCCESS;
}

INDEX_CALL(PowerReadACValueIndex, ReadIndex, FALSE, LPDWORD)
INDEX_CALL(PowerReadDCValueIndex, ReadIndex, TRUE, LPDWORD)
INDEX_CALL(PowerWriteACValueIndex, WriteIndex, FALSE, DWORD)
INDEX_CALL(PowerWriteDCValueIndex, WriteIndex, TRUE, DWORD)

/* The plan functions the binding test does not drive only note their name, so that a call
   shows in the record, and fail as a library without them would. */
#define NOT_DRIVEN(type, name, answer, ...) \
  EXPORT type WINAPI name(__VA_ARGS__) { return Note(#name), (type)(answer); }
#define PLAN_UNUSED HKEY root UNUSED, const GUID* scheme UNUSED, const GUID* subgroup UNUSED, const GUID* setting UNUSED
#define SETTING_UNUSED HKEY root UNUSED, const GUID* subgroup UNUSED, const GUID* setting UNUSED
NOT_DRIVEN(DWORD, PowerWriteFriendlyName, ERROR_CALL_NOT_IMPLEMENTED, PLAN_UNUSED, UCHAR* b UNUSED, DWORD n UNUSED)
NOT_DRIVEN(DWORD, PowerWriteDescription, ERROR_CALL_NOT_IMPLEMENTED, PLAN_UNUSED, UCHAR* b UNUSED, DWORD n UNUSED)
NOT_DRIVEN(DWORD, PowerDuplicateScheme, ERROR_CALL_NOT_IMPLEMENTED, HKEY root UNUSED, const GUID* from UNUSED,
           GUID** copy UNUSED)
NOT_DRIVEN(DWORD, PowerDeleteScheme, ERROR_CALL_NOT_IMPLEMENTED, HKEY root UNUSED, const GUID* scheme UNUSED)
NOT_DRIVEN(DWORD, PowerReadValueMin, ERROR_CALL_NOT_IMPLEMENTED, SETTING_UNUSED, LPDWORD value UNUSED)
NOT_DRIVEN(DWORD, PowerReadValueMax, ERROR_CALL_NOT_IMPLEMENTED, SETTING_UNUSED, LPDWORD value UNUSED)
NOT_DRIVEN(DWORD, PowerReadValueIncrement, ERROR_CALL_NOT_IMPLEMENTED, SETTING_UNUSED, LPDWORD value UNUSED)
NOT_DRIVEN(DWORD, PowerReadValueUnitsSpecifier, ERROR_CALL_NOT_IMPLEMENTED, SETTING_UNUSED, UCHAR* b UNUSED,
           LPDWORD n UNUSED)
NOT_DRIVEN(DWORD, PowerReadPossibleFriendlyName, ERROR_CALL_NOT_IMPLEMENTED, SETTING_UNUSED, ULONG index UNUSED,
           PUCHAR b UNUSED, LPDWORD n UNUSED)
NOT_DRIVEN(BOOLEAN, PowerIsSettingRangeDefined, FALSE, const GUID* subgroup UNUSED, const GUID* setting UNUSED)
NOT_DRIVEN(DWORD, PowerReadSettingAttributes, 0, const GUID* subgroup UNUSED, const GUID* setting UNUSED)

EXPORT DWORD WINAPI PowerReadPossibleValue(SETTING_ALONE, PULONG type, ULONG index, PUCHAR buffer, LPDWORD size) {
  Note("PowerReadPossibleValue %s %s index=%lu size=%lu", G(subgroup), G(setting), index, size ? *size : 0);
  const int s = FindSetting(subgroup, setting);
  if (s < 0 || !kSettings[s].list || index >= ACTIONS) return ERROR_FILE_NOT_FOUND;
  if (type) *type = REG_DWORD;
  return Give(&kActionValues[index], sizeof(DWORD), buffer, size);
}
EXPORT DWORD WINAPI PowerSettingAccessCheck(POWER_DATA_ACCESSOR access, const GUID* guid) {
  Note("PowerSettingAccessCheck access=%d %s", (int)access, G(guid));
  return ERROR_SUCCESS;
}

/* ---- the XP-era functions: as Wine's library answers them ---- */

static BOOLEAN Refuse(const char* what, DWORD error) {
  Note("%s", what);
  SetLastError(error);
  return FALSE;
}

/* Each notes its name and fails with its error. */
#define REFUSED(name, error, ...) \
  EXPORT BOOLEAN WINAPI name(__VA_ARGS__) { return Refuse(#name, error); }
REFUSED(EnumPwrSchemes, ERROR_FILE_NOT_FOUND, PWRSCHEMESENUMPROC callback UNUSED, LPARAM context UNUSED)
REFUSED(ReadPwrScheme, ERROR_FILE_NOT_FOUND, UINT id UNUSED, PPOWER_POLICY policy UNUSED)
REFUSED(WritePwrScheme, ERROR_CALL_NOT_IMPLEMENTED, PUINT id UNUSED, LPTSTR name UNUSED, LPTSTR description UNUSED,
        PPOWER_POLICY policy UNUSED)
REFUSED(DeletePwrScheme, ERROR_FILE_NOT_FOUND, UINT id UNUSED)
REFUSED(GetActivePwrScheme, ERROR_FILE_NOT_FOUND, PUINT id UNUSED)
REFUSED(SetActivePwrScheme, ERROR_FILE_NOT_FOUND, UINT id UNUSED, PGLOBAL_POWER_POLICY global UNUSED,
        PPOWER_POLICY policy UNUSED)
REFUSED(ReadGlobalPwrPolicy, ERROR_FILE_NOT_FOUND, PGLOBAL_POWER_POLICY policy UNUSED)
REFUSED(WriteGlobalPwrPolicy, ERROR_CALL_NOT_IMPLEMENTED, PGLOBAL_POWER_POLICY policy UNUSED)
REFUSED(ReadProcessorPwrScheme, ERROR_FILE_NOT_FOUND, UINT id UNUSED, PMACHINE_PROCESSOR_POWER_POLICY policy UNUSED)
REFUSED(WriteProcessorPwrScheme, ERROR_CALL_NOT_IMPLEMENTED, UINT id UNUSED,
        PMACHINE_PROCESSOR_POWER_POLICY policy UNUSED)
REFUSED(SetSuspendState, ERROR_NOT_SUPPORTED, BOOLEAN hibernate UNUSED, BOOLEAN force UNUSED, BOOLEAN no_wake UNUSED)

/* Not driven by the binding test either (the static import only needs the name). */
REFUSED(GetPwrCapabilities, ERROR_CALL_NOT_IMPLEMENTED, PSYSTEM_POWER_CAPABILITIES capabilities UNUSED)
NOT_DRIVEN(LONG, CallNtPowerInformation, 0xC0000002L /* STATUS_NOT_IMPLEMENTED */, POWER_INFORMATION_LEVEL level UNUSED,
           PVOID in UNUSED, ULONG in_size UNUSED, PVOID out UNUSED, ULONG out_size UNUSED)

#define ALLOWED(name) \
  EXPORT BOOLEAN WINAPI name(void) { return Note(#name), TRUE; }
ALLOWED(IsPwrSuspendAllowed)
ALLOWED(IsPwrHibernateAllowed)
ALLOWED(IsPwrShutdownAllowed)

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved UNUSED) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  DWORD n = GetEnvironmentVariableA("VANTREL_STANDIN_LOG", g_log, sizeof g_log);
  if (n == 0 || n >= sizeof g_log) g_log[0] = '\0';
  g_plans[0].guid = kBalanced;
  g_plans[1].guid = kQuiet;
  char path[MAX_PATH] = "";
  GetModuleFileNameA(instance, path, sizeof path);
  Note("loaded %s", path);
  return TRUE;
}
