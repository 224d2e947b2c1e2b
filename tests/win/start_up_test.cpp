// Start-up and shutdown of the application object, in-process: the single-copy guard, the
// settings, the language, the meter and the tray icon, and Exit.
#include <gtest/gtest.h>

#include "app/app_messages.h"
#include "app/app_state.h"
#include "app/corvane_app.h"
#include "app/settings_store.h"
#include "display/tray_icon.h"
#include "framework/dialog.h"
#include "framework/prompt.h"
#include "i18n/core/language_table.h"
#include "resource.h"
#include "win/test_support.h"

namespace vantrel::app {
namespace {

using vantrel::testing::kKey;
using vantrel::testing::TrayIconExists;

TEST(DirectoryOfTest, CutsAtTheLastBackslash) {
  EXPECT_EQ(DirectoryOf("C:\\Program Files\\Vantrel\\vantrel.exe"), "C:\\Program Files\\Vantrel");
  EXPECT_EQ(DirectoryOf("C:\\vantrel.exe") + DirectoryOf("\\vantrel.exe") + DirectoryOf("vantrel.exe") + DirectoryOf(""),
            "C:");
}

void CALLBACK QuitWithAnotherCode(HWND, UINT, UINT_PTR, DWORD) { ::PostQuitMessage(99); }

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
  void Store(const char* name, int32_t value) {
    ASSERT_TRUE(vantrel::testing::WriteRaw(HKEY_CURRENT_USER, kKey, name, REG_BINARY, &value, 4));
  }
  static POINT MeterAt(CorvaneApp& application) {
    RECT r{};
    ::GetWindowRect(application.meter()->hwnd(), &r);
    return {r.left, r.top};
  }
  // Runs the message loop until the program ends it, or fails after three seconds.
  static void ExpectTheLoopEnds() {
    UINT_PTR guard = ::SetTimer(nullptr, 0, 3000, &QuitWithAnotherCode);
    EXPECT_EQ(fw::RunMessageLoop(), 0);
    ::KillTimer(nullptr, guard);
  }

