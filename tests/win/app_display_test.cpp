// Start-up and shutdown of the meter and the tray icon, in-process.
#include <gtest/gtest.h>

#include <cstring>

#include "app/app_messages.h"
#include "app/app_state.h"
#include "app/corvane_app.h"
#include "display/meter_window.h"
#include "display/tray_icon.h"
#include "framework/dialog.h"
#include "framework/prompt.h"
#include "win/display_support.h"
#include "win/test_support.h"

namespace vantrel::app {
namespace {

void CALLBACK QuitWithAnotherCode(HWND, UINT, UINT_PTR, DWORD) { ::PostQuitMessage(99); }

class StartUpDisplayTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(vantrel::testing::DeleteTree(HKEY_CURRENT_USER, "Software\\Vantrel")); }
  void TearDown() override { vantrel::testing::DeleteTree(HKEY_CURRENT_USER, "Software\\Vantrel"); }

  void Store(const char* name, int32_t value) {
    ASSERT_TRUE(vantrel::testing::WriteRaw(HKEY_CURRENT_USER, "Software\\Vantrel", name, REG_BINARY, &value,
                                           sizeof value));
  }

  vantrel::testing::DisplayTestScope scope_;
  fw::PromptRecorder prompts_;
};

TEST_F(StartUpDisplayTest, WithABatteryTheMeterShowsAtItsPlaceAndTheIconIsThereUntilTheEnd) {
  Store(kBatteryMeterPosLeft, 333);
  Store(kBatteryMeterPosTop, 222);
  HWND meter = nullptr;
  UINT id = 0;
  {
    CorvaneApp application;
    ASSERT_TRUE(application.InitInstance(::GetModuleHandleA(nullptr)));
    meter = application.meter()->hwnd();
    ASSERT_NE(meter, nullptr);
    EXPECT_EQ(State().meter_window, meter);
    EXPECT_TRUE(::IsWindowVisible(meter));
    RECT r{};
    ::GetWindowRect(meter, &r);
    EXPECT_EQ(r.left, 333);
    EXPECT_EQ(r.top, 222);

    const display::TrayIcon& icon = *application.tray_icon();
    id = icon.record().uID;
    EXPECT_EQ(icon.record().hWnd, meter);
    EXPECT_EQ(icon.record().uCallbackMessage, static_cast<UINT>(WM_TRAY_CALLBACK));
    EXPECT_STREQ(icon.record().szTip, "Corvane");
    EXPECT_TRUE(vantrel::testing::TrayIconExists(meter, id));
  }
  EXPECT_FALSE(::IsWindow(meter));
  EXPECT_FALSE(vantrel::testing::TrayIconExists(meter, id));
  // Destroying the meter at the end did not ask the (finished) loop to quit again.
  MSG msg;
  EXPECT_FALSE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_TRUE(prompts_.entries().empty());
}

TEST_F(StartUpDisplayTest, WithoutABatteryOnlyTheIconAppears) {
  scope_.battery.count = 0;
  CorvaneApp application;
  ASSERT_TRUE(application.InitInstance(::GetModuleHandleA(nullptr)));
  HWND meter = application.meter()->hwnd();
  vantrel::testing::PumpUntil([] { return false; }, 1200);
  EXPECT_FALSE(::IsWindowVisible(meter));
  EXPECT_TRUE(vantrel::testing::TrayIconExists(meter, application.tray_icon()->record().uID));
}

TEST_F(StartUpDisplayTest, APositionOnNoMonitorIsBroughtBackForThisRunOnly) {
  Store(kBatteryMeterPosLeft, -4000);
  Store(kBatteryMeterPosTop, 50);
  CorvaneApp application;
  ASSERT_TRUE(application.InitInstance(::GetModuleHandleA(nullptr)));
  RECT r{};
  ::GetWindowRect(application.meter()->hwnd(), &r);
  RECT work{};
  ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_EQ(r.left, work.left);
  EXPECT_EQ(r.top, 50);
  EXPECT_EQ(State().settings.BatteryMeterPosLeft, -4000);
  auto stored = vantrel::testing::ReadRaw(HKEY_CURRENT_USER, "Software\\Vantrel", kBatteryMeterPosLeft);
  ASSERT_EQ(stored.data.size(), 4u);
  int32_t value = 0;
  std::memcpy(&value, stored.data.data(), sizeof value);
  EXPECT_EQ(value, -4000);
}

TEST_F(StartUpDisplayTest, DestroyingTheMeterEndsTheMessageLoop) {
  CorvaneApp application;
  ASSERT_TRUE(application.InitInstance(::GetModuleHandleA(nullptr)));
  HWND meter = application.meter()->hwnd();
  // Closing is not ending.
  ::SendMessageA(meter, WM_CLOSE, 0, 0);
  ASSERT_TRUE(::IsWindow(meter));
  // Should the quit not come, this ends the loop with another code.
  UINT_PTR guard = ::SetTimer(nullptr, 0, 3000, &QuitWithAnotherCode);
  ::DestroyWindow(meter);
  EXPECT_EQ(fw::RunMessageLoop(), 0);
  ::KillTimer(nullptr, guard);
}

}  // namespace
}  // namespace vantrel::app
