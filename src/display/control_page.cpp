#include "display/control_page.h"

#include "i18n/core/text_ids.h"
#include "resource.h"

namespace vantrel::display {

CControlPage::CControlPage(HWND parent) noexcept : CPage(IDD_CONTROL_PAGE, parent) {}

void CControlPage::ApplyLanguage() {
  static constexpr i18n::ControlText kTexts[] = {
      {i18n::IDS_OK, IDOK}, {i18n::IDS_CANCEL, IDCANCEL}, {i18n::IDS_APPLY, IDC_CONTROL_APPLY}};
  ApplyTexts(kTexts);
}

}  // namespace vantrel::display
