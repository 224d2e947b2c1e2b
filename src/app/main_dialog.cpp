#include "app/main_dialog.h"

#include <commctrl.h>
#include <htmlhelp.h>
#include <shellapi.h>

#include <cstring>
#include <string>
#include <string_view>

#include "app/about_dialog.h"
#include "display/meter_window.h"
#include "app/app_state.h"
#include "settings/settings_store.h"
#include "battery/batteries_page.h"
#include "battery/history_page.h"
#include "display/control_page.h"
#include "framework/caught.h"
#include "framework/prompt.h"
#include "i18n/core/language_table.h"
#include "i18n/core/text_format.h"
#include "i18n/core/text_ids.h"
#include "platform/system_library.h"
#include "power/policy_page.h"
#include "power/power_platform.h"
#include "power/schemes_page.h"
#include "resource.h"

namespace vantrel::app {

namespace {

template <class Page>
std::unique_ptr<i18n::CLangDialog> MakePageOf(HWND parent, AppState&) {
  return std::make_unique<Page>(parent);
}

// The Control page acts on the running meter and the program's options.
std::unique_ptr<i18n::CLangDialog> MakeControlPage(HWND parent, AppState& state) {
  return std::make_unique<display::CControlPage>(
      parent, display::ControlPageContext{state.settings, state.meter, state.app_directory,
                                          BaseNameOf(ModulePath(state.instance))});
}

// The pages: one row each, in the order of the page list and of the "Pages" menu (so a page's
// kind is also its list entry and its menu position).
struct PageEntry {
  PageKind kind;
  int title_id;  // the list entry, the "Pages" item and the title
  UINT icon;
  UINT menu_command;
  std::unique_ptr<i18n::CLangDialog> (*make)(HWND parent, AppState& state);
};
constexpr PageEntry kPages[kPageKindCount] = {
    {kControlPage, i18n::IDS_PAGE_CONTROL, IDI_CONTROL, ID_PAGE_CONTROL, &MakeControlPage},
    {kSchemesPage, i18n::IDS_PAGE_SCHEMES, IDI_SCHEMES, ID_PAGE_SCHEMES, &MakePageOf<power::SchemesPage>},
    {kBatteriesPage, i18n::IDS_PAGE_BATTERIES, IDI_BATTERIES, ID_PAGE_BATTERIES, &MakePageOf<battery::CBatteriesPage>},
    {kPolicyPage, i18n::IDS_PAGE_POLICY, IDI_POLICY, ID_PAGE_POLICY, &MakePageOf<power::PolicyPage>},
    {kHistoryPage, i18n::IDS_PAGE_HISTORY, IDI_HISTORY, ID_PAGE_HISTORY, &MakePageOf<battery::CHistoryPage>},
};
static_assert([] {
  for (int k = 0; k < kPageKindCount; ++k)
    if (kPages[k].kind != k || kPages[k].menu_command != kPages[0].menu_command + static_cast<UINT>(k)) return false;
  return true;
}());
// Loaded into the page list's image list after the pages' icons; no entry shows it.
constexpr UINT kSparePageIcon = IDI_SPARE_PAGE;
constexpr int kPageIconSize = 32;
constexpr int kImageListGrowth = 5;

constexpr i18n::MenuText kMenuBarTexts[] = {{kPagesMenuPosition, i18n::IDS_MENU_PAGES},
                                            {kLanguagesMenuPosition, i18n::IDS_MENU_LANGUAGES},
                                            {kHelpMenuPosition, i18n::IDS_MENU_HELP}};
constexpr i18n::MenuText kLanguagesMenuTexts[] = {{kDefaultLanguagePosition, i18n::IDS_MENU_DEFAULT_LANGUAGE}};
constexpr i18n::MenuText kHelpMenuTexts[] = {
    {0, i18n::IDS_MENU_HELP_TOPICS}, {1, i18n::IDS_MENU_WEB_SITE}, {3, i18n::IDS_MENU_ABOUT}};

// Menu texts are read into buffers of this size.
constexpr int kMenuTextSize = 256;
// A folder of thousands of files must not make a menu that reaches the window's own commands.
constexpr UINT kMaxLanguageItems = 1000;

constexpr char kLanguageExtension[] = ".lng";
constexpr char kHelpLibrary[] = "hhctrl.ocx";
constexpr char kHelpFunction[] = "HtmlHelpA";
constexpr char kWebSiteFolder[] = "c:\\";
using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

// The language a file in the Languages folder holds: its name without ".lng". Nothing for a
// name the search matched only through its short form ("x.lngx") or for ".lng" alone.
std::string LanguageNameOf(std::string_view file_name) {
  constexpr size_t kExtension = sizeof kLanguageExtension - 1;
  if (file_name.size() <= kExtension) return {};
  const std::string_view extension = file_name.substr(file_name.size() - kExtension);
  for (size_t i = 0; i < kExtension; ++i) {
    const char c = extension[i];
    const char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    if (lower != kLanguageExtension[i]) return {};
  }
  return std::string(file_name.substr(0, file_name.size() - kExtension));
}

void SaveLanguageName(const std::string& name) {
  settings::SettingsStore store;
  store.OpenKey();
  store.SaveLanguage(name);
}

}  // namespace

CMainDialog::CMainDialog(AppState& state) noexcept : CLangDialog(IDD_MAIN, ::GetDesktopWindow()), state_(state) {}

CMainDialog::~CMainDialog() {
  // The window goes first, while everything its messages reach is still here.
  if (hwnd()) DestroyWindow();
  if (help_library_) {
    if (auto help = reinterpret_cast<HtmlHelpFunction>(
            reinterpret_cast<void*>(::GetProcAddress(help_library_, kHelpFunction)))) {
      help(nullptr, nullptr, HH_CLOSE_ALL, 0);
    }
  }
}

HMENU CMainDialog::languages_menu() const noexcept {
  return hwnd() ? ::GetSubMenu(::GetMenu(hwnd()), kLanguagesMenuPosition) : nullptr;
}

BOOL CMainDialog::OnInitDialog() {
  SetUpIcons();
  page_list_.SubclassDlgItem(hwnd(), IDC_PAGE_LIST);
  SetUpPageList();
  RetextMainWindow();
  FillLanguagesMenu();
  CheckRememberedLanguage();
  ShowPage(current_kind_);
  return TRUE;
}

void CMainDialog::SetUpIcons() {
  // The program's icon in the caption and on the taskbar button.
  HINSTANCE instance = fw::ResourceInstance();
  big_icon_.reset(static_cast<HICON>(::LoadImageA(instance, MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON,
                                                  ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON), 0)));
  small_icon_.reset(static_cast<HICON>(::LoadImageA(instance, MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON,
                                                    ::GetSystemMetrics(SM_CXSMICON),
                                                    ::GetSystemMetrics(SM_CYSMICON), 0)));
  if (big_icon_) ::SendMessageA(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big_icon_.get()));
  if (small_icon_) ::SendMessageA(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon_.get()));
}

