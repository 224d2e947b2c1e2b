#include "display/tray_icon.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "display/core/tray_rules.h"

namespace vantrel::display {

namespace {

// What the toolbar's item data of a notification button holds, as far as it is read.
constexpr SIZE_T kItemDataSize = 548;
constexpr SIZE_T kItemTextOffset = 36;
constexpr SIZE_T kButtonTextSize = 256;
constexpr std::size_t kTipBytes = 127;
constexpr std::size_t kSecondTextBytes = 255;
// Bounds for the shell's answers: a sane toolbar has far fewer buttons, and a hung shell must
// not hang this program.
constexpr LRESULT kMaxButtons = 1024;
constexpr UINT kShellTimeoutMs = 1000;
// How long a balloon stays up unless the user dismisses it (shells from Vista on decide
// themselves).
constexpr UINT kBalloonTimeoutMs = 15000;

template <class Fn>
Fn Lookup(HMODULE module, const char* name) {
  if (!module) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

bool RunningUnderWine() {
  return ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

// The shell's per-button data is read with 32-bit words: only a 32-bit program next to a
// 32-bit shell (a 32-bit Windows) can take it at face value.
bool ShellLayoutIsKnown() {
  if (sizeof(void*) != 4 || RunningUnderWine()) return false;
  using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
  auto is_wow64 = Lookup<IsWow64ProcessFn>(::GetModuleHandleA("kernel32.dll"), "IsWow64Process");
  BOOL wow64 = FALSE;
  if (is_wow64 && !is_wow64(::GetCurrentProcess(), &wow64)) return false;
  return !wow64;
}

DWORD LastErrorOr(DWORD fallback) {
  DWORD error = ::GetLastError();
  return error ? error : fallback;
}

bool QueryPlatformCode(uint8_t& code) {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  if (!::GetVersionExA(&version)) return false;
  code = PlatformVersionCode(version.dwPlatformId, version.dwMajorVersion, version.dwMinorVersion);
  return true;
}

std::string Narrow(const wchar_t* text, std::size_t units, std::size_t max_bytes) {
  std::size_t length = 0;
  while (length < units && text[length]) ++length;
  if (length == 0) return {};
  std::string out(max_bytes, '\0');
  int written = ::WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), out.data(),
                                      static_cast<int>(max_bytes), nullptr, nullptr);
  out.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
  return out;
}

// Memory reserved in another process, released with it.
class RemoteBuffer {
 public:
  RemoteBuffer(HANDLE process, SIZE_T size) noexcept
      : process_(process), address_(::VirtualAllocEx(process, nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE)) {}
  ~RemoteBuffer() {
    if (address_) ::VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
  }
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;
  void* get() const noexcept { return address_; }

 private:
  HANDLE process_;
  void* address_;
};

// Reads exactly `size` bytes or fails.
bool ReadExactly(HANDLE process, const void* address, void* out, SIZE_T size) {
  SIZE_T read = 0;
  return address && ::ReadProcessMemory(process, address, out, size, &read) && read == size;
}

bool AskToolbar(HWND toolbar, UINT msg, WPARAM wp, LPARAM lp, DWORD_PTR& answer) {
  return ::SendMessageTimeoutA(toolbar, msg, wp, lp, SMTO_ABORTIFHUNG | SMTO_BLOCK, kShellTimeoutMs, &answer) != 0;
}

DWORD ReadToolbar(HWND toolbar, std::vector<TrayEntry>& entries) {
  DWORD process_id = 0;
  ::GetWindowThreadProcessId(toolbar, &process_id);
  fw::UniqueHandle process(::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ, FALSE, process_id));
  if (!process) return LastErrorOr(ERROR_ACCESS_DENIED);
  RemoteBuffer remote(process, sizeof(TBBUTTON));
  if (!remote.get()) return LastErrorOr(ERROR_NOT_ENOUGH_MEMORY);

  DWORD_PTR count = 0;
  if (!AskToolbar(toolbar, TB_BUTTONCOUNT, 0, 0, count)) return LastErrorOr(ERROR_TIMEOUT);
  count = std::min<DWORD_PTR>(count, kMaxButtons);

  for (DWORD_PTR i = 0; i < count; ++i) {
    DWORD_PTR ok = 0;
    if (!AskToolbar(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(remote.get()), ok) || !ok)
      return LastErrorOr(ERROR_TIMEOUT);
    TBBUTTON button{};
    if (!ReadExactly(process, remote.get(), &button, sizeof button)) return LastErrorOr(ERROR_READ_FAULT);

    uint8_t item[kItemDataSize];
    if (!ReadExactly(process, reinterpret_cast<const void*>(button.dwData), item, sizeof item))
      return LastErrorOr(ERROR_READ_FAULT);
    TrayEntry entry;
    auto word = [&item](std::size_t n) {
      uint32_t value;
      std::memcpy(&value, item + 4 * n, sizeof value);
      return value;
    };
    entry.owner = word(0);
    entry.id = word(1);
    entry.callback = word(2);
    entry.icon = word(5);
    wchar_t second[(kItemDataSize - kItemTextOffset) / sizeof(wchar_t)];
    std::memcpy(second, item + kItemTextOffset, sizeof second);
    entry.second_text = Narrow(second, std::size(second), kSecondTextBytes);

    // The button text is optional (an index instead of a pointer, or unreadable): the entry
    // still counts for its identifier.
    if (button.iString > 0xFFFF) {
      wchar_t tip[kButtonTextSize / sizeof(wchar_t)];
      if (ReadExactly(process, reinterpret_cast<const void*>(button.iString), tip, sizeof tip))
        entry.tip = Narrow(tip, std::size(tip), kTipBytes);
    }
    entries.push_back(std::move(entry));
  }
  return 0;
}

}  // namespace