  vantrel::testing::CleanKey clean_;
  vantrel::testing::DisplayTestScope display_;
  fw::PromptRecorder prompts_;
};

TEST_F(StartUpTest, FirstCopyReadsTheDefaultsShowsTheMeterAndKeepsTheIconUntilTheEnd) {
  HWND meter = nullptr;
  UINT id = 0;
  {
    CorvaneApp application;
    ASSERT_FALSE(application.another_copy());
    ASSERT_TRUE(application.InitInstance(::GetModuleHandleA(nullptr)));
    EXPECT_TRUE(vantrel::testing::KeyExists(HKEY_CURRENT_USER, kKey));
    EXPECT_EQ(State().app_directory, DirectoryOf(ModulePath(nullptr)));
    EXPECT_NE(State().app_directory.back(), '\\');
    RECT desktop{};
    ::GetWindowRect(::GetDesktopWindow(), &desktop);
    meter = application.meter()->hwnd();
    EXPECT_EQ(State().meter_window, meter);
    EXPECT_TRUE(::IsWindowVisible(meter));
    EXPECT_EQ(MeterAt(application).x, desktop.right - 70);
    EXPECT_EQ(MeterAt(application).y, 10);
    id = application.tray_icon()->record().uID;
    EXPECT_EQ(application.tray_icon()->record().uCallbackMessage, static_cast<UINT>(WM_TRAY_CALLBACK));
    EXPECT_TRUE(TrayIconExists(meter, id));
  }
  EXPECT_FALSE(::IsWindow(meter));
  EXPECT_FALSE(TrayIconExists(meter, id));
  MSG msg;  // the loop was over: the end posts no second quit
  EXPECT_FALSE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_TRUE(prompts_.entries().empty());
}

TEST_F(StartUpTest, SecondCopySaysSoAndEndsAndTheGuardGoesWithTheFirst) {
  {
    CorvaneApp first;
    ASSERT_FALSE(first.another_copy());
    {
      CorvaneApp second;
      EXPECT_TRUE(second.another_copy());
      EXPECT_FALSE(second.InitInstance(::GetModuleHandleA(nullptr)));
      ASSERT_EQ(prompts_.entries().size(), 1u);
      EXPECT_EQ(prompts_.entries()[0].text, "Application Vantrel Already Run!");
      EXPECT_EQ(prompts_.entries()[0].type, static_cast<UINT>(MB_OK));
      // The second copy reads nothing: the key is not even created.
      EXPECT_FALSE(vantrel::testing::KeyExists(HKEY_CURRENT_USER, kKey));
    }
    // Closing the second copy's handle leaves the first copy's guard in place.
    EXPECT_TRUE(CorvaneApp().another_copy());
  }
  EXPECT_FALSE(CorvaneApp().another_copy());
}

TEST_F(StartUpTest, WithoutABatteryOnlyTheIconAppearsAndDestroyingTheMeterEndsTheLoop) {
  display_.battery.count = 0;
  CorvaneApp application;
  ASSERT_TRUE(application.InitInstance(::GetModuleHandleA(nullptr)));
  HWND meter = application.meter()->hwnd();
  vantrel::testing::Pump(1200);
  EXPECT_FALSE(::IsWindowVisible(meter));
  EXPECT_TRUE(TrayIconExists(meter, application.tray_icon()->record().uID));
  ::SendMessageA(meter, WM_CLOSE, 0, 0);  // closing is not ending
  ASSERT_TRUE(::IsWindow(meter));
  ::DestroyWindow(meter);
  ExpectTheLoopEnds();
}

TEST_F(StartUpTest, APositionOnNoMonitorIsBroughtBackForThisRunOnly) {
  Store(kBatteryMeterPosLeft, -4000);
  Store(kBatteryMeterPosTop, 50);
  CorvaneApp application;
  ASSERT_TRUE(application.InitInstance(::GetModuleHandleA(nullptr)));
  RECT work{};
  ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_EQ(MeterAt(application).x, work.left);
  EXPECT_EQ(MeterAt(application).y, 50);
  EXPECT_EQ(State().settings.BatteryMeterPosLeft, -4000);
  EXPECT_EQ(vantrel::testing::ReadRaw(HKEY_CURRENT_USER, kKey, kBatteryMeterPosLeft).data,
            (std::vector<BYTE>{0x60, 0xF0, 0xFF, 0xFF}));  // -4000 as stored
}

TEST_F(StartUpTest, StoredLanguageIsLoadedFromBesideTheProgramOrReportedOnceAsMissing) {
  SettingsStore store;
  ASSERT_TRUE(store.OpenKey() && store.SaveLanguage("Klingon"));
  {
    CorvaneApp application;
    ASSERT_TRUE(application.InitInstance(::GetModuleHandleA(nullptr)));
    ASSERT_EQ(prompts_.entries().size(), 1u);
    EXPECT_EQ(prompts_.entries()[0].text, "The language file 'Klingon.lng' absent or location in wrong path!");
    EXPECT_EQ(State().settings.Language, "");
    EXPECT_EQ(i18n::Text(3003), "Batteries");
    EXPECT_EQ(i18n::Texts().folder(), State().app_directory + "\\Languages\\");
  }
  // Only that run fell back; the stored name stays for the next.
  EXPECT_EQ(vantrel::testing::ReadRaw(HKEY_CURRENT_USER, kKey, kLanguage).text(), std::string("Klingon", 8));

  // The build puts the shipped files into "Languages" beside the test program.
  ASSERT_TRUE(store.SaveLanguage("Deutsch"));
  {
    CorvaneApp application;
    ASSERT_TRUE(application.InitInstance(::GetModuleHandleA(nullptr)));
    EXPECT_EQ(prompts_.entries().size(), 1u);
    EXPECT_EQ(i18n::Texts().name(), "Deutsch");
    EXPECT_EQ(i18n::Text(3), "\xDC" "bernehmen");
  }
  // The table goes with the application; nothing points at it afterwards.
  EXPECT_EQ(i18n::Text(3), "Apply");
}

HWND g_exiting_meter = nullptr;
void CALLBACK ChooseExit(HWND, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(nullptr, id);
  ::SendMessageA(g_exiting_meter, WM_COMMAND, MAKEWPARAM(ID_TRAY_EXIT, 0), 0);
}

// Exit is chosen while the About box runs its own loop inside a handler of the main window.
TEST_F(StartUpTest, ExitWhileTheAboutBoxIsOpenClosesTheMainWindowThenTheMeterAndTheIconGoes) {
  HWND meter = nullptr;
  UINT icon = 0;
  {
    CorvaneApp application;
    ASSERT_TRUE(application.InitInstance(::GetModuleHandleA(nullptr)));
    meter = application.meter()->hwnd();
    icon = application.tray_icon()->record().uID;
    ::SendMessageA(meter, WM_TRAY_CALLBACK, 0, WM_LBUTTONDBLCLK);  // opens the main window
    HWND main = ::FindWindowA(nullptr, "Vantrel - Control");
    ASSERT_NE(main, nullptr);
    g_exiting_meter = meter;
    UINT_PTR exit = ::SetTimer(nullptr, 0, 200, &ChooseExit);
    ::SendMessageA(main, WM_COMMAND, MAKEWPARAM(ID_HELP_ABOUT, 0), 0);  // ends with its window
    ::KillTimer(nullptr, exit);
    EXPECT_FALSE(::IsWindow(main));
    EXPECT_FALSE(::IsWindow(meter));
    ExpectTheLoopEnds();
  }
  EXPECT_FALSE(TrayIconExists(meter, icon));
}

}  // namespace
}  // namespace vantrel::app
