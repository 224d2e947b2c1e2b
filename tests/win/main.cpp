// Test runner for the Windows tests: the common controls are registered and the resources
// come from this executable, as in the program.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "framework/dialog.h"

int main(int argc, char** argv) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  vantrel::fw::SetResourceInstance(::GetModuleHandleA(nullptr));
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
