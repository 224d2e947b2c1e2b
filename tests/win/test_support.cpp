#include "win/test_support.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "controls/page_list.h"
#include "platform/core/plan_guids.h"
#include "settings/settings_store.h"
#include "controls/menu_xp.h"

namespace vantrel::testing {

bool DeleteTree(HKEY root, const std::string& path) {
  ::SHDeleteKeyA(root, path.c_str());
  return !KeyExists(root, path);
}

bool KeyExists(HKEY root, const std::string& path) {
  HKEY key = nullptr;
  return ::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS && fw::UniqueKey(key).valid();
}

RawValue ReadRaw(HKEY root, const std::string& path, const char* name) {
  RawValue value;
  HKEY raw = nullptr;
  if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &raw) != ERROR_SUCCESS) return value;
  fw::UniqueKey key(raw);
  DWORD size = 0;
  if (::RegQueryValueExA(raw, name, nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS) return value;
  value.data.resize(size);
  value.found = ::RegQueryValueExA(raw, name, nullptr, &value.type, value.data.data(), &size) == ERROR_SUCCESS;
  value.data.resize(size);
  return value;
}

bool WriteRaw(HKEY root, const std::string& path, const char* name, DWORD type, const void* data, DWORD size) {
  return ::SHSetValueA(root, path.c_str(), name, type, data, size) == ERROR_SUCCESS;
}

TempDir::TempDir() {
  static unsigned counter = 0;
  std::error_code error;
  const std::filesystem::path base = std::filesystem::temp_directory_path(error);
  for (bool made = false; !made && !error;) {
    path_ = (base / ("vantrel-test-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++counter)))
                .string();
    made = std::filesystem::create_directory(path_, error);
  }
}

TempDir::~TempDir() {
  std::error_code error;
  std::filesystem::remove_all(path_, error);
}

settings::AppSettings StoredSettings(LONG desktop_right) {
  settings::SettingsStore store;
  store.OpenKey();
  settings::AppSettings s;
  store.LoadDisplayOptions(s);
  store.LoadMeterOptions(s, desktop_right);
  store.LoadSchemeSwitch(s);
  return s;
}

bool TempDir::Write(const std::string& name, const std::string& bytes) const {
  std::FILE* file = std::fopen(File(name).c_str(), "wb");
  if (!file) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

void MovePointer(int x, int y) {
  // Wine skips a move to where its server last put the pointer, even when the display has it
  // elsewhere since: a step beside the target makes the move a real one.
  ::SetCursorPos(x + 1, y);
  ::SetCursorPos(x, y);
  PumpUntil([x, y] { POINT p{}; return ::GetCursorPos(&p) && p.x == x && p.y == y; }, 500);
}

void MovePointerInto(HWND window) {
  RECT r{};
  ::GetWindowRect(window, &r);
  MovePointer(r.left + 10, r.top + 10);
}

std::string WindowText(HWND window) {
  char text[256] = {};
  ::GetWindowTextA(window, text, sizeof text);
  return text;
}

std::string MenuString(HMENU menu, UINT position) {
  char text[256] = {};
  ::GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
  return text;
}

std::vector<std::string> Describe(HMENU menu) {
  std::vector<std::string> lines;
  for (UINT i = 0; i < static_cast<UINT>(::GetMenuItemCount(menu)); ++i) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_DATA;
    ::GetMenuItemInfoA(menu, i, TRUE, &info);
    const controls::CMenuXPItem* item = controls::CMenuXPItem::FromData(info.dwItemData);
    lines.push_back(!item             ? "(no record)"
                    : item->side_bar  ? "bar:" + item->text
                    : item->separator ? "-"
                    : info.hSubMenu   ? "popup:" + item->text
                                      : std::to_string(info.wID) + ":" + item->text);
  }
  return lines;
}

Canvas::Canvas(int width, int height, COLORREF fill)
    : width_(width), height_(height), dc_(::CreateCompatibleDC(nullptr)) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  bitmap_.reset(::CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  bits_ = static_cast<const uint32_t*>(bits);
  selected_.emplace(dc_.get(), bitmap_.get());
  fw::UniqueBrush brush(::CreateSolidBrush(fill));
  RECT all{0, 0, width, height};
  ::FillRect(dc_, &all, brush);
}

COLORREF Canvas::At(int x, int y) const {
  ::GdiFlush();
  const uint32_t pixel = bits_[y * width_ + x];  // 0x00RRGGBB
  return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

int Canvas::Count(COLORREF colour, const RECT& area, bool other_than) const {
  int count = 0;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) count += (At(x, y) == colour) != other_than;
  }
  return count;
}

bool Canvas::SameAs(const Canvas& other) const {
  ::GdiFlush();
  return width_ == other.width_ && height_ == other.height_ &&
         std::memcmp(bits_, other.bits_, sizeof *bits_ * width_ * height_) == 0;
}

COLORREF WindowPixel(HWND window, int x, int y) {
  Canvas pixel(1, 1, RGB(1, 2, 3));
  fw::WindowDC dc(window);
  ::BitBlt(pixel.dc(), 0, 0, 1, 1, dc, x, y, SRCCOPY);
  return pixel.At(0, 0);
}

fw::UniqueFont CrispFont(int height, int weight) {
  return fw::UniqueFont(::CreateFontA(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                      CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH, "Tahoma"));
}

ControlHost::~ControlHost() {
  if (IsWindow()) ::DestroyWindow(hwnd());
}

bool ControlHost::Create(int width, int height) {
  constexpr char kClass[] = "VantrelControlHost";
  if (!RegisterClass(kClass, CS_DBLCLKS, nullptr, ::GetSysColorBrush(COLOR_BTNFACE))) return false;
  if (!CreateEx(0, kClass, "controls", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, width, height, nullptr, nullptr))
    return false;
  ::SetForegroundWindow(hwnd());
  return true;
}

LRESULT ControlHost::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if ((msg == WM_DRAWITEM || msg == WM_MEASUREITEM || msg == WM_DELETEITEM) && fw::ReflectOwnerDraw(msg, wp, lp))
    return TRUE;
  // Only a child's page message is one: the number is also DM_SETDEFID.
  if (msg == controls::WM_PAGE_SELECTED && lp && ::GetParent(reinterpret_cast<HWND>(lp)) == hwnd()) {
    pages.push_back(wp);
    return 0;
  }
  return Default(msg, wp, lp);
}

