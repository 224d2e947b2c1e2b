// Measures how long the main window takes to switch pages on the simulated default laptop with
// one more battery slot that never answers (each search for batteries waits for it): every
// page chosen in turn, as the page list does, the time of each switch by page.
//   page-switch-bench [rounds [silent slots]]
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/app_state.h"
#include "app/main_dialog.h"
#include "display/meter_window.h"
#include "framework/dialog.h"
#include "platform/sim/sim_machine.h"
#include "platform/system_api.h"

namespace {

using namespace vantrel;

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  LARGE_INTEGER frequency;
  ::QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = argc > 1 ? std::atoi(argv[1]) : 5;
  if (rounds <= 0) rounds = 5;
  const int silent_slots = argc > 2 ? std::atoi(argv[2]) : 1;
  INITCOMMONCONTROLSEX common{sizeof common, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&common);
  fw::SetResourceInstance(::GetModuleHandleA(nullptr));

  char folder[MAX_PATH] = {};
  ::GetTempPathA(sizeof folder, folder);
  const std::string ini = std::string(folder) + "vantrel-page-switch-bench.ini";
  ::DeleteFileA(ini.c_str());
  platform::sim::SimState laptop = platform::sim::DefaultLaptop();
  platform::sim::SimBattery silent = laptop.batteries.back();
  silent.answers = false;
  for (int i = 0; i < silent_slots; ++i) laptop.batteries.push_back(silent);

  int status = 0;
  {
    platform::sim::SimulatedMachine machine(ini, laptop);
    platform::ScopedSystemApi scope(machine);
    app::AppState& state = app::State();
    state.instance = ::GetModuleHandleA(nullptr);
    // The program's meter, made at start-up: the batteries are looked for there.
    display::MeterWindow meter(state.settings);
    if (!meter.Create()) return 1;
    state.meter = &meter;
    {
      app::MainWindowHost host(state);
      host.ShowMainWindow();
      app::CMainDialog* main = host.window();
      if (!main) return 1;
      std::printf("battery slots: %zu, %d silent; %d rounds\n", laptop.batteries.size(), silent_slots, rounds);
      const char* const names[] = {"Control", "Schemes", "Batteries", "Policy", "History"};
      static_assert(sizeof names / sizeof names[0] == app::kPageKindCount, "a name for every page");
      double total[app::kPageKindCount] = {}, worst[app::kPageKindCount] = {};
      for (int round = 0; round < rounds; ++round) {
        for (int kind : {app::kSchemesPage, app::kBatteriesPage, app::kPolicyPage, app::kHistoryPage, app::kControlPage}) {
          LARGE_INTEGER start, end;
          ::QueryPerformanceCounter(&start);
          if (main->SelectPage(kind) != 1) status = 1;
          ::QueryPerformanceCounter(&end);
          const double ms = Milliseconds(start, end);
          total[kind] += ms;
          if (ms > worst[kind]) worst[kind] = ms;
        }
      }
      for (int kind = 0; kind < app::kPageKindCount; ++kind)
        std::printf("to %-9s  mean %8.1f ms  worst %8.1f ms\n", names[kind], total[kind] / rounds, worst[kind]);
      host.DestroyMainWindow();
    }
    state.meter = nullptr;
  }
  ::DeleteFileA(ini.c_str());
  return status;
}