void CMainDialog::SetUpPageList() {
  HWND list = Item(IDC_PAGE_LIST);
  if (!list) return;
  ::SendMessageA(list, LVM_SETBKCOLOR, 0, kPageListColour);
  ::SendMessageA(list, LVM_SETTEXTCOLOR, 0, RGB(255, 255, 255));
  ::SendMessageA(list, LVM_SETTEXTBKCOLOR, 0, kPageListColour);

  images_.reset(::ImageList_Create(kPageIconSize, kPageIconSize, ILC_COLOR32, 0, kImageListGrowth));
  int image_of[kPageKindCount + 1];
  for (int i = 0; i <= kPageKindCount; ++i) {
    const UINT icon_id = i < kPageKindCount ? kPages[i].icon : kSparePageIcon;
    fw::UniqueIcon icon(static_cast<HICON>(::LoadImageA(fw::ResourceInstance(), MAKEINTRESOURCEA(icon_id),
                                                        IMAGE_ICON, kPageIconSize, kPageIconSize, 0)));
    // The list copies the icon. A missing one leaves its page without a picture.
    image_of[i] = images_ && icon ? ::ImageList_ReplaceIcon(images_, -1, icon) : -1;
  }
  if (images_) {
    ::ImageList_SetBkColor(images_, kPageListColour);
    ::SendMessageA(list, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(images_.get()));
  }
  for (int kind = 0; kind < kPageKindCount; ++kind) {
    std::string text = i18n::Text(kPages[kind].title_id);
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = kind;
    item.pszText = text.data();
    item.iImage = image_of[kind] >= 0 ? image_of[kind] : I_IMAGENONE;
    ::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
  }
  // Every entry in view, the list having no scroll bar: the rows close up when the default
  // spacing would push the last ones below the list's bottom.
  RECT client{};
  ::GetClientRect(list, &client);
  const DWORD spacing = static_cast<DWORD>(::SendMessageA(list, LVM_GETITEMSPACING, FALSE, 0));
  const int row = HIWORD(spacing), fitting = client.bottom / kPageKindCount;
  if (row * kPageKindCount > client.bottom && fitting > 0) {
    ::SendMessageA(list, LVM_SETICONSPACING, 0, MAKELPARAM(LOWORD(spacing), fitting));
    ::SendMessageA(list, LVM_ARRANGE, LVA_DEFAULT, 0);
  }
}

