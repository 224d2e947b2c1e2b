// The application under Wine. Start-up and shutdown, in-process: the single-copy guard, the
// settings, the language, the meter and the tray icon, and Exit. The main window: page choice
// and its refusal without batteries, the Languages menu and what a language file lacks,
// placement when shown again, and keys on a page.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "app/about_dialog.h"
#include "app/app_state.h"
#include "app/corvane_app.h"
#include "app/main_dialog.h"
#include "controls/page_list.h"
#include "display/control_page.h"
#include "display/meter_window.h"
#include "display/tray_icon.h"
#include "framework/dialog.h"
#include "framework/prompt.h"
#include "i18n/core/language_table.h"
#include "power/schemes_page.h"
#include "power/tray_menu.h"
#include "resource.h"
#include "settings/settings_store.h"
#include "win/test_support.h"

namespace vantrel::app {
namespace {

using namespace vantrel::settings;
using namespace vantrel::testing;

class StartUpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A copy of the program that an earlier test ended may still be on its way out.
    for (int i = 0; i < 100 && SemaphoreExists(); ++i) ::Sleep(100);
    ASSERT_FALSE(SemaphoreExists()) << "another copy of the program runs in this Wine prefix";
  }
  static bool SemaphoreExists() {
    return fw::UniqueHandle(::OpenSemaphoreA(SYNCHRONIZE, FALSE, kSemaphoreName)).valid();
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
    EXPECT_EQ(State().app_directory, DirectoryOf(ModulePath(nullptr)));  // cut at the last backslash
    EXPECT_EQ(DirectoryOf("C:\\Program Files\\Vantrel\\vantrel.exe"), "C:\\Program Files\\Vantrel");
    EXPECT_EQ(DirectoryOf("C:\\vantrel.exe") + DirectoryOf("\\vantrel.exe"), "C:");
    EXPECT_EQ(DirectoryOf("vantrel.exe") + DirectoryOf(""), "");
    meter = application.meter()->hwnd();
    EXPECT_EQ(State().meter, application.meter());
    EXPECT_TRUE(::IsWindowVisible(meter));
    EXPECT_EQ(MeterAt(application), std::make_pair(::GetSystemMetrics(SM_CXSCREEN) - 70L, 10L));
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

std::vector<UINT> Checked(HMENU menu) {
  std::vector<UINT> checked;
  for (UINT i = 0; i < static_cast<UINT>(::GetMenuItemCount(menu)); ++i)
    if (::GetMenuState(menu, i, MF_BYPOSITION) & MF_CHECKED) checked.push_back(i);
  return checked;
}

// A program folder with a Languages folder, a simulated laptop, the program's language table,
// the meter with the real tray menu, and prompts recorded.
class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = State();
    State().app_directory = dir_.path();
    ASSERT_TRUE(::CreateDirectoryA(dir_.File("Languages").c_str(), nullptr));
    i18n::InstallTexts(&table_);
    Boot(2);
    meter_.platform().EnumBatteries();  // made before the machine was booted
    auto menu =
        std::make_unique<power::TrayMenu>(app::State().settings, std::make_unique<app::MainWindowHost>(app::State()));
    tray_ = menu.get();
    meter_.set_tray_menu(std::move(menu));
    ASSERT_TRUE(meter_.Create());
    State().meter = &meter_;
  }
  void TearDown() override {
    host_.DestroyMainWindow();
    State() = saved_;
  }
  void Boot(size_t batteries) {
    platform::sim::SimState state = testing::XpLaptop();
    state.batteries.resize(batteries);
    pc_.Boot(state);
  }
  CMainDialog& Open() {
    host_.ShowMainWindow();
    EXPECT_NE(host_.window(), nullptr);
    return *host_.window();
  }
  void Command(UINT id) { ::SendMessageA(host_.window()->hwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }
  // As the page list sends it: with its own handle.
  LRESULT Choose(WPARAM entry) {
    HWND main = host_.window()->hwnd();
    return ::SendMessageA(main, controls::WM_PAGE_SELECTED, entry,
                          reinterpret_cast<LPARAM>(::GetDlgItem(main, IDC_PAGE_LIST)));
  }

  CleanKey clean_;
  TempDir dir_;
  AppState saved_;
  PowerTestMachine pc_;
  i18n::LanguageTable table_{dir_.path() + "\\Languages\\"};
  DisplayTestScope display_;
  fw::PromptRecorder prompts_;
  display::MeterWindow meter_{app::State().settings};
  power::TrayMenu* tray_ = nullptr;
  MainWindowHost host_{State()};
};

// Titles and switching by the list and the menu are proven end to end.
TEST_F(MainWindowTest, PagesAreBuiltOnlyOnAChangeWithNoBatterySearchAndBatteriesIsRefusedWithoutOne) {
  CMainDialog& main = Open();
  // Every entry of the page list is wholly in view (the list has no scroll bar).
  HWND list = ::GetDlgItem(main.hwnd(), IDC_PAGE_LIST);
  RECT client{}, last{};
  ::GetClientRect(list, &client);
  ASSERT_EQ(ListView_GetItemCount(list), kPageKindCount);
  ASSERT_TRUE(ListView_GetItemRect(list, kPageKindCount - 1, &last, LVIR_BOUNDS));
  EXPECT_LE(last.bottom, client.bottom);
  HWND control = main.current_page()->hwnd();
  EXPECT_EQ(Choose(kControlPage), 0);
  EXPECT_EQ(Choose(static_cast<WPARAM>(-1)), 0);
  // The same number is DM_SETDEFID: from anyone but the page list it is the dialog's own.
  EXPECT_EQ(::SendMessageA(main.hwnd(), DM_SETDEFID, kPolicyPage, 0), TRUE);
  EXPECT_EQ(::SendMessageA(main.hwnd(), controls::WM_PAGE_SELECTED, kSchemesPage,
                           reinterpret_cast<LPARAM>(main.current_page()->hwnd())),
            TRUE);
  EXPECT_EQ(main.current_kind(), kControlPage);
  EXPECT_EQ(::SendMessageA(main.hwnd(), DM_GETDEFID, 0, 0), MAKELONG(kSchemesPage, DC_HASDEFID));
  EXPECT_EQ(Choose(kSchemesPage), 1);
  EXPECT_FALSE(::IsWindow(control));
  // The batteries are looked for once, by the meter: a page switch asks the system for none (a
  // battery slot that never answers costs a wait each time). No page is a control parent, so
  // that Enter and Escape reach the page itself.
  pc_.fake().battery_searches = 0;
  for (int kind : {kBatteriesPage, kPolicyPage, kControlPage, kSchemesPage}) {
    ASSERT_EQ(Choose(kind), 1);
    EXPECT_FALSE(::GetWindowLongPtrA(main.current_page()->hwnd(), GWL_EXSTYLE) & WS_EX_CONTROLPARENT) << kind;
  }
  EXPECT_EQ(pc_.fake().battery_searches, 0);
  HWND schemes = main.current_page()->hwnd();
  EXPECT_EQ(::SendMessageA(main.hwnd(), WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, 0), TRUE);
  EXPECT_TRUE(prompts_.entries().empty());

  Boot(0);  // refused once until another page is chosen; the page on show stays
  meter_.platform().EnumBatteries();  // the program's batteries, as the meter found them
  Choose(kBatteriesPage);
  Choose(kBatteriesPage);
  Command(ID_PAGE_BATTERIES);
  ASSERT_EQ(prompts_.entries().size(), 1u);
  EXPECT_EQ(prompts_.entries()[0].text, "This computer don't have batteries!");
  EXPECT_EQ(prompts_.entries()[0].owner, main.hwnd());
  EXPECT_EQ(main.current_page()->hwnd(), schemes);
  Command(ID_LANGUAGE_DEFAULT);  // re-texting names the page on show, not the refused one
  EXPECT_EQ(WindowText(main.hwnd()), "Vantrel - Schemes");
  EXPECT_EQ(Choose(kControlPage), 1);
  EXPECT_EQ(main.pages_built(), 7u);
}

// Storing, the beep, the title and Default again are proven end to end; here: what a file lacks.
TEST_F(MainWindowTest, ALanguageIsAppliedEverywhereWithoutFallBackAndAFailedOneChangesNothing) {
  ASSERT_TRUE(dir_.Write("Languages\\Deutsch.lng", "1000 Hauptfenster...\r\n3100 Seiten\r\n"));
  ASSERT_TRUE(::CreateDirectoryA(dir_.File("Languages\\Folder.lng").c_str(), nullptr));  // not listed
  CMainDialog& main = Open();
  HMENU languages = main.languages_menu();
  ASSERT_EQ(::GetMenuItemCount(languages), 3);
  Command(ID_LANGUAGE_FIRST);
  EXPECT_EQ(Checked(languages), std::vector<UINT>{2});
  HMENU bar = ::GetMenu(main.hwnd());
  EXPECT_EQ(MenuString(bar, 0), "Seiten");
  // A text the file lacks empties the item, which keeps its submenu and is no separator.
  EXPECT_EQ(MenuString(bar, 1), "");
  EXPECT_EQ(::GetSubMenu(bar, 1), languages);
  EXPECT_FALSE(::GetMenuState(bar, 1, MF_BYPOSITION) & MF_SEPARATOR);
  char item[64] = "unchanged";
  ListView_GetItemText(::GetDlgItem(main.hwnd(), IDC_PAGE_LIST), 0, 0, item, sizeof item);
  EXPECT_STREQ(item, "");
  EXPECT_EQ(main.current_page()->ItemText(IDOK), "");
  EXPECT_EQ(Describe(tray_->menu().handle())[1], "1:Hauptfenster...");  // the rebuilt tray menu

  ASSERT_TRUE(::DeleteFileA(dir_.File("Languages\\Deutsch.lng").c_str()));  // listed, then gone
  Command(ID_LANGUAGE_DEFAULT);
  Command(ID_LANGUAGE_FIRST);
  EXPECT_STREQ(ReadRaw(HKEY_CURRENT_USER, kKey, kLanguage).text().c_str(), "");
  EXPECT_EQ(Checked(languages), std::vector<UINT>{0});
  EXPECT_EQ(WindowText(main.hwnd()), "Vantrel - Control");
  EXPECT_EQ(pc_.Logged("Beep"), 2u);
}

TEST_F(MainWindowTest, TheRememberedLanguageIsCheckedOnlyOnAFileOfThatName) {
  ASSERT_TRUE(dir_.Write("Languages\\Default.lng", "3001 Vorgabe\r\n"));
  for (const std::string name : {"Default", "default", "Klingon"}) {
    State().settings.Language = name;
    MainWindowHost host(State());
    host.ShowMainWindow();
    HMENU languages = host.window()->languages_menu();
    std::string checked;  // only a file's own item, never the built-in texts' one
    for (UINT i : Checked(languages))
      checked += (i >= kFirstLanguageFilePosition ? "" : "built-in ") + MenuString(languages, i) + ";";
    EXPECT_EQ(checked, name == "Default" ? "Default;" : "") << name;
  }
}

TEST_F(MainWindowTest, FirstShowIsCentredLaterShowsKeepThePlaceAndHelpComesFromTheSystemFolder) {
  CMainDialog& main = Open();
  RECT work{}, r{};
  ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  ::GetWindowRect(main.hwnd(), &r);
  EXPECT_EQ(r.left, (work.right - (r.right - r.left)) / 2);
  ::SetWindowPos(main.hwnd(), nullptr, 37, 41, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  HWND page = main.current_page()->hwnd();
  ::SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  Pump(50);  // the window's close request arrives as a posted Cancel
  EXPECT_FALSE(::IsWindowVisible(main.hwnd()));
  host_.ShowMainWindow();
  EXPECT_EQ(host_.window(), &main);
  ::GetWindowRect(main.hwnd(), &r);
  EXPECT_EQ(std::make_pair(r.left, r.top), std::make_pair(37L, 41L));
  EXPECT_EQ(main.current_page()->hwnd(), page);

  // The viewer comes from the system folder, even with a library of its name beside the program.
  char system[MAX_PATH] = {}, loaded[MAX_PATH] = {};
  ASSERT_TRUE(::GetSystemDirectoryA(system, sizeof system));
  const std::string viewer = system + std::string("\\hhctrl.ocx");
  const std::string decoy = DirectoryOf(ModulePath(nullptr)) + "\\hhctrl.ocx";
  ASSERT_TRUE(::CopyFileA(viewer.c_str(), decoy.c_str(), FALSE));
  Command(ID_HELP_TOPICS);  // the folder holds no help file
  ::DeleteFileA(decoy.c_str());
  if (HMODULE help = ::GetModuleHandleA("hhctrl.ocx")) ::GetModuleFileNameA(help, loaded, sizeof loaded);
  EXPECT_TRUE(!loaded[0] || ::lstrcmpiA(loaded, viewer.c_str()) == 0) << loaded;
  EXPECT_EQ(CAboutDialog(nullptr).Lines()[0], "Vantrel 1.00");  // from the version resource
  host_.DestroyMainWindow();
  EXPECT_FALSE(::IsWindow(page));
  host_.ShowMainWindow();  // the program is ending: nothing comes back
  EXPECT_EQ(main.hwnd(), nullptr);
}

// The thread's top-level windows: a page's popups (the editor's tip) among them.
int ThreadWindows() {
  int count = 0;
  for (HWND w = ::GetTopWindow(nullptr); w; w = ::GetWindow(w, GW_HWNDNEXT))
    count += ::GetWindowThreadProcessId(w, nullptr) == ::GetCurrentThreadId();
  return count;
}

// A page object dropped while its host lives takes every window and object it made along: on a
// page switch, and when the object goes before its window. The Schemes page makes the most:
// the editor tabs, and a tip for a time of ten hours or more, which its field cannot show.
TEST_F(MainWindowTest, ADroppedPageLeavesNoWindowOrObjectBehind) {
  platform::sim::SimState state = testing::XpLaptop();
  for (platform::sim::SimScheme& scheme : state.schemes) scheme.policy.user.SpindownTimeoutAc = 36000;
  pc_.Boot(state);
  CMainDialog& main = Open();
  // Top-level windows, then USER, GDI and kernel objects, and the GDI objects the process holds.
  auto census = [] {
    return std::tuple(ThreadWindows(), fw::LiveUserObjects(), fw::LiveGdiObjects(), fw::LiveKernelHandles(),
                      testing::GdiObjectsInUse());
  };
  const auto before = census();
  for (int round = 0; round < 2; ++round) {
    ASSERT_EQ(Choose(kSchemesPage), 1);
    EXPECT_GT(ThreadWindows(), std::get<0>(before)) << "the tip shows the kept time";
    ASSERT_EQ(Choose(kControlPage), 1);
    EXPECT_EQ(census(), before) << "after a page switch";
  }
  auto page = std::make_unique<power::SchemesPage>(main.hwnd());
  ASSERT_TRUE(page->Create());
  EXPECT_GT(ThreadWindows(), std::get<0>(before));
  page.reset();
  EXPECT_EQ(census(), before) << "after the object dropped before its window";
}

// A page that notes its own OK before closing its host.
class NotingPage : public display::CControlPage {
 public:
  explicit NotingPage(HWND parent) : CControlPage(parent, {State().settings, nullptr, "", "", nullptr}) {}
  int oks = 0;

 protected:
  bool OnOkay() override {
    ++oks;
    return CControlPage::OnOkay();
  }
};

// Escape on the main window is proven end to end.
TEST(PageKeysTest, EnterOnAPageReachesThePageWhichClosesItsHost) {
  ControlHost host;  // registered too, as the main window is
  ASSERT_TRUE(host.Create());
  fw::RegisterModeless(host.hwnd());
  NotingPage page(host.hwnd());
  ASSERT_TRUE(page.Create());
  fw::RegisterModeless(page.hwnd());
  MSG msg{::GetDlgItem(page.hwnd(), IDOK), WM_KEYDOWN, VK_RETURN, 0x001C0001, 0, {}};
  ::SetFocus(msg.hwnd);
  EXPECT_TRUE(fw::PreTranslateDialogMessage(msg));
  EXPECT_EQ(page.oks, 1);
  EXPECT_FALSE(host.IsWindow());
}

}  // namespace
}  // namespace vantrel::app
