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

using vantrel::testing::TrayIconExists;

void CALLBACK QuitWithAnotherCode(HWND, UINT, UINT_PTR, DWORD) { ::PostQuitMessage(99); }

class StartUpDisplayTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(vantrel::testing::DeleteTree(HKEY_CURRENT_USER, "Software\\Vantrel")); }
  void TearDown() override { vantrel::testing::DeleteTree(HKEY_CURRENT_USER, "Software\\Vantrel"); }
  void Store(const char* name, int32_t value) {
    ASSERT_TRUE(vantrel::testing::WriteRaw(HKEY_CURRENT_USER, "Software\\Vantrel", name, REG_BINARY, &value, 4));
  }
  POINT MeterAt(CorvaneApp& application) {
    RECT r{};
    ::GetWindowRect(application.meter()->hwnd(), &r);
    return {r.left, r.top};
  }

  vantrel::testing::DisplayTestScope scope_;
  fw::PromptRecorder prompts_;
};

TEST_F(StartUpDisplayTest, WithABatteryTheMeterShowsAtItsPlaceAndTheIconLastsUntilTheEnd) {
  Store(kBatteryMeterPosLeft, 333);
  Store(kBatteryMeterPosTop, 222);
  HWND meter = nullptr;
  UINT id = 0;
  {
    CorvaneApp application;
    ASSERT_TRUE(application.InitInstance(::GetModuleHandleA(nullptr)));
    meter = application.meter()->hwnd();
    EXPECT_EQ(State().meter_window, meter);
    EXPECT_TRUE(::IsWindowVisible(meter));
    EXPECT_EQ(MeterAt(application).x, 333);
    EXPECT_EQ(MeterAt(application).y, 222);
    const NOTIFYICONDATAA& icon = application.tray_icon()->record();
    id = icon.uID;
    EXPECT_EQ(icon.hWnd, meter);
    EXPECT_EQ(icon.uCallbackMessage, static_cast<UINT>(WM_TRAY_CALLBACK));
    EXPECT_STREQ(icon.szTip, "Corvane");
    EXPECT_TRUE(TrayIconExists(meter, id));
  }
  EXPECT_FALSE(::IsWindow(meter));
  EXPECT_FALSE(TrayIconExists(meter, id));
  MSG msg;  // the loop was over: the end posts no second quit
  EXPECT_FALSE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_TRUE(prompts_.entries().empty());
}

TEST_F(StartUpDisplayTest, WithoutABatteryOnlyTheIconAppearsAndDestroyingTheMeterEndsTheLoop) {
  scope_.battery.count = 0;
  CorvaneApp application;
  ASSERT_TRUE(application.InitInstance(::GetModuleHandleA(nullptr)));
  HWND meter = application.meter()->hwnd();
  vantrel::testing::Pump(1200);
  EXPECT_FALSE(::IsWindowVisible(meter));
  EXPECT_TRUE(TrayIconExists(meter, application.tray_icon()->record().uID));
  ::SendMessageA(meter, WM_CLOSE, 0, 0);  // closing is not ending
  ASSERT_TRUE(::IsWindow(meter));
  UINT_PTR guard = ::SetTimer(nullptr, 0, 3000, &QuitWithAnotherCode);
  ::DestroyWindow(meter);
  EXPECT_EQ(fw::RunMessageLoop(), 0);
  ::KillTimer(nullptr, guard);
}

TEST_F(StartUpDisplayTest, APositionOnNoMonitorIsBroughtBackForThisRunOnly) {
  Store(kBatteryMeterPosLeft, -4000);
  Store(kBatteryMeterPosTop, 50);
  CorvaneApp application;
  ASSERT_TRUE(application.InitInstance(::GetModuleHandleA(nullptr)));
  RECT work{};
  ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_EQ(MeterAt(application).x, work.left);
  EXPECT_EQ(MeterAt(application).y, 50);
  EXPECT_EQ(State().settings.BatteryMeterPosLeft, -4000);
  auto stored = vantrel::testing::ReadRaw(HKEY_CURRENT_USER, "Software\\Vantrel", kBatteryMeterPosLeft);
  int32_t value = 0;
  ASSERT_EQ(stored.data.size(), sizeof value);
  std::memcpy(&value, stored.data.data(), sizeof value);
  EXPECT_EQ(value, -4000);
}

}  // namespace
}  // namespace vantrel::app
