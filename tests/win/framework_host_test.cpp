// Hosting controls and pages: control messages reach the control's object before its parent,
// a tab control shows one page at a time, and handlers that throw are stopped and counted.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <vector>

#include "framework/caught.h"
#include "framework/dialog.h"
#include "framework/tab_host.h"

namespace vantrel::fw {
namespace {

// A dialog template without items, kept as words so that it is laid out as the system reads it.
class EmptyTemplate {
 public:
  explicit EmptyTemplate(DWORD style) {
    DLGTEMPLATE header{style, 0, 0, 0, 0, 240, 160};
    std::memcpy(words_, &header, sizeof header);  // then no menu, class or title
  }
  const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_); }

 private:
  alignas(4) WORD words_[12] = {};
};
const EmptyTemplate kHostForm(WS_POPUP | WS_CAPTION | WS_VISIBLE), kPageForm(WS_CHILD | DS_CONTROL);

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
  HostDialog() noexcept : Dialog(kHostForm.get(), nullptr) {}
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

class HostWindow : public Window {
 public:
  bool Create() {
    return RegisterClass("VantrelHostTest") &&
           CreateEx(0, "VantrelHostTest", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 150, nullptr, nullptr);
  }
  ~HostWindow() override {
    if (IsWindow()) ::DestroyWindow(hwnd());
  }
  std::vector<UINT> commands, notifications;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_COMMAND) commands.push_back(HIWORD(wp));
    if (msg == WM_NOTIFY) notifications.push_back(reinterpret_cast<NMHDR*>(lp)->code);
    if (msg == WM_USER + 1) throw 1;
    return Default(msg, wp, lp);
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

// A handler that throws is stopped and counted, and the message gets its default processing.
TEST(ReflectionTest, DialogsAndWindowsOfferControlMessagesToTheControlObjectFirstAndStopThrowingHandlers) {
  ASSERT_EQ(CaughtExceptionCount(), 0);
  HostDialog dialog;
  ASSERT_TRUE(dialog.Create());
  ExpectControlFirst(dialog);
  HostWindow window;
  ASSERT_TRUE(window.Create());
  ExpectControlFirst(window);

  EXPECT_EQ(::SendMessageA(window.hwnd(), WM_USER + 1, 0, 0), 0);
  EXPECT_EQ(CaughtExceptionCount(), 1);
  dialog.throw_on = WM_USER + 2;
  EXPECT_EQ(::SendMessageA(dialog.hwnd(), WM_USER + 2, 0, 0), 0);
  EXPECT_EQ(CaughtExceptionCount(), 2);
  ResetCaughtExceptionCount();  // these were meant
}

class CountingPage : public Dialog {
 public:
  CountingPage() noexcept : Dialog(kPageForm.get(), nullptr) {}
  int shows = 0;  // WM_SHOWWINDOW, shown or hidden
  bool Visible() const { return ::IsWindowVisible(hwnd()) != FALSE; }

 protected:
  bool OnMessage(UINT msg, WPARAM, LPARAM, LRESULT&) override {
    shows += msg == WM_SHOWWINDOW;
    return false;
  }
};

// Failures nobody is told of are counted, the caller's last error kept; dropping a dialog object
// before its window is one of them, and the window goes all the same.
TEST(QuietFailureTest, EachIsCountedWithTheLastErrorKeptAndADroppedLiveDialogIsOne) {
  const long before = QuietFailureCount();
  ::SetLastError(ERROR_ACCESS_DENIED);
  TraceQuietFailure("a test's own write");
  TraceQuietFailure("a test's own value", ERROR_WRITE_FAULT, "Name");
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(QuietFailureCount(), before + 2);

  HostDialog host;
  ASSERT_TRUE(host.Create());
  HWND window = nullptr;
  {
    CountingPage in_order;
    ASSERT_TRUE(in_order.Create(host.hwnd()));
    in_order.DestroyWindow();
    auto dropped = std::make_unique<CountingPage>();
    ASSERT_TRUE(dropped->Create(host.hwnd()));
    window = dropped->hwnd();
  }
  EXPECT_FALSE(::IsWindow(window));
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

TEST(TabHostTest, PagesFillTheDisplayAreaAndOnlyTheChosenOneShows) {
  const long user_objects = LiveUserObjects();
  HostDialog dialog;
  ASSERT_TRUE(dialog.Create());
  CountingPage pages[3];
  {
    TabHost host;
    ASSERT_TRUE(host.Create(dialog.hwnd(), 300, RECT{5, 5, 305, 205}));
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
  EXPECT_EQ(::GetDlgItem(dialog.hwnd(), 300), nullptr);
  EXPECT_EQ(pages[0].hwnd(), nullptr);
}

TEST(TabHostTest, AClickSwitchesPagesAndPagesOrTheControlGoingFirstLeaveNothingDangling) {
  auto dialog = std::make_unique<HostDialog>();
  ASSERT_TRUE(dialog->Create());
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
