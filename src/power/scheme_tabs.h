// The tab control of the Schemes page: one tab per editor page (USER, MACHINE and, where the
// power library has the processor functions, PROCESSOR), each page a child of the tab control
// placed in its display area and shown while its tab is current (the framework's tab host),
// and loaded from and stored to the scheme being edited.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "framework/tab_host.h"
#include "power/all_settings_page.h"
#include "power/scheme_editor.h"

namespace vantrel::power {

class SchemeTabs {
 public:
  // Makes the page of a kind, not yet created, for the given tab control; null when there is
  // no such page.
  using PageFactory = std::function<std::unique_ptr<CSchemeTab>(SchemeTabKind, HWND tab_control)>;
  static constexpr uint8_t kNoTab = 255;

  SchemeTabs() = default;
  // The pages' windows go before the pages (dialog.h).
  ~SchemeTabs();
  SchemeTabs(const SchemeTabs&) = delete;
  SchemeTabs& operator=(const SchemeTabs&) = delete;

  // Image list, tabs and pages on `tab_control`; the first tab becomes current. A page the
  // factory cannot make, or that cannot be created, leaves its tab without a page. The change
  // of tab is handled by the tab host, through the page's reflected notification.
  // With `all_settings` (the plan back end), a last tab lists every setting of the plan.
  void SetUp(HWND tab_control, bool with_processor, const PageFactory& make, bool all_settings = false);
  // The tab texts, a repaint of the page shown, then each page's own texts.
  void ApplyLanguage();

  // USER and MACHINE pages only: the processor part is loaded and stored on its own.
  void LoadPolicy(const SchemeBuffer& buffer);
  void LoadProcessor(const SchemeBuffer& buffer);
  void StorePolicy(SchemeBuffer& buffer);
  // False when there is no PROCESSOR page to store from.
  bool StoreProcessor(SchemeBuffer& buffer);
  // A page whose record could not be read takes no input: nothing it shows is the scheme's.
  void EnablePolicy(bool enable);
  void EnableProcessor(bool enable);
  // Every page's fields enabled as the system stores them (null: all).
  void ShowSupport(const FieldSupportTable* support);

  CSchemeTab* page(SchemeTabKind kind) const noexcept { return pages_[Index(kind)].get(); }
  AllSettingsTab* all_settings() const noexcept { return all_settings_.get(); }
  int tab_count() const noexcept { return static_cast<int>(host_.count()); }
  // The current tab, kNoTab before the set-up.
  uint8_t shown() const noexcept { return static_cast<uint8_t>(host_.current()); }
  HWND hwnd() const noexcept { return host_.tab(); }

 private:
  static constexpr size_t Index(SchemeTabKind kind) noexcept { return static_cast<size_t>(kind); }

  // The host goes first and lets go of the tab control; the pages' windows are its children.
  std::array<std::unique_ptr<CSchemeTab>, 3> pages_;
  std::unique_ptr<AllSettingsTab> all_settings_;
  fw::TabHost host_;
};

}  // namespace vantrel::power
