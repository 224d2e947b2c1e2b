// Helpers shared by the Windows tests: registry, temporary folders, messages, the pointer, texts,
// pixels, a host window for controls, the meter's fakes and a simulated laptop behind a recording fake.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "display/meter_battery.h"
#include "display/meter_window.h"
#include "framework/prompt.h"
#include "framework/handles.h"
#include "framework/window.h"
#include "platform/sim/sim_machine.h"
#include "platform/system_api.h"

namespace vantrel::testing {

inline constexpr char kKey[] = "Software\\Vantrel";

// ---- registry and files

// Deletes a registry key with everything below it; true when it is gone afterwards.
bool DeleteTree(HKEY root, const std::string& path);
bool KeyExists(HKEY root, const std::string& path);
struct RawValue {
  bool found = false;
  DWORD type = 0;
  std::vector<BYTE> data;
  std::string text() const { return std::string(data.begin(), data.end()); }
};
RawValue ReadRaw(HKEY root, const std::string& path, const char* name);
bool WriteRaw(HKEY root, const std::string& path, const char* name, DWORD type, const void* data, DWORD size);

// Every option as the next start reads it back from the registry.
settings::AppSettings StoredSettings(LONG desktop_right = 1000);

// The program's key gone before and after a test.
struct CleanKey {
  CleanKey() { DeleteTree(HKEY_CURRENT_USER, kKey); }
  ~CleanKey() { DeleteTree(HKEY_CURRENT_USER, kKey); }
};

// A fresh folder under the system's temporary folder, removed with its files when it goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const noexcept { return path_; }
  std::string File(const std::string& name) const { return path_ + "\\" + name; }
  bool Write(const std::string& name, const std::string& bytes) const;

 private:
  std::string path_;
};

// ---- messages, the pointer and windows

