// The window layer: dispatch to objects, subclassing (also under other code's subclasses),
// owners and their live-object counts, and the system seam.
#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "framework/dialog.h"
#include "framework/handles.h"
#include "framework/window.h"
#include "platform/system_api.h"
#include "win/test_support.h"

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
    if (msg == BM_CLICK) return 0;    // as a subclass: swallowed
    return Default(msg, wp, lp);
  }
  void OnFinalDestroy() override { destroyed = true; }
};

TEST(WindowTest, MessagesReachTheObjectUntilTheWindowIsGoneAndSubclassesGiveTheControlBack) {
  ASSERT_TRUE(Window::RegisterClass(kTestClass));
  RecordingWindow window;
  ASSERT_TRUE(window.CreateEx(0, kTestClass, "test", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr));
  HWND hwnd = window.hwnd();
  EXPECT_EQ(::SendMessageA(hwnd, WM_USER + 42, 0, 0), 4242);

  HWND button = ::CreateWindowExA(0, "BUTTON", "Press", WS_CHILD | BS_PUSHBUTTON, 0, 0, 80, 24, hwnd,
                                  reinterpret_cast<HMENU>(77), ::GetModuleHandleA(nullptr), nullptr);
  {
    RecordingWindow spy;
    ASSERT_TRUE(spy.SubclassDlgItem(hwnd, 77));
    EXPECT_FALSE(RecordingWindow().Subclass(button));  // one object per window
    ::SendMessageA(button, BM_CLICK, 0, 0);
    EXPECT_EQ(std::count(spy.seen.begin(), spy.seen.end(), static_cast<UINT>(BM_CLICK)), 1);
  }
  // The object is gone: the control has its own procedure back and still works.
  EXPECT_EQ(Window::FromHandle(button), nullptr);
  ::SetWindowTextA(button, "Again");
  EXPECT_EQ(vantrel::testing::WindowText(button), "Again");

  ::DestroyWindow(hwnd);
  EXPECT_TRUE(window.destroyed);
  EXPECT_EQ(window.hwnd(), nullptr);
  EXPECT_EQ(window.seen.back(), static_cast<UINT>(WM_NCDESTROY));
}

// A subclass installed by other code, straight through GWLP_WNDPROC.
WNDPROC g_foreign_next = nullptr;
std::vector<UINT> g_foreign_seen;
LRESULT CALLBACK ForeignProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  g_foreign_seen.push_back(msg);
  return ::CallWindowProcA(g_foreign_next, hwnd, msg, wp, lp);
}
WNDPROC ProcedureOf(HWND hwnd) { return reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hwnd, GWLP_WNDPROC)); }

TEST(WindowTest, UnsubclassingBelowALaterSubclassKeepsItAndNeverReachesTheObjectAgain) {
  RecordingWindow parent, first, second;
  ASSERT_TRUE(Window::RegisterClass(kTestClass));
  ASSERT_TRUE(parent.CreateEx(0, kTestClass, "test", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr));
  WNDPROC original = nullptr;
  auto subclass_twice = [&](int id) {  // ours, then the foreign one; then ours lets go
    HWND button = ::CreateWindowExA(0, "BUTTON", "", WS_CHILD, 0, 0, 80, 24, parent.hwnd(),
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    original = ProcedureOf(button);
    EXPECT_TRUE(first.Subclass(button));
    g_foreign_seen.clear();
    g_foreign_next = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ForeignProc)));
    first.Unsubclass();
    return button;
  };
  auto count = [](const std::vector<UINT>& seen, UINT msg) { return std::count(seen.begin(), seen.end(), msg); };

  HWND button = subclass_twice(78);
  EXPECT_EQ(ProcedureOf(button), &ForeignProc);
  EXPECT_EQ(Window::FromHandle(button), nullptr);
  const size_t first_saw = first.seen.size();
  ::SetWindowTextA(button, "Through");  // the foreign subclass, then the control's own procedure
  EXPECT_EQ(vantrel::testing::WindowText(button), "Through");
  EXPECT_EQ(count(g_foreign_seen, WM_SETTEXT), 1);
  // A new object takes the place still in the chain, below the foreign subclass.
  ASSERT_TRUE(second.Subclass(button));
  ::SendMessageA(button, BM_CLICK, 0, 0);
  EXPECT_EQ(count(second.seen, BM_CLICK), 1);
  EXPECT_EQ(count(g_foreign_seen, BM_CLICK), 1);
  second.Unsubclass();
  const size_t second_saw = second.seen.size();
  ::DestroyWindow(button);
  EXPECT_EQ(g_foreign_seen.back(), static_cast<UINT>(WM_NCDESTROY));
  EXPECT_EQ(first.seen.size(), first_saw);
  EXPECT_EQ(second.seen.size(), second_saw);
  EXPECT_FALSE(first.destroyed || second.destroyed);

  // When the foreign subclass leaves, ours steps out of the chain as well.
  button = subclass_twice(79);
  ::SetWindowLongPtrA(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_foreign_next));
  ::SetWindowTextA(button, "Back");
  EXPECT_EQ(ProcedureOf(button), original);
  EXPECT_EQ(vantrel::testing::WindowText(button), "Back");
  EXPECT_EQ(first.seen.size(), first_saw);
}

