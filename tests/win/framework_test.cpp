// The window layer: dispatch to objects, subclassing, owners and their live-object counts.
#include <gtest/gtest.h>

#include <vector>

#include "framework/dialog.h"
#include "framework/handles.h"
#include "framework/prompt.h"
#include "framework/window.h"
#include "platform/system_api.h"

namespace vantrel::fw {
namespace {

constexpr char kTestClass[] = "VantrelFrameworkTest";

class RecordingWindow : public Window {
 public:
  std::vector<UINT> seen;
  bool destroyed = false;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    seen.push_back(msg);
    if (msg == WM_USER + 42) return 4242;
    if (msg == WM_USER + 43) throw 1;  // must not escape into the window manager
    return Default(msg, wp, lp);
  }
  void OnFinalDestroy() override { destroyed = true; }
};

class ButtonSpy : public Window {
 public:
  int clicks_seen = 0;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == BM_CLICK) ++clicks_seen;
    return Default(msg, wp, lp);
  }
};

TEST(WindowTest, MessagesReachTheObjectUntilTheWindowIsGone) {
  ASSERT_TRUE(Window::RegisterClass(kTestClass));
  RecordingWindow window;
  ASSERT_TRUE(window.CreateEx(0, kTestClass, "test", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr));
  HWND hwnd = window.hwnd();
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(Window::FromHandle(hwnd), &window);
  EXPECT_EQ(::SendMessageA(hwnd, WM_USER + 42, 0, 0), 4242);
  // An exception inside a handler becomes default processing.
  EXPECT_EQ(::SendMessageA(hwnd, WM_USER + 43, 0, 0), 0);
  ::DestroyWindow(hwnd);
  EXPECT_TRUE(window.destroyed);
  EXPECT_EQ(window.hwnd(), nullptr);
  EXPECT_EQ(Window::FromHandle(hwnd), nullptr);
  ASSERT_FALSE(window.seen.empty());
  EXPECT_EQ(window.seen.back(), static_cast<UINT>(WM_NCDESTROY));
}

TEST(WindowTest, SubclassedControlKeepsItsOwnBehaviour) {
  ASSERT_TRUE(Window::RegisterClass(kTestClass));
  RecordingWindow parent;
  ASSERT_TRUE(parent.CreateEx(0, kTestClass, "parent", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr));
  HWND button = ::CreateWindowExA(0, "BUTTON", "Press", WS_CHILD | BS_PUSHBUTTON, 0, 0, 80, 24, parent.hwnd(),
                                  reinterpret_cast<HMENU>(77), ::GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(button, nullptr);
  {
    ButtonSpy spy;
    ASSERT_TRUE(spy.SubclassDlgItem(parent.hwnd(), 77));
    EXPECT_FALSE(ButtonSpy().Subclass(button));  // one object per window
    ::SendMessageA(button, BM_CLICK, 0, 0);
    EXPECT_EQ(spy.clicks_seen, 1);
    char text[16] = {};
    ::GetWindowTextA(button, text, sizeof text);
    EXPECT_STREQ(text, "Press");
  }
  // The object is gone: the control has its own procedure back and still works.
  EXPECT_EQ(Window::FromHandle(button), nullptr);
  ::SetWindowTextA(button, "Again");
  char text[16] = {};
  ::GetWindowTextA(button, text, sizeof text);
  EXPECT_STREQ(text, "Again");
  ::DestroyWindow(parent.hwnd());
}

TEST(HandlesTest, OwnersCountWhatIsAliveAndReleaseIt) {
  const long gdi = LiveGdiObjects();
  const long user = LiveUserObjects();
  {
    UniqueBrush brush(::CreateSolidBrush(RGB(1, 2, 3)));
    UniqueBitmap bitmap(::CreateBitmap(8, 8, 1, 1, nullptr));
    UniqueMenu menu(::CreatePopupMenu());
    EXPECT_EQ(LiveGdiObjects(), gdi + 2);
    EXPECT_EQ(LiveUserObjects(), user + 1);
    UniqueBrush moved(std::move(brush));
    EXPECT_FALSE(brush.valid());
    EXPECT_EQ(LiveGdiObjects(), gdi + 2);
    // A handle handed to another owner no longer counts here; it is released by hand.
    HBITMAP given = bitmap.release();
    EXPECT_EQ(LiveGdiObjects(), gdi + 1);
    EXPECT_TRUE(::DeleteObject(given));
    UniqueBitmap empty(nullptr);
    EXPECT_EQ(LiveGdiObjects(), gdi + 1);
  }
  EXPECT_EQ(LiveGdiObjects(), gdi);
  EXPECT_EQ(LiveUserObjects(), user);
}

TEST(HandlesTest, SelectionIsRestored) {
  UniqueMemoryDC dc(::CreateCompatibleDC(nullptr));
  UniqueBitmap bitmap(::CreateBitmap(4, 4, 1, 1, nullptr));
  HGDIOBJ original = ::GetCurrentObject(dc, OBJ_BITMAP);
  {
    SelectObjectGuard select(dc, bitmap);
    EXPECT_EQ(::GetCurrentObject(dc, OBJ_BITMAP), bitmap.get());
  }
  EXPECT_EQ(::GetCurrentObject(dc, OBJ_BITMAP), original);
}

TEST(PromptTest, RecorderAnswersAndRestoresThePreviousHandler) {
  PromptRecorder outer(IDCANCEL);
  {
    PromptRecorder inner(IDYES);
    EXPECT_EQ(AppPrompt(nullptr, "Question?", MB_YESNO), IDYES);
    ASSERT_EQ(inner.entries().size(), 1u);
    EXPECT_EQ(inner.entries()[0].caption, "Vantrel");
    EXPECT_EQ(inner.entries()[0].type, static_cast<UINT>(MB_YESNO));
  }
  EXPECT_EQ(Prompt(nullptr, "text", "caption", MB_OK), IDCANCEL);
  ASSERT_EQ(outer.entries().size(), 1u);
  EXPECT_EQ(outer.entries()[0].text, "text");
}

TEST(SystemSeamTest, NothingInstalledFailsCleanly) {
  platform::SystemApi* previous = platform::InstallSystemApi(nullptr);
  ::SetLastError(0);
  EXPECT_FALSE(platform::Sys().IsPwrSuspendAllowed());
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_CALL_NOT_IMPLEMENTED));
  EXPECT_EQ(platform::Sys().CreateFileA("\\\\.\\LCD", 0, 0, nullptr, OPEN_EXISTING, 0, nullptr),
            INVALID_HANDLE_VALUE);
  platform::InstallSystemApi(previous);
}

}  // namespace
}  // namespace vantrel::fw
