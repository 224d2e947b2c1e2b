// Test runner for the Windows tests: the common controls are registered and the resources
// come from this executable, as in the program. An exception stopped at a window or callback
// boundary fails the test during which it happened.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "framework/caught.h"
#include "framework/dialog.h"

namespace {

class CaughtExceptionWatch : public ::testing::EmptyTestEventListener {
  void OnTestEnd(const ::testing::TestInfo&) override {
    if (const long caught = vantrel::fw::CaughtExceptionCount()) {
      ADD_FAILURE() << caught << " exception(s) stopped at a window or callback boundary (named in the debug output)";
      vantrel::fw::ResetCaughtExceptionCount();  // blame the next test only for its own
    }
  }
};

}  // namespace

int main(int argc, char** argv) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  vantrel::fw::SetResourceInstance(::GetModuleHandleA(nullptr));
  ::testing::InitGoogleTest(&argc, argv);
  // After the result printer, so that the failures it adds are reported with their test.
  ::testing::UnitTest::GetInstance()->listeners().Append(new CaughtExceptionWatch);
  const int result = RUN_ALL_TESTS();
  if (const long caught = vantrel::fw::CaughtExceptionCount()) {
    std::printf("%ld exception(s) stopped at a window or callback boundary outside any test\n", caught);
    return 1;
  }
  return result;
}
