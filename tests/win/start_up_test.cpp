// Start-up and shutdown of the application object, in-process: the single-copy guard, the
// settings, the language, the meter and the tray icon, and Exit.
#include <gtest/gtest.h>

#include "app/app_state.h"
#include "app/corvane_app.h"
#include "settings/settings_store.h"
#include "display/tray_icon.h"
#include "framework/dialog.h"
#include "framework/prompt.h"
#include "i18n/core/language_table.h"
#include "resource.h"
#include "win/test_support.h"

namespace vantrel::app {
namespace {

using namespace vantrel::settings;

using namespace vantrel::testing;

TEST(DirectoryOfTest, CutsAtTheLastBackslash) {
  EXPECT_EQ(DirectoryOf("C:\\Program Files\\Vantrel\\vantrel.exe"), "C:\\Program Files\\Vantrel");
  EXPECT_EQ(DirectoryOf("C:\\vantrel.exe") + DirectoryOf("\\vantrel.exe") + DirectoryOf("vantrel.exe") + DirectoryOf(""),
            "C:");
}

class StartUpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A copy of the program that an earlier test ended may still be on its way out.
    for (int i = 0; i < 100 && SemaphoreExists(); ++i) ::Sleep(100);
    ASSERT_FALSE(SemaphoreExists()) << "another copy of the program runs in this Wine prefix";
  }
  static bool SemaphoreExists() {
    HANDLE h = ::OpenSemaphoreA(SYNCHRONIZE, FALSE, kSemaphoreName);
    if (h) ::CloseHandle(h);
    return h != nullptr;
  }
  static std::pair<LONG, LONG> MeterAt(CorvaneApp& application) {
    RECT r{};
    ::GetWindowRect(application.meter()->hwnd(), &r);
    return {r.left, r.top};
  }

  CleanKey clean_;
  DisplayTestScope display_;
  fw::PromptRecorder prompts_;
};

// The second copy's message and the first copy running on are proven end to end.
TEST_F(StartUpTest, FirstCopyShowsTheMeterAndIconUntilTheEndASecondReadsNothingAndEnds) {
  HWND meter = nullptr;
  UINT id = 0;
  {
    CorvaneApp application;
    ASSERT_FALSE(application.another_copy());
    {
      CorvaneApp second;
      EXPECT_FALSE(second.InitInstance(::GetModuleHandleA(nullptr)));
      EXPECT_EQ(prompts_.entries().size(), 1u);
      EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kKey));  // not even created
    }
    EXPECT_TRUE(CorvaneApp().another_copy());  // the second copy's handle went, the guard stays
    ASSERT_TRUE(application.InitInstance(::GetModuleHandleA(nullptr)));
    EXPECT_EQ(State().app_directory, DirectoryOf(ModulePath(nullptr)));
    RECT desktop{};
    ::GetWindowRect(::GetDesktopWindow(), &desktop);
    meter = application.meter()->hwnd();
    EXPECT_EQ(State().meter, application.meter());
    EXPECT_TRUE(::IsWindowVisible(meter));
    EXPECT_EQ(MeterAt(application), std::make_pair(desktop.right - 70, 10L));
    id = application.tray_icon()->record().uID;
    EXPECT_TRUE(TrayIconExists(meter, id));
  }
  EXPECT_FALSE(CorvaneApp().another_copy());
  EXPECT_FALSE(::IsWindow(meter));
  EXPECT_FALSE(TrayIconExists(meter, id));
  MSG msg;  // the loop was over: the end posts no second quit
  EXPECT_FALSE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(prompts_.entries().size(), 1u);
}

TEST_F(StartUpTest, APositionOnNoMonitorAndAMissingLanguageFallBackForThisRunOnly) {
  SettingsStore store;
  ASSERT_TRUE(store.OpenKey() && store.SaveLanguage("Klingon"));
  const int32_t left = -4000, top = 50;
  ASSERT_TRUE(WriteRaw(HKEY_CURRENT_USER, kKey, kBatteryMeterPosLeft, REG_BINARY, &left, 4) &&
              WriteRaw(HKEY_CURRENT_USER, kKey, kBatteryMeterPosTop, REG_BINARY, &top, 4));
  {
    CorvaneApp application;
    ASSERT_TRUE(application.InitInstance(::GetModuleHandleA(nullptr)));
    RECT work{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(MeterAt(application), std::make_pair(work.left, 50L));
    ASSERT_EQ(prompts_.entries().size(), 1u);
    EXPECT_EQ(prompts_.entries()[0].text, "The language file 'Klingon.lng' absent or location in wrong path!");
    EXPECT_EQ(State().settings.Language, "");
  }
  EXPECT_EQ(ReadRaw(HKEY_CURRENT_USER, kKey, kLanguage).text(), std::string("Klingon", 8));
  EXPECT_EQ(ReadRaw(HKEY_CURRENT_USER, kKey, kBatteryMeterPosLeft).data, (std::vector<BYTE>{0x60, 0xF0, 0xFF, 0xFF}));

  ASSERT_TRUE(store.SaveLanguage("Deutsch"));  // shipped beside the test program by the build
  {
    CorvaneApp application;
    ASSERT_TRUE(application.InitInstance(::GetModuleHandleA(nullptr)));
    EXPECT_EQ(i18n::Text(3), "\xDC" "bernehmen");
  }
  EXPECT_EQ(i18n::Text(3), "Apply");  // the table went with the application; nothing points at it
}

void CALLBACK QuitWithAnotherCode(HWND, UINT, UINT_PTR, DWORD) { ::PostQuitMessage(99); }
HWND g_exiting_meter = nullptr;
void CALLBACK ChooseExit(HWND, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(nullptr, id);
  ::SendMessageA(g_exiting_meter, WM_COMMAND, MAKEWPARAM(ID_TRAY_EXIT, 0), 0);
}

// Exit is chosen while the About box runs its own loop inside a handler of the main window.
TEST_F(StartUpTest, ExitWhileTheAboutBoxIsOpenClosesTheMainWindowThenTheMeterAndEndsTheLoop) {
  CorvaneApp application;
  ASSERT_TRUE(application.InitInstance(::GetModuleHandleA(nullptr)));
  HWND meter = application.meter()->hwnd();
  ::SendMessageA(meter, display::WM_TRAY_CALLBACK, 0, WM_LBUTTONDBLCLK);  // opens the main window
  HWND main = ::FindWindowA(nullptr, "Vantrel - Control");
  ASSERT_NE(main, nullptr);
  g_exiting_meter = meter;
  UINT_PTR exit = ::SetTimer(nullptr, 0, 200, &ChooseExit);
  ::SendMessageA(main, WM_COMMAND, MAKEWPARAM(ID_HELP_ABOUT, 0), 0);  // ends with its window
  ::KillTimer(nullptr, exit);
  EXPECT_FALSE(::IsWindow(main));
  EXPECT_FALSE(::IsWindow(meter));
  // The loop ends with the meter, or the guard ends it with another code after three seconds.
  UINT_PTR guard = ::SetTimer(nullptr, 0, 3000, &QuitWithAnotherCode);
  EXPECT_EQ(fw::RunMessageLoop(), 0);
  ::KillTimer(nullptr, guard);
}

}  // namespace
}  // namespace vantrel::app
