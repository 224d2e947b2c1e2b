// The scheme editor's side of the Schemes page: the working copy of one scheme's fields and
// the tab pages (USER, MACHINE, PROCESSOR) that show and edit its parts.
#pragma once

#include <windows.h>
#include "platform/system_api.h"  // <powrprof.h> has no include guard: take it once, from here

#include <memory>

#include "i18n/lang_dialog.h"

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

// A tab page of the editor: a child dialog of the tab control.
class CSchemeTab : public i18n::CLangDialog {
 public:
  using CLangDialog::CLangDialog;
  // Fills the page's controls from its part of `buffer`; a load is not a user change.
  virtual void LoadFromPolicy(const SchemeBuffer& buffer) = 0;
  // Writes the page's controls into its part of `buffer`; the fields it does not show keep
  // what `buffer` holds.
  virtual void StoreToPolicy(SchemeBuffer& buffer) = 0;
};

// The page of `kind`, not yet created; Create() makes it a child of `tab_control`.
std::unique_ptr<CSchemeTab> MakeSchemeTab(SchemeTabKind kind, HWND tab_control);

}  // namespace vantrel::power
