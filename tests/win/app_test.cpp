// Start-up of the application object, in-process.
#include <gtest/gtest.h>

#include "app/app_state.h"
#include "app/corvane_app.h"
#include "framework/prompt.h"
#include "win/test_support.h"

namespace vantrel::app {
namespace {

TEST(DirectoryOfTest, CutsAtTheLastBackslash) {
  EXPECT_EQ(DirectoryOf("C:\\Program Files\\Vantrel\\vantrel.exe"), "C:\\Program Files\\Vantrel");
  EXPECT_EQ(DirectoryOf("C:\\vantrel.exe"), "C:");
  EXPECT_EQ(DirectoryOf("vantrel.exe"), "");
  EXPECT_EQ(DirectoryOf("\\vantrel.exe"), "");
  EXPECT_EQ(DirectoryOf(""), "");
}

class StartUpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A copy of the program that an earlier test ended may still be on its way out.
    for (int i = 0; i < 100 && SemaphoreExists(); ++i) ::Sleep(100);
    ASSERT_FALSE(SemaphoreExists()) << "another copy of the program runs in this Wine prefix";
    ASSERT_TRUE(vantrel::testing::DeleteTree(HKEY_CURRENT_USER, "Software\\Vantrel"));
  }
  static bool SemaphoreExists() {
    HANDLE h = ::OpenSemaphoreA(SYNCHRONIZE, FALSE, kSemaphoreName);
    if (h) ::CloseHandle(h);
    return h != nullptr;
  }
  void TearDown() override { vantrel::testing::DeleteTree(HKEY_CURRENT_USER, "Software\\Vantrel"); }
};

TEST_F(StartUpTest, FirstCopyCreatesTheKeyAndReadsTheDefaults) {
  fw::PromptRecorder prompts;
  CorvaneApp first;
  ASSERT_FALSE(first.another_copy());
  ASSERT_TRUE(first.InitInstance(::GetModuleHandleA(nullptr)));
  EXPECT_TRUE(prompts.entries().empty());
  EXPECT_TRUE(vantrel::testing::KeyExists(HKEY_CURRENT_USER, "Software\\Vantrel"));

  const AppState& state = State();
  RECT desktop{};
  ::GetWindowRect(::GetDesktopWindow(), &desktop);
  EXPECT_EQ(state.settings.BatteryMeterPosLeft, desktop.right - 70);
  EXPECT_EQ(state.settings.BatteryMeterPosTop, 10);
  EXPECT_EQ(state.settings.AlwaysOnTop, 1);
  EXPECT_EQ(state.settings.TransparentForm, 0);
  EXPECT_EQ(state.app_directory, DirectoryOf(ModulePath(nullptr)));
  EXPECT_FALSE(state.app_directory.empty());
  EXPECT_NE(state.app_directory.back(), '\\');
}

TEST_F(StartUpTest, SecondCopySaysSoAndEnds) {
  fw::PromptRecorder prompts;
  CorvaneApp first;
  ASSERT_FALSE(first.another_copy());
  {
    CorvaneApp second;
    EXPECT_TRUE(second.another_copy());
    EXPECT_FALSE(second.InitInstance(::GetModuleHandleA(nullptr)));
    ASSERT_EQ(prompts.entries().size(), 1u);
    EXPECT_EQ(prompts.entries()[0].text, "Application Vantrel Already Run!");
    EXPECT_EQ(prompts.entries()[0].type, static_cast<UINT>(MB_OK));
    // The second copy reads nothing: the key is not even created.
    EXPECT_FALSE(vantrel::testing::KeyExists(HKEY_CURRENT_USER, "Software\\Vantrel"));
  }
  // Closing the second copy's handle leaves the first copy's guard in place.
  CorvaneApp third;
  EXPECT_TRUE(third.another_copy());
}

TEST_F(StartUpTest, GuardIsReleasedWithTheApplication) {
  { CorvaneApp first; }
  CorvaneApp again;
  EXPECT_FALSE(again.another_copy());
}

}  // namespace
}  // namespace vantrel::app
