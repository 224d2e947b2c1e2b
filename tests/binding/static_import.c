/* A program that imports the power library the old way, statically: the loader looks for it
   in the program's folder first. The import check must refuse it, and the binding test uses
   it to show that its Wine set-up would load a library placed beside a program. */
#include <windows.h>
// after windows.h, which it needs
#include <powrprof.h>

int main(void) {
  SYSTEM_POWER_CAPABILITIES capabilities;
  return GetPwrCapabilities(&capabilities) ? 0 : 1;
}
