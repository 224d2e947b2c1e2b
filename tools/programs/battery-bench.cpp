// Measures what one computation of the meter's figures, and one refresh of the Batteries page,
// costs on the simulated default laptop (two batteries): device requests per computation, by
// kind, and the time each takes.
//   battery-bench [computations]
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "settings/core/app_settings.h"
#include "batteries_ids.h"
#include "battery/batteries_page.h"
#include "battery/battery_status.h"
#include "framework/dialog.h"
#include "platform/sim/sim_machine.h"
#include "platform/system_api.h"
#include "power/power_platform.h"

namespace {

using namespace vantrel;

// Counts the battery requests on their way to the simulated driver.
class CountingApi final : public platform::ForwardingSystemApi {
 public:
  using ForwardingSystemApi::ForwardingSystemApi;
  BOOL DeviceIoControl(HANDLE h, DWORD code, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize, LPDWORD returned,
                       LPOVERLAPPED overlapped) override {
    switch (code) {
      case IOCTL_BATTERY_QUERY_TAG: ++tag; break;
      case IOCTL_BATTERY_QUERY_INFORMATION: ++information; break;
      case IOCTL_BATTERY_QUERY_STATUS: ++status; break;
      default: ++other; break;
    }
    return ForwardingSystemApi::DeviceIoControl(h, code, in, inSize, out, outSize, returned, overlapped);
  }
  void Reset() { tag = information = status = other = 0; }
  unsigned long Total() const { return tag + information + status + other; }

  unsigned long tag = 0, information = 0, status = 0, other = 0;
};

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  LARGE_INTEGER frequency;
  ::QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

template <class Work>
void Measure(const char* label, CountingApi& counter, int runs, Work work) {
  work();  // warm up
  counter.Reset();
  LARGE_INTEGER start, end;
  ::QueryPerformanceCounter(&start);
  for (int i = 0; i < runs; ++i) work();
  ::QueryPerformanceCounter(&end);
  double per_run_us = Seconds(start, end) * 1e6 / runs;
  std::printf("%-34s %6.1f requests (tag %.1f, information %.1f, status %.1f)  %8.1f us\n", label,
              static_cast<double>(counter.Total()) / runs, static_cast<double>(counter.tag) / runs,
              static_cast<double>(counter.information) / runs, static_cast<double>(counter.status) / runs,
              per_run_us);
}

// The status group's figures asked one query each, as the page would without its shared
// readings: for comparison with the page's own refresh.
void StatusFieldByField(battery::BatteryPlatform& p, unsigned k) {
  ULONG value = 0;
  LONG rate = 0;
  p.GetFullChargedCapacity(k, value);
  p.GetCycleCount(k, value);
  p.GetCriticalBias(k, value);
  p.GetTemperature(k, value);
  p.GetCapacity(k, value);
  p.GetVoltage(k, value);
  p.GetRate(k, rate);
  p.GetEstimatedTime(k, 0, value);
  p.GetWearPercent(k);
  p.GetChargePercent(k);
  p.IsCharging(k);
  if (p.IsDischarging(k))
    p.CanForceCharge(k);
  else
    p.CanForceDischarge(k);
}

// One refresh of the page on show, each battery selected in turn.
void MeasurePage(CountingApi& counter, int runs) {
  HWND host = ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 600, 420, nullptr, nullptr, nullptr, nullptr);
  {
    battery::CBatteriesPage page(host);
    if (!page.Create()) {
      std::printf("the Batteries page could not be created\n");
      ::DestroyWindow(host);
      return;
    }
    ::ShowWindow(page.hwnd(), SW_SHOWNORMAL);
    HWND list = ::GetDlgItem(page.hwnd(), IDC_BATTERY_LIST);
    for (unsigned k = 0; k < page.platform().GetBatteryCount(); ++k) {
      ::SendMessageA(list, CB_SETCURSEL, k, 0);
      char label[64];
      std::snprintf(label, sizeof label, "Batteries page refresh, battery %u", k);
      Measure(label, counter, runs, [&] { ::SendMessageA(page.hwnd(), WM_TIMER, battery::kBatteriesPageTimer, 0); });
      std::snprintf(label, sizeof label, "  its reading alone, battery %u", k);
      Measure(label, counter, runs, [&] { battery::ReadBatteryStatus(page.platform(), k); });
      std::snprintf(label, sizeof label, "  status read field by field, %u", k);
      Measure(label, counter, runs, [&] { StatusFieldByField(page.platform(), k); });
    }
  }
  ::DestroyWindow(host);
}

}  // namespace

int main(int argc, char** argv) {
  int runs = argc > 1 ? std::atoi(argv[1]) : 2000;
  if (runs <= 0) runs = 2000;
  INITCOMMONCONTROLSEX common{sizeof common, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&common);
  fw::SetResourceInstance(::GetModuleHandleA(nullptr));

  char folder[MAX_PATH] = {};
  ::GetTempPathA(sizeof folder, folder);
  std::string ini = std::string(folder) + "vantrel-battery-bench.ini";
  ::DeleteFileA(ini.c_str());

  int status = 0;
  {
    platform::sim::SimulatedMachine machine(ini, platform::sim::DefaultLaptop());
    CountingApi counter(machine);
    platform::ScopedSystemApi scope(counter);
    {
      power::PowerPlatform platform;
      std::printf("batteries: %u, %d computations each\n", platform.GetBatteryCount(), runs);

      settings::AppSettings all;
      Measure("meter figures, all batteries", counter, runs, [&] { battery::ComputeMeterFigures(platform, all); });
      settings::AppSettings one;
      one.DisplayOneBatteryStatus = 1;
      one.BatteryName = "00HW022";
      Measure("meter figures, one battery", counter, runs, [&] { battery::ComputeMeterFigures(platform, one); });
      Measure("battery of interest (appear-only)", counter, runs,
              [&] { battery::FindBatteryOfInterest(platform, all); });
      Measure("PowerPlatform built and released", counter, runs / 10 + 1, [] { power::PowerPlatform p; });
      MeasurePage(counter, runs);
      battery::MeterFigures f = battery::ComputeMeterFigures(platform, all);
      std::printf("figures: %u%% %s\n", f.charge, f.time_text.c_str());
    }
    if (machine.OpenHandleCount() != 0) {
      std::printf("handles left open: %u\n", static_cast<unsigned>(machine.OpenHandleCount()));
      status = 1;
    }
  }
  ::DeleteFileA(ini.c_str());
  return status;
}
