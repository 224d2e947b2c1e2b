// Measures what one tick of the running meter costs on the simulated default laptop, part by
// part: the figures (device requests), the face drawn off-screen, the window painted (whole,
// and the one glyph a second gone by changes), and the whole tick as the timer delivers it;
// with all batteries and with one. Within one second the laptop's figures do not change, so
// the ticks measured are those that find the face as it was.
//   meter-tick-bench [runs]
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "battery/battery_status.h"
#include "display/meter_window.h"
#include "framework/dialog.h"
#include "platform/sim/sim_machine.h"
#include "platform/system_api.h"
#include "settings/core/app_settings.h"

namespace {

using namespace vantrel;

class CountingApi final : public platform::ForwardingSystemApi {
 public:
  using ForwardingSystemApi::ForwardingSystemApi;
  BOOL DeviceIoControl(HANDLE h, DWORD code, LPVOID in, DWORD in_size, LPVOID out, DWORD out_size, LPDWORD returned,
                       LPOVERLAPPED overlapped) override {
    ++requests;
    return ForwardingSystemApi::DeviceIoControl(h, code, in, in_size, out, out_size, returned, overlapped);
  }
  unsigned long requests = 0;
};

template <class Work>
void Measure(const char* label, CountingApi& counter, int runs, Work work) {
  work();  // warm up
  counter.requests = 0;
  LARGE_INTEGER frequency, start, end;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&start);
  for (int i = 0; i < runs; ++i) work();
  ::QueryPerformanceCounter(&end);
  const double us = static_cast<double>(end.QuadPart - start.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
  std::printf("%-44s %5.1f device requests  %8.1f us\n", label, static_cast<double>(counter.requests) / runs,
              us / runs);
}

void MeasureMeter(CountingApi& counter, int runs, const settings::AppSettings& settings, const char* mode) {
  display::MeterWindow meter(settings);
  if (!meter.Create() || !meter.painter()) {
    std::printf("the meter could not be made\n");
    return;
  }
  meter.MoveTo(100, 100);
  meter.ShowAndPaint();
  display::MeterPainter& painter = *meter.painter();
  HWND window = meter.hwnd();
  std::printf("-- %s\n", mode);
  Measure("figures, nothing kept", counter, runs, [&] { battery::ComputeMeterFigures(painter.platform(), settings); });
  battery::NamedBatteryCache named;
  Measure("figures, the lookup by name kept", counter, runs,
          [&] { battery::ComputeMeterFigures(painter.platform(), settings, named); });
  HDC screen = ::GetDC(nullptr);
  HDC memory = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, display::kFaceWidth, display::kFaceHeight);
  HGDIOBJ original = ::SelectObject(memory, bitmap);
  Measure("face drawn and copied", counter, runs, [&] {
    painter.RenderFace(painter.last_figures());
    painter.Blit(memory);
  });
  ::SelectObject(memory, original);
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
  Measure("window painted (invalidate, update)", counter, runs, [&] {
    ::InvalidateRect(window, nullptr, FALSE);
    ::UpdateWindow(window);
  });
  // A second gone by: the last glyph of the time is all that changes.
  const RECT glyph{39, 4, 43, 10};
  Measure("window painted, one glyph", counter, runs, [&] {
    ::InvalidateRect(window, &glyph, FALSE);
    ::UpdateWindow(window);
  });
  Measure("tick, the face unchanged", counter, runs,
          [&] { ::SendMessageA(window, WM_TIMER, display::kMeterTickTimer, 0); });
  meter.DestroyWindow();
}

}  // namespace

int main(int argc, char** argv) {
  int runs = argc > 1 ? std::atoi(argv[1]) : 200;
  if (runs <= 0) runs = 200;
  INITCOMMONCONTROLSEX common{sizeof common, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&common);
  fw::SetResourceInstance(::GetModuleHandleA(nullptr));

  char folder[MAX_PATH] = {};
  ::GetTempPathA(sizeof folder, folder);
  const std::string ini = std::string(folder) + "vantrel-meter-tick-bench.ini";
  ::DeleteFileA(ini.c_str());
  {
    platform::sim::SimulatedMachine machine(ini, platform::sim::DefaultLaptop());
    CountingApi counter(machine);
    platform::ScopedSystemApi scope(counter);
    settings::AppSettings all;
    MeasureMeter(counter, runs, all, "all batteries");
    settings::AppSettings one;
    one.DisplayOneBatteryStatus = 1;
    one.BatteryName = "42T4969";
    MeasureMeter(counter, runs, one, "one battery");
  }
  ::DeleteFileA(ini.c_str());
  return 0;
}
