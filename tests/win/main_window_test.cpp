// The main window under Wine: page choice and its refusal without batteries, the title, the
// Languages menu and the language switch, placement when shown again, and keys on a page.
#include <gtest/gtest.h>

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
#include "win/test_support.h"

namespace vantrel::app {
namespace {

using vantrel::testing::MenuString;
using vantrel::testing::WindowText;

std::vector<UINT> Checked(HMENU menu) {
  std::vector<UINT> checked;
  for (UINT i = 0; i < static_cast<UINT>(::GetMenuItemCount(menu)); ++i)
    if (::GetMenuState(menu, i, MF_BYPOSITION) & MF_CHECKED) checked.push_back(i);
  return checked;
}
std::string PageListText(HWND main, int item) {
  char text[64] = {};
  LVITEMA request{};
  request.pszText = text;
  request.cchTextMax = sizeof text;
  ::SendDlgItemMessageA(main, IDC_PAGE_LIST, LVM_GETITEMTEXTA, item, reinterpret_cast<LPARAM>(&request));
  return text;
}
std::string StoredLanguage() {
  auto value = vantrel::testing::ReadRaw(HKEY_CURRENT_USER, vantrel::testing::kKey, kLanguage);
  return value.found ? value.text().c_str() : "(none)";
}

// A program folder with a Languages folder, a simulated laptop, the program's language table,
// the meter with the real tray menu, and prompts recorded.
class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = State();
    State().app_directory = dir_.path();
    ASSERT_TRUE(::CreateDirectoryA(languages_.c_str(), nullptr));
    i18n::InstallTexts(&table_);
    Boot(2);
    auto menu = std::make_unique<power::TrayMenu>();
    tray_ = menu.get();
    meter_.set_tray_menu(std::move(menu));
    ASSERT_TRUE(meter_.Create());
    State().meter_window = meter_.hwnd();
  }
  void TearDown() override {
    host_.DestroyMainWindow();
    State() = saved_;
  }
  void Boot(size_t batteries) {
    platform::sim::SimState state = platform::sim::DefaultLaptop();
    state.batteries.resize(batteries);
    pc_.Boot(state);
  }
  void WriteLanguage(const std::string& name, const char* lines) {
    ASSERT_TRUE(dir_.Write("Languages\\" + name + ".lng", lines));
  }
  CMainDialog& Open() {
    host_.ShowMainWindow();
    EXPECT_NE(host_.window(), nullptr);
    return *host_.window();
  }
  void Command(UINT id) { ::SendMessageA(host_.window()->hwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }
  LRESULT Choose(WPARAM entry) { return ::SendMessageA(host_.window()->hwnd(), WM_PAGE_SELECTED, entry, 0); }

  vantrel::testing::CleanKey clean_;
  vantrel::testing::TempDir dir_;
  std::string languages_ = dir_.path() + "\\Languages\\";
  AppState saved_;
  vantrel::testing::PowerTestMachine pc_;
  i18n::LanguageTable table_{languages_};
  vantrel::testing::DisplayTestScope display_;
  fw::PromptRecorder prompts_;
  display::MeterWindow meter_;
  power::TrayMenu* tray_ = nullptr;
  MainWindowHost host_;
};

TEST_F(MainWindowTest, PagesAreBuiltOnlyWhenThePageOnShowChanges) {
  CMainDialog& main = Open();
  EXPECT_EQ(WindowText(main.hwnd()), "Vantrel - Control");
  HWND control = main.current_page()->hwnd();
  EXPECT_EQ(Choose(kControlPage), 0);
  EXPECT_EQ(Choose(static_cast<WPARAM>(-1)), 0);
  EXPECT_EQ(main.pages_built(), 1u);

  EXPECT_EQ(Choose(kSchemesPage), 1);
  EXPECT_EQ(WindowText(main.hwnd()), "Vantrel - Schemes");
  EXPECT_FALSE(::IsWindow(control));
  RECT r{};  // right of the page list, at the top, shown
  ::GetWindowRect(main.current_page()->hwnd(), &r);
  ::MapWindowPoints(nullptr, main.hwnd(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, kPageLeft);
  EXPECT_EQ(r.top, 0);
  EXPECT_TRUE(::IsWindowVisible(main.current_page()->hwnd()));

  Command(ID_PAGE_BATTERIES);
  Command(ID_PAGE_BATTERIES);
  Command(ID_PAGE_POLICY);
  EXPECT_EQ(WindowText(main.hwnd()), "Vantrel - Policy");
  EXPECT_EQ(main.pages_built(), 4u);
  EXPECT_TRUE(prompts_.entries().empty());
  EXPECT_EQ(::SendMessageA(main.hwnd(), WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, 0), TRUE);
}

TEST_F(MainWindowTest, WithoutBatteriesTheBatteriesPageIsRefusedOnceAndTheShownPageStays) {
  Boot(0);
  CMainDialog& main = Open();
  HWND control = main.current_page()->hwnd();
  Choose(kBatteriesPage);
  ASSERT_EQ(prompts_.entries().size(), 1u);
  EXPECT_EQ(prompts_.entries()[0].text, "This computer don't have batteries!");
  EXPECT_EQ(prompts_.entries()[0].owner, main.hwnd());
  EXPECT_EQ(main.current_page()->hwnd(), control);

  Choose(kBatteriesPage);
  Command(ID_PAGE_BATTERIES);
  EXPECT_EQ(prompts_.entries().size(), 1u);
  // Re-texting after the refusal names the page on show, not the refused one.
  Command(ID_LANGUAGE_DEFAULT);
  EXPECT_EQ(WindowText(main.hwnd()), "Vantrel - Control");

  EXPECT_EQ(Choose(kControlPage), 1);
  EXPECT_EQ(main.pages_built(), 2u);
  EXPECT_FALSE(::IsWindow(control));
}

TEST_F(MainWindowTest, ALanguageIsStoredCheckedAppliedEverywhereAndAFailedOneChangesNothing) {
  WriteLanguage("Deutsch",
                "2 Abbrechen\r\n1000 Hauptfenster...\r\n3001 Steuerung\r\n3100 Seiten\r\n3200 Standard\r\n8000 Ueber\r\n");
  ASSERT_TRUE(::CreateDirectoryA((languages_ + "Folder.lng").c_str(), nullptr));  // not a file: not listed
  CMainDialog& main = Open();
  HMENU languages = main.languages_menu();
  ASSERT_EQ(::GetMenuItemCount(languages), 3);
  EXPECT_EQ(MenuString(languages, 2), "Deutsch");
  EXPECT_EQ(::GetMenuItemID(languages, 2), static_cast<UINT>(ID_LANGUAGE_FIRST));
  EXPECT_EQ(Checked(languages), std::vector<UINT>{0});

  Command(ID_LANGUAGE_FIRST);
  EXPECT_EQ(StoredLanguage(), "Deutsch");
  EXPECT_EQ(Checked(languages), std::vector<UINT>{2});
  HMENU bar = ::GetMenu(main.hwnd());
  EXPECT_EQ(MenuString(bar, 0), "Seiten");
  EXPECT_EQ(MenuString(languages, 0), "Standard");
  // A text the file lacks empties the item, which keeps its submenu and is no separator.
  EXPECT_EQ(MenuString(bar, 1), "");
  EXPECT_EQ(::GetSubMenu(bar, 1), languages);
  EXPECT_FALSE(::GetMenuState(bar, 1, MF_BYPOSITION) & MF_SEPARATOR);
  EXPECT_TRUE(::GetMenuState(::GetSubMenu(bar, 2), 2, MF_BYPOSITION) & MF_SEPARATOR);
  EXPECT_EQ(PageListText(main.hwnd(), 0), "Steuerung");
  EXPECT_EQ(PageListText(main.hwnd(), 1), "");  // the file lacks it
  EXPECT_EQ(WindowText(main.hwnd()), "Vantrel - Steuerung");
  EXPECT_EQ(main.current_page()->ItemText(IDCANCEL), "Abbrechen");
  EXPECT_EQ(main.current_page()->ItemText(IDOK), "");  // no English fall-back
  CAboutDialog about(nullptr);
  ASSERT_TRUE(about.Create());
  EXPECT_EQ(WindowText(about.hwnd()), "Ueber");
  about.DestroyWindow();
  EXPECT_EQ(vantrel::testing::Describe(tray_->menu().handle())[1], "1:Hauptfenster...");  // the rebuilt tray menu
  EXPECT_EQ(pc_.Logged("Beep frequency=1000 duration=100"), 1u);

  Command(ID_LANGUAGE_DEFAULT);
  EXPECT_EQ(StoredLanguage(), "");
  EXPECT_EQ(Checked(languages), std::vector<UINT>{0});
  EXPECT_EQ(WindowText(main.hwnd()), "Vantrel - Control");
  EXPECT_EQ(pc_.Logged("Beep"), 2u);

  ::DeleteFileA((languages_ + "Deutsch.lng").c_str());  // listed, then gone
  Command(ID_LANGUAGE_FIRST);
  EXPECT_EQ(StoredLanguage(), "");
  EXPECT_EQ(Checked(languages), std::vector<UINT>{0});
  EXPECT_EQ(WindowText(main.hwnd()), "Vantrel - Control");
  EXPECT_EQ(pc_.Logged("Beep"), 2u);
}

TEST_F(MainWindowTest, TheRememberedLanguageIsCheckedOnlyOnAFileOfThatName) {
  WriteLanguage("Deutsch", "3001 Steuerung\r\n");
  WriteLanguage("Default", "3001 Vorgabe\r\n");
  for (const char* name : {"Deutsch", "Klingon", "deutsch", "Default"}) {
    State().settings.Language = name;
    MainWindowHost host;
    host.ShowMainWindow();
    HMENU languages = host.window()->languages_menu();
    std::string checked;  // only a file's own item, never the built-in texts' one
    for (UINT i : Checked(languages))
      checked += (i >= kFirstLanguageFilePosition ? "" : "built-in ") + MenuString(languages, i) + ";";
    const bool file = name == std::string("Deutsch") || name == std::string("Default");
    EXPECT_EQ(checked, file ? name + std::string(";") : "") << name;
  }
}

TEST_F(MainWindowTest, FirstShowIsCentredLaterShowsKeepThePlaceAndHelpWithoutAFileIsHarmless) {
  CMainDialog& main = Open();
  RECT work{}, r{};
  ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  ::GetWindowRect(main.hwnd(), &r);
  EXPECT_EQ(r.left, (work.right - (r.right - r.left)) / 2);
  EXPECT_EQ(r.top, (work.bottom - (r.bottom - r.top)) / 2);

  ::SetWindowPos(main.hwnd(), nullptr, 37, 41, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  HWND page = main.current_page()->hwnd();
  ::SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  vantrel::testing::Pump(50);  // the window's close request arrives as a posted Cancel
  EXPECT_FALSE(::IsWindowVisible(main.hwnd()));
  host_.ShowMainWindow();
  EXPECT_EQ(host_.window(), &main);
  ::GetWindowRect(main.hwnd(), &r);
  EXPECT_EQ(r.left, 37);
  EXPECT_EQ(r.top, 41);
  EXPECT_EQ(main.current_page()->hwnd(), page);

  Command(ID_HELP_TOPICS);  // the folder holds no help file
  EXPECT_EQ(CAboutDialog(nullptr).Lines()[0], "Vantrel 1.00");  // from the version resource
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
  for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
    vantrel::testing::ControlHost host;  // registered too, as the main window is
    ASSERT_TRUE(host.Create());
    fw::RegisterModeless(host.hwnd());
    NotingPage page(host.hwnd());
    ASSERT_TRUE(page.Create());
    fw::RegisterModeless(page.hwnd());
    MSG msg{::GetDlgItem(page.hwnd(), IDOK), WM_KEYDOWN, key, 0x00010001, 0, {}};
    ::SetFocus(msg.hwnd);
    EXPECT_TRUE(fw::PreTranslateDialogMessage(msg));
    EXPECT_EQ(page.ends, std::vector<int>{key == VK_RETURN ? IDOK : IDCANCEL});
    EXPECT_FALSE(host.IsWindow()) << key;
  }
}

}  // namespace
}  // namespace vantrel::app