// ---- pages ----------------------------------------------------------------------------------

LRESULT CMainDialog::SelectPage(int kind) {
  if (kind < 0 || kind >= kPageKindCount || kind == current_kind_) return 0;
  current_kind_ = static_cast<uint8_t>(kind);
  ShowPage(current_kind_);
  return 1;
}

void CMainDialog::ShowPage(uint8_t kind) {
  if (!hwnd() || kind >= kPageKindCount) return;
  unsigned batteries = 0;
  {
    power::PowerPlatform platform;
    batteries = platform.GetBatteryCount();
  }
  if (kind == kBatteriesPage && batteries == 0) {
    // The page on show and the title stay; choosing Batteries again says nothing more until
    // another page has been chosen.
    current_kind_ = kind;
    fw::AppPrompt(hwnd(), i18n::Text(i18n::IDS_NO_BATTERIES), MB_OK);
    return;
  }
  // The old page goes before the new one is made: exactly one page exists.
  DropPage();
  std::unique_ptr<i18n::CLangDialog> page = kPages[kind].make(hwnd(), state_);
  current_kind_ = kind;
  if (!page->Create()) {
    fw::TraceQuietFailure("main window, page not created");
    return;
  }
  ++pages_built_;
  page_ = std::move(page);
  HWND h = page_->hwnd();
  // Enter and Escape on the page reach the page itself.
  fw::RegisterModeless(h);
  RECT r{};
  ::GetWindowRect(h, &r);
  ::MoveWindow(h, kPageLeft, 0, r.right - r.left, r.bottom - r.top, FALSE);
  ::ShowWindow(h, SW_SHOWNORMAL);
  shown_kind_ = kind;
  SetTitle();
}

void CMainDialog::DropPage() noexcept {
  if (page_) page_->DestroyWindow();
  page_.reset();
}

void CMainDialog::SetTitle() {
  ::SetWindowTextA(hwnd(), i18n::FormatText("%s - %s", {settings::kProductName, i18n::Text(kPages[shown_kind_].title_id)}).c_str());
}

