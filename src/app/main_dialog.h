// The settings window: the page list at the left, one page beside it, and a menu bar of pages,
// languages and help. Created on first use, then only hidden and shown again.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "controls/page_list.h"
#include "framework/handles.h"
#include "i18n/lang_dialog.h"
#include "power/tray_menu.h"

namespace vantrel::app {

struct AppState;

// The pages, in the order of the page list and of the "Pages" menu.
enum PageKind : uint8_t { kControlPage = 0, kSchemesPage = 1, kBatteriesPage = 2, kPolicyPage = 3, kHistoryPage = 4 };
inline constexpr int kPageKindCount = 5;

// Where a page sits in the main window's client area: right of the page list.
inline constexpr int kPageLeft = 90;
inline constexpr COLORREF kPageListColour = RGB(100, 123, 122);

// The help file beside the program, and the maker's addresses.
inline constexpr char kHelpFileName[] = "vantrel.chm";
inline constexpr char kWebSiteAddress[] = "https://vantrel.example.org/";
inline constexpr char kContactAddress[] = "vantrel@example.org";

// Positions in the menu bar and in the Languages menu.
inline constexpr UINT kPagesMenuPosition = 0;
inline constexpr UINT kLanguagesMenuPosition = 1;
inline constexpr UINT kHelpMenuPosition = 2;
inline constexpr UINT kDefaultLanguagePosition = 0;
inline constexpr UINT kFirstLanguageFilePosition = 2;  // after "Default" and a separator

class CMainDialog : public i18n::CLangDialog {
 public:
  // `state` is the running program's; it outlives the window.
  explicit CMainDialog(AppState& state) noexcept;
  ~CMainDialog() override;

  // The page list's choice: 0 when nothing changes (no entry, or the page on show), else 1.
  LRESULT SelectPage(int kind);
  // Builds and shows the page of `kind` in place of the one on show. On a machine without
  // batteries the Batteries page is refused with a message, and the page on show stays.
  void ShowPage(uint8_t kind);
  // The page list, the menu bar and the title take their texts from the current language.
  void RetextMainWindow();

  uint8_t current_kind() const noexcept { return current_kind_; }
  // The kind of the page on show (after a refused Batteries page it differs from the above).
  uint8_t shown_kind() const noexcept { return shown_kind_; }
  i18n::CLangDialog* current_page() const noexcept { return page_.get(); }
  // Pages built so far: a page is built only when the page on show changes.
  unsigned pages_built() const noexcept { return pages_built_; }
  HMENU languages_menu() const noexcept;

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(WORD id, WORD code, HWND control) override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

 private:
  void SetUpIcons();
  void SetUpPageList();
  void FillLanguagesMenu();
  void CheckRememberedLanguage();
  void ChooseLanguageFile(UINT command);
  void ChooseDefaultLanguage();
  void UncheckLanguages();
  void AfterLanguageChange();
  void SetTitle();
  void ShowHelpTopics();
  void OpenWebSite();
  void ShowAbout();
  // The page's window goes before the page (dialog.h).
  void DropPage() noexcept;

  AppState& state_;
  controls::CPageListCtrl page_list_;
  fw::UniqueImageList images_;
  std::unique_ptr<i18n::CLangDialog> page_;
  uint8_t current_kind_ = kControlPage;
  uint8_t shown_kind_ = kControlPage;
  unsigned pages_built_ = 0;
  UINT last_language_command_ = 0;  // the last command the Languages menu hands out
  fw::UniqueIcon big_icon_;
  fw::UniqueIcon small_icon_;
  // The help viewer's library, loaded on first use and kept while its windows may be open.
  fw::UniqueLibrary help_library_;
};

// Owns the main window: made and centred on the work area when first shown, afterwards only
// shown again where it was.
class MainWindowHost final : public power::MainWindowOpener {
 public:
  // `state` is the running program's; it outlives the host.
  explicit MainWindowHost(AppState& state) noexcept : state_(state) {}
  ~MainWindowHost() override;
  MainWindowHost(const MainWindowHost&) = delete;
  MainWindowHost& operator=(const MainWindowHost&) = delete;

  void ShowMainWindow() override;
  // At exit: the window and its page go, and the host shows nothing any more. The object itself
  // stays until the host goes, since one of its handlers may be below on the stack (a message
  // box or the About box was open when the program was told to end).
  void DestroyMainWindow() override;
  CMainDialog* window() const noexcept { return dialog_.get(); }

 private:
  AppState& state_;
  std::unique_ptr<CMainDialog> dialog_;
  bool closed_ = false;
};

}  // namespace vantrel::app
