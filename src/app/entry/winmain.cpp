// Entry point of vantrel.exe and vantrel-sim.exe; they differ only in the back end they link.
#include <windows.h>
#include <commctrl.h>

#include "app/corvane_app.h"
#include "framework/dialog.h"
#include "platform/backend.h"
#include "power/power_backend.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  using namespace vantrel;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  fw::SetResourceInstance(instance);
  if (!platform::StartBackend(instance)) return 1;
  power::ChoosePowerBackend();

  int exit_code = 0;
  {
    app::CorvaneApp application;
    if (application.InitInstance(instance)) exit_code = fw::RunMessageLoop();
  }
  platform::StopBackend();
  return exit_code;
}