void CMainDialog::RetextMainWindow() {
  if (!hwnd()) return;
  if (HWND list = Item(IDC_PAGE_LIST)) {
    for (int kind = 0; kind < kPageKindCount; ++kind) {
      std::string text = i18n::Text(kPages[kind].title_id);
      LVITEMA item{};
      item.iSubItem = 0;
      item.pszText = text.data();
      ::SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(kind), reinterpret_cast<LPARAM>(&item));
    }
  }
  HMENU bar = ::GetMenu(hwnd());
  i18n::RetextMenu(bar, kMenuBarTexts);
  i18n::MenuText pages_menu[kPageKindCount];
  for (int kind = 0; kind < kPageKindCount; ++kind) pages_menu[kind] = {static_cast<UINT>(kind), kPages[kind].title_id};
  i18n::RetextMenu(::GetSubMenu(bar, kPagesMenuPosition), pages_menu);
  i18n::RetextMenu(::GetSubMenu(bar, kLanguagesMenuPosition), kLanguagesMenuTexts);
  i18n::RetextMenu(::GetSubMenu(bar, kHelpMenuPosition), kHelpMenuTexts);
  ::DrawMenuBar(hwnd());
  SetTitle();
}

// ---- languages ------------------------------------------------------------------------------

void CMainDialog::FillLanguagesMenu() {
  HMENU menu = languages_menu();
  if (!menu) return;
  ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  const std::string pattern = state_.app_directory + "\\Languages\\*" + kLanguageExtension;
  WIN32_FIND_DATAA found{};
  fw::UniqueFind search(::FindFirstFileA(pattern.c_str(), &found));
  if (!search) return;
  UINT command = ID_LANGUAGE_FIRST;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    const std::string name = LanguageNameOf(found.cFileName);
    if (name.empty()) continue;
    if (command >= ID_LANGUAGE_FIRST + kMaxLanguageItems) break;
    if (::AppendMenuA(menu, MF_STRING, command, name.c_str())) last_language_command_ = command++;
  } while (::FindNextFileA(search, &found));
}

void CMainDialog::CheckRememberedLanguage() {
  HMENU menu = languages_menu();
  const std::string& name = state_.settings.Language;
  if (name.empty()) {
    ::CheckMenuItem(menu, kDefaultLanguagePosition, MF_BYPOSITION | MF_CHECKED);
    return;
  }
  // Only the files' items are compared: a language named like the "Default" item is a file.
  const int count = ::GetMenuItemCount(menu);
  for (int position = kFirstLanguageFilePosition; position < count; ++position) {
    char text[kMenuTextSize] = {};
    ::GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
    if (name == text) {
      ::CheckMenuItem(menu, static_cast<UINT>(position), MF_BYPOSITION | MF_CHECKED);
      return;
    }
  }
}

void CMainDialog::UncheckLanguages() {
  HMENU menu = languages_menu();
  const int count = ::GetMenuItemCount(menu);
  for (int position = 0; position < count; ++position) {
    ::CheckMenuItem(menu, static_cast<UINT>(position), MF_BYPOSITION | MF_UNCHECKED);
  }
}

void CMainDialog::ChooseLanguageFile(UINT command) {
  HMENU bar = ::GetMenu(hwnd());
  char text[kMenuTextSize] = {};
  if (::GetMenuStringA(bar, command, text, sizeof text, MF_BYCOMMAND) <= 0) return;
  const std::string name = text;
  // A file that cannot be read changes nothing: texts, check mark and stored name stay.
  if (!i18n::Texts().Load(name)) return;
  state_.settings.Language = name;
  SaveLanguageName(name);
  UncheckLanguages();
  ::CheckMenuItem(bar, command, MF_BYCOMMAND | MF_CHECKED);
  AfterLanguageChange();
}

void CMainDialog::ChooseDefaultLanguage() {
  state_.settings.Language.clear();
  i18n::Texts().Load(state_.settings.Language);
  SaveLanguageName(state_.settings.Language);
  UncheckLanguages();
  AfterLanguageChange();
  ::CheckMenuItem(languages_menu(), kDefaultLanguagePosition, MF_BYPOSITION | MF_CHECKED);
}

void CMainDialog::AfterLanguageChange() {
  RetextMainWindow();
  if (page_) page_->ApplyLanguage();
  // Sent, not posted: the tray menu speaks the new language when this returns.
  if (state_.meter && state_.meter->IsWindow())
    ::SendMessageA(state_.meter->hwnd(), display::WM_LANGUAGE_CHANGED, 0, 0);
}

// ---- help -----------------------------------------------------------------------------------