LRESULT MainWindowStandIn::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_SYSCOMMAND && (wp & 0xFFF0) == SC_KEYMENU) {
    ++menu_requests;
    return 0;
  }
  if (msg != WM_CLOSE) return ControlHost::WindowProc(msg, wp, lp);
  ++closes;
  if (hide_on_close) ::ShowWindow(hwnd(), SW_HIDE);
  return 0;
}

std::string PageControls::ListText(int id, int index) const {
  char text[128] = {};
  if (Send(id, CB_GETLBTEXTLEN, static_cast<WPARAM>(index)) < static_cast<LRESULT>(sizeof text))
    Send(id, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
  return text;
}

void PageControls::Press(int id) const {
  HWND button = Item(id);
  if (!button || !::IsWindowVisible(button) || !::IsWindowEnabled(button)) {
    ADD_FAILURE() << "control " << id << " cannot be pressed: " << (!button                      ? "there is none"
                                                                    : !::IsWindowVisible(button) ? "hidden"
                                                                                                 : "disabled");
    return;
  }
  Send(id, BM_CLICK);
}

void PageControls::Choose(int id, int index) const {
  Send(id, CB_SETCURSEL, static_cast<WPARAM>(index));
  ::SendMessageA(page(), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(Item(id)));
}

void PageControls::Type(int id, const char* keys) const {
  Send(id, WM_KEYDOWN, VK_HOME);
  for (const char* k = keys; *k; ++k) Send(id, WM_CHAR, static_cast<unsigned char>(*k));
}

void PageControls::Tick(int list, int item, bool on) const {
  LVITEMA state{};
  state.stateMask = LVIS_STATEIMAGEMASK;
  state.state = INDEXTOSTATEIMAGEMASK(on ? 2 : 1);
  Send(list, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&state));
}

bool PageControls::Ticked(int list, int item) const {
  return ((Send(list, LVM_GETITEMSTATE, static_cast<WPARAM>(item), LVIS_STATEIMAGEMASK) >> 12) & 0xF) == 2;
}

std::string PageControls::Tip(int id) const {
  char text[300] = {};
  TTTOOLINFOA tool{};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.hwnd = page();
  tool.uId = static_cast<UINT_PTR>(id);
  tool.lpszText = text;
  for (HWND w = nullptr; (w = ::FindWindowExA(nullptr, w, TOOLTIPS_CLASSA, nullptr));)
    if (!text[0] && ::GetWindowThreadProcessId(w, nullptr) == ::GetCurrentThreadId())
      ::SendMessageA(w, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
  return text;
}

// Windows counts them; Wine answers 0, but its handle table takes a bare slot number for the
// handle of the object in that slot (this process's only), so the slots in use are counted.
int GdiObjectsInUse() {
  if (const DWORD counted = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS)) return int(counted);
  int in_use = 0;
  for (ULONG_PTR slot = 1; slot <= 0xFFFF; ++slot)
    if (::GetObjectType(reinterpret_cast<HGDIOBJ>(slot))) ++in_use;
  return in_use;
}

