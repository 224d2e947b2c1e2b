// A small driver for the end-to-end tests: finds the program's windows, reads their texts and
// answers message boxes, as a user would. Commands (timeouts in milliseconds, 10000 unless given):
//   messagebox | read-messagebox <caption> [ms]  prints the box's text ("TEXT: ..."); presses OK | leaves it open
//   window | no-window <caption> [ms]  prints 1 or 0; succeeds when one appears (none appears)
//   list-layout <caption> <id>      a list view: left top right bottom, item spacing cx cy
//   list-control <caption> <id>     a control (pages included): left top right bottom
//                                   item-height enabled text (a list: its chosen item)
//   control <caption> <id>          a visible control: left top right bottom enabled text
//   control-rect <caption> <id>     a control anywhere inside the window: left top right bottom
//   combo-items <caption> <id>      a combo box's items, one a line, the selected one "*"-marked
//   alarm <state-file> <entry>      a battery alarm of the simulated machine's global policy:
//                                   enable level action flags event-code minimum-state
//   scheme <state-file> <name>      user figures of the simulated scheme: key=value pairs
//   power-source <state-file> <line>  the simulated adapter plugged in (1), out (0) or unknown (255), then broadcast
//   menu-open [ms]                  succeeds when a popup menu is on show
//   menu-rects                      each popup menu on show: left top right bottom
//   balloons                        each balloon tip on show: handle left top right bottom
//   windows                         each visible top-level window: class, style, extended style, owner, caption
//   foreground                      the foreground window
//   focus                           the control with the keyboard focus: its id and class
//   meter-alpha                     the meter's rectangle and "layered <alpha>" or "opaque"
#include <windows.h>
#include <commctrl.h>
#include <powrprof.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

namespace {

constexpr char kMenuClass[] = "#32768";  // popup menus are windows of this class

std::string ClassOf(HWND hwnd) {
  char cls[64] = {};
  ::GetClassNameA(hwnd, cls, sizeof cls);
  return cls;
}

std::string TitleOf(HWND hwnd) {
  char title[256] = {};
  ::GetWindowTextA(hwnd, title, sizeof title);
  return title;
}

// A window's screen rectangle, "left top right bottom", and what follows it on the line.
void PrintRect(HWND hwnd, const char* rest = "\n") {
  RECT r{};
  ::GetWindowRect(hwnd, &r);
  std::printf("%ld %ld %ld %ld%s", r.left, r.top, r.right, r.bottom, rest);
}

// A combo box's item, asked in wide characters: between processes the 8-bit form arrives cut
// after one; empty when there is none or it is too long.
std::string ComboItem(HWND combo, LRESULT index) {
  wchar_t wide[256] = {};
  char text[512] = {};
  if (index < 0 || ::SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0) >= 256) return "";
  ::SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(wide));
  ::WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
  return text;
}

using Visitor = std::function<bool(HWND)>;  // true ends the walk at that window
BOOL CALLBACK Visit(HWND hwnd, LPARAM visitor) { return !(*reinterpret_cast<Visitor*>(visitor))(hwnd); }

// Walks the top-level windows, or the descendants of `parent`, to the first that `stop` takes.
HWND FirstWindow(const Visitor& stop, HWND parent = nullptr) {
  HWND found = nullptr;
  Visitor visit = [&](HWND hwnd) { return stop(hwnd) && (found = hwnd) != nullptr; };
  if (parent)
    ::EnumChildWindows(parent, &Visit, reinterpret_cast<LPARAM>(&visit));
  else
    ::EnumWindows(&Visit, reinterpret_cast<LPARAM>(&visit));
  return found;
}

// A visible top-level window with this caption and class (either any, when null).
HWND WaitFor(const char* caption, const char* cls, DWORD timeout) {
  for (DWORD start = ::GetTickCount();; ::Sleep(100)) {
    HWND found = FirstWindow([&](HWND hwnd) {
      return ::IsWindowVisible(hwnd) && (!caption || TitleOf(hwnd) == caption) && (!cls || ClassOf(hwnd) == cls);
    });
    if (found || ::GetTickCount() - start >= timeout) return found;
  }
}

// The visible control `id` among the descendants of the window captioned `caption` (waited
// for), or null, said.
HWND RequireControl(const char* caption, const char* id) {
  HWND window = WaitFor(caption, nullptr, 10000), found = nullptr;
  if (window)
    found = FirstWindow([&](HWND h) { return ::GetDlgCtrlID(h) == std::atoi(id) && ::IsWindowVisible(h); }, window);
  if (!found) std::printf("no control %s in \"%s\"\n", id, caption);
  return found;
}

