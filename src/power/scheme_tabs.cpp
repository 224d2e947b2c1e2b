#include "power/scheme_tabs.h"

#include <commctrl.h>

#include <string>

#include "i18n/core/language_table.h"
#include "i18n/core/text_ids.h"
#include "resource.h"

namespace vantrel::power {

namespace {

constexpr int kTabIconSize = 16;
constexpr int kImageListGrowth = 3;

struct TabEntry {
  SchemeTabKind kind;
  int text_id;
  UINT icon;
};
// In tab order; the tab's position is also its image's.
constexpr TabEntry kTabs[] = {
    {SchemeTabKind::User, i18n::IDS_TAB_USER, IDI_TAB_USER},
    {SchemeTabKind::Machine, i18n::IDS_TAB_MACHINE, IDI_TAB_MACHINE},
    {SchemeTabKind::Processor, i18n::IDS_TAB_PROCESSOR, IDI_TAB_PROCESSOR},
};

}  // namespace

SchemeTabs::~SchemeTabs() {
  // The tab control does not own its image list; let go of it before the list is destroyed.
  if (tab_ && ::IsWindow(tab_)) ::SendMessageA(tab_, TCM_SETIMAGELIST, 0, 0);
}

void SchemeTabs::SetUp(HWND tab_control, bool with_processor, const PageFactory& make) {
  tab_ = tab_control;
  if (!tab_) return;

  images_.reset(::ImageList_Create(kTabIconSize, kTabIconSize, ILC_COLOR32, 0, kImageListGrowth));
  if (images_) {
    ::ImageList_SetBkColor(images_, ::GetSysColor(COLOR_BTNFACE));
    for (const TabEntry& tab : kTabs) {
      fw::UniqueIcon icon(static_cast<HICON>(
          ::LoadImageA(fw::ResourceInstance(), MAKEINTRESOURCEA(tab.icon), IMAGE_ICON, kTabIconSize, kTabIconSize, 0)));
      if (icon) ::ImageList_ReplaceIcon(images_, -1, icon);  // the list keeps a copy
    }
    ::SendMessageA(tab_, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_.get()));
  }

  tab_count_ = with_processor ? 3 : 2;
  for (int i = 0; i < tab_count_; ++i) {
    std::string text = i18n::Text(kTabs[i].text_id);
    TCITEMA item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = text.data();
    item.iImage = i;
    ::SendMessageA(tab_, TCM_INSERTITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }

  // Every page fills the tab control's display area.
  RECT area{};
  ::GetClientRect(tab_, &area);
  ::SendMessageA(tab_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  for (int i = 0; i < tab_count_; ++i) {
    std::unique_ptr<CSchemeTab> page = make ? make(kTabs[i].kind, tab_) : nullptr;
    if (!page || !page->Create()) continue;
    ::SetWindowPos(page->hwnd(), nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    ::ShowWindow(page->hwnd(), SW_HIDE);
    pages_[Index(kTabs[i].kind)] = std::move(page);
  }

  ::SendMessageA(tab_, TCM_SETCURSEL, 0, 0);
  shown_ = 0;
  Show(shown_, true);
}

void SchemeTabs::Show(uint8_t tab, bool show) const {
  if (tab >= pages_.size()) return;
  if (const CSchemeTab* page = pages_[tab].get(); page && page->hwnd())
    ::ShowWindow(page->hwnd(), show ? SW_SHOW : SW_HIDE);
}

void SchemeTabs::OnSelectionChanged() {
  if (!tab_) return;
  LRESULT selected = ::SendMessageA(tab_, TCM_GETCURSEL, 0, 0);
  if (selected < 0 || selected >= tab_count_ || selected == shown_) return;
  Show(shown_, false);
  shown_ = static_cast<uint8_t>(selected);
  Show(shown_, true);
}

void SchemeTabs::ApplyLanguage() {
  if (!tab_) return;
  for (int i = 0; i < tab_count_; ++i) {
    std::string text = i18n::Text(kTabs[i].text_id);
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = text.data();
    ::SendMessageA(tab_, TCM_SETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
  // The tab row may have changed its height; hiding and showing repaints the page in full.
  Show(shown_, false);
  Show(shown_, true);
  for (const auto& page : pages_)
    if (page) page->ApplyLanguage();
}

void SchemeTabs::LoadPolicy(const SchemeBuffer& buffer) {
  for (SchemeTabKind kind : {SchemeTabKind::User, SchemeTabKind::Machine})
    if (CSchemeTab* tab = page(kind)) tab->LoadFromPolicy(buffer);
}

void SchemeTabs::LoadProcessor(const SchemeBuffer& buffer) {
  if (CSchemeTab* tab = page(SchemeTabKind::Processor)) tab->LoadFromPolicy(buffer);
}

void SchemeTabs::StorePolicy(SchemeBuffer& buffer) {
  for (SchemeTabKind kind : {SchemeTabKind::User, SchemeTabKind::Machine})
    if (CSchemeTab* tab = page(kind)) tab->StoreToPolicy(buffer);
}

bool SchemeTabs::StoreProcessor(SchemeBuffer& buffer) {
  CSchemeTab* tab = page(SchemeTabKind::Processor);
  if (!tab) return false;
  tab->StoreToPolicy(buffer);
  return true;
}

}  // namespace vantrel::power
