// The masked time edit driven by keystrokes, mouse and focus messages, and its preset popup.
#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <string>
#include <utility>

#include "controls/masked_edit.h"
#include "i18n/core/language_table.h"
#include "resource.h"
#include "win/test_support.h"

namespace vantrel::controls {
namespace {

using testing::MenuString;
using testing::WindowText;

class TimeEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(host.Create());
    ASSERT_TRUE(edit.Create(host.hwnd(), RECT{10, 10, 110, 32}, 1));
    ASSERT_TRUE(edit.Init(kTimeMask, ""));
    ASSERT_TRUE(edit.SetPromptChar("0"));
  }

  std::string Text() const { return WindowText(edit.hwnd()); }
  std::pair<DWORD, DWORD> Selection() const {
    DWORD start = 0, end = 0;
    ::SendMessageA(edit.hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {start, end};
  }
  void Key(UINT key) { ::SendMessageA(edit.hwnd(), WM_KEYDOWN, key, 1); }
  void Type(const std::string& characters) {
    for (char c : characters) ::SendMessageA(edit.hwnd(), WM_CHAR, static_cast<unsigned char>(c), 1);
  }
  // A click that leaves the caret at `position`.
  void ClickAt(int position) {
    ::SendMessageA(edit.hwnd(), EM_SETSEL, position, position);
    ::SendMessageA(edit.hwnd(), WM_LBUTTONUP, 0, 0);
  }

  testing::ControlHost host;
  CTimeEdit edit;
};

TEST_F(TimeEditTest, ShowsAndReadsRawTextTypingFollowsTheMaskAndBadMasksDisable) {
  edit.SetInputText("10500");
  EXPECT_EQ(Text(), "1:05:00");
  EXPECT_EQ(edit.GetInputText(), "15");
  ASSERT_TRUE(edit.SetPromptChar("_"));
  EXPECT_EQ(edit.GetInputText(), "10500");
  EXPECT_FALSE(edit.SetPromptChar("00"));
  edit.SetPromptChar("0");
  edit.SetInputText("9x");
  EXPECT_EQ(Text(), "9:00:00");
  edit.SetInputText("");
  EXPECT_EQ(Text(), "0:00:00");

  ClickAt(2);
  Type("735");  // the first minutes position takes 0 to 5
  EXPECT_EQ(Text(), "0:35:00");
  EXPECT_EQ(edit.current_position(), 5);  // past the colon
  Type("\b");
  EXPECT_EQ(Text(), "0:30:00");
  EXPECT_EQ(edit.current_position(), 3);

  Key(VK_HOME);
  Type("\b");  // nothing before the first input position
  Key(VK_RIGHT);
  EXPECT_EQ(Selection(), std::make_pair(2ul, 2ul));
  Key(VK_END);
  Key(VK_DELETE);  // nothing after the last input position
  EXPECT_EQ(Text(), "0:30:00");
  ClickAt(1);
  Key(VK_DELETE);  // a literal stays what it is
  EXPECT_EQ(Text(), "0:30:00");
  EXPECT_EQ(edit.current_position(), 2);
  Key(VK_DELETE);
  EXPECT_EQ(Text(), "0:00:00");
  EXPECT_EQ(edit.current_position(), 3);

  // A bad mask says so in the field, which is disabled and takes nothing, until a good one comes.
  CmEdit other;
  ASSERT_TRUE(other.Create(host.hwnd(), RECT{10, 70, 110, 92}, 3));
  EXPECT_FALSE(other.Init("[0-9", ""));
  EXPECT_EQ(WindowText(other.hwnd()), "Init failed.");
  EXPECT_FALSE(other.Init("[-9]", ""));
  EXPECT_EQ(WindowText(other.hwnd()), "SetValidChars failed.");
  EXPECT_FALSE(::IsWindowEnabled(other.hwnd()));
  ::SendMessageA(other.hwnd(), WM_CHAR, '1', 1);
  EXPECT_EQ(WindowText(other.hwnd()), "SetValidChars failed.");
  EXPECT_TRUE(other.Init(kTimeMask, "123"));
  EXPECT_EQ(WindowText(other.hwnd()), "1:23:__");
  EXPECT_TRUE(::IsWindowEnabled(other.hwnd()));
}

TEST_F(TimeEditTest, FocusSelectsAllTypingReplacesItAndPasteChangesNothing) {
  edit.SetInputText("12345");
  ::SetFocus(host.hwnd());
  ::SetFocus(edit.hwnd());
  EXPECT_EQ(Selection(), std::make_pair(0ul, 7ul));
  Type("5");
  EXPECT_EQ(Text(), "5:00:00");
  EXPECT_EQ(edit.current_position(), 2);

  edit.SetPromptChar("_");
  ::SendMessageA(edit.hwnd(), WM_LBUTTONDBLCLK, 0, 0);
  EXPECT_EQ(Selection(), std::make_pair(0ul, 7ul));
  Type("x");
  EXPECT_EQ(Text(), "_:__:__");

  edit.SetInputText("12345");
  ASSERT_TRUE(::OpenClipboard(host.hwnd()));
  ::EmptyClipboard();
  HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, 6);
  std::memcpy(::GlobalLock(memory), "99999", 6);
  ::GlobalUnlock(memory);
  ::SetClipboardData(CF_TEXT, memory);
  ::CloseClipboard();
  ::SendMessageA(edit.hwnd(), EM_SETSEL, 0, -1);
  Type("\x16\x18\x1a\x03");  // Ctrl+V, Ctrl+X, Ctrl+Z, and Ctrl+C, which copies
  for (UINT msg : {WM_PASTE, WM_CUT, WM_CLEAR}) ::SendMessageA(edit.hwnd(), msg, 0, 0);
  EXPECT_EQ(Text(), "1:23:45");
}

