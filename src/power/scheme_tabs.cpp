#include "power/scheme_tabs.h"

#include <commctrl.h>

#include <string>
#include <utility>

#include "framework/caught.h"
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
// The plan back end's list of every setting, after the others; its image follows theirs.
constexpr int kAllSettingsImage = 3;
constexpr UINT kAllSettingsIcon = IDI_SCHEMES;

}  // namespace

SchemeTabs::~SchemeTabs() {
  for (const auto& page : pages_)
    if (page) page->DestroyWindow();
  if (all_settings_) all_settings_->DestroyWindow();
}

void SchemeTabs::SetUp(HWND tab_control, bool with_processor, const PageFactory& make, bool all_settings) {
  if (!host_.Bind(tab_control)) return;

  fw::UniqueImageList images(::ImageList_Create(kTabIconSize, kTabIconSize, ILC_COLOR32, 0, kImageListGrowth));
  if (images) {
    ::ImageList_SetBkColor(images.get(), ::GetSysColor(COLOR_BTNFACE));
    for (const TabEntry& tab : kTabs) {
      fw::UniqueIcon icon(static_cast<HICON>(
          ::LoadImageA(fw::ResourceInstance(), MAKEINTRESOURCEA(tab.icon), IMAGE_ICON, kTabIconSize, kTabIconSize, 0)));
      if (icon) ::ImageList_ReplaceIcon(images.get(), -1, icon);  // the list keeps a copy
    }
    if (all_settings) {
      fw::UniqueIcon icon(static_cast<HICON>(::LoadImageA(
          fw::ResourceInstance(), MAKEINTRESOURCEA(kAllSettingsIcon), IMAGE_ICON, kTabIconSize, kTabIconSize, 0)));
      if (icon) ::ImageList_ReplaceIcon(images.get(), -1, icon);
    }
    host_.SetImageList(std::move(images));
  }

  const int count = with_processor ? 3 : 2;
  for (int i = 0; i < count; ++i) {
    std::unique_ptr<CSchemeTab> page = make ? make(kTabs[i].kind, tab_control) : nullptr;
    if (page && !page->Create()) {
      fw::TraceQuietFailure("Schemes page, tab page not created");
      page.reset();
    }
    if (host_.AddTab(i18n::Text(kTabs[i].text_id).c_str(), i, page.get()) < 0) {
      if (page) page->DestroyWindow();
      continue;
    }
    pages_[Index(kTabs[i].kind)] = std::move(page);
  }
  if (all_settings) {
    auto page = std::make_unique<AllSettingsTab>(tab_control);
    if (!page->Create()) {
      fw::TraceQuietFailure("Schemes page, all settings tab not created");
    } else if (host_.AddTab(i18n::Text(i18n::IDS_TAB_ALL_SETTINGS).c_str(), kAllSettingsImage, page.get()) < 0) {
      page->DestroyWindow();
    } else {
      all_settings_ = std::move(page);
    }
  }
  host_.Select(0);
}

void SchemeTabs::ApplyLanguage() {
  for (unsigned i = 0; i < host_.count(); ++i) {
    const bool last = all_settings_ && i + 1 == host_.count();
    host_.SetTabText(i, i18n::Text(last ? i18n::IDS_TAB_ALL_SETTINGS : kTabs[i].text_id).c_str());
  }
  // The tab row may have changed its height.
  host_.Layout();
  host_.ReshowCurrent();
  for (const auto& page : pages_)
    if (page) page->ApplyLanguage();
  if (all_settings_) all_settings_->ApplyLanguage();
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

void SchemeTabs::EnablePolicy(bool enable) {
  for (SchemeTabKind kind : {SchemeTabKind::User, SchemeTabKind::Machine})
    if (CSchemeTab* tab = page(kind)) ::EnableWindow(tab->hwnd(), enable);
}

void SchemeTabs::EnableProcessor(bool enable) {
  if (CSchemeTab* tab = page(SchemeTabKind::Processor)) ::EnableWindow(tab->hwnd(), enable);
}

bool SchemeTabs::StoreProcessor(SchemeBuffer& buffer) {
  CSchemeTab* tab = page(SchemeTabKind::Processor);
  if (!tab) return false;
  tab->StoreToPolicy(buffer);
  return true;
}

void SchemeTabs::ShowSupport(const FieldSupportTable* support) {
  for (const auto& page : pages_)
    if (page) page->ShowSupport(support);
}

}  // namespace vantrel::power
