// The notification-area icon under Wine's taskbar.
#include <gtest/gtest.h>

#include <cstring>

#include "app/app_messages.h"
#include "display/core/tray_rules.h"
#include "display/tray_icon.h"
#include "resource.h"
#include "win/test_support.h"

namespace vantrel::display {
namespace {

// Other programs' icons with these identifiers; the listing ends with `result`.
TrayIcon::EntrySource Entries(std::vector<uint32_t> ids, DWORD result = 0, int* calls = nullptr) {
  return [ids, result, calls](std::vector<TrayEntry>& entries) {
    if (calls) ++*calls;
    for (uint32_t id : ids) entries.push_back(TrayEntry{0x1234, id, 0, 0, {}, {}});
    return result;
  };
}

class TrayIconTest : public ::testing::Test {
 protected:
  void SetUp() override {
    owner_ = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  }
  void TearDown() override { ::DestroyWindow(owner_); }
  HWND owner_ = nullptr;
};

TEST_F(TrayIconTest, FreeIdentifierRecordLayoutAndSetters) {
  TrayIcon icon;
  icon.set_entry_source(Entries({1, 2, 4}));
  const uint32_t shell = icon.SetOwner(owner_, 0);
  EXPECT_EQ(icon.record().uID, 3u);
  icon.set_entry_source(Entries({1}, ERROR_ACCESS_DENIED));  // half a listing counts
  icon.SetOwner(owner_, 0);
  EXPECT_EQ(icon.record().uID, 2u);
  int calls = 0;
  icon.set_entry_source(Entries({7}, 0, &calls));  // a given identifier is used as it is
  icon.SetOwner(owner_, 7);
  EXPECT_EQ(icon.record().uID, 7u);
  EXPECT_EQ(calls, 0);

  EXPECT_EQ(shell, ShellLibraryVersion());
  EXPECT_GE(shell, ShellVersion(5, 0));  // Wine's shell
  EXPECT_EQ(icon.record().cbSize, NOTIFYICONDATAA_V2_SIZE);
  EXPECT_EQ(NotifyRecordSize(ShellVersion(4, 72)), NOTIFYICONDATAA_V1_SIZE);
  EXPECT_EQ(NotifyRecordSize(0), NOTIFYICONDATAA_V1_SIZE);  // version unknown

  // The setters add their flags, the tooltip is cut, the icon is the small one.
  EXPECT_EQ(icon.SetCallback(app::WM_TRAY_CALLBACK), 0u);
  EXPECT_EQ(icon.SetCallback(app::WM_TRAY_CALLBACK), app::WM_TRAY_CALLBACK);
  icon.SetTooltip(std::string(100, 'x'));
  EXPECT_EQ(std::strlen(icon.record().szTip), 63u);
  icon.SetTooltip(kTrayTooltip);
  EXPECT_STREQ(icon.record().szTip, "Corvane");
  icon.SetIconFromResource(::GetModuleHandleA(nullptr), IDI_APP);
  EXPECT_EQ(icon.record().uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_TIP | NIF_ICON));
  ICONINFO info{};
  ASSERT_TRUE(::GetIconInfo(icon.record().hIcon, &info));
  BITMAP colour{};
  ::GetObjectA(info.hbmColor, sizeof colour, &colour);
  EXPECT_EQ(colour.bmWidth, ::GetSystemMetrics(SM_CXSMICON));
  ::DeleteObject(info.hbmColor);
  ::DeleteObject(info.hbmMask);
}

TEST_F(TrayIconTest, AddedToAndRemovedFromWinesTaskbar) {
  {
    TrayIcon icon;
    icon.SetOwner(owner_, 0);  // nothing is read from Wine's taskbar: the first identifier
    EXPECT_TRUE(icon.entries().empty());
    EXPECT_EQ(icon.record().uID, 1u);
    icon.SetTooltip(kTrayTooltip);
    icon.SetIconFromResource(::GetModuleHandleA(nullptr), IDI_APP);
    ASSERT_TRUE(icon.Add());
    EXPECT_EQ(icon.record().uFlags, 0u);
    EXPECT_TRUE(vantrel::testing::TrayIconExists(owner_, 1));
    EXPECT_TRUE(icon.Delete());
    EXPECT_FALSE(vantrel::testing::TrayIconExists(owner_, 1));
    ASSERT_TRUE(icon.AddAgain());
  }
  // An icon still added goes with its object.
  EXPECT_FALSE(vantrel::testing::TrayIconExists(owner_, 1));
  std::vector<TrayEntry> entries(3);
  EnumerateTrayEntries(entries);
  EXPECT_TRUE(entries.empty());
}

}  // namespace
}  // namespace vantrel::display
