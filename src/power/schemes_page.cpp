#include "power/schemes_page.h"

#include "i18n/core/text_ids.h"
#include "resource.h"

namespace vantrel::power {

SchemesPage::SchemesPage(HWND parent) noexcept : CPage(IDD_SCHEMES_PAGE, parent) {}

void SchemesPage::ApplyLanguage() {
  static constexpr i18n::ControlText kTexts[] = {
      {i18n::IDS_OK, IDOK}, {i18n::IDS_CANCEL, IDCANCEL}, {i18n::IDS_APPLY, IDC_APPLY}};
  ApplyTexts(kTexts);
}

}  // namespace vantrel::power
