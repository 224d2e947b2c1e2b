// The scheme editor's side of the Schemes page: the working copy of one scheme's fields and
// the tab pages (USER, MACHINE, PROCESSOR) that show and edit its parts.
#pragma once

#include <windows.h>

#include <array>
#include <memory>

// The power library's records; its header has no include guard, so it comes from one place.
#include "platform/system_api.h"
#include "power/power_plans.h"
#include "ui/page.h"

namespace vantrel::power {

class PowerPlatform;

// Tab page -> Schemes page (the parent of the tab control that holds the page), both
// parameters 0: the user changed a field.
inline constexpr UINT WM_SCHEME_MODIFIED = WM_USER + 10;

// One scheme's fields, fresh for each load and each store: the USER tab shows `policy.user`,
// the MACHINE tab `policy.mach`, the PROCESSOR tab `processor`.
struct SchemeBuffer {
  POWER_POLICY policy{};
  MACHINE_PROCESSOR_POWER_POLICY processor{};
};

enum class SchemeTabKind { User, Machine, Processor };

// What the system can store of each field: on the plan back end a field without a setting, or
// with one that Group Policy fixes, is shown disabled with a tip that says why.
using FieldSupportTable = std::array<FieldSupport, kXpFieldCount>;

// A tab page of the editor: a child dialog of the tab control, with the page base's texts,
// hand cursor, loading and watched tables. It has no Apply of its own: a user change tells
// the Schemes page.
class CSchemeTab : public ui::CPage {
 public:
  CSchemeTab(UINT templateId, HWND tab_control) noexcept : CPage(templateId, tab_control) {}
  CSchemeTab(const DLGTEMPLATE* memoryTemplate, HWND tab_control) noexcept : CPage(memoryTemplate, tab_control) {}
  // Fills the page's controls from its part of `buffer`; a load is not a user change.
  virtual void LoadFromPolicy(const SchemeBuffer& buffer) = 0;
  // Writes the page's controls into its part of `buffer`; the fields it does not show keep
  // what `buffer` holds.
  virtual void StoreToPolicy(SchemeBuffer& buffer) = 0;
  // Enables the fields the system stores; null: every field (the XP back end).
  virtual void ShowSupport(const FieldSupportTable* support) { (void)support; }

 protected:
  // WM_SCHEME_MODIFIED to the Schemes page, the parent of the tab control that holds this page.
  void OnChanged() override;
  // Enter and Escape belong to the Schemes page: a tab has no OK or Cancel of its own.
  void OnOK() override {}
  void OnCancel() override {}
};

// The page of `kind`, not yet created; Create() makes it a child of `tab_control`.
std::unique_ptr<CSchemeTab> MakeSchemeTab(SchemeTabKind kind, HWND tab_control);

}  // namespace vantrel::power