uint8_t PlatformVersionCode() {
  uint8_t code = 0;
  return QueryPlatformCode(code) ? code : 0;
}

uint32_t ShellLibraryVersion() {
  fw::UniqueLibrary shell(::LoadLibraryA("Shell32.dll"));
  auto get_version = Lookup<DLLGETVERSIONPROC>(shell.get(), "DllGetVersion");
  if (!get_version) return 0;
  DLLVERSIONINFO info{};
  info.cbSize = sizeof info;  // 20 bytes
  if (FAILED(get_version(&info))) return 0;
  return ShellVersion(info.dwMajorVersion, info.dwMinorVersion);
}

DWORD EnumerateTrayEntries(std::vector<TrayEntry>& entries) {
  entries.clear();
  HWND tray = ::FindWindowA("Shell_TrayWnd", nullptr);
  if (!tray) return LastErrorOr(ERROR_NOT_FOUND);
  HWND notify = ::FindWindowExA(tray, nullptr, "TrayNotifyWnd", nullptr);
  if (!notify) return LastErrorOr(ERROR_NOT_FOUND);
  uint8_t code = 0;
  if (!QueryPlatformCode(code)) return LastErrorOr(ERROR_NOT_SUPPORTED);
  // 2000 (6), XP and 7 (7). The shells of Windows 95, 98 and NT 4 kept their icons in a way
  // that gives no identifiers; this program does not run there anyway.
  if (code != 6 && code != 7) return 0;
  if (!ShellLayoutIsKnown()) return 0;
  HWND parent = notify;
  if (code == 7) {
    parent = ::FindWindowExA(notify, nullptr, "SysPager", nullptr);
    if (!parent) return LastErrorOr(ERROR_NOT_FOUND);
  }
  HWND toolbar = ::FindWindowExA(parent, nullptr, "ToolbarWindow32", nullptr);
  if (!toolbar) return LastErrorOr(ERROR_NOT_FOUND);
  return ReadToolbar(toolbar, entries);
}

DWORD NotifyRecordSize(uint32_t shell_version) noexcept {
  return shell_version >= kLongRecordShell ? NOTIFYICONDATAA_V2_SIZE : NOTIFYICONDATAA_V1_SIZE;
}

// ---- TrayIcon -------------------------------------------------------------------------------

TrayIcon::TrayIcon() : entry_source_(&EnumerateTrayEntries) {
  data_.cbSize = NOTIFYICONDATAA_V2_SIZE;
}

TrayIcon::~TrayIcon() {
  // Never leave an icon behind whose owner is gone.
  if (added_) Delete();
}

uint32_t TrayIcon::SetOwner(HWND owner, UINT id) {
  data_.hWnd = owner;
  data_.uID = id ? id : FindFreeId();
  data_.uFlags = 0;
  const uint32_t shell = ShellLibraryVersion();
  data_.cbSize = NotifyRecordSize(shell);
  return shell;
}

HICON TrayIcon::SetIcon(HICON icon) {
  HICON previous = data_.hIcon;
  data_.hIcon = icon;
  data_.uFlags |= NIF_ICON;
  return previous;
}

HICON TrayIcon::SetIconFromResource(HINSTANCE instance, UINT resourceId) {
  // The small size: the notification area would otherwise shrink the large image.
  fw::UniqueIcon icon(static_cast<HICON>(::LoadImageA(instance, MAKEINTRESOURCEA(resourceId), IMAGE_ICON,
                                                      ::GetSystemMetrics(SM_CXSMICON),
                                                      ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR)));
  HICON previous = SetIcon(icon.get());
  own_icon_ = std::move(icon);
  return previous;
}

void TrayIcon::SetTooltip(const std::string& tip) {
  CopyTooltip(tip, data_.szTip, sizeof data_.szTip);
  data_.uFlags |= NIF_TIP;
}

UINT TrayIcon::SetCallback(UINT message) {
  UINT previous = data_.uCallbackMessage;
  data_.uCallbackMessage = message;
  data_.uFlags |= NIF_MESSAGE;
  return previous;
}

BOOL TrayIcon::Add() {
  BOOL result = notify_(NIM_ADD, &data_);
  if (result) added_ = true;
  last_added_flags_ = data_.uFlags;
  data_.uFlags = 0;
  return result;
}

BOOL TrayIcon::AddAgain() {
  data_.uFlags = last_added_flags_;
  return Add();
}

BOOL TrayIcon::Delete() {
  BOOL result = notify_(NIM_DELETE, &data_);
  added_ = false;
  data_.uFlags = 0;
  return result;
}

BOOL TrayIcon::ShowBalloon(const std::string& title, const std::string& text, bool warning) {
  if (!added_ || data_.cbSize < NOTIFYICONDATAA_V2_SIZE) return FALSE;
  std::snprintf(data_.szInfoTitle, sizeof data_.szInfoTitle, "%s", title.c_str());
  std::snprintf(data_.szInfo, sizeof data_.szInfo, "%s", text.c_str());
  data_.uTimeout = kBalloonTimeoutMs;
  data_.dwInfoFlags = warning ? NIIF_WARNING : NIIF_INFO;
  data_.uFlags = NIF_INFO;
  BOOL result = notify_(NIM_MODIFY, &data_);
  data_.uFlags = 0;
  return result;
}

DWORD TrayIcon::EnumerateEntries() {
  entries_.clear();
  return entry_source_ ? entry_source_(entries_) : 0;
}

UINT TrayIcon::FindFreeId() {
  EnumerateEntries();
  std::vector<uint32_t> used;
  used.reserve(entries_.size());
  for (const TrayEntry& entry : entries_) used.push_back(entry.id);
  return FreeIconId(used);
}

}  // namespace vantrel::display
