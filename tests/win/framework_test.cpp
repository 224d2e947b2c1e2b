// The window layer: dispatch to objects, subclassing (also under other code's subclasses),
// owners and their live-object counts, the system seam; hosting controls and pages: control
// messages reach the control's object before its parent, a tab control shows one page at a
// time, and handlers that throw are stopped and counted.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

#include "framework/caught.h"
#include "framework/dialog.h"
#include "framework/handles.h"
#include "framework/tab_host.h"
#include "framework/window.h"
#include "platform/system_api.h"
#include "win/test_support.h"

namespace vantrel::fw {
namespace {

constexpr char kTestClass[] = "VantrelFrameworkTest";

// Notes every message, answers WM_USER + 42, swallows a click (as a subclass) and throws on
// WM_USER + 1.
class RecordingWindow : public Window {
 public:
  bool Create(DWORD style = WS_OVERLAPPEDWINDOW) {
    return RegisterClass(kTestClass) && CreateEx(0, kTestClass, "test", style, 0, 0, 200, 150, nullptr, nullptr);
  }
  std::vector<UINT> seen, commands, notifications;
  bool destroyed = false;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    seen.push_back(msg);
    if (msg == WM_COMMAND) commands.push_back(HIWORD(wp));
    if (msg == WM_NOTIFY) notifications.push_back(reinterpret_cast<NMHDR*>(lp)->code);
    if (msg == WM_USER + 1) throw 1;
    if (msg == WM_USER + 42) return 4242;
    if (msg == BM_CLICK) return 0;
    return Default(msg, wp, lp);
  }
  void OnFinalDestroy() override { destroyed = true; }
};

TEST(WindowTest, MessagesReachTheObjectUntilTheWindowIsGoneAndSubclassesGiveTheControlBack) {
  RecordingWindow window;
  ASSERT_TRUE(window.Create());
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
  ASSERT_TRUE(parent.Create());
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
  ~OtherThread() {
    stop_ = true;
    ::SetEvent(ask_.get());
    thread_.join();
  }
  Window* FromHandle(HWND hwnd) {
    asked_ = hwnd;
    EXPECT_EQ(::SignalObjectAndWait(ask_.get(), answered_.get(), 5000, FALSE), WAIT_OBJECT_0);
    return found_;
  }

 private:
  UniqueHandle ask_{::CreateEventA(nullptr, FALSE, FALSE, nullptr)};
  UniqueHandle answered_{::CreateEventA(nullptr, FALSE, FALSE, nullptr)};
  HWND asked_ = nullptr;
  Window* found_ = nullptr;
  bool stop_ = false;
  std::thread thread_{[this] {
    while (::WaitForSingleObject(ask_.get(), INFINITE) == WAIT_OBJECT_0 && !stop_) {
      found_ = Window::FromHandle(asked_);
      ::SetEvent(answered_.get());
    }
  }};
};

TEST(WindowTest, AWindowsObjectIsForgottenOnEveryThreadOnceTheyPart) {
  RecordingWindow parent;
  ASSERT_TRUE(parent.Create());
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

TEST(WindowTest, OwnersCountWhatIsAliveReleaseItAndRestoreSelections) {
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

TEST(WindowTest, WithoutASystemInstalledTheSeamFailsCleanly) {
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

// Dialog templates without items, as the system reads them: the style's two halves, no extended
// style or items, placed at 0, 0 and 240 x 160 units, then no menu, class or title.
constexpr DWORD kHostStyle = WS_POPUP | WS_CAPTION | WS_VISIBLE, kPageStyle = WS_CHILD | DS_CONTROL;
alignas(4) constexpr WORD kHostForm[12] = {LOWORD(kHostStyle), HIWORD(kHostStyle), 0, 0, 0, 0, 0, 240, 160};
alignas(4) constexpr WORD kPageForm[12] = {LOWORD(kPageStyle), HIWORD(kPageStyle), 0, 0, 0, 0, 0, 240, 160};
const DLGTEMPLATE* Form(const WORD* words) { return reinterpret_cast<const DLGTEMPLATE*>(words); }

class ReflectingControl : public Window {
 public:
  bool claim = true;
  std::vector<UINT> offered;
  bool OnReflectedCommand(WORD code, LRESULT& result) override { return Offer(code, result); }
  bool OnReflectedNotify(NMHDR& header, LRESULT& result) override { return Offer(header.code, result); }

 private:
  bool Offer(UINT code, LRESULT& result) {
    offered.push_back(code);
    result = 77;
    return claim;
  }
};

class HostDialog : public Dialog {
 public:
  HostDialog() noexcept : Dialog(Form(kHostForm), nullptr) {}
  std::vector<UINT> commands, notifications;
  UINT throw_on = 0;

 protected:
  bool OnCommand(WORD, WORD code, HWND) override {
    commands.push_back(code);
    return true;
  }
  bool OnNotify(const NMHDR& header, LRESULT&) override {
    notifications.push_back(header.code);
    return false;
  }
  bool OnMessage(UINT msg, WPARAM, LPARAM, LRESULT&) override {
    if (msg == throw_on) throw std::runtime_error("handler failed");
    return false;
  }
};

LRESULT Notify(HWND parent, HWND from, UINT code) {
  NMHDR header{from, static_cast<UINT_PTR>(::GetDlgCtrlID(from)), code};
  return ::SendMessageA(parent, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

template <class Parent>
void ExpectControlFirst(Parent& parent) {
  HWND button = ::CreateWindowExA(0, "BUTTON", "Go", WS_CHILD | WS_VISIBLE, 10, 10, 80, 24, parent.hwnd(),
                                  reinterpret_cast<HMENU>(201), ::GetModuleHandleA(nullptr), nullptr);
  ReflectingControl control;
  ASSERT_TRUE(control.Subclass(button));
  EXPECT_EQ(Notify(parent.hwnd(), button, NM_CLICK), 77);  // a dialog's through DWLP_MSGRESULT
  ::SendMessageA(button, BM_CLICK, 0, 0);
  EXPECT_TRUE(parent.commands.empty() && parent.notifications.empty());
  // Declined: the parent sees them after the control. An accelerator is no control's.
  control.claim = false;
  EXPECT_EQ(Notify(parent.hwnd(), button, NM_CLICK), 0);
  ::SendMessageA(button, BM_CLICK, 0, 0);
  ::SendMessageA(parent.hwnd(), WM_COMMAND, MAKEWPARAM(201, 1), 0);
  const UINT click = NM_CLICK;
  EXPECT_EQ(control.offered, (std::vector<UINT>{click, BN_CLICKED, click, BN_CLICKED}));
  EXPECT_EQ(parent.commands, (std::vector<UINT>{BN_CLICKED, 1}));
  EXPECT_EQ(parent.notifications, std::vector<UINT>{click});
}

class CountingPage : public Dialog {
 public:
  CountingPage() noexcept : Dialog(Form(kPageForm), nullptr) {}
  int shows = 0;  // WM_SHOWWINDOW, shown or hidden
  bool Visible() const { return ::IsWindowVisible(hwnd()) != FALSE; }

 protected:
  bool OnMessage(UINT msg, WPARAM, LPARAM, LRESULT&) override {
    shows += msg == WM_SHOWWINDOW;
    return false;
  }
};

// A handler that throws is stopped and counted, and the message gets its default processing. Failures nobody
// is told of are counted, the caller's last error kept; dropping a dialog object before its window is one of
// them, and the window goes all the same.
TEST(HostingTest, ControlMessagesGoToTheControlObjectFirstAndThrowingHandlersAndQuietFailuresAreCounted) {
  ASSERT_EQ(CaughtExceptionCount(), 0);
  HostDialog dialog;
  ASSERT_TRUE(dialog.Create());
  ExpectControlFirst(dialog);
  RecordingWindow window;
  ASSERT_TRUE(window.Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE));
  ExpectControlFirst(window);

  EXPECT_EQ(::SendMessageA(window.hwnd(), WM_USER + 1, 0, 0), 0);
  EXPECT_EQ(CaughtExceptionCount(), 1);
  dialog.throw_on = WM_USER + 2;
  EXPECT_EQ(::SendMessageA(dialog.hwnd(), WM_USER + 2, 0, 0), 0);
  EXPECT_EQ(CaughtExceptionCount(), 2);
  ResetCaughtExceptionCount();  // these were meant
  ::DestroyWindow(window.hwnd());

  const long before = QuietFailureCount();
  ::SetLastError(ERROR_ACCESS_DENIED);
  TraceQuietFailure("a test's own write");
  TraceQuietFailure("a test's own value", ERROR_WRITE_FAULT, "Name");
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(QuietFailureCount(), before + 2);

  HWND dropped_window = nullptr;
  {
    CountingPage in_order;
    ASSERT_TRUE(in_order.Create(dialog.hwnd()));
    in_order.DestroyWindow();
    auto dropped = std::make_unique<CountingPage>();
    ASSERT_TRUE(dropped->Create(dialog.hwnd()));
    dropped_window = dropped->hwnd();
  }
  EXPECT_FALSE(::IsWindow(dropped_window));
  EXPECT_EQ(QuietFailureCount(), before + 3) << "only the object dropped before its window";
}

bool FillsDisplayArea(HWND page) {
  HWND tab = ::GetParent(page);
  RECT area{}, at{};
  ::GetClientRect(tab, &area);
  ::SendMessageA(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  ::GetWindowRect(page, &at);
  ::MapWindowPoints(nullptr, tab, reinterpret_cast<POINT*>(&at), 2);
  return ::EqualRect(&area, &at) != FALSE;
}

TEST(HostingTest, TabPagesFillTheDisplayAreaOnlyTheChosenOneShowsAndNothingIsLeftDangling) {
  const long user_objects = LiveUserObjects();
  auto dialog = std::make_unique<HostDialog>();
  ASSERT_TRUE(dialog->Create());
  CountingPage pages[3];
  {
    TabHost host;
    ASSERT_TRUE(host.Create(dialog->hwnd(), 300, RECT{5, 5, 305, 205}));
    HWND tab = host.tab();
    host.SetImageList(UniqueImageList(::ImageList_Create(16, 16, ILC_COLOR32, 2, 0)));
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(::SendMessageA(tab, TCM_GETIMAGELIST, 0, 0)), host.image_list());
    EXPECT_EQ(host.AddTab("One", 0, pages[0]), 0);
    EXPECT_EQ(host.AddTab("Two", 1, pages[1]), 1);
    EXPECT_EQ(host.AddTab("Three", -1, pages[2]), 2);
    EXPECT_EQ(host.current(), TabHost::kNoPage);
    for (CountingPage& page : pages) {
      EXPECT_EQ(::GetParent(page.hwnd()), tab);
      EXPECT_FALSE(page.Visible());
      EXPECT_TRUE(FillsDisplayArea(page.hwnd()));
    }

    ASSERT_TRUE(host.Select(1));
    EXPECT_EQ(::SendMessageA(tab, TCM_GETCURSEL, 0, 0), 1);
    EXPECT_TRUE(pages[1].Visible());
    EXPECT_FALSE(pages[0].Visible() || pages[2].Visible());
    const int shows = pages[1].shows;
    EXPECT_TRUE(host.Select(1));  // already shown: nothing happens
    EXPECT_EQ(pages[1].shows, shows);
    host.ReshowCurrent();
    EXPECT_EQ(pages[1].shows, shows + 2);
    EXPECT_TRUE(pages[1].Visible());
    EXPECT_FALSE(host.Select(3));
    EXPECT_EQ(host.current(), 1u);

    ASSERT_TRUE(host.SetTabText(2, "Third"));
    EXPECT_EQ(host.TabText(2), "Third");
    ::SetWindowPos(tab, nullptr, 0, 0, 260, 150, SWP_NOMOVE | SWP_NOZORDER);  // the pages follow
    EXPECT_TRUE(FillsDisplayArea(pages[2].hwnd()));
  }
  // The host made the control and owned the image list: both gone, the pages with the control.
  EXPECT_EQ(LiveUserObjects(), user_objects);
  EXPECT_EQ(::GetDlgItem(dialog->hwnd(), 300), nullptr);
  EXPECT_EQ(pages[0].hwnd(), nullptr);

  // A click switches pages; pages or the control going first leave nothing dangling.
  HWND tab = ::CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE, 5, 5, 300, 200, dialog->hwnd(),
                               reinterpret_cast<HMENU>(301), ::GetModuleHandleA(nullptr), nullptr);
  TabHost host;
  EXPECT_FALSE(host.BindDlgItem(dialog->hwnd(), 999));
  ASSERT_TRUE(host.BindDlgItem(dialog->hwnd(), 301));
  auto first = std::make_unique<CountingPage>();
  CountingPage second, third;
  ASSERT_EQ(host.AddTab("1", -1, *first), 0);
  ASSERT_EQ(host.AddTab("2", -1, second), 1);
  ASSERT_EQ(host.AddTab("3", -1, third), 2);
  ASSERT_TRUE(host.Select(0));

  RECT item{};
  ASSERT_TRUE(::SendMessageA(tab, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item)));
  const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
  ::SendMessageA(tab, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::SendMessageA(tab, WM_LBUTTONUP, 0, at);
  EXPECT_EQ(host.current(), 1u);
  EXPECT_TRUE(second.Visible());
  EXPECT_FALSE(first->Visible());
  const auto& heard = dialog->notifications;  // the dialog still hears of it
  EXPECT_EQ(std::count(heard.begin(), heard.end(), static_cast<UINT>(TCN_SELCHANGE)), 1);

  first.reset();           // the object and its window
  second.DestroyWindow();  // the window only
  EXPECT_EQ(host.Page(0), nullptr);
  EXPECT_EQ(host.Page(1), nullptr);
  EXPECT_EQ(host.Page(2), &third);
  host.ReshowCurrent();
  host.Layout();
  EXPECT_TRUE(host.Select(0));  // the tab still changes; there is nothing to show
  EXPECT_TRUE(host.Select(2));
  EXPECT_TRUE(third.Visible());
  // A tab whose page could not be made: chosen, it hides the page shown and shows nothing.
  ASSERT_EQ(host.AddTab("4", -1, nullptr), 3);
  EXPECT_EQ(host.Page(3), nullptr);
  EXPECT_TRUE(host.Select(3));
  EXPECT_FALSE(third.Visible());
  host.Layout();

  dialog.reset();  // and with it the control and the pages still there
  EXPECT_EQ(host.tab(), nullptr);
  EXPECT_EQ(host.count(), 0u);
  EXPECT_EQ(host.current(), TabHost::kNoPage);
  EXPECT_EQ(third.hwnd(), nullptr);
}

}  // namespace
}  // namespace vantrel::fw