// Runs look-ups on one other thread, so that what that thread remembers is put to the test.
class OtherThread {
 public:
  OtherThread() : thread_([this] { Serve(); }) {}
  ~OtherThread() {
    Run(nullptr);
    thread_.join();
  }
  Window* FromHandle(HWND hwnd) {
    Window* found = nullptr;
    Run([&] { found = Window::FromHandle(hwnd); });
    return found;
  }

 private:
  void Run(std::function<void()> job) {
    std::unique_lock lock(mutex_);
    job_ = std::move(job);
    stop_ = !job_;
    pending_ = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return !pending_ || stop_; });
  }
  void Serve() {
    std::unique_lock lock(mutex_);
    for (;;) {
      changed_.wait(lock, [this] { return pending_; });
      if (stop_) return;
      job_();
      pending_ = false;
      changed_.notify_all();
    }
  }
  std::mutex mutex_;
  std::condition_variable changed_;
  std::function<void()> job_;
  bool pending_ = false, stop_ = false;
  std::thread thread_;
};

TEST(WindowTest, AWindowsObjectIsForgottenOnEveryThreadOnceTheyPart) {
  ASSERT_TRUE(Window::RegisterClass(kTestClass));
  RecordingWindow parent;
  ASSERT_TRUE(parent.CreateEx(0, kTestClass, "test", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr));
  OtherThread other;
  enum How { kLetGo, kObjectEnds, kControlDestroyed };
  struct Parting {
    How how;
    const char* what;
  };
  const Parting partings[] = {
      {kLetGo, "the object lets go of the control"},
      {kObjectEnds, "the object ends before the control"},
      {kControlDestroyed, "the control is destroyed"},
  };
  int id = 80;
  for (const Parting& parting : partings) {
    SCOPED_TRACE(parting.what);
    HWND button = ::CreateWindowExA(0, "BUTTON", "", WS_CHILD, 0, 0, 80, 24, parent.hwnd(),
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id++)), nullptr, nullptr);
    auto object = std::make_unique<RecordingWindow>();
    ASSERT_TRUE(object->Subclass(button));
    // Both threads have looked the control up, the other one another window as well.
    EXPECT_EQ(Window::FromHandle(button), object.get());
    EXPECT_EQ(other.FromHandle(button), object.get());
    EXPECT_EQ(other.FromHandle(parent.hwnd()), &parent);
    switch (parting.how) {
      case kLetGo: object->Unsubclass(); break;
      case kObjectEnds: object.reset(); break;
      case kControlDestroyed: ::DestroyWindow(button); break;
    }
    EXPECT_EQ(Window::FromHandle(button), nullptr);
    EXPECT_EQ(other.FromHandle(button), nullptr);
    EXPECT_EQ(other.FromHandle(parent.hwnd()), &parent);
    if (parting.how != kControlDestroyed) {
      // Taken over by a new object, both threads find that one.
      RecordingWindow next;
      ASSERT_TRUE(next.Subclass(button));
      EXPECT_EQ(other.FromHandle(button), &next);
      EXPECT_EQ(Window::FromHandle(button), &next);
      next.Unsubclass();
      ::DestroyWindow(button);
    }
  }
  ::DestroyWindow(parent.hwnd());
  EXPECT_EQ(other.FromHandle(parent.hwnd()), nullptr);
}

TEST(HandlesTest, OwnersCountWhatIsAliveReleaseItAndRestoreSelections) {
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
    UniqueMemoryDC dc(::CreateCompatibleDC(nullptr));
    HGDIOBJ original = ::GetCurrentObject(dc, OBJ_BITMAP);
    { SelectObjectGuard select(dc, bitmap); }
    EXPECT_EQ(::GetCurrentObject(dc, OBJ_BITMAP), original);
    // A handle handed to another owner no longer counts here; it is released by hand.
    HBITMAP given = bitmap.release();
    EXPECT_EQ(LiveGdiObjects(), gdi + 2);  // the brush and the DC
    EXPECT_TRUE(::DeleteObject(given));
  }
  EXPECT_EQ(LiveGdiObjects(), gdi);
  EXPECT_EQ(LiveUserObjects(), user);
}

TEST(SeamsTest, NoSystemInstalledFailsCleanly) {
  platform::SystemApi* previous = platform::InstallSystemApi(nullptr);
  ::SetLastError(0);
  const bool allowed = platform::Sys().IsPwrSuspendAllowed();
  const DWORD error = ::GetLastError();
  HANDLE file = platform::Sys().CreateFileA("\\\\.\\LCD", 0, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  platform::InstallSystemApi(previous);
  EXPECT_FALSE(allowed);
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_CALL_NOT_IMPLEMENTED));
  EXPECT_EQ(file, INVALID_HANDLE_VALUE);
}

}  // namespace
}  // namespace vantrel::fw
