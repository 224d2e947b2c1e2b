#include "power/save_as_dialog.h"

#include "framework/prompt.h"
#include "i18n/core/text_ids.h"
#include "power/core/scheme_rules.h"
#include "resource.h"
#include "schemes_ids.h"

namespace vantrel::power {

namespace {
constexpr char kNoNameMessage[] = "Input power scheme name!";
}

CSaveAsDialog::CSaveAsDialog(HWND parent) noexcept : CLangDialog(IDD_SAVE_AS, parent) {}

bool CSaveAsDialog::IsBlank(std::string_view name) noexcept {
  return name.find_first_not_of(' ') == std::string_view::npos;
}

void CSaveAsDialog::ApplyLanguage() {
  static constexpr i18n::ControlText kTexts[] = {{i18n::IDS_SCHEMES_SAVE_AS, i18n::kDialogCaption},
                                                 {i18n::IDS_SCHEMES_SAVE_AS_PROMPT, IDC_SAVE_AS_LABEL},
                                                 {i18n::IDS_OK, IDOK},
                                                 {i18n::IDS_CANCEL, IDCANCEL}};
  ApplyTexts(kTexts);
}

BOOL CSaveAsDialog::OnInitDialog() {
  ::SendMessageA(Item(IDC_SAVE_AS_NAME), EM_LIMITTEXT, kSchemeNameLimit, 0);
  ApplyLanguage();
  return TRUE;
}

void CSaveAsDialog::OnOK() {
  std::string typed = ItemText(IDC_SAVE_AS_NAME);
  if (IsBlank(typed)) {
    fw::AppPrompt(hwnd(), kNoNameMessage, MB_OK | MB_ICONEXCLAMATION);
    ::SetFocus(Item(IDC_SAVE_AS_NAME));
    return;  // stays open for a name
  }
  name_ = std::move(typed);
  EndDialog(IDOK);
}

}  // namespace vantrel::power
