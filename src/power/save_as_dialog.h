// The Save As dialog of the Schemes page: asks for the name of a new scheme.
#pragma once

#include <string>
#include <string_view>

#include "i18n/lang_dialog.h"

namespace vantrel::power {

class CSaveAsDialog : public i18n::CLangDialog {
 public:
  explicit CSaveAsDialog(HWND parent) noexcept;
  void ApplyLanguage() override;

  // The name as typed, blanks kept; meaningful once the dialog ended with OK.
  const std::string& name() const noexcept { return name_; }

  // A name that is empty or made of spaces only is no name.
  static bool IsBlank(std::string_view name) noexcept;

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;

 private:
  std::string name_;
};

}  // namespace vantrel::power