namespace {

// The help viewer from the system folder only: a library of its name beside the program
// must not be loaded in its place.
HMODULE LoadHelpLibrary() { return platform::LoadSystemLibrary(kHelpLibrary); }

}  // namespace

void CMainDialog::ShowHelpTopics() {
  // The viewer is looked up when asked for: a system without it simply shows no help.
  if (!help_library_) help_library_.reset(LoadHelpLibrary());
  if (!help_library_) return;
  auto help = reinterpret_cast<HtmlHelpFunction>(
      reinterpret_cast<void*>(::GetProcAddress(help_library_, kHelpFunction)));
  if (!help) return;
  const std::string file = state_.app_directory + "\\" + kHelpFileName;
  help(hwnd(), file.c_str(), HH_DISPLAY_TOPIC, 0);
}

void CMainDialog::OpenWebSite() {
  ::ShellExecuteA(hwnd(), "open", kWebSiteAddress, "", kWebSiteFolder, SW_SHOWNORMAL);
}

void CMainDialog::ShowAbout() {
  CAboutDialog about(hwnd());
  about.DoModal();
}

// ---- messages -------------------------------------------------------------------------------

bool CMainDialog::OnCommand(WORD id, WORD code, HWND control) {
  if (id >= kPages[0].menu_command && id < kPages[0].menu_command + kPageKindCount) {
    const uint8_t kind = static_cast<uint8_t>(id - kPages[0].menu_command);
    if (kind != current_kind_) {
      current_kind_ = kind;
      ShowPage(kind);
    }
    return true;
  }
  if (id >= ID_LANGUAGE_FIRST && id <= ID_LANGUAGE_LAST) {
    ChooseLanguageFile(id);
    return true;
  }
  // Files listed beyond the handled commands do nothing.
  if (id > ID_LANGUAGE_LAST && id <= last_language_command_) return true;
  switch (id) {
    case ID_LANGUAGE_DEFAULT:
      ChooseDefaultLanguage();
      return true;
    case ID_HELP_TOPICS:
      ShowHelpTopics();
      return true;
    case ID_HELP_WEB_SITE:
      OpenWebSite();
      return true;
    case ID_HELP_ABOUT:
      ShowAbout();
      return true;
    default:
      return CLangDialog::OnCommand(id, code, control);
  }
}

bool CMainDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  switch (msg) {
    case controls::WM_PAGE_SELECTED:
      // Otherwise it is DM_SETDEFID, the dialog manager's own.
      if (!page_list_.hwnd() || reinterpret_cast<HWND>(lp) != page_list_.hwnd()) return false;
      result = SelectPage(static_cast<int>(wp));
      return true;
    case WM_POWERBROADCAST:
      result = TRUE;  // never refuses a suspend
      return true;
    default:
      return false;
  }
}

// ---- host -----------------------------------------------------------------------------------

MainWindowHost::~MainWindowHost() = default;

void MainWindowHost::ShowMainWindow() {
  if (closed_) return;
  if (dialog_) {
    HWND h = dialog_->hwnd();
    if (!h) return;
    ::SetWindowPos(h, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
    ::SetForegroundWindow(h);
    return;
  }
  auto dialog = std::make_unique<CMainDialog>(state_);
  if (!dialog->Create()) return;
  dialog_ = std::move(dialog);
  HWND h = dialog_->hwnd();
  // Centred on the work area's right and bottom edges (its left and top are not counted).
  RECT work{};
  ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  RECT r{};
  ::GetWindowRect(h, &r);
  const int x = (work.right - (r.right - r.left)) / 2;
  const int y = (work.bottom - (r.bottom - r.top)) / 2;
  ::SetWindowPos(h, HWND_TOP, x, y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  ::ShowWindow(h, SW_SHOWNORMAL);
  ::UpdateWindow(h);
  ::SetForegroundWindow(h);
}

void MainWindowHost::DestroyMainWindow() {
  closed_ = true;
  if (dialog_) dialog_->DestroyWindow();
}

}  // namespace vantrel::app