bool TrayIconExists(HWND owner, UINT id) {
  NOTIFYICONDATAA data{};
  data.cbSize = NOTIFYICONDATAA_V2_SIZE;
  data.hWnd = owner;
  data.uID = id;
  return ::Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

BYTE LayeredAlpha(HWND window) {
  BYTE alpha = 0;
  return ::GetLayeredWindowAttributes(window, nullptr, &alpha, nullptr) ? alpha : 0;
}

bool TimerRuns(HWND window, UINT_PTR id, UINT period) {
  if (!::KillTimer(window, id)) return false;
  ::SetTimer(window, id, period, nullptr);
  return true;
}

std::string Said(const fw::PromptRecorder::Entry& prompt) {
  char type[16];
  std::snprintf(type, sizeof type, "0x%X", prompt.type);
  return prompt.text + " | " + prompt.caption + " | " + type;
}

std::string Warning(const std::string& text) { return Said({nullptr, text, fw::ProductName(), MB_OK | MB_ICONEXCLAMATION}); }

// ---- the simulated laptop

void RecordingSystem::Note(const char* format, ...) {
  char line[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  calls.push_back(line);
}

LONG RecordingSystem::CallNtPowerInformation(POWER_INFORMATION_LEVEL level, PVOID in, ULONG in_size, PVOID out,
                                             ULONG out_size) {
  std::string bytes;
  for (ULONG i = 0; in && i < in_size; ++i) bytes += std::to_string(static_cast<BYTE*>(in)[i]) + " ";
  Note("CallNtPowerInformation %d in=%lu[%s] out=%s/%lu", static_cast<int>(level), in_size, bytes.c_str(),
       out ? "buffer" : "null", out_size);
  return Base::CallNtPowerInformation(level, in, in_size, out, out_size);
}

BOOL RecordingSystem::SetWaitableTimer(HANDLE timer, const LARGE_INTEGER* due, LONG period,
                                       PTIMERAPCROUTINE completion, LPVOID argument, BOOL resume) {
  Note("SetWaitableTimer %lld %ld %s %d%s", due ? static_cast<long long>(due->QuadPart) : 0LL, period,
       completion ? "routine" : "none", resume, ::GetCurrentThreadId() == ui_thread_ ? " here" : "");
  if (arming_thread) ::CloseHandle(arming_thread);
  ::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentThread(), ::GetCurrentProcess(), &arming_thread, SYNCHRONIZE,
                    FALSE, 0);
  return Base::SetWaitableTimer(timer, due, period, completion, argument, resume);
}

std::string GuidText(const GUID& guid) { return platform::FormatGuid(platform::FromGuid(guid)); }

std::string RecordingSystem::Of(const GUID* guid) { return guid ? GuidText(*guid) : "null"; }

FARPROC RecordingSystem::GetPowerLibraryProc(LPCSTR name) {
  FARPROC real = Base::GetPowerLibraryProc(name);
  if (!real || !name) return real;
  const bool read = std::strcmp(name, "ReadProcessorPwrScheme") == 0;
  if (!read && std::strcmp(name, "WriteProcessorPwrScheme") != 0) return real;
  if (read && no_processor_read) return nullptr;
  (read ? real_read_ : real_write_) = reinterpret_cast<platform::ProcessorSchemeFn>(reinterpret_cast<void (*)()>(real));
  handing_out_ = this;
  return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(read ? &ReadProcessor : &WriteProcessor));
}

BOOLEAN WINAPI RecordingSystem::ReadProcessor(UINT id, PMACHINE_PROCESSOR_POWER_POLICY policy) {
  RecordingSystem* self = handing_out_;
  if (!self || !self->real_read_ || self->fail_processor_read) return Fail<BOOLEAN>(ERROR_ACCESS_DENIED, FALSE);
  return self->real_read_(id, policy);
}

BOOLEAN WINAPI RecordingSystem::WriteProcessor(UINT id, PMACHINE_PROCESSOR_POWER_POLICY policy) {
  RecordingSystem* self = handing_out_;
  if (!self || !self->real_write_) return Fail<BOOLEAN>(ERROR_ACCESS_DENIED, FALSE);
  self->Note("WriteProcessorPwrScheme %u", id);
  if (self->fail_processor_write) return Fail<BOOLEAN>(ERROR_WRITE_FAULT, FALSE);
  return self->real_write_(id, policy);
}

static size_t CountStartingWith(const std::vector<std::string>& lines, const std::string& prefix) {
  return std::count_if(lines.begin(), lines.end(), [&](const std::string& line) { return line.rfind(prefix, 0) == 0; });
}
size_t RecordingSystem::Called(const std::string& prefix) const { return CountStartingWith(calls, prefix); }
size_t PowerTestMachine::Logged(const std::string& prefix) const { return CountStartingWith(machine_->Log(), prefix); }

}  // namespace vantrel::testing
