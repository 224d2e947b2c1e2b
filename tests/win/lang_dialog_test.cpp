// Translatable dialogs and menus take their texts from the language in effect.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "framework/handles.h"
#include "i18n/core/language_table.h"
#include "i18n/core/text_ids.h"
#include "i18n/lang_dialog.h"
#include "win/dialog_template.h"
#include "win/test_support.h"

namespace vantrel::i18n {
namespace {

using vantrel::testing::DialogTemplate;

constexpr int kInfoLabel = 1200;
constexpr int kAboutButton = 1201;

std::string WindowText(HWND hwnd) {
  char text[256] = {};
  ::GetWindowTextA(hwnd, text, sizeof text);
  return text;
}

std::string ItemString(HMENU menu, UINT position) {
  char text[256] = {};
  ::GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
  return text;
}

// A language file in a folder of its own, installed as the program's table.
class LanguageFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    std::FILE* file = std::fopen(table_.FilePath("Test").c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("1 Gut\r\n8000 Ueber\r\n6001 Angaben\r\n3100 Seiten\r\n3200 Standard\r\n", file);
    std::fclose(file);
    ASSERT_TRUE(table_.Load("Test"));
    InstallTexts(&table_);
  }

  vantrel::testing::TempDir dir_;
  LanguageTable table_{dir_.path()};
};

// Written as every translatable page is: its own set-up, then its texts.
class TextDialog : public CLangDialog {
 public:
  using CLangDialog::CLangDialog;
  void ApplyLanguage() override {
    static constexpr ControlText kTexts[] = {{IDS_ABOUT_CAPTION, kDialogCaption},
                                             {IDS_OK, IDOK},
                                             {IDS_BATTERY_INFORMATION, kInfoLabel},
                                             {IDS_MENU_ABOUT, kAboutButton}};
    ApplyTexts(kTexts);
  }
  std::string caption_at_init;

 protected:
  BOOL OnInitDialog() override {
    ApplyLanguage();
    caption_at_init = WindowText(hwnd());
    if (is_modal()) EndDialog(42);
    return TRUE;
  }
};

using LangDialogTest = LanguageFixture;

TEST_F(LangDialogTest, ShowsTheLoadedTextsAndFollowsALanguageChange) {
  DialogTemplate dialogTemplate("Template caption", 200, 80);
  dialogTemplate.AddControl(DialogTemplate::kButton, IDOK, "", BS_DEFPUSHBUTTON, 140, 60, 50, 14);
  dialogTemplate.AddControl(DialogTemplate::kStatic, kInfoLabel, "", SS_LEFT, 10, 10, 120, 10);
  dialogTemplate.AddControl(DialogTemplate::kButton, kAboutButton, "Template about", BS_PUSHBUTTON, 10, 60, 50, 14);

  TextDialog modal(dialogTemplate.get(), nullptr);
  EXPECT_EQ(modal.DoModal(), 42);
  EXPECT_EQ(modal.caption_at_init, "Ueber");

  TextDialog dialog(dialogTemplate.get(), nullptr);
  ASSERT_TRUE(dialog.Create());
  EXPECT_EQ(WindowText(dialog.hwnd()), "Ueber");
  EXPECT_EQ(dialog.ItemText(IDOK), "Gut");
  EXPECT_EQ(dialog.ItemText(kInfoLabel), "Angaben");
  EXPECT_EQ(dialog.ItemText(kAboutButton), "");  // the file lacks it: no English fall-back

  ASSERT_TRUE(table_.Load(""));
  dialog.ApplyLanguage();
  EXPECT_EQ(WindowText(dialog.hwnd()), "About program");
  EXPECT_EQ(dialog.ItemText(IDOK), "OK");
  EXPECT_EQ(dialog.ItemText(kInfoLabel), "Information");
  EXPECT_EQ(dialog.ItemText(kAboutButton), "About");
  dialog.DestroyWindow();
}

using RetextMenuTest = LanguageFixture;

TEST_F(RetextMenuTest, KeepsEachItemsCommandSubmenuAndState) {
  fw::UniqueMenu bar(::CreateMenu());
  HMENU pages = ::CreatePopupMenu();
  HMENU languages = ::CreatePopupMenu();
  ::AppendMenuA(languages, MF_STRING | MF_CHECKED, 40013, "Default");
  ::AppendMenuA(languages, MF_SEPARATOR, 0, nullptr);
  ::AppendMenuA(languages, MF_STRING | MF_GRAYED, 30000, "Deutsch");
  ::AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(pages), "Pages");
  ::AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(languages), "Languages");

  static constexpr MenuText kBar[] = {{0, IDS_MENU_PAGES}, {1, IDS_MENU_LANGUAGES}};
  static constexpr MenuText kLanguages[] = {{0, IDS_MENU_DEFAULT_LANGUAGE}, {1, IDS_OK}, {2, IDS_OK}, {7, IDS_OK}};
  RetextMenu(bar, kBar);
  RetextMenu(languages, kLanguages);

  EXPECT_EQ(ItemString(bar, 0), "Seiten");
  EXPECT_EQ(::GetSubMenu(bar, 0), pages);
  EXPECT_EQ(ItemString(languages, 0), "Standard");
  EXPECT_EQ(::GetMenuItemID(languages, 0), 40013u);
  EXPECT_TRUE(::GetMenuState(languages, 0, MF_BYPOSITION) & MF_CHECKED);
  EXPECT_TRUE(::GetMenuState(languages, 1, MF_BYPOSITION) & MF_SEPARATOR);
  EXPECT_EQ(ItemString(languages, 2), "Gut");
  EXPECT_EQ(::GetMenuItemID(languages, 2), 30000u);
  EXPECT_TRUE(::GetMenuState(languages, 2, MF_BYPOSITION) & MF_GRAYED);
  EXPECT_EQ(::GetMenuItemCount(languages), 3);
  // A text the file lacks empties the item; it keeps its submenu and is no separator.
  EXPECT_EQ(ItemString(bar, 1), "");
  EXPECT_FALSE(::GetMenuState(bar, 1, MF_BYPOSITION) & MF_SEPARATOR);
  EXPECT_EQ(::GetSubMenu(bar, 1), languages);
}

}  // namespace
}  // namespace vantrel::i18n