// Says what is missing; the command fails.
int Missing(const std::string& what) {
  std::printf("no %s\n", what.c_str());
  return 1;
}

DWORD Number(int argc, char** argv, int index, DWORD fallback) {
  return argc > index ? static_cast<DWORD>(std::strtoul(argv[index], nullptr, 10)) : fallback;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "menu-open") return WaitFor(nullptr, kMenuClass, Number(argc, argv, 2, 10000)) ? 0 : 1;
  if (command == "menu-rects" || command == "balloons" || command == "windows") {
    FirstWindow([&](HWND hwnd) {
      if (!::IsWindowVisible(hwnd)) return false;
      const std::string cls = ClassOf(hwnd);
      const LONG style = ::GetWindowLongA(hwnd, GWL_STYLE);
      if (command == "menu-rects" && cls == kMenuClass) PrintRect(hwnd);
      if (command == "balloons" && cls == TOOLTIPS_CLASSA && (style & TTS_BALLOON)) {
        std::printf("%p ", static_cast<void*>(hwnd));
        PrintRect(hwnd);
      }
      if (command == "windows")
        std::printf("%s 0x%08lx 0x%08lx %p \"%s\"\n", cls.c_str(), static_cast<unsigned long>(style),
                    static_cast<unsigned long>(::GetWindowLongA(hwnd, GWL_EXSTYLE)),
                    static_cast<void*>(::GetWindow(hwnd, GW_OWNER)), TitleOf(hwnd).c_str());
      return false;
    });
    return 0;
  }
  if (command == "focus") {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    HWND foreground = ::GetForegroundWindow();
    if (!foreground || !::GetGUIThreadInfo(::GetWindowThreadProcessId(foreground, nullptr), &info) ||
        !info.hwndFocus)
      return 1;
    std::printf("%d %s\n", ::GetDlgCtrlID(info.hwndFocus), ClassOf(info.hwndFocus).c_str());
    return 0;
  }
  if (command == "foreground") {
    HWND window = ::GetForegroundWindow();
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    std::printf("%p %s \"%s\" process %lu\n", static_cast<void*>(window), ClassOf(window).c_str(),
                TitleOf(window).c_str(), process);
    return 0;
  }
  if (command == "meter-alpha") {
    // The meter: a visible captionless dialog that is a tool window.
    HWND meter = FirstWindow([](HWND hwnd) {
      return ::IsWindowVisible(hwnd) && TitleOf(hwnd).empty() && ClassOf(hwnd) == "#32770" &&
             (::GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    });
    if (!meter) return Missing("meter");
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    const bool layered = (::GetWindowLongA(meter, GWL_EXSTYLE) & WS_EX_LAYERED) &&
                         ::GetLayeredWindowAttributes(meter, &key, &alpha, &flags) && (flags & LWA_ALPHA);
    PrintRect(meter, layered ? " layered " : " opaque\n");
    if (layered) std::printf("%u\n", alpha);
    return 0;
  }
  if (argc < 3) {
    std::fprintf(stderr, "usage: see the comment at the top of vantrel-probe.cpp\n");
    return 2;
  }
  const char* caption = argv[2];
  const DWORD timeout = Number(argc, argv, 3, 10000);
  if (command == "messagebox" || command == "read-messagebox") {
    HWND box = WaitFor(caption, "#32770", timeout);
    if (!box) return Missing("message box \"" + std::string(caption) + "\"");
    char text[1024] = {};
    ::GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // the message box's text control
    std::printf("TEXT: %s\n", text);
    std::fflush(stdout);
    if (command == "messagebox") ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return 0;
  }
  if (command == "window" || command == "no-window") {
    HWND window = WaitFor(caption, nullptr, timeout);
    std::printf("%d\n", window ? 1 : 0);
    return (window != nullptr) == (command == "window") ? 0 : 1;
  }
  if (command == "power-source" && argc > 3) {
    // The machine reads its line again when asked, which the broadcast makes the program do.
    if (!::WritePrivateProfileStringA("Machine", "AcLineStatus", argv[3], caption)) return 1;
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutA(HWND_BROADCAST, WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE, 0, SMTO_ABORTIFHUNG, 5000,
                          &answer);
    return 0;
  }
  if (command == "alarm" && argc > 3) {
    GLOBAL_POWER_POLICY policy{};
    const unsigned entry = static_cast<unsigned>(std::atoi(argv[3]));
    if (entry >= NUM_DISCHARGE_POLICIES ||
        !::GetPrivateProfileStructA("GlobalPolicy", "Policy", &policy, sizeof policy, caption))
      return Missing("global policy in " + std::string(caption));
    const SYSTEM_POWER_LEVEL& alarm = policy.user.DischargePolicy[entry];
    std::printf("%u %lu %d 0x%lx 0x%lx %d\n", alarm.Enable, alarm.BatteryLevel, static_cast<int>(alarm.PowerPolicy.Action),
                alarm.PowerPolicy.Flags, alarm.PowerPolicy.EventCode, static_cast<int>(alarm.MinSystemState));
    return 0;
  }
  if (command == "scheme" && argc > 3) {
    const long long count = ::GetPrivateProfileIntA("Schemes", "Count", 0, caption);
    for (long long i = 0; i < count && i < 1024; ++i) {
      char section[32] = {}, name[256] = {};
      std::snprintf(section, sizeof section, "Scheme%lld", i);
      ::GetPrivateProfileStringA(section, "Name", "", name, sizeof name, caption);
      POWER_POLICY policy{};
      if (std::strcmp(name, argv[3]) != 0 ||
          !::GetPrivateProfileStructA(section, "Policy", &policy, sizeof policy, caption))
        continue;
      const USER_POWER_POLICY& u = policy.user;
      std::printf("idle-ac=%lu idle-dc=%lu video-ac=%lu video-dc=%lu spindown-ac=%lu spindown-dc=%lu optimize-ac=%u "
                  "optimize-dc=%u\n",
                  u.IdleTimeoutAc, u.IdleTimeoutDc, u.VideoTimeoutAc, u.VideoTimeoutDc, u.SpindownTimeoutAc,
                  u.SpindownTimeoutDc, u.OptimizeForPowerAc, u.OptimizeForPowerDc);
      return 0;
    }
    return Missing("scheme " + std::string(argv[3]) + " in " + caption);
  }
  const bool of_control = command == "list-control" || command == "combo-items" || command == "control-rect" ||
                          command == "control" || command == "list-layout";
  if (of_control && argc > 3) {
    HWND found = RequireControl(caption, argv[3]);
    if (!found) return 1;
    if (command == "combo-items") {
      const LRESULT count = ::SendMessageA(found, CB_GETCOUNT, 0, 0);
      const LRESULT selected = ::SendMessageA(found, CB_GETCURSEL, 0, 0);
      for (LRESULT i = 0; i < count; ++i)
        if (::SendMessageW(found, CB_GETLBTEXTLEN, i, 0) < 256)
          std::printf("%s%s\n", i == selected ? "*" : "", ComboItem(found, i).c_str());
      return 0;
    }
    if (command == "list-layout") {
      // The spacing comes back in the result itself, so it crosses the process boundary.
      const DWORD spacing = static_cast<DWORD>(::SendMessageA(found, LVM_GETITEMSPACING, FALSE, 0));
      PrintRect(found, " ");
      std::printf("%u %u\n", LOWORD(spacing), HIWORD(spacing));
      return 0;
    }
    PrintRect(found, command == "control-rect" ? "\n" : " ");
    if (command == "list-control") {
      const bool combo = ::lstrcmpiA(ClassOf(found).c_str(), "ComboBox") == 0;
      const LRESULT item_height = combo ? ::SendMessageA(found, CB_GETITEMHEIGHT, 0, 0) : 0;
      // An owner-drawn list has no window text of its own: the chosen item's text.
      const LRESULT chosen = combo ? ::SendMessageA(found, CB_GETCURSEL, 0, 0) : CB_ERR;
      const std::string item = ComboItem(found, chosen);
      std::printf("%ld %d %s\n", static_cast<long>(item_height), ::IsWindowEnabled(found) ? 1 : 0,
                  !item.empty() ? item.c_str() : TitleOf(found).c_str());
    } else if (command == "control") {
      // Sent, not read from the window record: an edit's text lives in its own process.
      char text[256] = {};
      DWORD_PTR copied = 0;
      ::SendMessageTimeoutA(found, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                            2000, &copied);
      std::printf("%d %s\n", ::IsWindowEnabled(found) ? 1 : 0, text);
    }
    return 0;
  }
  std::fprintf(stderr, "unknown command %s\n", command.c_str());
  return 2;
}
