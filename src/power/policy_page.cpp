#include "power/policy_page.h"

#include "i18n/core/text_ids.h"
#include "resource.h"

namespace vantrel::power {

PolicyPage::PolicyPage(HWND parent) noexcept : CPage(IDD_POLICY_PAGE, parent) {}

void PolicyPage::ApplyLanguage() {
  static constexpr i18n::ControlText kTexts[] = {
      {i18n::IDS_OK, IDOK}, {i18n::IDS_CANCEL, IDCANCEL}, {i18n::IDS_APPLY, IDC_APPLY}};
  ApplyTexts(kTexts);
}

}  // namespace vantrel::power