TEST_F(TimeEditTest, ShiftExtendsHomeAndEndOnlyWhileHeldInThisField) {
  edit.SetInputText("12345");
  ::SetFocus(edit.hwnd());
  ClickAt(2);
  Key(VK_SHIFT);
  Key(VK_END);
  EXPECT_EQ(Selection(), std::make_pair(2ul, 7ul));
  ::SendMessageA(edit.hwnd(), WM_KEYUP, VK_SHIFT, 0xC0000001);
  ClickAt(2);
  Key(VK_END);
  EXPECT_EQ(Selection(), std::make_pair(7ul, 7ul));

  // Shift+Tab away: the field reached carries the shift on and gets its key-up; the one left
  // must not keep it.
  CTimeEdit next;
  ASSERT_TRUE(next.Create(host.hwnd(), RECT{10, 40, 110, 62}, 2));
  ASSERT_TRUE(next.Init(kTimeMask, "12345"));
  ClickAt(2);
  Key(VK_SHIFT);
  Key(VK_TAB);
  ASSERT_EQ(::GetFocus(), next.hwnd());
  ::SendMessageA(next.hwnd(), EM_SETSEL, 2, 2);
  ::SendMessageA(next.hwnd(), WM_LBUTTONUP, 0, 0);
  ::SendMessageA(next.hwnd(), WM_KEYDOWN, VK_END, 1);
  DWORD start = 0, end = 0;
  ::SendMessageA(next.hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(std::make_pair(start, end), std::make_pair(2ul, 7ul));
  ::SendMessageA(next.hwnd(), WM_KEYUP, VK_SHIFT, 0xC0000001);
  ::SetFocus(edit.hwnd());
  ClickAt(2);
  Key(VK_END);
  EXPECT_EQ(Selection(), std::make_pair(7ul, 7ul));
}

// Keys for the open preset popup: "2 Hours", into it, "15 Minutes", choose.
constexpr UINT kWalkToTwoFifteen[] = {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN,
                                      VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN,  VK_RETURN};
size_t g_next_key = 0;
bool g_popup_seen = false;  // a paint during the popup's showing used to hide it

void CALLBACK WalkPresets(HWND owner, UINT, UINT_PTR timer, DWORD) {
  if (HWND popup = ::FindWindowA("#32768", nullptr)) g_popup_seen = g_popup_seen || ::IsWindowVisible(popup);
  if (g_next_key == std::size(kWalkToTwoFifteen)) {
    ::KillTimer(owner, timer);
    return;
  }
  ::PostMessageA(owner, WM_KEYDOWN, kWalkToTwoFifteen[g_next_key++], 0);
}

TEST_F(TimeEditTest, RightClickOpensThePresetsOnlyTheirCommandsSetTheTimeAndTheyFollowTheLanguage) {
  g_next_key = 0;
  g_popup_seen = false;
  ::SetTimer(host.hwnd(), 1, 60, &WalkPresets);
  ::SendMessageA(edit.hwnd(), WM_RBUTTONUP, 0, MAKELPARAM(5, 5));  // returns when the popup closes
  testing::Pump(50);
  EXPECT_TRUE(g_popup_seen);
  EXPECT_EQ(::GetFocus(), edit.hwnd());
  EXPECT_EQ(Text(), "2:15:00");

  // The last preset is still inside the handled range; others name no table entry.
  EXPECT_EQ(::GetMenuItemID(::GetSubMenu(edit.presets(), 7), 10), static_cast<UINT>(ID_TIME_PRESET_LAST));
  ::SendMessageA(edit.hwnd(), WM_COMMAND, ID_TIME_PRESET_FIRST + 98, 0);
  ::SendMessageA(edit.hwnd(), WM_COMMAND, ID_TIME_PRESET_LAST + 1, 0);
  EXPECT_EQ(Text(), "2:15:00");
  ::SendMessageA(edit.hwnd(), WM_COMMAND, ID_TIME_PRESET_NEVER, 0);
  EXPECT_EQ(Text(), "0:00:00");

  HMENU presets = edit.presets();
  HMENU two_hours = ::GetSubMenu(presets, 4);
  i18n::LanguageTable german("Languages", [](const std::string&, std::string& bytes) {
    bytes = "100=Stunden\n101=Minuten\n102=Nie\n";
    return true;
  });
  ASSERT_TRUE(german.Load("Deutsch"));
  i18n::InstallTexts(&german);
  edit.RebuildPresets();
  i18n::InstallTexts(nullptr);
  EXPECT_FALSE(::IsMenu(two_hours));  // the old submenus went with their entries
  EXPECT_EQ(MenuString(presets, 4), "2 Stunden");
  EXPECT_EQ(MenuString(::GetSubMenu(presets, 4), 6), "15 Minuten");
}

}  // namespace
}  // namespace vantrel::controls