// Pumps the thread's messages until `done` or `ms` milliseconds have passed.
template <class Predicate>
bool PumpUntil(Predicate done, DWORD ms) {
  for (DWORD start = ::GetTickCount();;) {
    if (done()) return true;
    if (::GetTickCount() - start >= ms) return done();
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}
inline void Pump(DWORD ms) { PumpUntil([] { return false; }, ms); }

// The pointer, moved for real.
void MovePointer(int x, int y);
void MovePointerInto(HWND window);
inline void MovePointerAway() { MovePointer(3, 600); }

std::string WindowText(HWND window);
std::string MenuString(HMENU menu, UINT position);
// An owner-drawn menu, one line per item: "bar:<title>", "-", "popup:<text>" or "<id>:<text>".
std::vector<std::string> Describe(HMENU menu);

// A prompt as one line, "text | caption | type"; Warning() is one of the program's warnings.
std::string Said(const fw::PromptRecorder::Entry& prompt);
std::string Warning(const std::string& text);

// ---- pixels

// A 32-bit memory bitmap selected into its own device context.
class Canvas {
 public:
  Canvas(int width, int height, COLORREF fill = RGB(255, 255, 255));
  HDC dc() const noexcept { return dc_.get(); }
  COLORREF At(int x, int y) const;
  // Pixels of `colour` (or, with `other_than`, of any other colour) inside `area`.
  int Count(COLORREF colour, const RECT& area, bool other_than = false) const;
  bool SameAs(const Canvas& other) const;

 private:
  int width_, height_;
  const uint32_t* bits_ = nullptr;
  fw::UniqueMemoryDC dc_;
  fw::UniqueBitmap bitmap_;
  std::optional<fw::SelectObjectGuard> selected_;
};

// The GDI objects this process holds, owned or not: an object left behind moves this.
int GdiObjectsInUse();

// A pixel of a window's client area as shown (copied out: window DCs may not answer GetPixel).
COLORREF WindowPixel(HWND window, int x, int y);

// A font drawn without smoothing, so that text pixels have exactly the text colour.
fw::UniqueFont CrispFont(int height = 14, int weight = FW_NORMAL);

// A visible top-level window that reflects owner-drawn requests to its children and records their page messages.
class ControlHost : public fw::Window {
 public:
  ~ControlHost() override;
  bool Create(int width = 480, int height = 360);
  std::vector<WPARAM> pages;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
};

// The main window's stand-in: closing only hides it (unless told to stay); a menu request is only counted.
class MainWindowStandIn : public ControlHost {
 public:
  int closes = 0, menu_requests = 0;
  bool hide_on_close = true;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
};

// A dialog page's controls, worked as the user works them; a fixture names the page.
class PageControls {
 public:
  virtual ~PageControls() = default;
  HWND Item(int id) const { return ::GetDlgItem(page(), id); }
  LRESULT Send(int id, UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return ::SendMessageA(Item(id), msg, wp, lp); }
  std::string Text(int id) const { return WindowText(Item(id)); }
  bool Enabled(int id) const { return ::IsWindowEnabled(Item(id)) != FALSE; }
  bool Checked(int id) const { return Send(id, BM_GETCHECK) == BST_CHECKED; }
  int Selected(int id) const { return static_cast<int>(Send(id, CB_GETCURSEL)); }
  int ListCount(int id) const { return static_cast<int>(Send(id, CB_GETCOUNT)); }
  std::string ListText(int id, int index) const;
  // A button (or check box) pressed through itself, as the user does: a hidden or disabled one fails the test.
  void Press(int id) const;
  void Click(int id) const { Press(id); }
  // A selection as the user makes it: the list changes, then tells its page.
  void Choose(int id, int index) const;
  // Typed from the start of the field.
  void Type(int id, const char* keys) const;
  // A list view's check box, set as a click sets it (the list tells the page itself).
  void Tick(int list, int item, bool on) const;
  bool Ticked(int list, int item) const;
  // The tip the page gives a control (a tool of the page over the control's place).
  std::string Tip(int id) const;

 protected:
  virtual HWND page() const = 0;
};

// ---- the meter and the tray icon

struct FakeMeterBattery : display::MeterBattery {
  unsigned count = 1;
  bool of_interest = true;
  display::FaceFigures figures{87, "5:36:49"};
  int figure_calls = 0;
  unsigned BatteryCount(power::PowerPlatform&) override { return count; }
  bool HasBatteryOfInterest(power::PowerPlatform&, const settings::AppSettings&) override { return of_interest; }
  display::FaceFigures Figures(power::PowerPlatform&, const settings::AppSettings&) override {
    ++figure_calls;
    return figures;
  }
};

struct RecordingTrayMenu : power::TrayMenuHook {
  int builds = 0;
  std::vector<UINT> notifications, commands;
  void BuildTrayMenu(HWND) override { ++builds; }
  void OnTrayNotify(HWND, UINT mouse_message) override { notifications.push_back(mouse_message); }
  void OnMenuCommand(HWND, UINT id) override { commands.push_back(id); }
};

// Settings back as they were, the battery answers in place (unless the model is to answer), the pointer away.
class DisplayTestScope {
 public:
  explicit DisplayTestScope(bool fake_battery = true) : saved_(app::State().settings) {
    if (fake_battery) scoped_.emplace(battery);
    app::State().settings = settings::AppSettings{};
    MovePointerAway();
  }
  ~DisplayTestScope() { app::State().settings = saved_; }
  settings::AppSettings& settings() { return app::State().settings; }
  FakeMeterBattery battery;

 private:
  settings::AppSettings saved_;
  std::optional<display::ScopedMeterBattery> scoped_;
};

// Whether the notification area holds the icon: a modification that changes nothing succeeds only then.
bool TrayIconExists(HWND owner, UINT id);
BYTE LayeredAlpha(HWND window);
// Killing is the only way to ask whether a timer runs; it is started again afterwards.
bool TimerRuns(HWND window, UINT_PTR id, UINT period);

// ---- a simulated laptop

// Notes chosen calls with the arguments the simulated machine does not log itself, and makes chosen ones fail.
class RecordingSystem : public platform::ForwardingSystemApi {
 public:
  using Base = platform::ForwardingSystemApi;
  using Base::Base;
  ~RecordingSystem() override {
    if (arming_thread) ::CloseHandle(arming_thread);
    if (handing_out_ == this) handing_out_ = nullptr;
  }
  RecordingSystem(const RecordingSystem&) = delete;
  RecordingSystem& operator=(const RecordingSystem&) = delete;

  std::vector<std::string> calls;
  HANDLE arming_thread = nullptr;  // the thread that armed a timer last, kept open
  bool refuse_exit = false, fail_timer_creation = false, fail_scheme_write = false, fail_activation = false;
  bool fail_scheme_read = false, fail_delete = false, fail_processor_read = false, fail_processor_write = false;
  bool no_processor_read = false;  // the power library lacks "ReadProcessorPwrScheme"
  bool fail_global_write = false, fail_global_read = false;
  int battery_searches = 0;  // enumerations of the battery interfaces

  BOOL ExitWindowsEx(UINT flags, DWORD reason) override {
    return refuse_exit ? Fail<BOOL>(ERROR_ACCESS_DENIED, FALSE) : Base::ExitWindowsEx(flags, reason);
  }
  LONG CallNtPowerInformation(POWER_INFORMATION_LEVEL level, PVOID in, ULONG in_size, PVOID out,
                              ULONG out_size) override;
  BOOLEAN WritePwrScheme(PUINT id, LPWSTR name, LPWSTR description, PPOWER_POLICY policy) override {
    Note("WritePwrScheme %u", id ? *id : 0);
    return fail_scheme_write ? Fail<BOOLEAN>(ERROR_WRITE_FAULT, FALSE)
                             : Base::WritePwrScheme(id, name, description, policy);
  }
  BOOLEAN DeletePwrScheme(UINT id) override {
    Note("DeletePwrScheme %u", id);
    return fail_delete ? Fail<BOOLEAN>(ERROR_ACCESS_DENIED, FALSE) : Base::DeletePwrScheme(id);
  }
  BOOLEAN ReadPwrScheme(UINT id, PPOWER_POLICY policy) override {
    return fail_scheme_read ? Fail<BOOLEAN>(ERROR_ACCESS_DENIED, FALSE) : Base::ReadPwrScheme(id, policy);
  }
  HDEVINFO SetupDiGetClassDevsA(const GUID* guid, PCSTR enumerator, HWND parent, DWORD flags) override {
    ++battery_searches;
    return Base::SetupDiGetClassDevsA(guid, enumerator, parent, flags);
  }
  // The processor-scheme functions handed out come through here: noted, failing or missing at will.
  FARPROC GetPowerLibraryProc(LPCSTR name) override;
  BOOLEAN SetActivePwrScheme(UINT id, PGLOBAL_POWER_POLICY global, PPOWER_POLICY policy) override {
    Note("SetActivePwrScheme %u", id);
    return fail_activation ? Fail<BOOLEAN>(ERROR_ACCESS_DENIED, FALSE) : Base::SetActivePwrScheme(id, global, policy);
  }
  BOOLEAN ReadGlobalPwrPolicy(PGLOBAL_POWER_POLICY policy) override {
    return fail_global_read ? Fail<BOOLEAN>(ERROR_ACCESS_DENIED, FALSE) : Base::ReadGlobalPwrPolicy(policy);
  }
  BOOLEAN WriteGlobalPwrPolicy(PGLOBAL_POWER_POLICY policy) override {
    Note("WriteGlobalPwrPolicy");
    return fail_global_write ? Fail<BOOLEAN>(ERROR_ACCESS_DENIED, FALSE) : Base::WriteGlobalPwrPolicy(policy);
  }
  HANDLE CreateWaitableTimerA(LPSECURITY_ATTRIBUTES security, BOOL manual_reset, LPCSTR name) override {
    Note("CreateWaitableTimerA %s %d", name ? name : "(null)", manual_reset);
    return fail_timer_creation ? Fail<HANDLE>(ERROR_ACCESS_DENIED, nullptr)
                               : Base::CreateWaitableTimerA(security, manual_reset, name);
  }
  // On the waiting thread, while the caller waits for it to arm the timer.
  BOOL SetWaitableTimer(HANDLE timer, const LARGE_INTEGER* due, LONG period, PTIMERAPCROUTINE completion,
                        LPVOID argument, BOOL resume) override;
  // The plan functions that change something, with their GUIDs ("PowerSetActiveScheme <plan>").
  DWORD PowerSetActiveScheme(HKEY root, const GUID* scheme) override {
    Note("PowerSetActiveScheme %s", Of(scheme).c_str());
    return Base::PowerSetActiveScheme(root, scheme);
  }
  DWORD PowerWriteACValueIndex(HKEY root, const GUID* scheme, const GUID* subgroup, const GUID* setting,
                               DWORD index) override {
    Note("PowerWriteACValueIndex %s %s %lu", Of(scheme).c_str(), Of(setting).c_str(), index);
    return Base::PowerWriteACValueIndex(root, scheme, subgroup, setting, index);
  }
  DWORD PowerWriteDCValueIndex(HKEY root, const GUID* scheme, const GUID* subgroup, const GUID* setting,
                               DWORD index) override {
    Note("PowerWriteDCValueIndex %s %s %lu", Of(scheme).c_str(), Of(setting).c_str(), index);
    return Base::PowerWriteDCValueIndex(root, scheme, subgroup, setting, index);
  }
  DWORD PowerWriteFriendlyName(HKEY root, const GUID* scheme, const GUID* subgroup, const GUID* setting, UCHAR* buffer,
                               DWORD size) override {
    Note("PowerWriteFriendlyName %s", Of(scheme).c_str());
    return Base::PowerWriteFriendlyName(root, scheme, subgroup, setting, buffer, size);
  }
  DWORD PowerWriteDescription(HKEY root, const GUID* scheme, const GUID* subgroup, const GUID* setting, UCHAR* buffer,
                              DWORD size) override {
    Note("PowerWriteDescription %s", Of(scheme).c_str());
    return Base::PowerWriteDescription(root, scheme, subgroup, setting, buffer, size);
  }
  DWORD PowerDuplicateScheme(HKEY root, const GUID* source, GUID** destination) override {
    Note("PowerDuplicateScheme %s", Of(source).c_str());
    return Base::PowerDuplicateScheme(root, source, destination);
  }
  DWORD PowerDeleteScheme(HKEY root, const GUID* scheme) override {
    Note("PowerDeleteScheme %s", Of(scheme).c_str());
    return Base::PowerDeleteScheme(root, scheme);
  }
  // The noted calls that start with `prefix`.
  size_t Called(const std::string& prefix) const;

 private:
  template <class T>
  static T Fail(DWORD error, T value) {
    ::SetLastError(error);
    return value;
  }
  void Note(const char* format, ...) __attribute__((format(printf, 2, 3)));
  static std::string Of(const GUID* guid);  // GuidText, or "null"
  static BOOLEAN WINAPI ReadProcessor(UINT id, PMACHINE_PROCESSOR_POWER_POLICY policy);
  static BOOLEAN WINAPI WriteProcessor(UINT id, PMACHINE_PROCESSOR_POWER_POLICY policy);
  DWORD ui_thread_ = ::GetCurrentThreadId();
  platform::ProcessorSchemeFn real_read_ = nullptr, real_write_ = nullptr;
  static inline RecordingSystem* handing_out_ = nullptr;  // whose functions are handed out
};

// The XP-era write functions, as the recording fake notes them: none may be called while plans are in use.
inline constexpr const char* kXpWrites[] = {"WritePwrScheme", "DeletePwrScheme", "SetActivePwrScheme",
                                            "WriteGlobalPwrPolicy", "WriteProcessorPwrScheme"};
// "381b4222-f694-41f0-9685-ff5bb260df2e", as the recording fake writes GUIDs.
std::string GuidText(const GUID& guid);

// The default laptop answering the XP-era interface, for the tests of the XP back end.
inline platform::sim::SimState XpLaptop() {
  platform::sim::SimState state = platform::sim::DefaultLaptop();
  state.power_backend = platform::sim::SimPowerBackend::Xp;
  return state;
}

// A simulated laptop behind a recording fake, installed for one test.
class PowerTestMachine {
 public:
  // Replaces any machine booted before, in the order the seam requires.
  void Boot(platform::sim::SimState state) {
    Release();
    machine_ = std::make_unique<platform::sim::SimulatedMachine>(dir_.File("sim.ini"), std::move(state));
    machine_->ClearLog();
    fake_ = std::make_unique<RecordingSystem>(*machine_);
    scope_ = std::make_unique<platform::ScopedSystemApi>(*fake_);
  }
  void Release() {
    scope_.reset();
    fake_.reset();
    machine_.reset();
  }
  ~PowerTestMachine() { Release(); }

  platform::sim::SimulatedMachine& machine() { return *machine_; }
  platform::sim::SimState& state() { return machine_->state(); }
  RecordingSystem& fake() { return *fake_; }
  const std::string& dir() const { return dir_.path(); }
  // Lines of the machine's log that start with `prefix`.
  size_t Logged(const std::string& prefix) const;

 private:
  TempDir dir_;
  std::unique_ptr<platform::sim::SimulatedMachine> machine_;
  std::unique_ptr<RecordingSystem> fake_;
  std::unique_ptr<platform::ScopedSystemApi> scope_;
};

// ---- a simulated battery

// A system battery of LGC's, LION, rechargeable, serial " 7392", made 5/11/2003, at 12868 mV and
// 2982 tenths of a kelvin, alerts at 9360 and 2836 mWh; discharging when `rate` < 0, else on mains.
inline platform::sim::SimBattery SimLaptopBattery(const std::string& name, ULONG design, ULONG full, ULONG capacity,
                                                  LONG rate) {
  platform::sim::SimBattery b;
  b.device_name = name;
  b.manufacture_name = "LGC";
  b.serial_number = " 7392";
  b.unique_id = name + b.serial_number + b.manufacture_name;
  b.manufacture_date = BATTERY_MANUFACTURE_DATE{5, 11, 2003};
  b.info = BATTERY_INFORMATION{BATTERY_SYSTEM_BATTERY, 1, {}, {'L', 'I', 'O', 'N'}, design, full, 9360, 2836, 0, 0};
  b.capacity = capacity;
  b.voltage = 12868;
  b.rate = rate;
  b.power_state = rate < 0 ? BATTERY_DISCHARGING : BATTERY_POWER_ON_LINE;
  b.temperature = 2982;
  return b;
}

}  // namespace vantrel::testing
