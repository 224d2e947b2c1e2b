// The main window under Wine: page choice and its refusal without batteries, the title, the
// Languages menu and the language switch, placement when shown again, keys and the About box.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/about_dialog.h"
#include "app/app_messages.h"
#include "app/app_state.h"
#include "app/main_dialog.h"
#include "display/control_page.h"
#include "display/meter_window.h"
#include "framework/prompt.h"
#include "i18n/core/language_table.h"
#include "power/tray_menu.h"
#include "resource.h"
#include "win/dialog_template.h"
#include "win/display_support.h"
#include "win/power_test_machine.h"
#include "win/test_support.h"

namespace vantrel::app {
namespace {

using vantrel::testing::PowerTestMachine;

constexpr char kKey[] = "Software\\Vantrel";

std::string WindowText(HWND hwnd) {
  char text[256] = {};
  ::GetWindowTextA(hwnd, text, sizeof text);
  return text;
}
std::string MenuString(HMENU menu, UINT position) {
  char text[256] = {};
  ::GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
  return text;
}
std::vector<UINT> CheckedPositions(HMENU menu) {
  std::vector<UINT> checked;
  for (int i = 0; i < ::GetMenuItemCount(menu); ++i)
    if (::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_CHECKED) checked.push_back(static_cast<UINT>(i));
  return checked;
}
std::string PageListText(HWND main, int item) {
  char text[64] = {};
  LVITEMA request{};
  request.pszText = text;
  request.cchTextMax = sizeof text;
  ::SendDlgItemMessageA(main, IDC_PAGE_LIST, LVM_GETITEMTEXTA, static_cast<WPARAM>(item),
                        reinterpret_cast<LPARAM>(&request));
  return text;
}
int ChildDialogs(HWND main) {
  int count = 0;
  for (HWND child = ::GetWindow(main, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    char cls[16] = {};
    ::GetClassNameA(child, cls, sizeof cls);
    count += std::string(cls) == "#32770";
  }
  return count;
}
std::string TrayItemText(HMENU menu, UINT command) {
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_DATA;
  if (!::GetMenuItemInfoA(menu, command, FALSE, &info)) return "(no item)";
  const controls::CMenuXPItem* item = controls::CMenuXPItem::FromData(info.dwItemData);
  return item ? item->text : "(no record)";
}
std::string StoredLanguage() {
  auto value = vantrel::testing::ReadRaw(HKEY_CURRENT_USER, kKey, kLanguage);
  if (!value.found) return "(none)";
  return std::string(value.data.begin(), value.data.end()).c_str();
}

// A program folder of its own with a Languages folder, a simulated laptop, an installed
// language table, the meter with the real tray menu, and prompts recorded.
class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(vantrel::testing::DeleteTree(HKEY_CURRENT_USER, kKey));
    saved_ = State();
    State().app_directory = dir_.path();
    State().settings = AppSettings{};
    ASSERT_TRUE(::CreateDirectoryA(languages_.c_str(), nullptr));
    i18n::InstallTexts(&table_);
    Boot(2);
  }
  void TearDown() override {
    host_.DestroyMainWindow();
    for (const std::string& file : files_) ::DeleteFileA(file.c_str());
    ::RemoveDirectoryA((languages_ + "Folder.lng").c_str());
    ::RemoveDirectoryA(languages_.c_str());
    State() = saved_;
    vantrel::testing::DeleteTree(HKEY_CURRENT_USER, kKey);
  }
  void Boot(size_t batteries) {
    platform::sim::SimState state = platform::sim::DefaultLaptop();
    state.batteries.resize(batteries);
    pc_.Boot(state);
  }
  void WriteLanguage(const std::string& name, const char* lines) {
    files_.push_back(languages_ + name + ".lng");
    std::FILE* file = std::fopen(files_.back().c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs(lines, file);
    std::fclose(file);
  }
  void WriteGerman() {
    WriteLanguage("Deutsch",
                  "2 Abbrechen\r\n1000 Hauptfenster...\r\n3001 Steuerung\r\n3002 Schemas\r\n3100 Seiten\r\n"
                  "3101 Sprachen\r\n3200 Standard\r\n3302 Info\r\n");
  }
  // The meter receives the language change and rebuilds the real tray menu.
  power::TrayMenu* StartMeter() {
    auto menu = std::make_unique<power::TrayMenu>();
    power::TrayMenu* tray = menu.get();
    meter_.set_tray_menu(std::move(menu));
    EXPECT_TRUE(meter_.Create());
    State().meter_window = meter_.hwnd();
    return tray;
  }
  CMainDialog& Open() {
    host_.ShowMainWindow();
    EXPECT_NE(host_.window(), nullptr);
    return *host_.window();
  }
  void Command(CMainDialog& main, UINT id) { ::SendMessageA(main.hwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }
  LRESULT Choose(CMainDialog& main, WPARAM entry) { return ::SendMessageA(main.hwnd(), WM_PAGE_SELECTED, entry, 0); }

  vantrel::testing::TempDir dir_;
  std::string languages_ = dir_.path() + "\\Languages\\";
  std::vector<std::string> files_;
  AppState saved_;
  PowerTestMachine pc_;
  i18n::LanguageTable table_{languages_};
  vantrel::testing::DisplayTestScope display_;
  fw::PromptRecorder prompts_;
  display::MeterWindow meter_;
  MainWindowHost host_;
};

TEST_F(MainWindowTest, PagesAreBuiltOnlyWhenThePageOnShowChanges) {
  CMainDialog& main = Open();
  EXPECT_EQ(WindowText(main.hwnd()), "Vantrel - Control");
  EXPECT_EQ(main.pages_built(), 1u);
  HWND control = main.current_page()->hwnd();
  EXPECT_EQ(Choose(main, kControlPage), 0);
  EXPECT_EQ(Choose(main, static_cast<WPARAM>(-1)), 0);
  EXPECT_EQ(main.current_page()->hwnd(), control);

  EXPECT_EQ(Choose(main, kSchemesPage), 1);
  EXPECT_EQ(WindowText(main.hwnd()), "Vantrel - Schemes");
  EXPECT_FALSE(::IsWindow(control));
  EXPECT_EQ(ChildDialogs(main.hwnd()), 1);
  // Right of the page list, at the top of the client area, shown.
  HWND page = main.current_page()->hwnd();
  RECT r{};
  ::GetWindowRect(page, &r);
  ::MapWindowPoints(nullptr, main.hwnd(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, kPageLeft);
  EXPECT_EQ(r.top, 0);
  EXPECT_TRUE(::IsWindowVisible(page));
  EXPECT_EQ(main.current_page()->ItemText(IDC_APPLY), "Apply");

  Command(main, ID_PAGE_BATTERIES);
  Command(main, ID_PAGE_BATTERIES);
  EXPECT_EQ(WindowText(main.hwnd()), "Vantrel - Batteries");
  Command(main, ID_PAGE_POLICY);
  EXPECT_EQ(WindowText(main.hwnd()), "Vantrel - Policy");
  EXPECT_EQ(main.pages_built(), 4u);
  EXPECT_TRUE(prompts_.entries().empty());
  EXPECT_EQ(::SendMessageA(main.hwnd(), WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, 0), TRUE);
}

TEST_F(MainWindowTest, WithoutBatteriesTheBatteriesPageIsRefusedOnceAndTheShownPageStays) {
  Boot(0);
  CMainDialog& main = Open();
  HWND control = main.current_page()->hwnd();
  EXPECT_EQ(Choose(main, kBatteriesPage), 1);
  ASSERT_EQ(prompts_.entries().size(), 1u);
  EXPECT_EQ(prompts_.entries()[0].text, "This computer don't have batteries!");
  EXPECT_EQ(prompts_.entries()[0].caption, "Vantrel");
  EXPECT_EQ(prompts_.entries()[0].owner, main.hwnd());
  EXPECT_EQ(main.current_page()->hwnd(), control);
  EXPECT_EQ(main.current_kind(), kBatteriesPage);

  EXPECT_EQ(Choose(main, kBatteriesPage), 0);
  Command(main, ID_PAGE_BATTERIES);
  EXPECT_EQ(prompts_.entries().size(), 1u);
  // Re-texting after the refusal names the page on show, not the refused one.
  Command(main, ID_LANGUAGE_DEFAULT);
  EXPECT_EQ(WindowText(main.hwnd()), "Vantrel - Control");

  EXPECT_EQ(Choose(main, kControlPage), 1);
  EXPECT_EQ(main.pages_built(), 2u);
  EXPECT_FALSE(::IsWindow(control));
  EXPECT_EQ(WindowText(main.hwnd()), "Vantrel - Control");
}

TEST_F(MainWindowTest, ChoosingALanguageStoresItChecksItRetextsAndRebuildsTheTrayMenu) {
  WriteGerman();
  ASSERT_TRUE(::CreateDirectoryA((languages_ + "Folder.lng").c_str(), nullptr));  // not a file: not listed
  power::TrayMenu* tray = StartMeter();
  CMainDialog& main = Open();
  HMENU languages = main.languages_menu();
  ASSERT_EQ(::GetMenuItemCount(languages), 3);
  EXPECT_EQ(MenuString(languages, 0), "Default");
  EXPECT_EQ(::GetMenuState(languages, 1, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
  EXPECT_EQ(MenuString(languages, 2), "Deutsch");
  EXPECT_EQ(::GetMenuItemID(languages, 2), static_cast<UINT>(ID_LANGUAGE_FIRST));
  EXPECT_EQ(CheckedPositions(languages), std::vector<UINT>{0});

  Command(main, ID_LANGUAGE_FIRST);
  EXPECT_EQ(StoredLanguage(), "Deutsch");
  EXPECT_EQ(State().settings.Language, "Deutsch");
  EXPECT_EQ(CheckedPositions(languages), std::vector<UINT>{2});
  EXPECT_EQ(MenuString(::GetMenu(main.hwnd()), 0), "Seiten");
  EXPECT_EQ(MenuString(::GetSubMenu(::GetMenu(main.hwnd()), 0), 1), "Schemas");
  EXPECT_EQ(MenuString(languages, 0), "Standard");
  EXPECT_EQ(MenuString(languages, 2), "Deutsch");  // file names are not translated
  EXPECT_EQ(PageListText(main.hwnd(), 0), "Steuerung");
  EXPECT_EQ(PageListText(main.hwnd(), 2), "");  // the file lacks it
  EXPECT_EQ(WindowText(main.hwnd()), "Vantrel - Steuerung");
  EXPECT_EQ(main.current_page()->ItemText(IDCANCEL), "Abbrechen");
  EXPECT_EQ(TrayItemText(tray->menu().handle(), ID_TRAY_MAIN_DIALOG), "Hauptfenster...");
  EXPECT_EQ(pc_.Logged("Beep frequency=1000 duration=100"), 1u);

  // Default stores the empty name and checks the first item again.
  Command(main, ID_LANGUAGE_DEFAULT);
  EXPECT_EQ(StoredLanguage(), "");
  EXPECT_EQ(CheckedPositions(languages), std::vector<UINT>{0});
  EXPECT_EQ(WindowText(main.hwnd()), "Vantrel - Control");
  EXPECT_EQ(MenuString(languages, 0), "Default");
  EXPECT_EQ(pc_.Logged("Beep frequency=1000 duration=100"), 2u);
}

TEST_F(MainWindowTest, RememberedLanguageIsCheckedOnlyWhenAFileHasItsName) {
  WriteGerman();
  WriteLanguage("Default", "3001 Vorgabe\r\n");
  struct Case {
    const char* remembered;
    const char* checked;  // the text of the one item checked, or null for none
  } cases[] = {{"Deutsch", "Deutsch"}, {"Klingon", nullptr}, {"deutsch", nullptr}, {"Default", "Default"}};
  for (const Case& c : cases) {
    State().settings.Language = c.remembered;
    MainWindowHost host;
    host.ShowMainWindow();
    HMENU languages = host.window()->languages_menu();
    std::vector<UINT> checked = CheckedPositions(languages);
    if (!c.checked) {
      EXPECT_TRUE(checked.empty()) << c.remembered;
      continue;
    }
    ASSERT_EQ(checked.size(), 1u) << c.remembered;
    EXPECT_EQ(MenuString(languages, checked[0]), c.checked);
    EXPECT_GE(checked[0], kFirstLanguageFilePosition) << "a file's item, not the built-in texts' item";
  }
}

TEST_F(MainWindowTest, AFileThatFailsToLoadChangesNothing) {
  WriteGerman();
  StartMeter();
  CMainDialog& main = Open();
  ::DeleteFileA(files_[0].c_str());  // listed, then gone
  Command(main, ID_LANGUAGE_FIRST);
  EXPECT_EQ(StoredLanguage(), "(none)");
  EXPECT_EQ(State().settings.Language, "");
  EXPECT_EQ(CheckedPositions(main.languages_menu()), std::vector<UINT>{0});
  EXPECT_EQ(WindowText(main.hwnd()), "Vantrel - Control");
  EXPECT_EQ(pc_.Logged("Beep"), 0u);
}

TEST_F(MainWindowTest, FirstShowCentresLaterShowsKeepThePlaceAndKeysCloseFromThePage) {
  CMainDialog& main = Open();
  RECT work{}, r{};
  ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  ::GetWindowRect(main.hwnd(), &r);
  EXPECT_EQ(r.left, (work.right - (r.right - r.left)) / 2);
  EXPECT_EQ(r.top, (work.bottom - (r.bottom - r.top)) / 2);

  ::SetWindowPos(main.hwnd(), nullptr, 37, 41, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  HWND page = main.current_page()->hwnd();
  // Escape on a page control closes the window through the page.
  MSG escape{::GetDlgItem(page, IDOK), WM_KEYDOWN, VK_ESCAPE, 0x00010001, 0, {}};
  EXPECT_TRUE(fw::PreTranslateDialogMessage(escape));
  vantrel::testing::Pump(50);  // the window's close request arrives as a posted Cancel
  EXPECT_FALSE(::IsWindowVisible(main.hwnd()));
  EXPECT_TRUE(::IsWindow(page));

  host_.ShowMainWindow();
  EXPECT_EQ(host_.window(), &main);
  EXPECT_TRUE(::IsWindowVisible(main.hwnd()));
  ::GetWindowRect(main.hwnd(), &r);
  EXPECT_EQ(r.left, 37);
  EXPECT_EQ(r.top, 41);
  EXPECT_EQ(main.current_page()->hwnd(), page);
  ::SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  vantrel::testing::Pump(50);
  EXPECT_FALSE(::IsWindowVisible(main.hwnd()));

  host_.DestroyMainWindow();
  EXPECT_FALSE(::IsWindow(page));
  host_.ShowMainWindow();  // the program is ending: nothing comes back
  EXPECT_EQ(main.hwnd(), nullptr);
}

// A page that notes its own OK and Cancel before closing its host.
class NotingPage : public display::CControlPage {
 public:
  using CControlPage::CControlPage;
  std::vector<int> ends;

 protected:
  void OnOK() override {
    ends.push_back(IDOK);
    CControlPage::OnOK();
  }
  void OnCancel() override {
    ends.push_back(IDCANCEL);
    CControlPage::OnCancel();
  }
};

TEST(PageKeysTest, EnterAndEscapeOnAPageReachThePageWhichClosesItsHost) {
  vantrel::testing::DialogTemplate host_template("Host", 300, 250);
  fw::Dialog host(host_template.get(), nullptr);
  ASSERT_TRUE(host.Create());
  NotingPage page(host.hwnd());
  ASSERT_TRUE(page.Create());
  fw::RegisterModeless(page.hwnd());
  for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
    ::ShowWindow(host.hwnd(), SW_SHOW);
    MSG msg{::GetDlgItem(page.hwnd(), IDOK), WM_KEYDOWN, key, 0x00010001, 0, {}};
    ::SetFocus(msg.hwnd);
    EXPECT_TRUE(fw::PreTranslateDialogMessage(msg));
    vantrel::testing::Pump(50);
    EXPECT_FALSE(::IsWindowVisible(host.hwnd())) << key;
  }
  EXPECT_EQ(page.ends, (std::vector<int>{IDOK, IDCANCEL}));
  page.DestroyWindow();
  host.DestroyWindow();
}

void CALLBACK CloseAbout(HWND, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(nullptr, id);
  if (HWND about = ::FindWindowA(nullptr, "About program")) ::PostMessageA(about, WM_COMMAND, IDOK, 0);
}

TEST_F(MainWindowTest, AboutNamesTheProductFromItsVersionAndHelpWithoutAFileDoesNotFail) {
  CAboutDialog about(nullptr);
  std::vector<std::string> lines = about.Lines();
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "Vantrel 1.00");
  EXPECT_EQ(lines[2], "please write to : vantrel@example.org");

  CMainDialog& main = Open();
  UINT_PTR timer = ::SetTimer(nullptr, 0, 300, &CloseAbout);
  Command(main, ID_HELP_ABOUT);  // returns once the box was closed
  ::KillTimer(nullptr, timer);
  EXPECT_TRUE(::IsWindow(main.hwnd()));

  Command(main, ID_HELP_TOPICS);  // the folder holds no help file
  EXPECT_TRUE(::IsWindow(main.hwnd()));
}

}  // namespace
}  // namespace vantrel::app
